#pragma once

#include "framework/graphics/AreaList.h"

#include <array>
#include <list>
#include <memory>
#include <vector>

namespace Quillo
{

class CursorWidget;
class Graphics;
class MemoryImage;
class Widget;
class WidgetHost;

// Keeps every widget in one flat list from back to front, routes mouse and
// keyboard input to them, runs their updates and redraws the dirty ones into
// the screen image. Coordinates are screen pixels. Widgets are owned by
// whoever made them; the manager only refers to them while they are attached.
class WidgetManager
{
public:
    WidgetManager();
    WidgetManager(const WidgetManager&) = delete;
    WidgetManager& operator=(const WidgetManager&) = delete;
    virtual ~WidgetManager();

    // The application's services; null gives the quiet defaults of WidgetHost.
    void SetHost(WidgetHost* widgetHost);
    WidgetHost& Host();
    // The image drawn into; null draws nothing.
    void SetScreenImage(MemoryImage* image);

    void AddWidget(Widget* widget);
    void RemoveWidget(Widget* widget);
    bool HasWidget(const Widget* widget) const;
    void BringToFront(Widget* widget);
    void PutInFront(Widget* widget, Widget* reference);
    void SetFocus(Widget* widget);
    void SetBaseModal(Widget* widget);
    void ReleaseWidget(Widget* widget);
    void SetSize(int newWidth, int newHeight);
    void MarkAllDirty();

    // One fixed update step; returns whether any widget was marked dirty.
    bool UpdatePass();
    bool UpdatePartialPass(double fraction);
    // Draws the dirty widgets and the invalidated areas; returns whether
    // anything was drawn or looked at again (an invalidated area that shows
    // no change is still a frame of an animation).
    bool DrawPass();
    // True while a draw pass runs.
    bool Drawing() const { return m_drawing; }
    // The screen areas the last draw pass drew.
    const AreaList& DrawnAreas() const { return m_drawn; }

    void MouseMove(int mouseX, int mouseY);
    void MouseDown(int mouseX, int mouseY, int clickCode);
    void MouseUp(int mouseX, int mouseY, int clickCode);
    void MouseLeaveWindow(int mouseX, int mouseY);
    void MouseWheel(int delta);
    void KeyDown(int key);
    // True while KeyDown hands on a key that is already down: the
    // keyboard's auto-repeat, which a button press must not take for a
    // new press.
    bool IsKeyRepeat() const { return m_keyRepeat; }
    void KeyUp(int key);
    void KeyChar(char32_t ch);
    void FocusGained();
    void FocusLost();
    void ReleasePressedButtons();

    // The keyboard mark: one markable control of the screen in front (in
    // front of the modal widget, when there is one). Arrow keys and Tab move
    // it and Enter or Space press it, before the focus widget sees the key;
    // the focus widget gets what the mark does not take. It shows from the
    // first arrow or Tab and hides when the mouse moves; while hidden, keys
    // go to the focus widget as they would without it. A control that
    // leaves the screen in front gets the mark back when it returns.
    Widget* KeyMark();
    void SetKeyMark(Widget* widget);
    bool KeyMarkShown() const { return m_markShown; }
    void ShowKeyMark(bool show);
    // The controls the mark may be on now, back to front.
    std::vector<Widget*> MarkableWidgets() const;

    // The frontmost widget under the point that may take the mouse, or null.
    Widget* WidgetAt(int screenX, int screenY);
    // Whether a lies behind b in the order; false when either is not attached.
    bool IsBehind(const Widget* a, const Widget* b) const;

    // The drawn cursor: while shown it is frontmost and follows the mouse.
    CursorWidget* GetCursorWidget();
    void ShowCursorWidget(bool show);

    // Called by widgets; Algorithms of marking dirty.
    void Invalidate(Widget* widget);
    void InvalidateFull(Widget* widget);
    // area: screen coordinates, inside the widget; an empty one asks for a
    // frame without drawing anything.
    void InvalidateArea(Widget* widget, const Rect& area);
    void OnWidgetDisabled(Widget* widget);
    void OnWidgetEnabled(Widget* widget);
    // After a widget was added, shown, hidden, moved or resized.
    void ReevaluateMouse();
    // Unlinks a widget that is being destroyed without calling it back.
    void ForgetWidget(Widget* widget);

    const std::list<Widget*>& Widgets() const { return widgets; }
    Widget* GetBaseModal() const { return baseModalWidget; }
    // Whether buttons are held on the pressed widget; the application keeps
    // the system mouse capture while this is true.
    bool AnyButtonDown() const { return downButtons != 0; }

