#pragma once

#include "framework/graphics/Color.h"
#include "framework/platform/Point.h"
#include "framework/platform/Rect.h"

#include <string>
#include <vector>

namespace Quillo
{

class Graphics;
class Image;
class MemoryImage;
class WidgetManager;

// Insets that shrink a widget's hit-test rectangle.
struct Insets
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Everything on screen is a widget. Widgets do not nest: each one is attached
// to the WidgetManager itself and placed in screen coordinates. The
// operations are virtual in a fixed order; subclasses override what they
// need and call the base for the bookkeeping described with each one.
class Widget
{
public:
    Widget() = default;
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;
    // Leaves the manager quietly if still attached, so that it keeps no
    // dangling reference.
    virtual ~Widget();

    virtual void OnAttached(WidgetManager* widgetManager);
    virtual void OnDetached(WidgetManager* widgetManager);
    // After the manager moved the widget in the order.
    virtual void OnOrderChanged();
    virtual void SetVisible(bool isVisible);
    virtual void SetColorsRGBA(const int (*table)[4], int count);
    virtual void SetColorsRGB(const int (*table)[3], int count);
    virtual void SetColor(int index, const Color& color);
    // Reading a slot past the end grows the table with opaque black.
    virtual Color GetColor(int index);
    virtual void SetOverlay(bool isOverlay);
    virtual void SetDisabled(bool isDisabled);
    virtual void ShowHandCursor(bool show);
    virtual void Resize(const Rect& rect);
    virtual void Resize(int newX, int newY, int newWidth, int newHeight);
    virtual void Move(int newX, int newY);
    virtual bool WantsFocus();
    // g is translated so that (0, 0) is the widget's top-left corner.
    virtual void Draw(Graphics* g);
    // At the start of every draw pass while visible: the last moment to
    // invalidate for that pass.
    virtual void BeforeDrawPass();
    virtual void Update();
    virtual void UpdatePartial(double fraction);
    virtual void OnGotFocus();
    virtual void OnLostFocus();
    virtual void OnKeyChar(char32_t ch);
    virtual void OnKeyDown(int key);
    virtual void OnKeyUp(int key);
    virtual void OnMouseEnter();
    virtual void OnMouseLeave();
    // Mouse positions are local to the widget.
    virtual void OnMouseMove(int localX, int localY);
    // button: 0 left, 1 right, 2 middle.
    virtual void OnMouseDownEx(int localX, int localY, int button, int clickCount);
    // clickCode: 1 left, 2 left double, -1 right, -2 right double, 3 middle.
    virtual void OnMouseDown(int localX, int localY, int clickCode);
    virtual void OnMouseUpEx(int localX, int localY, int button, int clickCount);
    virtual void OnMouseUp(int localX, int localY, int clickCode);
    virtual void OnMouseReleased(int localX, int localY);
    // Mouse moves while a button that went down on this widget is held.
    virtual void OnMouseDrag(int localX, int localY);
    virtual void OnMouseWheel(int delta);
    // A widget that scrolls with the wheel takes it while the mouse is over
    // it; the wheel goes to the focus widget otherwise.
    virtual bool WantsMouseWheel();
    // The marked control sees a key before the focus widget does; true
    // takes it. Enter and Space arrive here as presses, never as the
    // auto-repeat of a held key.
    virtual bool OnMarkedKey(int key);
    // A focus widget that takes every key itself (a text field, a page that
    // reads the arrows) keeps the manager from moving the mark with them.
    virtual bool TakesAllKeys();
    // As the focus widget: where Tab or an arrow key takes the mark from one
    // of its controls, for a screen whose controls have an order of their
    // own (along a curve, say); null leaves it to the manager's reading
    // order and nearest control that way.
    virtual Widget* KeyMarkNeighbour(Widget* from, int key);
    // The manager shows or hides the mark on this control.
    virtual void SetKeyMarked(bool marked);
    // Lets irregular widgets refuse hits at some of their points.
    virtual bool IsPointVisible(int localX, int localY);
    virtual Rect DrawCenteredTextShadowed(Graphics* g, int baselineY, const std::string& text,
                                          const Color& color, const Color& shadowColor,
                                          const Point& shadowOffset);
    virtual Rect DrawCenteredText(Graphics* g, int baselineY, const std::string& text);
    virtual int DrawColoredText(Graphics* g, const std::string& text, int textX, int textY,
                                int areaWidth = 0, int justification = -1, bool draw = true,
                                int offset = 0, int length = -1);
    virtual int DrawWrappedText(Graphics* g, const Rect& rect, const std::string& text,
                                int lineSpacing = -1, int justification = -1);
    virtual int MeasureWrappedText(Graphics* g, int areaWidth, const std::string& text,
                                   int lineSpacing = -1);
    virtual int CountDigits(int n);
    // Draws n from a strip holding the ten digits side by side.
    virtual void DrawDigitStrip(Graphics* g, int n, int stripX, int stripY, Image* strip,
                                int spacing);
    // Screen coordinates; the right and bottom edges are outside.
    virtual bool Contains(int screenX, int screenY);
    virtual Rect GetInsetRect();
    virtual Rect GetRect();
    virtual bool Overlaps(Widget* other);
    // Before a widget shrinks, moves or hides: also redraws what it uncovers.
    virtual void InvalidateFull();
    virtual void Invalidate();
    // True only when Draw covers every pixel of the bounds with opaque
    // colour: what lies behind need not be drawn where the widget is.
    // Widgets marked seeThrough or translucent never count as opaque.
    virtual bool IsOpaque();
    // Only part of the widget (its own coordinates) looks different: that
    // part is drawn again, with what lies in front of it, clipped to it.
    void InvalidateArea(const Rect& area);

    // Places the widget relative to the reference widget; see LayoutFlag.
    void Layout(int flags, Widget* reference, int dx, int dy, int dw, int dh);

    // The text operations switch the drawing context's colour codes to this
    // for the call.
    static inline bool colorCodesEnabled = true;

    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool visible = true;
    bool mouseVisible = true;
    bool clips = true;
    bool dirty = true;
    bool overlay = false;
    bool seeThrough = false;
    bool translucent = false;
    bool disabled = false;
    bool isDown = false;
    bool isOver = false;
    bool handCursor = false;
    bool hasFocus = false;
    // Controls opt in to the keyboard mark; the screen's default control
    // (what Enter presses in a dialog) is marked first.
    bool keyMarkable = false;
    bool keyDefault = false;
    // The mark shows on this control now.
    bool keyMarked = false;
    Insets insets;
    std::vector<Color> colors;
    Widget* tabPrev = nullptr;
    Widget* tabNext = nullptr;
    WidgetManager* manager = nullptr;
    int updateStamp = 0;
    int updateCount = 0;
    // Kept by the manager: the screen rectangle the widget's picture was
    // last drawn in below the overlays, empty while none of it shows there
    // (overlays are drawn over that picture, not into it).
    Rect shownRect;

protected:
    // Whether image, drawn plainly at (imageX, imageY), covers the whole
    // bounds with opaque pixels.
    bool ImageCoversBounds(MemoryImage* image, int imageX, int imageY);
    // The mark for controls without a hover look: a frame inside the bounds.
    void DrawKeyMark(Graphics* g);
    // The cursor kind through the manager's host; nothing without one.
    void SetCursorKind(int kind);
};

} // namespace Quillo
