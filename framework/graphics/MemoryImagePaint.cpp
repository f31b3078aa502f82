#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/PixelKernels.h"
#include "framework/graphics/PixelRules.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace Quillo
{
namespace
{

uint32_t AdditiveFactor(const Color& color, int32_t channel)
{
    return static_cast<uint32_t>(color.alpha * channel / 255);
}

} // namespace

void MemoryImage::PaintImage(Image* srcImage, int x, int y, const Rect& srcRect, const Color& color,
                             int drawMode)
{
    auto* src = dynamic_cast<MemoryImage*>(srcImage);
    if (!src || (drawMode != DRAWMODE_NORMAL && drawMode != DRAWMODE_ADDITIVE))
        return;
    // Callers clip; this only keeps a faulty request inside both images.
    Rect s = srcRect.Intersection(Rect{0, 0, src->width, src->height});
    int dx = x + (s.x - srcRect.x), dy = y + (s.y - srcRect.y);
    const Rect d = Rect{dx, dy, s.width, s.height}.Intersection(Rect{0, 0, width, height});
    if (d.width <= 0 || d.height <= 0)
        return;
    s.x += d.x - dx;
    s.y += d.y - dy;
    s.width = d.width;
    s.height = d.height;
    dx = d.x;
    dy = d.y;
    if (!src->m_bits && !src->m_colorTable)
        return;

    // Drawing an image onto itself reads from a copy.
    std::unique_ptr<MemoryImage> selfCopy;
    if (src == this)
    {
        selfCopy = std::make_unique<MemoryImage>();
        selfCopy->Create(s.width, s.height);
        CopyPixels(s, selfCopy->GetBits());
        selfCopy->MarkBitsChanged();
        selfCopy->m_hasTrans = m_hasTrans;
        selfCopy->m_hasAlpha = m_hasAlpha;
        selfCopy->m_forcedAlphaFlags = m_forcedAlphaFlags;
        src = selfCopy.get();
        s.x = 0;
        s.y = 0;
    }

    const PixelKernels& k = PixelKernels::Active();
    const bool white = color == Color::White;
    uint32_t* dest = GetBits();
    // A palette image is drawn from its expanded form, or else expanded
    // whole here before any kernel runs: a kernel's wide loads right after
    // the narrow stores of a row's expansion would wait for those stores.
    const uint32_t* pixels = src->m_bits ? src->m_bits.get() : src->PaletteExpanded();
    thread_local std::vector<uint32_t> expanded;
    if (!pixels)
    {
        expanded.resize(size_t(s.width) * size_t(s.height));
        const uint32_t* table = src->m_colorTable.get();
        uint32_t* out = expanded.data();
        for (int row = 0; row < s.height; ++row)
        {
            const uint8_t* indices = &src->m_colorIndices[size_t(s.y + row) * size_t(src->width) + size_t(s.x)];
            for (int i = 0; i < s.width; ++i)
                *out++ = table[indices[i]];
        }
    }
    auto sourceRow = [&](int row) -> const uint32_t* {
        if (pixels)
            return &pixels[size_t(s.y + row) * size_t(src->width) + size_t(s.x)];
        return &expanded[size_t(row) * size_t(s.width)];
    };
    auto destRow = [&](int row) { return dest + size_t(dy + row) * size_t(width) + size_t(dx); };

    if (drawMode == DRAWMODE_ADDITIVE)
    {
        src->CommitAlphaFlags();
        const bool useAlpha = src->m_hasAlpha;
        const uint32_t kr = white ? 256 : AdditiveFactor(color, color.red);
        const uint32_t kg = white ? 256 : AdditiveFactor(color, color.green);
        const uint32_t kb = white ? 256 : AdditiveFactor(color, color.blue);
        for (int row = 0; row < s.height; ++row)
            k.additive(destRow(row), sourceRow(row), s.width, kr, kg, kb, useAlpha);
    }
    else if (!white)
    {
        const uint32_t c = color.ToArgb();
        for (int row = 0; row < s.height; ++row)
            k.modulate(destRow(row), sourceRow(row), s.width, c);
    }
    else if (m_hasTrans || m_hasAlpha)
    {
        for (int row = 0; row < s.height; ++row)
            k.compositeAlpha(destRow(row), sourceRow(row), s.width);
    }
    else
    {
        // The run lengths, summed up per row, let the kernel skip the
        // transparent ends of each row and copy its opaque middle whole.
        OpaqueBlock block;
        block.dest = destRow(0);
        block.destPitch = width;
        block.spans = src->GetAlphaRowSpans() + s.y;
        block.x0 = s.x;
        block.count = s.width;
        block.src = sourceRow(0);
        block.srcPitch = pixels ? src->width : s.width;
        block.rows = s.height;
        k.blendOpaqueBlock(block);
    }
    MarkBitsChanged();
}

void MemoryImage::PaintImageF(Image* src, float x, float y, const Rect& srcRect,
                              const Rect& clipRect, const Color& color, int drawMode)
{
    PaintImageRotated(src, x, y, srcRect, clipRect, color, drawMode, 0.0, 0, 0);
}

void MemoryImage::PaintImageRotated(Image* srcImage, float x, float y, const Rect& srcRect,
                                    const Rect& clipRect, const Color& color, int drawMode,
                                    double angle, int centerX, int centerY)
{
    auto* src = dynamic_cast<MemoryImage*>(srcImage);
    if (!src || (drawMode != DRAWMODE_NORMAL && drawMode != DRAWMODE_ADDITIVE))
        return;
    const Rect s = srcRect.Intersection(Rect{0, 0, src->width, src->height});
    // 16.16 positions need sources well below 32768 pixels.
    if (s.width <= 0 || s.height <= 0 || s.width > 16384 || s.height > 16384)
        return;
    if (!src->m_bits && !src->m_colorTable)
        return;

    const double c = std::cos(angle), sn = std::sin(angle);
    const double w = s.width, h = s.height, cx = centerX, cy = centerY;
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    for (int corner = 0; corner < 4; ++corner)
    {
        const double px = (corner & 1) ? w : 0.0, py = (corner & 2) ? h : 0.0;
        const double X = x + cx + (px - cx) * c + (py - cy) * sn;
        const double Y = y + cy + (py - cy) * c - (px - cx) * sn;
        minX = std::min(minX, X);
        maxX = std::max(maxX, X);
        minY = std::min(minY, Y);
        maxY = std::max(maxY, Y);
    }
    const Rect limit = clipRect.Intersection(Rect{0, 0, width, height});
    const double lx0 = std::max(std::floor(minX), double(limit.x));
    const double ly0 = std::max(std::floor(minY), double(limit.y));
    const double lx1 = std::min(std::ceil(maxX), double(limit.x + limit.width));
    const double ly1 = std::min(std::ceil(maxY), double(limit.y + limit.height));
    if (lx1 <= lx0 || ly1 <= ly0)
        return;
    const Rect box{int(lx0), int(ly0), int(lx1 - lx0), int(ly1 - ly0)};

    // The sampled pixels, copied with a transparent border and tinted here,
    // so that the kernels sample plain ARGB words.
    const bool white = color == Color::White;
    const int pitch = s.width + 2;
    std::vector<uint32_t> padded(size_t(pitch) * size_t(s.height + 2), 0u);
    std::vector<uint32_t> line(size_t(s.width));
    const uint32_t ca = uint32_t(color.ToArgb() >> 24);
    const uint32_t tint[3] = {uint32_t(color.blue & 0xFF), uint32_t(color.green & 0xFF),
                              uint32_t(color.red & 0xFF)};
    for (int row = 0; row < s.height; ++row)
    {
        uint32_t* out = &padded[size_t(row + 1) * size_t(pitch) + 1];
        src->CopyPixels(Rect{s.x, s.y + row, s.width, 1}, out);
        if (!white)
            for (int i = 0; i < s.width; ++i)
            {
                const uint32_t p = out[i];
                uint32_t tinted = ((ca * (p >> 24)) / 255) << 24;
                for (int ch = 0; ch < 3; ++ch)
                    tinted |= ((((p >> (8 * ch)) & 0xFF) * tint[ch]) / 255) << (8 * ch);
                out[i] = tinted;
            }
    }
    const RotateSource view{&padded[size_t(pitch) + 1], pitch, s.width, s.height};

    // Inverse rotation of each destination pixel centre, minus half a pixel
    // so that source pixel centres fall on whole numbers.
    const int32_t dsx = int32_t(std::lround(c * 65536.0));
    const int32_t dsy = int32_t(std::lround(sn * 65536.0));
    const PixelKernels& k = PixelKernels::Active();
    uint32_t* dest = GetBits();
    for (int row = box.y; row < box.y + box.height; ++row)
    {
        const double u = box.x + 0.5 - x - cx, v = row + 0.5 - y - cy;
        const double px = cx + u * c - v * sn - 0.5;
        const double py = cy + u * sn + v * c - 0.5;
        RotateRow r;
        r.dest = dest + size_t(row) * size_t(width) + size_t(box.x);
        r.count = box.width;
        r.sx = int32_t(std::llround(px * 65536.0));
        r.sy = int32_t(std::llround(py * 65536.0));
        r.dsx = dsx;
        r.dsy = dsy;
        k.rotateRow(view, r, drawMode == DRAWMODE_ADDITIVE);
    }
    MarkBitsChanged();
}

} // namespace Quillo
