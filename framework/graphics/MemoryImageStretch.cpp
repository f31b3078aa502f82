#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/PixelKernels.h"
#include "framework/graphics/PixelRules.h"
#include "framework/graphics/StretchTaps.h"

#include <algorithm>
#include <vector>

namespace Quillo
{

bool MemoryImage::StretchedPixels(Image* srcImage, const Rect& destRect, const Rect& srcRect,
                                  const Rect& clipRect, bool quickStretch, Rect& area,
                                  std::vector<uint32_t>& pixels) const
{
    auto* src = dynamic_cast<MemoryImage*>(srcImage);
    if (!src || destRect.width <= 0 || destRect.height <= 0)
        return false;
    const Rect s = srcRect.Intersection(Rect{0, 0, src->width, src->height});
    if (s != srcRect || s.width <= 0 || s.height <= 0)
        return false;
    const Rect clipped =
        destRect.Intersection(clipRect).Intersection(Rect{0, 0, width, height});
    if (clipped.width <= 0 || clipped.height <= 0)
        return false;
    if (!src->m_bits && !src->m_colorTable)
        return false;

    const double scaleX = double(s.width) / destRect.width;
    const double scaleY = double(s.height) / destRect.height;
    const int skipX = clipped.x - destRect.x;
    const int skipY = clipped.y - destRect.y;
    if (clipped.width * scaleX <= 0 || clipped.height * scaleY <= 0)
        return false;

    // The result goes to a buffer of its own, so a source that is this
    // image is read before anything is written.
    area = clipped;
    pixels.assign(size_t(clipped.width) * size_t(clipped.height), 0u);
    auto outRow = [&](int row) { return pixels.data() + size_t(row) * size_t(clipped.width); };
    const PixelKernels& k = PixelKernels::Active();

    if (quickStretch)
    {
        for (int row = 0; row < clipped.height; ++row)
        {
            const int py = std::clamp(int(s.y + (skipY + row) * scaleY), s.y, s.y + s.height - 1);
            uint32_t* out = outRow(row);
            for (int col = 0; col < clipped.width; ++col)
            {
                const int px = std::clamp(int(s.x + (skipX + col) * scaleX), s.x, s.x + s.width - 1);
                out[col] = src->PixelAt(px, py);
            }
        }
        return true;
    }

    const StretchTaps tx = StretchTaps::Build(s.x, scaleX, skipX, clipped.width, s.x, s.x + s.width);
    const StretchTaps ty = StretchTaps::Build(s.y, scaleY, skipY, clipped.height, s.y, s.y + s.height);
    const int rowLo = ty.first.front();
    int rowHi = rowLo;
    for (int i = 0; i < clipped.height; ++i)
        rowHi = std::max(rowHi, ty.first[size_t(i)] + ty.count[size_t(i)]);

    // Horizontal pass: 16-bit channel sums (blue, green, red, alpha) of every
    // source row that the vertical pass reads.
    const size_t rowLen = size_t(clipped.width) * 4;
    std::vector<uint16_t> horizontal(size_t(rowHi - rowLo) * rowLen);
    // One spare pixel after the line: two-tap columns may read one beyond.
    std::vector<uint32_t> line(size_t(s.width) + 1, 0u);
    bool pairs = true;
    for (int col = 0; col < clipped.width; ++col)
        pairs = pairs && tx.count[size_t(col)] <= 2;
    std::vector<int32_t> pairFirst;
    std::vector<uint16_t> pairWeights;
    if (pairs)
    {
        for (int col = 0; col < clipped.width; ++col)
        {
            const int32_t* wgt = &tx.weights[size_t(tx.offset[size_t(col)])];
            const uint16_t w0 = uint16_t(wgt[0]);
            const uint16_t w1 = tx.count[size_t(col)] == 2 ? uint16_t(wgt[1]) : 0;
            pairFirst.push_back(tx.first[size_t(col)] - s.x);
            pairWeights.insert(pairWeights.end(), {w0, w0, w0, w0, w1, w1, w1, w1});
        }
    }
    for (int r = rowLo; r < rowHi; ++r)
    {
        src->CopyPixels(Rect{s.x, r, s.width, 1}, line.data());
        uint16_t* h = &horizontal[size_t(r - rowLo) * rowLen];
        if (pairs)
        {
            k.horizontalPairs(h, line.data(), pairFirst.data(), pairWeights.data(), clipped.width);
            continue;
        }
        for (int col = 0; col < clipped.width; ++col)
        {
            const int32_t* wgt = &tx.weights[size_t(tx.offset[size_t(col)])];
            const uint32_t* p = &line[size_t(tx.first[size_t(col)] - s.x)];
            uint32_t sum[4] = {0, 0, 0, 0};
            for (int t = 0; t < tx.count[size_t(col)]; ++t)
                for (int c = 0; c < 4; ++c)
                    sum[c] += uint32_t(wgt[t]) * ((p[t] >> (8 * c)) & 0xFF);
            for (int c = 0; c < 4; ++c)
                h[size_t(col) * 4 + size_t(c)] = uint16_t(sum[c]);
        }
    }

    std::vector<const uint16_t*> rows;
    for (int row = 0; row < clipped.height; ++row)
    {
        rows.clear();
        for (int t = 0; t < ty.count[size_t(row)]; ++t)
            rows.push_back(&horizontal[size_t(ty.first[size_t(row)] + t - rowLo) * rowLen]);
        k.verticalResample(outRow(row), rows.data(), &ty.weights[size_t(ty.offset[size_t(row)])],
                           ty.count[size_t(row)], clipped.width);
    }
    return true;
}

void MemoryImage::PaintImageStretched(Image* srcImage, const Rect& destRect, const Rect& srcRect,
                                      const Rect& clipRect, const Color& color, int drawMode,
                                      bool quickStretch)
{
    // A memory image's stretched drawing ignores colour and draw mode.
    (void)color;
    (void)drawMode;
    Rect area;
    std::vector<uint32_t> pixels;
    if (!StretchedPixels(srcImage, destRect, srcRect, clipRect, quickStretch, area, pixels))
        return;
    const PixelKernels& k = PixelKernels::Active();
    uint32_t* dest = GetBits();
    for (int row = 0; row < area.height; ++row)
        k.compositeAlpha(dest + size_t(area.y + row) * size_t(width) + size_t(area.x),
                         pixels.data() + size_t(row) * size_t(area.width), area.width);
    MarkBitsChanged();
}

} // namespace Quillo
