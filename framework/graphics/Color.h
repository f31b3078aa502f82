#pragma once

#include <cstdint>

namespace Quillo
{

// An RGBA colour with each channel 0..255. Packed values are ARGB words; a
// packed alpha of 0 reads as opaque, so 0xRRGGBB literals mean solid colours.
struct Color
{
    int32_t red = 0;
    int32_t green = 0;
    int32_t blue = 0;
    int32_t alpha = 255;

    constexpr Color() = default;
    constexpr Color(int32_t r, int32_t g, int32_t b, int32_t a = 255)
        : red(r), green(g), blue(b), alpha(a)
    {
    }

    static constexpr Color FromArgb(uint32_t argb)
    {
        const int32_t a = static_cast<int32_t>((argb >> 24) & 0xFF);
        return Color(static_cast<int32_t>((argb >> 16) & 0xFF),
                     static_cast<int32_t>((argb >> 8) & 0xFF),
                     static_cast<int32_t>(argb & 0xFF), a == 0 ? 255 : a);
    }

    constexpr uint32_t ToArgb() const
    {
        return (static_cast<uint32_t>(alpha & 0xFF) << 24) |
               (static_cast<uint32_t>(red & 0xFF) << 16) |
               (static_cast<uint32_t>(green & 0xFF) << 8) | static_cast<uint32_t>(blue & 0xFF);
    }

    constexpr bool operator==(const Color&) const = default;

    static const Color White;
    static const Color Black;
};

inline constexpr Color Color::White{255, 255, 255, 255};
inline constexpr Color Color::Black{0, 0, 0, 255};

} // namespace Quillo
