#pragma once

#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Widget.h"

#include <memory>
#include <string>

namespace Quillo
{
class ButtonWidget;
class MemoryImage;
} // namespace Quillo

namespace Spindrel
{

class GameApp;

// The help screen over the whole window: one picture and a back button.
// The main menu owns it and closes it when the back button is clicked or
// Escape, Enter or Space is pressed.
class HelpWidget : public Quillo::Widget, public Quillo::ButtonListener
{
public:
    static constexpr int kBackId = 801;
    static constexpr int kBackX = 25;
    static constexpr int kBackY = 15;

    explicit HelpWidget(GameApp& app);
    ~HelpWidget() override;

    // Loads the three pictures; the path of the first that failed, or
    // empty. A screen without them would have no way back.
    std::string LoadImages();

    void OnAttached(Quillo::WidgetManager* widgetManager) override;
    void OnDetached(Quillo::WidgetManager* widgetManager) override;
    void Draw(Quillo::Graphics* g) override;
    // Its background picture, drawn first, covers it.
    bool IsOpaque() override;
    void OnKeyDown(int key) override;
    void OnButtonClicked(int id) override;

    Quillo::ButtonWidget* BackButton() const { return m_back.get(); }

private:
    void RemoveBackButton();
    void Leave();
    bool IsRepeat() const;

    GameApp& m_app;
    std::unique_ptr<Quillo::MemoryImage> m_picture;
    std::unique_ptr<Quillo::MemoryImage> m_backImage;
    std::unique_ptr<Quillo::MemoryImage> m_backLitImage;
    std::unique_ptr<Quillo::ButtonWidget> m_back;
};

} // namespace Spindrel
