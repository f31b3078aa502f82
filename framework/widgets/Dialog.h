#pragma once

#include "framework/graphics/Font.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Widget.h"

#include <memory>
#include <string>

namespace Quillo
{

class DialogButton;
class Image;

// The framework's message box: a framed box with a centred header line,
// word-wrapped body text, an optional footer line and up to two buttons. It
// reports a result (-1 while open, 1 after the first button, 0 after the
// second), can be dragged, and passes its buttons' events on to the
// application. The buttons carry the dialog id + 2000 (first) and + 3000
// (second). Colour slots: 0 header, 1 body, 2 footer, 3 button text,
// 4 button text under the mouse.
class Dialog : public Widget, public ButtonListener
{
public:
    // Button modes.
    static constexpr int kButtonsNone = 0;
    static constexpr int kButtonsYesNo = 1;
    static constexpr int kButtonsOkCancel = 2;
    static constexpr int kButtonFooter = 3;
    static constexpr int kFirstButtonOffset = 2000;
    static constexpr int kSecondButtonOffset = 3000;

    // The images are not owned; null images draw no box (and give buttons
    // the plain look).
    Dialog(Image* componentImg, Image* buttonComponentImg, int dialogId, bool isModal,
           const std::string& headerText, const std::string& bodyText,
           const std::string& footerText, int mode);
    ~Dialog() override;

    // The buttons take a copy each.
    virtual void SetButtonFont(const Font* font);
    virtual void SetHeaderFont(const Font* font);
    virtual void SetBodyFont(const Font* font);
    virtual int GetPreferredHeight(int forWidth);
    virtual bool IsModal();
    // Runs the application's loop until there is a result or the
    // application shuts down, closes the dialog when asked, and returns the
    // result.
    virtual int WaitForResult(bool closeAfter);

    // What outlives the dialog: whether it still exists and, once deleted,
    // the result it ended with. A loop waiting for a dialog holds this,
    // since a dialog that closes during an update is deleted right after it.
    struct Outcome
    {
        bool alive = true;
        int result = -1;
    };
    std::shared_ptr<const Outcome> GetOutcome() const { return m_outcome; }

    void OnAttached(WidgetManager* widgetManager) override;
    void OnDetached(WidgetManager* widgetManager) override;
    void OnOrderChanged() override;
    void SetColor(int index, const Color& color) override;
    void Resize(int newX, int newY, int newWidth, int newHeight) override;
    void Draw(Graphics* g) override;
    void OnMouseDown(int localX, int localY, int clickCode) override;
    void OnMouseReleased(int localX, int localY) override;
    void OnMouseDrag(int localX, int localY) override;

    void OnButtonPressed(int buttonId) override;
    void OnButtonClicked(int buttonId) override;
    void OnButtonHeld(int buttonId) override;

    DialogButton* FirstButton() { return firstButton.get(); }
    DialogButton* SecondButton() { return secondButton.get(); }

    // The button labels of every dialog; the game puts its own texts here.
    static inline std::string yesLabel = "YES";
    static inline std::string noLabel = "NO";
    static inline std::string okLabel = "OK";
    static inline std::string cancelLabel = "CANCEL";

    Image* componentImage;
    Image* buttonComponentImage;
    int id;
    bool modal;
    int result = -1;
    std::string header;
    std::string body;
    std::string footer;
    int buttonMode;
    std::unique_ptr<DialogButton> firstButton;
    std::unique_ptr<DialogButton> secondButton;
    std::unique_ptr<Font> headerFont;
    std::unique_ptr<Font> bodyFont;
    Insets backgroundInsets;
    Insets contentInsets{24, 24, 24, 24};
    int headerSpacing = 10;
    int bodyLineSpacingExtra = 0;
    int buttonSpacing = 8;
    int buttonSideMargin = 0;
    // The buttons' height; 0 takes the button component image's height.
    int buttonHeight = 0;
    bool dragging = false;
    int grabX = 0;
    int grabY = 0;

    // How far a dialog may be dragged beyond the screen's edges.
    static constexpr int kDragMargin = 8;

private:
    std::shared_ptr<Outcome> m_outcome = std::make_shared<Outcome>();

    void EnsureFonts();
    int ButtonHeight() const;
    int BodyLineSpacing() const;
};

} // namespace Quillo
