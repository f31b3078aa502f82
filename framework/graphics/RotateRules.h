#pragma once

#include "framework/graphics/PixelKernels.h"
#include "framework/graphics/PixelRules.h"

#include <cstdint>

// Bilinear sampling and compositing of rotated drawing, one destination
// pixel at a time: the reference for the vector kernels and their tails.
namespace Quillo::RotateRules
{

// True when the sampling position (16.16, pixel centres at integers) lies
// inside the source, counting half a pixel beyond the outer centres.
inline bool Inside(const RotateSource& src, int32_t sx, int32_t sy)
{
    return sx >= -32768 && sy >= -32768 && int64_t(sx) < int64_t(src.width) * 65536 - 32768 &&
           int64_t(sy) < int64_t(src.height) * 65536 - 32768;
}

inline uint32_t Fetch(const RotateSource& src, int32_t x, int32_t y)
{
    if (x < 0 || y < 0 || x >= src.width || y >= src.height)
        return 0;
    return src.pixels[y * src.pitch + x];
}

// Weight of the right (or lower) neighbour, 1..255 and odd, so that neither
// neighbour ever gets all or nothing.
inline uint32_t Fraction(int32_t v) { return ((static_cast<uint32_t>(v) >> 8) & 0xFE) | 1; }

// The premultiplied sum of the 2 x 2 neighbours: colour channels in 0..255
// (c[0] blue, c[1] green, c[2] red) and the coverage in 0..255.
struct Sample
{
    uint32_t c[3];
    uint32_t cov;
};

inline Sample Bilinear(const RotateSource& src, int32_t sx, int32_t sy)
{
    const int32_t ix = sx >> 16, iy = sy >> 16;
    const uint32_t fx = Fraction(sx), fy = Fraction(sy);
    const uint32_t p[4] = {Fetch(src, ix, iy), Fetch(src, ix + 1, iy), Fetch(src, ix, iy + 1),
                           Fetch(src, ix + 1, iy + 1)};
    const uint32_t wx[2] = {256 - fx, fx};
    const uint32_t wy[2] = {256 - fy, fy};
    uint32_t sumA = 0, sumC[3] = {0, 0, 0};
    for (int j = 0; j < 2; ++j)
    {
        uint32_t hA = 0, hC[3] = {0, 0, 0};
        for (int i = 0; i < 2; ++i)
        {
            const uint32_t px = p[j * 2 + i];
            const uint32_t wa = wx[i] * (px >> 24);
            hA += wa;
            for (int c = 0; c < 3; ++c)
                hC[c] += wa * ((px >> (8 * c)) & 0xFF);
        }
        sumA += wy[j] * hA;
        for (int c = 0; c < 3; ++c)
            sumC[c] += wy[j] * hC[c];
    }
    return Sample{{sumC[0] >> 24, sumC[1] >> 24, sumC[2] >> 24}, sumA >> 16};
}

inline uint32_t Combine(uint32_t d, const Sample& s, bool additive)
{
    using namespace PixelRules;
    if (additive)
        return (d & 0xFF000000u) | (Sat(R(d) + s.c[2]) << 16) | (Sat(G(d) + s.c[1]) << 8) |
               Sat(B(d) + s.c[0]);
    if (s.cov >= 251)
        return Pack(255, s.c[2], s.c[1], s.c[0]);
    const uint32_t da = A(d);
    const uint32_t icov = 256 - s.cov;
    const uint32_t outA = 256 - (256 - da) * icov / 256;
    const uint32_t ch[3] = {B(d), G(d), R(d)};
    uint32_t out[3];
    for (int c = 0; c < 3; ++c)
    {
        // Clamped: over a transparent destination a tiny coverage would
        // otherwise carry past 255 into the next channel.
        const uint32_t v = (s.c[c] * 256 + (ch[c] * da / 256) * icov) / outA;
        out[c] = v > 255 ? 255 : v;
    }
    return Pack(outA - 1, out[2], out[1], out[0]);
}

inline void Pixel(const RotateSource& src, uint32_t* d, int32_t sx, int32_t sy, bool additive)
{
    if (!Inside(src, sx, sy))
        return;
    const Sample s = Bilinear(src, sx, sy);
    if (s.cov == 0)
        return;
    *d = Combine(*d, s, additive);
}

} // namespace Quillo::RotateRules
