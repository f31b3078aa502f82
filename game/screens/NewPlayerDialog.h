#pragma once

#include "framework/widgets/EditListener.h"
#include "game/screens/GameDialog.h"

#include <memory>

namespace Quillo
{
class EditWidget;
}

namespace Spindrel
{

// Asks for a player name and makes that profile current, creating it when
// no profile has that name. Mode 3 has only the OK button (the game cannot
// go on without a player); mode 2 can also be cancelled.
class NewPlayerDialog : public GameDialog, public Quillo::EditListener
{
public:
    static constexpr int kDialogId = 100;
    static constexpr int kEditId = 10;

    // mode: Dialog::kButtonsOkCancel or Dialog::kButtonFooter.
    NewPlayerDialog(GameApp& app, int mode);
    ~NewPlayerDialog() override;

    void OnAttached(Quillo::WidgetManager* widgetManager) override;
    void OnDetached(Quillo::WidgetManager* widgetManager) override;
    // The field stays in front of the box.
    void OnOrderChanged() override;
    void Resize(int newX, int newY, int newWidth, int newHeight) override;
    void Draw(Quillo::Graphics* g) override;
    void OnButtonClicked(int buttonId) override;

    // Enter in the field acts as OK; characters a profile name may not
    // contain are refused. A name the profile list refuses (the list is
    // full) leaves the dialog open.
    void OnEditText(int editId, const std::string& text) override;
    bool AllowChar(int editId, char32_t ch) override;
    // Escape in the field cancels, where the dialog can be cancelled.
    bool AllowKey(int editId, int key) override;

    Quillo::EditWidget& Edit() { return *m_edit; }

private:
    void Accept();

    std::unique_ptr<Quillo::EditWidget> m_edit;
};

} // namespace Spindrel
