#include "game/screens/GameDialog.h"

#include "framework/graphics/ImageFont.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/KeyCode.h"
#include "framework/widgets/WidgetManager.h"
#include "game/app/GameApp.h"

namespace Spindrel
{

using Quillo::Color;

GameDialog::GameDialog(GameApp& app, int dialogId, const std::string& headerText,
                       const std::string& bodyText, const std::string& footerText, int mode)
    : Dialog(app.Res().IMAGE_DIALOG_BOX, app.Res().IMAGE_DIALOG_BUTTON, dialogId, true, headerText,
             bodyText, footerText, mode),
      m_app(app),
      m_escape(secondButton ? EscapeButton::Second : EscapeButton::None)
{
    const GameResources& res = app.Res();
    contentInsets = {30, 30, 30, 30};
    headerSpacing = 30;
    buttonHeight = kButtonPartHeight;
    SetHeaderFont(res.FONT_DEFAULT);
    SetBodyFont(res.FONT_BUTTON);
    SetButtonFont(res.FONT_BUTTON);
    SetColor(0, Color::White);
    SetColor(1, Color::White);
    SetColor(3, Color::White);
    SetColor(4, Color(255, 0, 0));
    if (firstButton)
        StyleButton(app, *firstButton);
    if (secondButton)
        StyleButton(app, *secondButton);
}

void GameDialog::StyleButton(GameApp& app, Quillo::DialogButton& button)
{
    button.componentImage = app.Res().IMAGE_DIALOG_BUTTON;
    button.normalRect = {0, 0, kButtonPartWidth, kButtonPartHeight};
    button.overRect = {0, kButtonPartHeight, kButtonPartWidth, kButtonPartHeight};
    button.downRect = {0, kButtonPartHeight, kButtonPartWidth, kButtonPartHeight};
}

bool GameDialog::IsKeyRepeat() const
{
    return manager != nullptr && manager->IsKeyRepeat();
}

void GameDialog::OnKeyDown(int key)
{
    // A held key answers once: its auto-repeat would answer the dialog that
    // follows too.
    if (IsKeyRepeat() && (key == Quillo::KeyCode::Enter || key == Quillo::KeyCode::Escape))
        return;
    const Quillo::DialogButton* button = nullptr;
    if (key == Quillo::KeyCode::Enter)
        button = firstButton.get();
    else if (key == Quillo::KeyCode::Escape && m_escape == EscapeButton::First)
        button = firstButton.get();
    else if (key == Quillo::KeyCode::Escape && m_escape == EscapeButton::Second)
        button = secondButton.get();
    if (button != nullptr)
    {
        // As the mouse does it: pressed, then clicked (the framework's own
        // dialogs answer the press).
        const int buttonId = button->id;
        OnButtonPressed(buttonId);
        OnButtonClicked(buttonId);
        return;
    }
    Dialog::OnKeyDown(key);
}

void GameDialog::Resize(int newX, int newY, int newWidth, int newHeight)
{
    Dialog::Resize(newX, newY, newWidth, newHeight);
    if (!firstButton)
        return;
    const int half = firstButton->width / 2;
    firstButton->Resize(firstButton->x + half, firstButton->y, half, firstButton->height);
    if (secondButton)
        secondButton->Resize(secondButton->x + firstButton->width, secondButton->y,
                             secondButton->width / 2, secondButton->height);
}

} // namespace Spindrel
