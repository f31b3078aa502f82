#pragma once

#include <cairo.h>

#include <cstdint>

namespace Spindrel::Art
{

// One palette for every screen: deep twilight indigo grounds, warm gold trim,
// teal and coral accents, cream highlights, and pewter-lilac balls that let
// both the coloured pictures and their grey hints show.
struct Rgb
{
    double r, g, b;

    static constexpr Rgb Hex(uint32_t v)
    {
        return {((v >> 16) & 0xFF) / 255.0, ((v >> 8) & 0xFF) / 255.0, (v & 0xFF) / 255.0};
    }
    constexpr Rgb Mix(Rgb o, double t) const
    {
        return {r + (o.r - r) * t, g + (o.g - g) * t, b + (o.b - b) * t};
    }
    constexpr Rgb Scale(double k) const { return {r * k, g * k, b * k}; }
    void Set(cairo_t* cr, double alpha = 1.0) const { cairo_set_source_rgba(cr, r, g, b, alpha); }
    void Stop(cairo_pattern_t* p, double offset, double alpha = 1.0) const
    {
        cairo_pattern_add_color_stop_rgba(p, offset, r, g, b, alpha);
    }
};

namespace Palette
{
inline constexpr Rgb Ink = Rgb::Hex(0x141830);
inline constexpr Rgb Night = Rgb::Hex(0x1f2750);
inline constexpr Rgb Dusk = Rgb::Hex(0x34407a);
inline constexpr Rgb Twilight = Rgb::Hex(0x4b5aa6);
inline constexpr Rgb Plum = Rgb::Hex(0x6a4a94);
inline constexpr Rgb Teal = Rgb::Hex(0x2a9d8f);
inline constexpr Rgb Mint = Rgb::Hex(0x9be8d4);
inline constexpr Rgb Gold = Rgb::Hex(0xf6c64a);
inline constexpr Rgb GoldLight = Rgb::Hex(0xffe8a0);
inline constexpr Rgb GoldDeep = Rgb::Hex(0xb97a16);
inline constexpr Rgb Coral = Rgb::Hex(0xff7a5c);
inline constexpr Rgb Cream = Rgb::Hex(0xfff4dc);
inline constexpr Rgb White = Rgb::Hex(0xffffff);
inline constexpr Rgb Pewter = Rgb::Hex(0x8a8db8);
inline constexpr Rgb PewterDeep = Rgb::Hex(0x3e4170);
inline constexpr Rgb Leaf = Rgb::Hex(0x63c46b);
} // namespace Palette

} // namespace Spindrel::Art
