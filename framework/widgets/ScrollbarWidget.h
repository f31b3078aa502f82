#pragma once

#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Widget.h"

#include <memory>

namespace Quillo
{

class ScrollListener;
class ScrollbuttonWidget;

// A scrollbar with an arrow button at each end and a draggable thumb. The
// position runs from 0 to maxValue - pageSize; it is disabled while
// everything fits on one page. The arrows move by one on a click and, after
// a short delay, repeatedly while held; a press on the track moves by a page.
class ScrollbarWidget : public Widget, public ButtonListener
{
public:
    ScrollbarWidget(int scrollbarId, ScrollListener* scrollListener);
    ~ScrollbarWidget() override;

    // The whole length and the visible part, in the owner's units (lines).
    void SetMaxValue(double newMaxValue);
    void SetPageSize(double newPageSize);
    // Clamps; tells the listener when notify is set and the position changed.
    void SetValue(double newValue, bool notify = false);
    double GetValue() const { return value; }
    double MaxPosition() const;
    // The thumb in local coordinates.
    Rect ThumbRect() const;

    void OnAttached(WidgetManager* widgetManager) override;
    void OnDetached(WidgetManager* widgetManager) override;
    void OnOrderChanged() override;
    void SetVisible(bool isVisible) override;
    void Resize(int newX, int newY, int newWidth, int newHeight) override;
    void Draw(Graphics* g) override;
    void OnMouseDown(int localX, int localY, int clickCode) override;
    void OnMouseDrag(int localX, int localY) override;
    void OnMouseReleased(int localX, int localY) override;
    void OnMouseWheel(int delta) override;
    bool WantsMouseWheel() override;

    void OnButtonPressed(int buttonId) override;
    void OnButtonHeld(int buttonId) override;

    ScrollbuttonWidget* UpButton() { return m_upButton.get(); }
    ScrollbuttonWidget* DownButton() { return m_downButton.get(); }

    int id;
    ScrollListener* listener;
    bool horizontal = false;
    double value = 0.0;
    double maxValue = 0.0;
    double pageSize = 1.0;
    // Hides the bar (and its arrows) while there is nothing to scroll.
    bool hideWhenNothingToScroll = false;

    // Update steps a held arrow waits before repeating, and between repeats.
    static constexpr int kRepeatDelay = 30;
    static constexpr int kRepeatInterval = 4;

private:
    // The track between the arrows, along the scrolling axis.
    int TrackStart() const;
    int TrackLength() const;
    void LayoutButtons();
    void UpdateEnabled();

    std::unique_ptr<ScrollbuttonWidget> m_upButton;
    std::unique_ptr<ScrollbuttonWidget> m_downButton;
    bool m_dragging = false;
    int m_grabOffset = 0;
    int m_heldTicks = 0;
};

} // namespace Quillo
