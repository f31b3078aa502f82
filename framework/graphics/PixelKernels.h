#pragma once

#include <cstdint>

namespace Quillo
{

// One source of rotated drawing: pixels with a pitch, width x height, and a
// transparent border one pixel wide all round (pixels[-pitch - 1] is valid),
// so that kernels may fetch the neighbours of any position inside unchecked.
struct RotateSource
{
    const uint32_t* pixels = nullptr;
    int32_t pitch = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// One destination row of rotated drawing: n pixels starting at dest, whose
// source positions (16.16 fixed point, pixel centres at +0.5) start at
// (sx, sy) and advance by (dsx, dsy) per pixel.
struct RotateRow
{
    uint32_t* dest = nullptr;
    int32_t count = 0;
    int32_t sx = 0;
    int32_t sy = 0;
    int32_t dsx = 0;
    int32_t dsy = 0;
};

// One row of an image as the opaque-destination case sees it: its pixels
// before first and from end on are transparent, and [opaqueStart,
// opaqueEnd) is its longest opaque run (empty when it has none).
struct AlphaRowSpan
{
    int32_t first = 0;
    int32_t end = 0;
    int32_t opaqueStart = 0;
    int32_t opaqueEnd = 0;
};

// Rows drawn by the opaque-destination rule: count pixels of each row,
// taken from source column x0 on. dest and src point at the first pixel of
// the first row; spans (source columns) describe each source row.
struct OpaqueBlock
{
    uint32_t* dest = nullptr;
    int32_t destPitch = 0;
    const uint32_t* src = nullptr;
    int32_t srcPitch = 0;
    const AlphaRowSpan* spans = nullptr;
    int32_t rows = 0;
    int32_t x0 = 0;
    int32_t count = 0;
};

// One row of an opaque block cut into what the vector sets do with it, as
// offsets from the block's first column: blend [first, opaqueStart), copy
// [opaqueStart, opaqueEnd), blend [opaqueEnd, end). Without an opaque run
// of at least copyFrom pixels the middle is empty and all is blended.
struct OpaqueRowParts
{
    int32_t first = 0;
    int32_t opaqueStart = 0;
    int32_t opaqueEnd = 0;
    int32_t end = 0;
};

inline OpaqueRowParts CutOpaqueRow(const AlphaRowSpan& span, int32_t x0, int32_t count, int32_t copyFrom)
{
    const int32_t x1 = x0 + count;
    OpaqueRowParts parts;
    const int32_t first = span.first > x0 ? span.first : x0;
    const int32_t end = span.end < x1 ? span.end : x1;
    if (first >= end)
        return parts;
    const int32_t cs = span.opaqueStart > first ? span.opaqueStart : first;
    const int32_t ce = span.opaqueEnd < end ? span.opaqueEnd : end;
    parts.first = first - x0;
    parts.end = end - x0;
    parts.opaqueStart = parts.opaqueEnd = parts.end;
    if (ce - cs >= copyFrom)
    {
        parts.opaqueStart = cs - x0;
        parts.opaqueEnd = ce - x0;
    }
    return parts;
}

// Pixel i of verticalResample, for the reference and for the row ends of
// the vector sets.
inline uint32_t VerticalResamplePixel(const uint16_t* const* rows, const int32_t* weights, int taps, int i)
{
    uint32_t px = 0;
    for (int c = 0; c < 4; ++c)
    {
        uint32_t sum = 32768;
        for (int t = 0; t < taps; ++t)
            sum += static_cast<uint32_t>(weights[t]) * rows[t][i * 4 + c];
        px |= (sum >> 16) << (8 * c);
    }
    return px;
}

// The row kernels of the blending rules. The scalar set is the reference;
// the vector sets give the same words and are picked once, by CPU feature.
struct PixelKernels
{
    const char* name;
    // Opaque destination: alpha 0 keeps d, 255 copies s, otherwise
    // BlendOpaque. The spans are a promise about the source that the
    // reference does not need and the vector sets use to skip and copy.
    void (*blendOpaqueBlock)(const OpaqueBlock& block);
    // Destination with alpha: source pixels with alpha 0 are skipped.
    void (*compositeAlpha)(uint32_t* d, const uint32_t* s, int n);
    // Modulated by colour 0xAARRGGBB (not white), any destination.
    void (*modulate)(uint32_t* d, const uint32_t* s, int n, uint32_t color);
    // Additive with per-channel factors k (256 = unmodulated).
    void (*additive)(uint32_t* d, const uint32_t* s, int n, uint32_t kr, uint32_t kg, uint32_t kb,
                     bool useAlpha);
    // Bilinear rotated sampling of one row, normal (false) or additive mode.
    void (*rotateRow)(const RotateSource& src, const RotateRow& row, bool additive);
    // out[i] = sum over taps of weight[t] x rows[t][i], then (x + 32768) >> 16,
    // for 4 channels per pixel (rows hold 16-bit channel sums, B G R A order).
    void (*verticalResample)(uint32_t* out, const uint16_t* const* rows, const int32_t* weights,
                             int taps, int n);
    void (*fill)(uint32_t* d, int n, uint32_t value);
    // Two-tap horizontal resampling: out pixel i (4 channel sums, B G R A)
    // is w0 x line[first[i]] + w1 x line[first[i] + 1], with the weights in
    // weights[8 i] (w0 four times, then w1 four times). line[first + 1] must
    // be readable even where w1 is 0.
    void (*horizontalPairs)(uint16_t* out, const uint32_t* line, const int32_t* first,
                            const uint16_t* weights, int n);

    // The reference set.
    static const PixelKernels& Scalar();
    // Vector sets, or null when the CPU lacks the feature.
    static const PixelKernels* Sse2();
    static const PixelKernels* Avx2();
    // The AVX2 set with AVX-512 kernels for the opaque-destination case.
    static const PixelKernels* Avx512();
    // The set used for drawing: the widest the CPU has; the environment
    // variable QUILLO_PIXEL_KERNELS=scalar|sse2|avx2 forces a narrower one.
    static const PixelKernels& Active();
    // Makes Active return kernels (null: the automatic choice again), so
    // that tests and benchmarks can run whole drawing operations on each set.
    static void Override(const PixelKernels* kernels);
};

} // namespace Quillo
