#pragma once

#include "framework/graphics/MemoryImage.h"

namespace Quillo
{

class NativeDisplay;

// An image made for a display: the screen, and the pictures loaded for
// drawing. Its pixels stay in memory as 32-bit ARGB (this display keeps no
// device surfaces), and it adds what the display-surface form draws: lines,
// the additive fill, tinted and additive stretching and mirrored images. On a destination with alpha of its
// own the fill falls back to the memory-image rule.
class DisplayImage : public MemoryImage
{
public:
    explicit DisplayImage(NativeDisplay& display);
    DisplayImage(const DisplayImage& other) = default;

    NativeDisplay& GetDisplay() const { return *m_display; }

    void FillRect(const Rect& rect, const Color& color, int drawMode) override;
    // Bresenham with both end points; horizontal and vertical lines are fills.
    void DrawLine(double x1, double y1, double x2, double y2, const Color& color,
                  int drawMode) override;
    // Stretched drawing onto an opaque image honours the colour and both
    // draw modes, by the rules of PaintImage for the resampled pixels.
    void PaintImageStretched(Image* src, const Rect& destRect, const Rect& srcRect,
                             const Rect& clipRect, const Color& color, int drawMode,
                             bool quickStretch) override;
    void PaintImageMirrored(Image* src, int x, int y, const Rect& srcRect, const Color& color,
                            int drawMode) override;
    void PaintImageStretchedMirrored(Image* src, const Rect& destRect, const Rect& srcRect,
                                     const Rect& clipRect, const Color& color, int drawMode,
                                     bool quickStretch) override;

private:
    NativeDisplay* m_display;
};

} // namespace Quillo
