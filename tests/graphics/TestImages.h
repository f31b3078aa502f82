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
        uint32_t v = rng();
        switch (rng() % 4)
        {
        case 0: v &= 0x00FFFFFF; break;
        case 1: v |= 0xFF000000; break;
        default: break;
        }
        p = v;
    }
    return out;
}

} // namespace QuilloTest
