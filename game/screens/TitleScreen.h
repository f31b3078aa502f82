#pragma once

#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Widget.h"

#include <memory>

namespace Quillo
{
class HyperlinkWidget;
}

namespace Spindrel
{

class GameApp;

// The first screen: the loading picture with a bar that fills while the
// game's resources load, then a link (or Space or Enter) that leads to the
// main menu.
class TitleScreen : public Quillo::Widget, public Quillo::ButtonListener
{
public:
    static constexpr int kLinkId = 1;
    static constexpr int kLinkY = 300;
    static constexpr int kBarX = 241;
    static constexpr int kBarY = 366;

    explicit TitleScreen(GameApp& app);
    ~TitleScreen() override;

    // The link is made by the application (its label, font and colours)
    // and handed over before the screen is added.
    void SetLink(std::unique_ptr<Quillo::HyperlinkWidget> link);
    Quillo::HyperlinkWidget* Link() const { return m_link.get(); }
    // After the loading hand-over: the link shows and takes clicks.
    void ShowLink();

    void OnAttached(Quillo::WidgetManager* widgetManager) override;
    void OnDetached(Quillo::WidgetManager* widgetManager) override;
    void Update() override;
    void OnKeyDown(int key) override;
    void OnButtonClicked(int id) override;
    void Draw(Quillo::Graphics* g) override;
    // Its background picture, drawn first, covers it.
    bool IsOpaque() override;

private:
    GameApp& m_app;
    std::unique_ptr<Quillo::HyperlinkWidget> m_link;
};

} // namespace Spindrel
