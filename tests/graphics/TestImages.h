#pragma once

#include "framework/graphics/MemoryImage.h"

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace QuilloTest
{

inline uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b)
{
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// An image holding the given pixels (row-major), alpha flags computed.
inline std::unique_ptr<Quillo::MemoryImage> MakeImage(int w, int h, const std::vector<uint32_t>& px)
{
    auto img = std::make_unique<Quillo::MemoryImage>();
    img->SetBits(px.data(), w, h);
    return img;
}

inline std::unique_ptr<Quillo::MemoryImage> Solid(int w, int h, uint32_t argb)
{
    return MakeImage(w, h, std::vector<uint32_t>(size_t(w) * size_t(h), argb));
}

// An opaque destination as the screen is: alpha flags forced off.
inline std::unique_ptr<Quillo::MemoryImage> OpaqueScreen(int w, int h, uint32_t argb)
{
    auto img = Solid(w, h, argb);
    img->ForceAlphaFlags(false, false);
    return img;
}

// Random pixels whose alpha is drawn from a mix of 0, 255 and partial values.
inline std::vector<uint32_t> RandomPixels(std::mt19937& rng, size_t n)
{
    std::vector<uint32_t> out(n);
    for (auto& p : out)
    {
        const uint32_t v = rng(), kind = rng() % 4;
        p = kind == 0 ? v & 0x00FFFFFF : kind == 1 ? v | 0xFF000000 : v;
    }
    return out;
}

// Rows as sprites have them: transparent ends, soft edges and an opaque
// middle with now and then a hole or a stray pixel. With fewColours the
// image has few enough distinct values to be palettized.
inline std::vector<uint32_t> SpritePixels(std::mt19937& rng, int w, int h, bool fewColours)
{
    std::vector<uint32_t> out(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
    {
        const int lead = int(rng() % uint32_t(w / 3 + 1)), trail = int(rng() % uint32_t(w / 3 + 1));
        const int edge = int(rng() % 4);
        for (int x = 0; x < w; ++x)
        {
            uint32_t a = 255;
            if (x < lead || x >= w - trail)
                a = rng() % 16 == 0 ? 1 + rng() % 254 : 0;
            else if (x < lead + edge || x >= w - trail - edge)
                a = 1 + rng() % 254;
            else if (rng() % 40 == 0)
                a = rng() % 2 ? 0 : 1 + rng() % 254;
            if (fewColours && a != 0 && a != 255)
                a = 128;
            const uint32_t colour = fewColours ? (rng() % 4) * 0x404040u : rng() & 0xFFFFFF;
            out[size_t(y) * size_t(w) + size_t(x)] = (a << 24) | colour;
        }
    }
    return out;
}

} // namespace QuilloTest
