#pragma once

#include "framework/widgets/Widget.h"

namespace Quillo
{

class Image;
class SliderListener;

// A horizontal slider whose thumb is dragged along a track; the value runs
// from 0 (left) to 1 (right). Only a press on the thumb starts a drag.
class Slider : public Widget
{
public:
    // Images are not owned. The track image holds three equal cells side by
    // side: left end, middle (repeated), right end.
    Slider(Image* track, Image* thumb, int sliderId, SliderListener* sliderListener);

    virtual void SetValue(double newValue);

    void Draw(Graphics* g) override;
    void OnMouseDown(int localX, int localY, int clickCode) override;
    void OnMouseMove(int localX, int localY) override;
    void OnMouseDrag(int localX, int localY) override;
    void OnMouseReleased(int localX, int localY) override;
    void OnMouseLeave() override;
    // Left and Right move the thumb by a tenth of the track.
    bool OnMarkedKey(int key) override;

    // The thumb's left edge for the current value.
    int ThumbX() const;
    bool OnThumb(int localX, int localY) const;

    int id;
    Image* trackImage;
    Image* thumbImage;
    SliderListener* listener;
    double value = 0.0;
    bool dragging = false;
    int grabOffset = 0;
};

} // namespace Quillo
