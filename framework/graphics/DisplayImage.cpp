#include "framework/graphics/DisplayImage.h"

#include "framework/graphics/NativeDisplay.h"
#include "framework/graphics/PixelRules.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace Quillo
{
namespace
{

// The srcRect part of src, mirrored left to right, in an image of its own
// that keeps the source's alpha flags.
std::unique_ptr<MemoryImage> Mirrored(MemoryImage& src, const Rect& srcRect)
{
    const Rect s = srcRect.Intersection(Rect{0, 0, src.width, src.height});
    if (s != srcRect || s.width <= 0 || s.height <= 0)
        return nullptr;
    auto out = std::make_unique<MemoryImage>();
    out->Create(s.width, s.height);
    uint32_t* bits = out->GetBits();
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            bits[size_t(y) * size_t(s.width) + size_t(x)] = src.PixelAt(s.x + s.width - 1 - x, s.y + y);
    out->MarkBitsChanged();
    if (src.AlphaFlagsForced())
        out->ForceAlphaFlags(src.HasTrans(), src.HasAlpha());
    else
        out->CommitAlphaFlags();
    return out;
}

} // namespace

DisplayImage::DisplayImage(NativeDisplay& display)
    : MemoryImage(display.GetImageRegistry()), m_display(&display)
{
}

void DisplayImage::FillRect(const Rect& rect, const Color& color, int drawMode)
{
    if (drawMode != DRAWMODE_ADDITIVE || HasTrans() || HasAlpha())
    {
        MemoryImage::FillRect(rect, color, drawMode);
        return;
    }
    const Rect r = rect.Intersection(Rect{0, 0, width, height});
    if (r.width <= 0 || r.height <= 0)
        return;
    using namespace PixelRules;
    const uint32_t ca = uint32_t(color.ToArgb() >> 24);
    const uint32_t kr = ca * uint32_t(color.red & 0xFF) / 255;
    const uint32_t kg = ca * uint32_t(color.green & 0xFF) / 255;
    const uint32_t kb = ca * uint32_t(color.blue & 0xFF) / 255;
    uint32_t* bits = GetBits();
    for (int y = r.y; y < r.y + r.height; ++y)
    {
        uint32_t* row = bits + size_t(y) * size_t(width) + size_t(r.x);
        for (int x = 0; x < r.width; ++x)
        {
            const uint32_t d = row[x];
            row[x] = (d & 0xFF000000u) | (Sat(R(d) + kr) << 16) | (Sat(G(d) + kg) << 8) |
                     Sat(B(d) + kb);
        }
    }
    MarkBitsChanged();
}

void DisplayImage::DrawLine(double fx1, double fy1, double fx2, double fy2, const Color& color,
                            int drawMode)
{
    if (drawMode != DRAWMODE_NORMAL && drawMode != DRAWMODE_ADDITIVE)
        return;
    if (!std::isfinite(fx1) || !std::isfinite(fy1) || !std::isfinite(fx2) || !std::isfinite(fy2))
        return;
    auto toInt = [](double v) { return int(std::clamp(std::lround(v), -(1l << 30), 1l << 30)); };
    int x1 = toInt(fx1), y1 = toInt(fy1), x2 = toInt(fx2), y2 = toInt(fy2);
    if (y1 == y2)
    {
        FillRect(Rect{std::min(x1, x2), y1, std::abs(x2 - x1) + 1, 1}, color, drawMode);
        return;
    }
    if (x1 == x2)
    {
        FillRect(Rect{x1, std::min(y1, y2), 1, std::abs(y2 - y1) + 1}, color, drawMode);
        return;
    }
    const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    const int stepX = x1 < x2 ? 1 : -1, stepY = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    const Rect bounds{0, 0, width, height};
    for (;;)
    {
        if (bounds.Contains(x1, y1))
            FillRect(Rect{x1, y1, 1, 1}, color, drawMode);
        if (x1 == x2 && y1 == y2)
            break;
        const int e2 = 2 * err;
        if (e2 >= dy)
        {
            err += dy;
            x1 += stepX;
        }
        if (e2 <= dx)
        {
            err += dx;
            y1 += stepY;
        }
    }
}

void DisplayImage::PaintImageStretched(Image* srcImage, const Rect& destRect, const Rect& srcRect,
                                       const Rect& clipRect, const Color& color, int drawMode,
                                       bool quickStretch)
{
    if (HasTrans() || HasAlpha())
    {
        MemoryImage::PaintImageStretched(srcImage, destRect, srcRect, clipRect, color, drawMode,
                                         quickStretch);
        return;
    }
    if (drawMode != DRAWMODE_NORMAL && drawMode != DRAWMODE_ADDITIVE)
        return;
    Rect area;
    std::vector<uint32_t> pixels;
    if (!StretchedPixels(srcImage, destRect, srcRect, clipRect, quickStretch, area, pixels))
        return;
    MemoryImage resampled;
    resampled.SetBits(pixels.data(), area.width, area.height);
    PaintImage(&resampled, area.x, area.y, Rect{0, 0, area.width, area.height}, color, drawMode);
}

void DisplayImage::PaintImageMirrored(Image* srcImage, int x, int y, const Rect& srcRect,
                                      const Color& color, int drawMode)
{
    auto* src = dynamic_cast<MemoryImage*>(srcImage);
    if (!src)
        return;
    if (auto mirrored = Mirrored(*src, srcRect))
        PaintImage(mirrored.get(), x, y, Rect{0, 0, mirrored->width, mirrored->height}, color,
                   drawMode);
}

void DisplayImage::PaintImageStretchedMirrored(Image* srcImage, const Rect& destRect,
                                               const Rect& srcRect, const Rect& clipRect,
                                               const Color& color, int drawMode, bool quickStretch)
{
    auto* src = dynamic_cast<MemoryImage*>(srcImage);
    if (!src)
        return;
    if (auto mirrored = Mirrored(*src, srcRect))
        PaintImageStretched(mirrored.get(), destRect, Rect{0, 0, mirrored->width, mirrored->height},
                            clipRect, color, drawMode, quickStretch);
}

} // namespace Quillo