    // Screen state, read by the application and the widgets.
    MemoryImage* screenImage = nullptr;
    int width = 0;
    int height = 0;
    Widget* focusWidget = nullptr;
    Widget* pressedWidget = nullptr;
    Widget* overWidget = nullptr;
    Widget* baseModalWidget = nullptr;
    // Removed from the manager when a button goes down outside it.
    Widget* popupWidget = nullptr;
    // Receives Tab characters typed with Ctrl held.
    Widget* defaultTabWidget = nullptr;
    bool mouseIn = false;
    int lastMouseX = 0;
    int lastMouseY = 0;
    // Buttons pressed on pressedWidget and buttons physically down:
    // bit 1 left, 2 right, 4 middle.
    int downButtons = 0;
    int physicalButtons = 0;
    // 1 left, -1 right, 2 middle.
    int lastButton = 0;
    // By virtual key code; 16 Shift, 17 Ctrl, 18 Alt.
    std::array<bool, 256> keyDown{};
    // Whether the application has the input focus.
    bool hasFocus = true;
    int updateNumber = 0;
    int lastInputUpdate = 0;
    bool markedDirty = false;

private:
    using WidgetList = std::list<Widget*>;

    WidgetList::iterator Find(const Widget* widget);
    WidgetList::const_iterator Find(const Widget* widget) const;
    void Unlink(WidgetList::iterator it);
    void KeepCursorOnTop();
    void UpdateMousePosition(int mouseX, int mouseY);
    void MoveCursorWidget();
    void Drag(int mouseX, int mouseY);
    // While the capture holds only the pressed widget may be the mouse-over
    // widget, so button changes under it only record the position.
    void TrackCapturedMouse(int mouseX, int mouseY);
    void ClearOver();
    void ReleasePressed();
    void DropFocus();
    bool Markable(const Widget* widget) const;
    // Gives the mark's look to the marked control, if it shows.
    void ApplyKeyMark();
    // Takes the key for the mark; false hands it on to the focus widget.
    bool MarkKeyDown(int key);
    void ForgetMark(Widget* widget);
    bool MayTakeInput(const Widget* widget) const;
    void DrawWidget(Graphics& g, Widget* widget);
    // Where the widget's picture goes on screen now; empty while hidden.
    Rect ScreenRectOf(Widget* widget) const;
    // Adds where each dirty widget was and is to the areas of the pass;
    // returns whether an overlay, or a widget drawn with them, changed.
    bool CollectChanges();
    // Whether the widgets drawn into the overlay cache, those behind the
    // first overlay, are others than in the last pass: those that changed
    // sides without changing are missing from the cache or still in it.
    bool CachedWidgetsChanged(bool hasOverlay);
    // Whether the widget was or would be drawn over the overlay cache.
    bool DrawnOverCache(const Widget* widget) const;
    // A widget leaving the screen, still in the list: what it covered is
    // drawn again.
    void Uncover(Widget* widget);
    // Draws every widget that shows in the area, clipped to it, from the
    // frontmost opaque widget covering it (or black, without one).
    void DrawArea(Graphics& g, const Rect& area);
    // The frontmost visible opaque widget holding the whole area, behind
    // the overlays, or null.
    Widget* OpaqueBase(const Rect& area) const;
    void CopyOverlayCache();

    // A walk of an update pass; a removal of the widget it stands on moves it
    // to the next one and tells the walk not to advance.
    struct PassCursor
    {
        std::list<Widget*>::iterator position;
        bool movedOn = false;
    };

    WidgetList widgets;
    WidgetHost* m_host = nullptr;
    std::unique_ptr<CursorWidget> m_cursorWidget;
    bool m_cursorWidgetShown = false;
    std::unique_ptr<MemoryImage> m_overlayCache;
    bool m_hadOverlay = false;
    std::vector<PassCursor*> m_passCursors;
    // What the next pass draws again, screen coordinates: invalidated parts
    // of widgets and where removed widgets were.
    AreaList m_areas;
    AreaList m_drawn;
    bool m_wholeScreen = true;
    bool m_overlaysChanged = false; // an overlay widget was removed
    std::vector<Widget*> m_cachedWidgets;
    std::vector<Widget*> m_overCache; // drawn over the cache by the last pass
    bool m_asked = false; // an empty area was invalidated
    bool m_drawing = false;
    bool m_keyRepeat = false;
    Widget* m_keyMark = nullptr;
    // Marked controls that went behind a modal widget or out of use.
    std::vector<Widget*> m_markMemory;
    Widget* m_markedLook = nullptr;
    bool m_markShown = false;
};

} // namespace Quillo
