#include "framework/widgets/Slider.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/KeyCode.h"
#include "framework/widgets/SliderListener.h"

#include <algorithm>
#include <cmath>

namespace Quillo
{

namespace
{

constexpr int kArrowCursor = 0;
constexpr int kDragCursor = 2;
// Ten key presses go from end to end.
constexpr double kKeySteps = 10.0;

} // namespace

Slider::Slider(Image* track, Image* thumb, int sliderId, SliderListener* sliderListener)
    : id(sliderId), trackImage(track), thumbImage(thumb), listener(sliderListener)
{
}

void Slider::SetValue(double newValue)
{
    value = newValue;
    Invalidate();
}

int Slider::ThumbX() const
{
    const int thumbWidth = thumbImage ? thumbImage->width : 0;
    return static_cast<int>((width - thumbWidth) * value);
}

bool Slider::OnThumb(int localX, int localY) const
{
    if (!thumbImage)
        return false;
    const int thumbX = ThumbX();
    const int thumbY = (height - thumbImage->height) / 2;
    return localX >= thumbX && localX < thumbX + thumbImage->width && localY >= thumbY &&
           localY < thumbY + thumbImage->height;
}

void Slider::Draw(Graphics* g)
{
    if (trackImage)
    {
        const int cell = trackImage->width / 3;
        const int trackY = (height - trackImage->height) / 2;
        if (cell > 0)
        {
            g->DrawImage(trackImage, 0, trackY, Rect{0, 0, cell, trackImage->height});
            {
                Graphics middle(*g);
                middle.IntersectClip(cell, 0, width - 2 * cell, height);
                for (int cx = cell; cx < width - cell; cx += cell)
                    middle.DrawImage(trackImage, cx, trackY, Rect{cell, 0, cell, trackImage->height});
            }
            g->DrawImage(trackImage, width - cell, trackY,
                         Rect{2 * cell, 0, cell, trackImage->height});
        }
    }
    if (thumbImage)
        g->DrawImage(thumbImage, ThumbX(), (height - thumbImage->height) / 2);
    DrawKeyMark(g);
}

void Slider::OnMouseDown(int localX, int localY, int clickCode)
{
    Widget::OnMouseDown(localX, localY, clickCode);
    const bool onThumb = OnThumb(localX, localY);
    SetCursorKind(kDragCursor);
    dragging = true;
    if (onThumb)
    {
        grabOffset = localX - ThumbX();
        return;
    }
    // A press on the track takes the thumb's middle there and drags on
    // from it, so that the release reports the new value as a drag does.
    grabOffset = thumbImage ? thumbImage->width / 2 : 0;
    OnMouseDrag(localX, localY);
}

void Slider::OnMouseMove(int localX, int localY)
{
    SetCursorKind(OnThumb(localX, localY) ? kDragCursor : kArrowCursor);
}

void Slider::OnMouseDrag(int localX, int localY)
{
    (void)localY;
    if (!dragging)
        return;
    const int range = width - (thumbImage ? thumbImage->width : 0);
    // A track no wider than the thumb has nowhere to slide.
    if (range <= 0)
        return;
    const double newValue =
        std::clamp(static_cast<double>(localX - grabOffset) / static_cast<double>(range), 0.0, 1.0);
    if (newValue == value)
        return;
    value = newValue;
    if (listener)
        listener->OnSliderMoved(id, value);
    InvalidateFull();
}

void Slider::OnMouseReleased(int localX, int localY)
{
    Widget::OnMouseReleased(localX, localY);
    if (!dragging)
        return;
    dragging = false;
    SetCursorKind(kArrowCursor);
    if (listener)
        listener->OnSliderMoved(id, value);
}

void Slider::OnMouseLeave()
{
    Widget::OnMouseLeave();
    if (!dragging)
        SetCursorKind(kArrowCursor);
}

bool Slider::OnMarkedKey(int key)
{
    if (key != KeyCode::Left && key != KeyCode::Right)
        return false;
    const double steps = std::round(value * kKeySteps) + (key == KeyCode::Right ? 1.0 : -1.0);
    const double newValue = std::clamp(steps / kKeySteps, 0.0, 1.0);
    // At an end the key is still the slider's: the mark stays on it.
    if (newValue == value)
        return true;
    value = newValue;
    if (listener)
        listener->OnSliderMoved(id, value);
    InvalidateFull();
    return true;
}

} // namespace Quillo
