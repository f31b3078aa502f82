#pragma once

#include "framework/graphics/Font.h"
#include "framework/platform/Rect.h"
#include "framework/widgets/Widget.h"

#include <memory>
#include <string>

namespace Quillo
{

class ButtonListener;
class Image;

// A push button: normal → over → pressed (with the mouse captured) →
// clicked on a release over it. Drawn from images when it has them, else as
// a grey bevelled face. Colour slots: 0 label, 1 label under the mouse.
class ButtonWidget : public Widget
{
public:
    ButtonWidget(int buttonId, ButtonListener* buttonListener);
    ~ButtonWidget() override;

    // Keeps a copy of the font.
    virtual void SetFont(const Font* newFont);
    // Pressed with the mouse over it and enabled.
    virtual bool IsPressedLook();

    void Draw(Graphics* g) override;
    void Update() override;
    void SetDisabled(bool isDisabled) override;
    void OnMouseEnter() override;
    void OnMouseLeave() override;
    void OnMouseMove(int localX, int localY) override;
    void OnMouseDown(int localX, int localY, int clickCode) override;
    void OnMouseReleased(int localX, int localY) override;
    // Enter and Space press it as a click does.
    bool OnMarkedKey(int key) override;

    int id;
    std::string label;
    // 0 centred, 1 right-aligned, anything else left-aligned.
    int labelJustify = 0;
    std::unique_ptr<Font> font;
    // Not owned.
    Image* normalImage = nullptr;
    Image* overImage = nullptr;
    Image* downImage = nullptr;
    Image* disabledImage = nullptr;
    // A rectangle with a width draws that state from this part of the
    // normal image instead of from its own image.
    Rect normalRect;
    Rect overRect;
    Rect downRect;
    Rect disabledRect;
    // Shows the pressed look when not pressed and the reverse.
    bool inverted = false;
    // An invisible hot spot that still takes clicks.
    bool drawNothing = false;
    // Without images, no face and bevel either.
    bool noFrame = false;
    ButtonListener* listener;
    // How far the over image is faded in, 0..1, and its change per update.
    double overAlpha = 0.0;
    double fadeOutSpeed = 0.0;
    double fadeInSpeed = 0.0;

protected:
    // Makes the default font through the manager's host when a label needs one.
    void EnsureFont(int pointSize, bool bold);
    bool HasOverState() const;
    bool HasDownState() const;
    bool HasDisabledState() const;
    bool HasNormalState() const;
    // The image the source rectangles cut their parts from.
    virtual Image* StateSource() const { return normalImage; }
    // Draws one state from its own image or from its part of the normal image.
    void DrawState(Graphics* g, Image* image, const Rect& part, int atX, int atY);
    void DrawBevel(Graphics* g, bool pressedLook);
    // Redraws when entering or leaving changes the look.
    void InvalidateForHover();
    // Whether the mouse being over the button changes its picture.
    virtual bool HoverChangesLook();
    // Shows the look it has under the mouse: the mouse is over it or the
    // keyboard mark is on it.
    bool Lit() const { return isOver || keyMarked; }
    // Whether the application has the input focus; true without a manager.
    bool AppHasFocus() const;
};

} // namespace Quillo
