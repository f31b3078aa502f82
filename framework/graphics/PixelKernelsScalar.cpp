#include "framework/graphics/PixelKernels.h"
#include "framework/graphics/PixelRules.h"
#include "framework/graphics/RotateRules.h"

namespace Quillo
{
namespace
{

using namespace PixelRules;

void BlendOpaqueBlock(const OpaqueBlock& block)
{
    uint32_t* d = block.dest;
    const uint32_t* s = block.src;
    for (int row = 0; row < block.rows; ++row, d += block.destPitch, s += block.srcPitch)
        for (int i = 0; i < block.count; ++i)
            d[i] = BlendOpaqueClass(d[i], s[i]);
}

void CompositeAlphaRow(uint32_t* d, const uint32_t* s, int n)
{
    for (int i = 0; i < n; ++i)
        if (A(s[i]) != 0)
            d[i] = CompositeAlpha(d[i], s[i]);
}

void ModulateRow(uint32_t* d, const uint32_t* s, int n, uint32_t color)
{
    const uint32_t ca = A(color), kr = R(color), kg = G(color), kb = B(color);
    for (int i = 0; i < n; ++i)
    {
        const uint32_t t = ca * A(s[i]) / 255;
        if (t != 0)
            d[i] = Modulate(d[i], s[i], t, kr, kg, kb);
    }
}

void AdditiveRow(uint32_t* d, const uint32_t* s, int n, uint32_t kr, uint32_t kg, uint32_t kb,
                 bool useAlpha)
{
    for (int i = 0; i < n; ++i)
        d[i] = Additive(d[i], s[i], kr, kg, kb, useAlpha);
}

void RotateRowScalar(const RotateSource& src, const RotateRow& row, bool additive)
{
    int32_t sx = row.sx, sy = row.sy;
    for (int i = 0; i < row.count; ++i, sx += row.dsx, sy += row.dsy)
        RotateRules::Pixel(src, row.dest + i, sx, sy, additive);
}

void VerticalResampleRow(uint32_t* out, const uint16_t* const* rows, const int32_t* weights,
                         int taps, int n)
{
    for (int i = 0; i < n; ++i)
        out[i] = VerticalResamplePixel(rows, weights, taps, i);
}

void FillRow(uint32_t* d, int n, uint32_t value)
{
    for (int i = 0; i < n; ++i)
        d[i] = value;
}

void HorizontalPairsRow(uint16_t* out, const uint32_t* line, const int32_t* first,
                        const uint16_t* weights, int n)
{
    for (int i = 0; i < n; ++i)
    {
        const uint32_t p0 = line[first[i]], p1 = line[first[i] + 1];
        const uint32_t w0 = weights[i * 8], w1 = weights[i * 8 + 4];
        for (int c = 0; c < 4; ++c)
            out[i * 4 + c] = uint16_t(w0 * ((p0 >> (8 * c)) & 0xFF) + w1 * ((p1 >> (8 * c)) & 0xFF));
    }
}

const PixelKernels kScalar = {
    "scalar",          BlendOpaqueBlock, CompositeAlphaRow,  ModulateRow,
    AdditiveRow,       RotateRowScalar, VerticalResampleRow, FillRow, HorizontalPairsRow,
};

} // namespace

const PixelKernels& PixelKernels::Scalar() { return kScalar; }

} // namespace Quillo
