#include "framework/widgets/WidgetManager.h"

#include "framework/graphics/DisplayImage.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageRegistry.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/NativeDisplay.h"
#include "framework/widgets/CursorWidget.h"
#include "framework/widgets/KeyCode.h"
#include "framework/widgets/KeyMarkOrder.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetHost.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <utility>

namespace Quillo
{

namespace
{

constexpr int kLeftBit = 1;
constexpr int kRightBit = 2;
constexpr int kMiddleBit = 4;

int ButtonBit(int clickCode)
{
    if (clickCode < 0)
        return kRightBit;
    return clickCode == 3 ? kMiddleBit : kLeftBit;
}

WidgetHost& DefaultHost()
{
    static WidgetHost host;
    return host;
}

} // namespace

WidgetManager::WidgetManager() : m_cursorWidget(std::make_unique<CursorWidget>())
{
}

WidgetManager::~WidgetManager()
{
    // The widgets outlive the manager in their owners' hands; make sure they
    // no longer refer to it.
    for (Widget* widget : widgets)
        widget->manager = nullptr;
    widgets.clear();
}

void WidgetManager::SetHost(WidgetHost* widgetHost)
{
    m_host = widgetHost;
}

WidgetHost& WidgetManager::Host()
{
    return m_host ? *m_host : DefaultHost();
}

void WidgetManager::SetScreenImage(MemoryImage* image)
{
    screenImage = image;
}

WidgetManager::WidgetList::iterator WidgetManager::Find(const Widget* widget)
{
    return std::find(widgets.begin(), widgets.end(), widget);
}

WidgetManager::WidgetList::const_iterator WidgetManager::Find(const Widget* widget) const
{
    return std::find(widgets.begin(), widgets.end(), widget);
}

bool WidgetManager::HasWidget(const Widget* widget) const
{
    return widget && Find(widget) != widgets.end();
}

bool WidgetManager::IsBehind(const Widget* a, const Widget* b) const
{
    if (!a || !b || a == b)
        return false;
    for (const Widget* widget : widgets)
    {
        if (widget == a)
            return HasWidget(b);
        if (widget == b)
            return false;
    }
    return false;
}

void WidgetManager::Unlink(WidgetList::iterator it)
{
    for (PassCursor* cursor : m_passCursors)
    {
        if (cursor->position == it)
        {
            ++cursor->position;
            cursor->movedOn = true;
        }
    }
    widgets.erase(it);
}

void WidgetManager::KeepCursorOnTop()
{
    if (!m_cursorWidgetShown || widgets.empty() || widgets.back() == m_cursorWidget.get())
        return;
    auto it = Find(m_cursorWidget.get());
    if (it == widgets.end())
        return;
    Unlink(it);
    widgets.push_back(m_cursorWidget.get());
}

void WidgetManager::AddWidget(Widget* widget)
{
    if (!widget)
        return;
    if (HasWidget(widget))
    {
        if (widget != m_cursorWidget.get())
            KeepCursorOnTop();
        ReevaluateMouse();
        return;
    }
    widgets.push_back(widget);
    widget->shownRect = Rect{};
    widget->OnAttached(this);
    widget->Invalidate();
    KeepCursorOnTop();
    ReevaluateMouse();
}

void WidgetManager::RemoveWidget(Widget* widget)
{
    auto it = Find(widget);
    if (it == widgets.end())
        return;
    widget->InvalidateFull();
    it = Find(widget);
    if (it == widgets.end())
        return;
    Uncover(widget);
    Unlink(it);
    const bool wasOver = widget == overWidget;
    ForgetMark(widget);
    ReleaseWidget(widget);
    if (popupWidget == widget)
        popupWidget = nullptr;
    if (defaultTabWidget == widget)
        defaultTabWidget = nullptr;
    widget->OnDetached(this);
    // What the pointer rests on now is entered without waiting for a move.
    if (wasOver)
        ReevaluateMouse();
}

void WidgetManager::Uncover(Widget* widget)
{
    // Overlays and what lies in front of the first one are drawn over the
    // cached picture: without them it is copied to the screen again.
    m_overlaysChanged = m_overlaysChanged || DrawnOverCache(widget);
    std::erase(m_overCache, widget);
    m_areas.Add(widget->shownRect);
    widget->shownRect = Rect{};
}

void WidgetManager::ForgetWidget(Widget* widget)
{
    auto it = Find(widget);
    if (it != widgets.end())
    {
        Uncover(widget);
        Unlink(it);
    }
    ForgetMark(widget);
    if (overWidget == widget)
        overWidget = nullptr;
    if (pressedWidget == widget)
    {
        pressedWidget = nullptr;
        downButtons = 0;
    }
    if (focusWidget == widget)
        focusWidget = nullptr;
    if (baseModalWidget == widget)
        baseModalWidget = nullptr;
    if (popupWidget == widget)
        popupWidget = nullptr;
    if (defaultTabWidget == widget)
        defaultTabWidget = nullptr;
    widget->manager = nullptr;
}

void WidgetManager::BringToFront(Widget* widget)
{
    auto it = Find(widget);
    if (it == widgets.end())
        return;
    Unlink(it);
    widgets.push_back(widget);
    KeepCursorOnTop();
    Invalidate(widget);
    widget->OnOrderChanged();
}

void WidgetManager::PutInFront(Widget* widget, Widget* reference)
{
    auto it = Find(widget);
    if (it == widgets.end())
        return;
    Unlink(it);
    auto ref = Find(reference);
    if (ref == widgets.end())
        widgets.push_back(widget);
    else
        widgets.insert(std::next(ref), widget);
    KeepCursorOnTop();
    Invalidate(widget);
    widget->OnOrderChanged();
}

bool WidgetManager::MayTakeInput(const Widget* widget) const
{
    return widget && !(baseModalWidget && IsBehind(widget, baseModalWidget));
}

void WidgetManager::SetFocus(Widget* widget)
{
    if (widget == focusWidget)
        return;
    // Widgets behind the modal widget get no focus.
    if (widget && !MayTakeInput(widget))
        return;
    DropFocus();
    if (widget && HasWidget(widget))
    {
        focusWidget = widget;
        if (hasFocus)
            widget->OnGotFocus();
    }
}

void WidgetManager::DropFocus()
{
    Widget* old = focusWidget;
    focusWidget = nullptr;
    // While the application is unfocused the widget already had its
    // OnLostFocus from FocusLost.
    if (old && hasFocus)
        old->OnLostFocus();
}

void WidgetManager::ClearOver()
{
    Widget* old = overWidget;
    overWidget = nullptr;
    if (old)
        old->OnMouseLeave();
}

void WidgetManager::ReleasePressed()
{
    Widget* pressed = pressedWidget;
    const int buttons = downButtons;
    pressedWidget = nullptr;
    downButtons = 0;
    if (!pressed)
        return;
    const int localX = lastMouseX - pressed->x;
    const int localY = lastMouseY - pressed->y;
    if (buttons & kLeftBit)
        pressed->OnMouseUp(localX, localY, 1);
    if (buttons & kRightBit)
        pressed->OnMouseUp(localX, localY, -1);
    if (buttons & kMiddleBit)
        pressed->OnMouseUp(localX, localY, 3);
}

void WidgetManager::SetBaseModal(Widget* widget)
{
    baseModalWidget = widget;
    if (!widget)
        return;
    if (overWidget && IsBehind(overWidget, widget))
        ClearOver();
    if (pressedWidget && IsBehind(pressedWidget, widget))
        ReleasePressed();
    if (focusWidget && IsBehind(focusWidget, widget))
        DropFocus();
}

void WidgetManager::ReleaseWidget(Widget* widget)
{
    if (!widget)
        return;
    if (widget == overWidget)
        ClearOver();
    if (widget == pressedWidget)
        ReleasePressed();
    if (widget == focusWidget)
        DropFocus();
    if (widget == baseModalWidget)
        baseModalWidget = nullptr;
}

void WidgetManager::OnWidgetDisabled(Widget* widget)
{
    if (widget == overWidget)
        ClearOver();
    if (widget == pressedWidget)
        ReleasePressed();
    if (widget == focusWidget)
        DropFocus();
}

void WidgetManager::OnWidgetEnabled(Widget* widget)
{
    if (HasWidget(widget) && widget->Contains(lastMouseX, lastMouseY))
        ReevaluateMouse();
}

void WidgetManager::SetSize(int newWidth, int newHeight)
{
    if (newWidth == width && newHeight == height)
        return;
    width = newWidth;
    height = newHeight;
    m_overlayCache.reset();
    m_wholeScreen = true;
}

void WidgetManager::MarkAllDirty()
{
    markedDirty = true;
    m_wholeScreen = true;
    for (Widget* widget : widgets)
        widget->dirty = true;
}

bool WidgetManager::UpdatePass()
{
    markedDirty = false;
    // A dialog that opened or closed moves the mark.
    ApplyKeyMark();
    ++updateNumber;
    PassCursor cursor{widgets.begin(), false};
    m_passCursors.push_back(&cursor);
    while (cursor.position != widgets.end())
    {
        Widget* widget = *cursor.position;
        cursor.movedOn = false;
        if (widget->updateStamp != updateNumber)
        {
            widget->updateStamp = updateNumber;
            widget->Update();
        }
        if (!cursor.movedOn)
            ++cursor.position;
    }
    m_passCursors.pop_back();
    return markedDirty;
}

bool WidgetManager::UpdatePartialPass(double fraction)
{
    markedDirty = false;
    PassCursor cursor{widgets.begin(), false};
    m_passCursors.push_back(&cursor);
    while (cursor.position != widgets.end())
    {
        Widget* widget = *cursor.position;
        cursor.movedOn = false;
        widget->UpdatePartial(fraction);
        if (!cursor.movedOn)
            ++cursor.position;
    }
    m_passCursors.pop_back();
    return markedDirty;
}

Widget* WidgetManager::WidgetAt(int screenX, int screenY)
{
    for (auto it = widgets.rbegin(); it != widgets.rend(); ++it)
    {
        Widget* widget = *it;
        if (widget->visible && widget->mouseVisible &&
            widget->GetInsetRect().Contains(screenX, screenY))
        {
            // A disabled widget swallows the hit.
            if (widget->disabled)
                return nullptr;
            if (widget->IsPointVisible(screenX - widget->x, screenY - widget->y))
                return widget;
        }
        if (widget == baseModalWidget)
            break;
    }
    return nullptr;
}

void WidgetManager::MoveCursorWidget()
{
    if (!m_cursorWidgetShown)
        return;
    const Point hotSpot = m_cursorWidget->GetHotSpot();
    m_cursorWidget->Move(lastMouseX - hotSpot.x, lastMouseY - hotSpot.y);
}

void WidgetManager::UpdateMousePosition(int mouseX, int mouseY)
{
    const bool moved = mouseX != lastMouseX || mouseY != lastMouseY;
    lastMouseX = mouseX;
    lastMouseY = mouseY;
    Widget* widget = WidgetAt(mouseX, mouseY);
    if (widget == overWidget)
    {
        if (widget && moved)
            widget->OnMouseMove(mouseX - widget->x, mouseY - widget->y);
    }
    else
    {
        ClearOver();
        overWidget = widget;
        if (widget)
        {
            widget->OnMouseEnter();
            if (overWidget == widget)
                widget->OnMouseMove(mouseX - widget->x, mouseY - widget->y);
        }
    }
    if (moved)
        MoveCursorWidget();
}

void WidgetManager::TrackCapturedMouse(int mouseX, int mouseY)
{
    const bool moved = mouseX != lastMouseX || mouseY != lastMouseY;
    lastMouseX = mouseX;
    lastMouseY = mouseY;
    if (moved)
        MoveCursorWidget();
}

void WidgetManager::Drag(int mouseX, int mouseY)
{
    mouseIn = true;
    const bool moved = mouseX != lastMouseX || mouseY != lastMouseY;
    lastMouseX = mouseX;
    lastMouseY = mouseY;
    if (overWidget && overWidget != pressedWidget)
        ClearOver();
    if (Widget* pressed = pressedWidget)
    {
        pressed->OnMouseDrag(mouseX - pressed->x, mouseY - pressed->y);
        if (pressedWidget == pressed)
        {
            if (WidgetAt(mouseX, mouseY) != pressed)
                ClearOver();
            else if (!overWidget)
            {
                overWidget = pressed;
                pressed->OnMouseEnter();
            }
        }
    }
    if (moved)
        MoveCursorWidget();
}

void WidgetManager::MouseMove(int mouseX, int mouseY)
{
    lastInputUpdate = updateNumber;
    if (downButtons != 0)
    {
        Drag(mouseX, mouseY);
        return;
    }
    mouseIn = true;
    const bool moved = mouseX != lastMouseX || mouseY != lastMouseY;
    UpdateMousePosition(mouseX, mouseY);
    if (!moved)
        return;
    // The mark waits, hidden, on the control the mouse went to.
    if (Markable(overWidget))
        m_keyMark = overWidget;
    ShowKeyMark(false);
}

void WidgetManager::MouseDown(int mouseX, int mouseY, int clickCode)
{
    lastInputUpdate = updateNumber;
    const int bit = ButtonBit(clickCode);
    physicalButtons |= bit;
    ShowKeyMark(false);
    if (downButtons != 0)
        TrackCapturedMouse(mouseX, mouseY);
    else
        UpdateMousePosition(mouseX, mouseY);
    if (popupWidget && !popupWidget->Contains(mouseX, mouseY))
    {
        Widget* popup = popupWidget;
        popupWidget = nullptr;
        RemoveWidget(popup);
    }
    Widget* target = pressedWidget ? pressedWidget : WidgetAt(mouseX, mouseY);
    lastButton = bit == kRightBit ? -1 : bit == kMiddleBit ? 2 : 1;
    downButtons |= bit;
    pressedWidget = target;
    if (!target)
        return;
    if (target->WantsFocus())
        SetFocus(target);
    target->OnMouseDown(mouseX - target->x, mouseY - target->y, clickCode);
}

void WidgetManager::MouseUp(int mouseX, int mouseY, int clickCode)
{
    lastInputUpdate = updateNumber;
    const int bit = ButtonBit(clickCode);
    physicalButtons &= ~bit;
    if (pressedWidget && (downButtons & bit))
    {
        downButtons &= ~bit;
        Widget* pressed = pressedWidget;
        if (downButtons == 0)
            pressedWidget = nullptr;
        pressed->OnMouseUp(mouseX - pressed->x, mouseY - pressed->y, clickCode);
    }
    else
    {
        downButtons &= ~bit;
    }
    if (downButtons != 0)
        TrackCapturedMouse(mouseX, mouseY);
    else
        UpdateMousePosition(mouseX, mouseY);
}

void WidgetManager::MouseLeaveWindow(int mouseX, int mouseY)
{
    (void)mouseX, (void)mouseY;
    lastInputUpdate = updateNumber;
    mouseIn = false;
    ClearOver();
}

void WidgetManager::MouseWheel(int delta)
{
    lastInputUpdate = updateNumber;
    Widget* under = mouseIn ? WidgetAt(lastMouseX, lastMouseY) : nullptr;
    if (under && under->WantsMouseWheel())
        under->OnMouseWheel(delta);
    else if (focusWidget && MayTakeInput(focusWidget))
        focusWidget->OnMouseWheel(delta);
}

void WidgetManager::KeyDown(int key)
{
    lastInputUpdate = updateNumber;
    const bool known = key >= 0 && key < static_cast<int>(keyDown.size());
    const bool wasRepeat = m_keyRepeat;
    m_keyRepeat = known && keyDown[static_cast<size_t>(key)];
    if (known)
        keyDown[static_cast<size_t>(key)] = true;
    Widget* focus = focusWidget && MayTakeInput(focusWidget) ? focusWidget : nullptr;
    const bool taken = !(focus && focus->TakesAllKeys()) && MarkKeyDown(key);
    // The mark's key may have closed the screen: the focus is read again.
    if (!taken && focusWidget && MayTakeInput(focusWidget))
        focusWidget->OnKeyDown(key);
    m_keyRepeat = wasRepeat;
}

bool WidgetManager::Markable(const Widget* widget) const
{
    // Only the focus widget's own controls, in front of it: a page over a
    // screen hides that screen's controls without being modal.
    return widget && widget->keyMarkable && widget->visible && !widget->disabled &&
           widget->manager == this && MayTakeInput(widget) &&
           (!focusWidget || widget == focusWidget || IsBehind(focusWidget, widget));
}

std::vector<Widget*> WidgetManager::MarkableWidgets() const
{
    std::vector<Widget*> controls;
    for (Widget* widget : widgets)
        if (Markable(widget))
            controls.push_back(widget);
    return controls;
}

Widget* WidgetManager::KeyMark()
{
    if (Markable(m_keyMark))
        return m_keyMark;
    if (m_keyMark && std::find(m_markMemory.begin(), m_markMemory.end(), m_keyMark) == m_markMemory.end())
        m_markMemory.push_back(m_keyMark);
    m_keyMark = nullptr;
    for (auto it = m_markMemory.rbegin(); it != m_markMemory.rend(); ++it)
    {
        if (Markable(*it))
        {
            m_keyMark = *it;
            m_markMemory.erase(std::next(it).base());
            return m_keyMark;
        }
    }
    const std::vector<Widget*> controls = MarkableWidgets();
    // The frontmost default: a dialog's own control before its first button.
    const auto firstDefault =
        std::find_if(controls.rbegin(), controls.rend(), [](const Widget* w) { return w->keyDefault; });
    m_keyMark = firstDefault != controls.rend() ? *firstDefault
                                                : NextInTabOrder(controls, nullptr, false);
    return m_keyMark;
}

void WidgetManager::SetKeyMark(Widget* widget)
{
    if (widget && !Markable(widget))
        return;
    m_keyMark = widget;
    ApplyKeyMark();
}

void WidgetManager::ShowKeyMark(bool show)
{
    m_markShown = show;
    ApplyKeyMark();
}

void WidgetManager::ApplyKeyMark()
{
    Widget* look = m_markShown ? KeyMark() : nullptr;
    if (look == m_markedLook)
        return;
    if (m_markedLook)
        m_markedLook->SetKeyMarked(false);
    m_markedLook = look;
    if (look)
        look->SetKeyMarked(true);
}

void WidgetManager::ForgetMark(Widget* widget)
{
    std::erase(m_markMemory, widget);
    if (m_keyMark == widget)
        m_keyMark = nullptr;
    if (m_markedLook == widget)
    {
        m_markedLook = nullptr;
        widget->keyMarked = false;
    }
}

bool WidgetManager::MarkKeyDown(int key)
{
    Widget* mark = KeyMark();
    if (!mark)
        return false;
    const bool tab = key == KeyCode::Tab;
    const bool arrow =
        key == KeyCode::Left || key == KeyCode::Right || key == KeyCode::Up || key == KeyCode::Down;
    if (!m_markShown)
    {
        // The first arrow or Tab shows where the mark is.
        if (!tab && !arrow)
            return false;
        ShowKeyMark(true);
        return true;
    }
    const bool press = key == KeyCode::Enter || key == KeyCode::Space;
    // A held Enter answers once: its repeat would press what comes next.
    if (press && m_keyRepeat)
        return true;
    if (mark->OnMarkedKey(key))
    {
        ApplyKeyMark();
        return true;
    }
    if (!tab && !arrow)
        return false;
    Widget* next = nullptr;
    if (focusWidget && MayTakeInput(focusWidget))
        if (Widget* own = focusWidget->KeyMarkNeighbour(mark, key); Markable(own))
            next = own;
    if (!next && tab)
        next = NextInTabOrder(MarkableWidgets(), mark, keyDown[KeyCode::Shift]);
    else if (!next)
        next = NearestInDirection(MarkableWidgets(), mark, key);
    if (!next)
        return false;
    m_keyMark = next;
    ApplyKeyMark();
    return true;
}

void WidgetManager::KeyUp(int key)
{
    lastInputUpdate = updateNumber;
    if (key >= 0 && key < static_cast<int>(keyDown.size()))
        keyDown[static_cast<size_t>(key)] = false;
    if (key == KeyCode::Tab && keyDown[KeyCode::Control])
        return;
    if (focusWidget && MayTakeInput(focusWidget))
        focusWidget->OnKeyUp(key);
}

void WidgetManager::KeyChar(char32_t ch)
{
    lastInputUpdate = updateNumber;
    Widget* target = (ch == '\t' && keyDown[KeyCode::Control]) ? defaultTabWidget : focusWidget;
    if (target && MayTakeInput(target))
        target->OnKeyChar(ch);
}

void WidgetManager::FocusGained()
{
    if (hasFocus)
        return;
    hasFocus = true;
    if (focusWidget)
        focusWidget->OnGotFocus();
}

void WidgetManager::FocusLost()
{
    if (!hasFocus)
        return;
    physicalButtons = 0;
    for (size_t key = 0; key < keyDown.size(); ++key)
    {
        if (keyDown[key])
            KeyUp(static_cast<int>(key));
    }
    hasFocus = false;
    if (focusWidget)
        focusWidget->OnLostFocus();
}

void WidgetManager::ReleasePressedButtons()
{
    ReleasePressed();
}

void WidgetManager::ReevaluateMouse()
{
    if (!pressedWidget)
    {
        if (mouseIn && downButtons == 0)
            UpdateMousePosition(lastMouseX, lastMouseY);
    }
    else if (overWidget && WidgetAt(lastMouseX, lastMouseY) != pressedWidget)
    {
        ClearOver();
    }
}

CursorWidget* WidgetManager::GetCursorWidget()
{
    return m_cursorWidget.get();
}

void WidgetManager::ShowCursorWidget(bool show)
{
    if (show == m_cursorWidgetShown)
        return;
    m_cursorWidgetShown = show;
    if (show)
    {
        AddWidget(m_cursorWidget.get());
        MoveCursorWidget();
    }
    else
    {
        RemoveWidget(m_cursorWidget.get());
    }
}

void WidgetManager::Invalidate(Widget* widget)
{
    // The draw pass redraws where the widget was and where it is, with
    // everything that shows there.
    markedDirty = true;
    widget->dirty = true;
}

void WidgetManager::InvalidateFull(Widget* widget)
{
    Invalidate(widget);
}

void WidgetManager::InvalidateArea(Widget* widget, const Rect& area)
{
    if (widget->overlay)
    {
        Invalidate(widget);
        return;
    }
    markedDirty = true;
    m_asked = true;
    if (widget->dirty || !widget->visible)
        return;
    m_areas.Add(area.Intersection(widget->GetRect()).Intersection(Rect{0, 0, width, height}));
}

Rect WidgetManager::ScreenRectOf(Widget* widget) const
{
    const Rect screenRect{0, 0, width, height};
    if (!widget->visible)
        return Rect{};
    return widget->clips ? widget->GetRect().Intersection(screenRect) : screenRect;
}

bool WidgetManager::CollectChanges()
{
    bool overlayChanged = std::exchange(m_overlaysChanged, false);
    for (Widget* widget : widgets)
    {
        if (!widget->dirty)
            continue;
        // An overlay is drawn over the cached picture, not into it, so it
        // counts as shown nowhere; it may have been drawn into that picture
        // before it became one.
        const Rect now = widget->overlay ? Rect{} : ScreenRectOf(widget);
        m_areas.Add(widget->shownRect);
        m_areas.Add(now);
        overlayChanged = overlayChanged || DrawnOverCache(widget);
        widget->shownRect = now;
        if (!widget->visible)
            widget->dirty = false;
    }
    return overlayChanged;
}

bool WidgetManager::DrawnOverCache(const Widget* widget) const
{
    if (std::find(m_overCache.begin(), m_overCache.end(), widget) != m_overCache.end())
        return true;
    for (const Widget* w : widgets)
    {
        if (w->visible && w->overlay)
            return true;
        if (w == widget)
            return false;
    }
    return false;
}

bool WidgetManager::CachedWidgetsChanged(bool hasOverlay)
{
    std::vector<Widget*> behind;
    if (hasOverlay)
    {
        for (Widget* widget : widgets)
        {
            if (widget->visible && widget->overlay)
                break;
            behind.push_back(widget);
        }
    }
    if (behind == m_cachedWidgets)
        return false;
    m_cachedWidgets.swap(behind);
    return true;
}

Widget* WidgetManager::OpaqueBase(const Rect& area) const
{
    Widget* base = nullptr;
    const int right = area.x + area.width - 1;
    const int bottom = area.y + area.height - 1;
    for (Widget* w : widgets)
    {
        if (!w->visible)
            continue;
        if (w->overlay)
            break;
        if (!w->seeThrough && !w->translucent && w->Contains(area.x, area.y) &&
            w->Contains(right, bottom) && w->IsOpaque())
            base = w;
    }
    return base;
}

void WidgetManager::DrawArea(Graphics& g, const Rect& area)
{
    Graphics clipped(g);
    clipped.IntersectClip(area);
    Widget* base = OpaqueBase(area);
    if (!base)
    {
        // Nothing covers the area: it starts from black, as a whole redraw does.
        clipped.SetColor(Color(0, 0, 0));
        clipped.FillRect(area);
    }
    bool reached = base == nullptr;
    for (Widget* widget : widgets)
    {
        if (widget->visible && widget->overlay)
            break;
        reached = reached || widget == base;
        if (!reached || !widget->visible)
            continue;
        if (widget->clips && !widget->GetRect().Intersects(area))
            continue;
        DrawWidget(clipped, widget);
    }
}

void WidgetManager::DrawWidget(Graphics& g, Widget* widget)
{
    Graphics local(g);
    if (widget->clips)
        local.IntersectClip(widget->x, widget->y, widget->width, widget->height);
    local.Translate(widget->x, widget->y);
    widget->Draw(&local);
}

bool WidgetManager::DrawPass()
{
    m_drawn.Clear();
    if (!screenImage)
    {
        m_areas.Clear();
        m_asked = false;
        return false;
    }
    // The display's surface stays locked for drawing during the whole pass.
    std::unique_lock<std::recursive_mutex> surfaceLock;
    if (auto* display = dynamic_cast<DisplayImage*>(screenImage))
        surfaceLock = std::unique_lock<std::recursive_mutex>(display->GetDisplay().GetLock());
    m_drawing = true;
    struct DrawingEnds
    {
        bool& drawing;
        ~DrawingEnds() { drawing = false; }
    } drawingEnds{m_drawing};
    for (Widget* widget : widgets)
    {
        if (widget->visible)
            widget->BeforeDrawPass();
    }
    const bool asked = std::exchange(m_asked, false);
    bool hasOverlay = false;
    for (Widget* widget : widgets)
        hasOverlay = hasOverlay || (widget->visible && widget->overlay);
    bool overlayChanged = CollectChanges();
    const Rect screenRect{0, 0, width, height};
    const bool cacheChanged = CachedWidgetsChanged(hasOverlay);
    if (std::exchange(m_wholeScreen, false) || hasOverlay != m_hadOverlay || cacheChanged)
    {
        m_areas.Clear();
        m_areas.Add(screenRect);
        overlayChanged = true;
    }
    m_areas.ClipTo(screenRect);
    m_areas.Merge();
    if (m_areas.Empty() && !(hasOverlay && overlayChanged))
    {
        m_hadOverlay = hasOverlay;
        return asked;
    }

    MemoryImage* target = screenImage;
    if (hasOverlay)
    {
        if (!m_overlayCache)
        {
            // Made like the screen, so that the display can draw it the same way.
            if (auto* display = dynamic_cast<DisplayImage*>(screenImage))
                m_overlayCache = std::make_unique<DisplayImage>(display->GetDisplay());
            else if (ImageRegistry* registry = screenImage->GetRegistry())
                m_overlayCache = std::make_unique<MemoryImage>(*registry);
            else
                m_overlayCache = std::make_unique<MemoryImage>();
            m_overlayCache->Create(width, height);
            if (screenImage->AlphaFlagsForced())
                m_overlayCache->ForceAlphaFlags(screenImage->HasTrans(), screenImage->HasAlpha());
        }
        target = m_overlayCache.get();
    }
    {
        Graphics g(target);
        for (const Rect& area : m_areas.Areas())
            DrawArea(g, area);
    }
    m_drawn.Add(m_areas);
    m_areas.Clear();

    if (hasOverlay)
    {
        // The overlays and whatever lies in front of the first one are drawn
        // whole over the cached picture of everything behind them.
        CopyOverlayCache();
        Graphics g(screenImage);
        m_overCache.clear();
        for (Widget* widget : widgets)
        {
            if (!widget->visible || (m_overCache.empty() && !widget->overlay))
                continue;
            DrawWidget(g, widget);
            m_overCache.push_back(widget);
        }
        m_drawn.Clear();
        m_drawn.Add(screenRect);
    }
    if (!hasOverlay)
        m_overCache.clear();
    for (Widget* widget : widgets)
        widget->dirty = false;
    m_hadOverlay = hasOverlay;
    return true;
}

void WidgetManager::CopyOverlayCache()
{
    const int copyWidth = std::min(m_overlayCache->width, screenImage->width);
    const int copyHeight = std::min(m_overlayCache->height, screenImage->height);
    if (copyWidth <= 0 || copyHeight <= 0)
        return;
    const uint32_t* from = m_overlayCache->GetBits();
    uint32_t* to = screenImage->GetBits();
    if (!from || !to)
        return;
    for (int row = 0; row < copyHeight; ++row)
    {
        std::memcpy(to + static_cast<size_t>(row) * static_cast<size_t>(screenImage->width),
                    from + static_cast<size_t>(row) * static_cast<size_t>(m_overlayCache->width),
                    static_cast<size_t>(copyWidth) * sizeof(uint32_t));
    }
    screenImage->MarkBitsChanged();
}

} // namespace Quillo
