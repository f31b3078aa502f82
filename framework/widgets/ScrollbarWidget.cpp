#include "framework/widgets/ScrollbarWidget.h"

#include "framework/graphics/Graphics.h"
#include "framework/widgets/ScrollListener.h"
#include "framework/widgets/ScrollbuttonWidget.h"
#include "framework/widgets/WidgetManager.h"

#include <algorithm>

namespace Quillo
{

namespace
{

const Color kTrack{232, 232, 232};
constexpr int kMinThumb = 8;

} // namespace

ScrollbarWidget::ScrollbarWidget(int scrollbarId, ScrollListener* scrollListener)
    : id(scrollbarId), listener(scrollListener),
      m_upButton(std::make_unique<ScrollbuttonWidget>(0, this)),
      m_downButton(std::make_unique<ScrollbuttonWidget>(1, this))
{
    disabled = true;
    m_upButton->disabled = true;
    m_downButton->disabled = true;
}

ScrollbarWidget::~ScrollbarWidget()
{
    if (manager)
    {
        manager->RemoveWidget(m_upButton.get());
        manager->RemoveWidget(m_downButton.get());
    }
}

double ScrollbarWidget::MaxPosition() const
{
    return std::max(0.0, maxValue - pageSize);
}

void ScrollbarWidget::UpdateEnabled()
{
    const bool scrollable = MaxPosition() > 0.0;
    SetDisabled(!scrollable);
    m_upButton->SetDisabled(!scrollable);
    m_downButton->SetDisabled(!scrollable);
    if (hideWhenNothingToScroll)
        SetVisible(scrollable);
}

void ScrollbarWidget::SetMaxValue(double newMaxValue)
{
    maxValue = std::max(0.0, newMaxValue);
    SetValue(value);
    UpdateEnabled();
    Invalidate();
}

void ScrollbarWidget::SetPageSize(double newPageSize)
{
    pageSize = std::max(0.0, newPageSize);
    SetValue(value);
    UpdateEnabled();
    Invalidate();
}

void ScrollbarWidget::SetValue(double newValue, bool notify)
{
    newValue = std::clamp(newValue, 0.0, MaxPosition());
    if (newValue == value)
        return;
    value = newValue;
    Invalidate();
    if (notify && listener)
        listener->OnScrolled(id, value);
}

int ScrollbarWidget::TrackStart() const
{
    return horizontal ? height : width;
}

int ScrollbarWidget::TrackLength() const
{
    return std::max(0, (horizontal ? width - 2 * height : height - 2 * width));
}

Rect ScrollbarWidget::ThumbRect() const
{
    const int track = TrackLength();
    if (disabled || maxValue <= 0.0 || track <= 0)
        return Rect{};
    const int length = std::clamp(static_cast<int>(track * pageSize / maxValue), std::min(kMinThumb, track), track);
    const double maxPosition = MaxPosition();
    const int offset =
        maxPosition > 0.0 ? static_cast<int>((track - length) * value / maxPosition) : 0;
    if (horizontal)
        return Rect{TrackStart() + offset, 0, length, height};
    return Rect{0, TrackStart() + offset, width, length};
}

void ScrollbarWidget::LayoutButtons()
{
    if (horizontal)
    {
        m_upButton->Resize(x, y, height, height);
        m_downButton->Resize(x + width - height, y, height, height);
    }
    else
    {
        m_upButton->Resize(x, y, width, width);
        m_downButton->Resize(x, y + height - width, width, width);
    }
    m_upButton->horizontal = horizontal;
    m_downButton->horizontal = horizontal;
}

void ScrollbarWidget::OnAttached(WidgetManager* widgetManager)
{
    Widget::OnAttached(widgetManager);
    LayoutButtons();
    m_upButton->visible = visible;
    m_downButton->visible = visible;
    widgetManager->AddWidget(m_upButton.get());
    widgetManager->AddWidget(m_downButton.get());
}

void ScrollbarWidget::OnDetached(WidgetManager* widgetManager)
{
    widgetManager->RemoveWidget(m_upButton.get());
    widgetManager->RemoveWidget(m_downButton.get());
    Widget::OnDetached(widgetManager);
}

void ScrollbarWidget::OnOrderChanged()
{
    if (!manager)
        return;
    manager->PutInFront(m_upButton.get(), this);
    manager->PutInFront(m_downButton.get(), m_upButton.get());
}

void ScrollbarWidget::SetVisible(bool isVisible)
{
    Widget::SetVisible(isVisible);
    m_upButton->SetVisible(isVisible);
    m_downButton->SetVisible(isVisible);
}

void ScrollbarWidget::Resize(int newX, int newY, int newWidth, int newHeight)
{
    Widget::Resize(newX, newY, newWidth, newHeight);
    LayoutButtons();
}

void ScrollbarWidget::Draw(Graphics* g)
{
    g->SetColor(kTrack);
    g->FillRect(0, 0, width, height);
    const Rect thumb = ThumbRect();
    if (thumb.width <= 0 || thumb.height <= 0)
        return;
    g->SetColor(Color{212, 212, 212});
    g->FillRect(thumb);
    g->SetColor(Color::White);
    g->FillRect(thumb.x, thumb.y, thumb.width - 1, 1);
    g->FillRect(thumb.x, thumb.y, 1, thumb.height - 1);
    g->SetColor(Color::Black);
    g->FillRect(thumb.x, thumb.y + thumb.height - 1, thumb.width, 1);
    g->FillRect(thumb.x + thumb.width - 1, thumb.y, 1, thumb.height);
}

void ScrollbarWidget::OnMouseDown(int localX, int localY, int clickCode)
{
    Widget::OnMouseDown(localX, localY, clickCode);
    const Rect thumb = ThumbRect();
    if (thumb.width <= 0)
        return;
    const int along = horizontal ? localX : localY;
    const int thumbStart = horizontal ? thumb.x : thumb.y;
    const int thumbLength = horizontal ? thumb.width : thumb.height;
    if (along < thumbStart)
        SetValue(value - pageSize, true);
    else if (along >= thumbStart + thumbLength)
        SetValue(value + pageSize, true);
    else
    {
        m_dragging = true;
        m_grabOffset = along - thumbStart;
    }
}

void ScrollbarWidget::OnMouseDrag(int localX, int localY)
{
    if (!m_dragging)
        return;
    const Rect thumb = ThumbRect();
    const int thumbLength = horizontal ? thumb.width : thumb.height;
    const int room = TrackLength() - thumbLength;
    if (room <= 0)
        return;
    const int along = (horizontal ? localX : localY) - TrackStart() - m_grabOffset;
    SetValue(MaxPosition() * along / room, true);
}

void ScrollbarWidget::OnMouseReleased(int localX, int localY)
{
    Widget::OnMouseReleased(localX, localY);
    m_dragging = false;
}

void ScrollbarWidget::OnMouseWheel(int delta)
{
    SetValue(value - delta, true);
}

bool ScrollbarWidget::WantsMouseWheel()
{
    return true;
}

void ScrollbarWidget::OnButtonPressed(int buttonId)
{
    m_heldTicks = 0;
    SetValue(buttonId == 0 ? value - 1.0 : value + 1.0, true);
}

void ScrollbarWidget::OnButtonHeld(int buttonId)
{
    ++m_heldTicks;
    if (m_heldTicks >= kRepeatDelay && (m_heldTicks - kRepeatDelay) % kRepeatInterval == 0)
        SetValue(buttonId == 0 ? value - 1.0 : value + 1.0, true);
}

} // namespace Quillo
