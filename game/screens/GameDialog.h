#pragma once

#include "framework/widgets/Dialog.h"

#include <string>

namespace Quillo
{
class DialogButton;
}

namespace Spindrel
{

class GameApp;

// Every dialog of the game shares one look: the dialog box and button
// images, the default font for the header and the button font for the
// rest, white text with red for the button under the mouse, 30-pixel
// insets and narrow buttons that sit centred in their place.
//
// Keys, as desktop players expect: Enter presses the first (default)
// button, Escape the button chosen by EscapeButton (by default a second,
// cancelling button; never one that deletes or leaves a game).
class GameDialog : public Quillo::Dialog
{
public:
    enum class EscapeButton
    {
        None,
        First,
        Second,
    };

    // The parts of the button image: normal, and over/down below it.
    static constexpr int kButtonPartWidth = 105;
    static constexpr int kButtonPartHeight = 44;

    GameDialog(GameApp& app, int dialogId, const std::string& headerText,
               const std::string& bodyText, const std::string& footerText, int mode);

    // The base layout, then each button halved: the first moved right by
    // half its old width, a second moved right by the first's new width.
    void Resize(int newX, int newY, int newWidth, int newHeight) override;

    // Gives a button the game's dialog-button look.
    static void StyleButton(GameApp& app, Quillo::DialogButton& button);

    void OnKeyDown(int key) override;
    void SetEscapeButton(EscapeButton button) { m_escape = button; }

protected:
    // Whether the key being pressed is the keyboard's auto-repeat of a held key.
    bool IsKeyRepeat() const;

    GameApp& m_app;

private:
    EscapeButton m_escape;
};

} // namespace Spindrel
