#pragma once

#include <cstdint>

// The per-pixel blending rules in plain integer arithmetic. These are the
// reference: every vectorised kernel must give exactly the same words.
namespace Quillo::PixelRules
{

inline uint32_t A(uint32_t p) { return p >> 24; }
inline uint32_t R(uint32_t p) { return (p >> 16) & 0xFF; }
inline uint32_t G(uint32_t p) { return (p >> 8) & 0xFF; }
inline uint32_t B(uint32_t p) { return p & 0xFF; }
inline uint32_t Pack(uint32_t a, uint32_t r, uint32_t g, uint32_t b)
{
    return (a << 24) | (r << 16) | (g << 8) | b;
}
inline uint32_t Sat(uint32_t v) { return v > 255 ? 255 : v; }

// Source s (alpha > 0) over a destination that has alpha of its own.
inline uint32_t CompositeAlpha(uint32_t d, uint32_t s)
{
    const uint32_t sa = A(s), da = A(d);
    const uint32_t outA = da + (255 - da) * sa / 255;
    const uint32_t w = sa * 255 / outA;
    const uint32_t iw = 256 - w;
    const uint32_t r = (R(s) * w + R(d) * iw) / 256;
    const uint32_t g = (G(s) * w + G(d) * iw) / 256;
    const uint32_t b = (B(d) * iw) / 256 + (B(s) * w) / 256;
    return Pack(outA, r, g, b);
}

// Source s with alpha a over an opaque destination; the result is opaque.
inline uint32_t BlendOpaque(uint32_t d, uint32_t s, uint32_t a)
{
    const uint32_t ia = 256 - a;
    const uint32_t r = (R(d) * ia + R(s) * a) / 256;
    const uint32_t g = (G(d) * ia + G(s) * a) / 256;
    const uint32_t b = (B(d) * ia) / 256 + (B(s) * a) / 256;
    return Pack(255, r, g, b);
}

// The opaque-destination case by alpha class: transparent keeps d, opaque copies s.
inline uint32_t BlendOpaqueClass(uint32_t d, uint32_t s)
{
    const uint32_t a = A(s);
    if (a == 0)
        return d;
    if (a == 255)
        return s;
    return BlendOpaque(d, s, a);
}

// Source s modulated by colour (ca, kr, kg, kb) over any destination; t is
// the modulated source alpha and must be above 0.
inline uint32_t Modulate(uint32_t d, uint32_t s, uint32_t t, uint32_t kr, uint32_t kg, uint32_t kb)
{
    const uint32_t da = A(d);
    const uint32_t outA = da + (255 - da) * t / 255;
    const uint32_t w = t * 255 / outA;
    const uint32_t iw = 256 - w;
    const uint32_t r = ((w * R(s) * kr) / 256 + iw * R(d)) / 256;
    const uint32_t g = ((w * G(s) * kg) / 256 + iw * G(d)) / 256;
    const uint32_t b = ((w * B(s) * kb) / 256 + iw * B(d)) / 256;
    return Pack(outA, r, g, b);
}

// Additive: each channel adds (s x k) / 256, then times the source alpha
// when useAlpha; k = 256 means an unmodulated channel. Destination alpha stays.
inline uint32_t Additive(uint32_t d, uint32_t s, uint32_t kr, uint32_t kg, uint32_t kb, bool useAlpha)
{
    uint32_t r = (R(s) * kr) >> 8, g = (G(s) * kg) >> 8, b = (B(s) * kb) >> 8;
    if (useAlpha)
    {
        const uint32_t sa = A(s);
        r = (r * sa) >> 8;
        g = (g * sa) >> 8;
        b = (b * sa) >> 8;
    }
    return (d & 0xFF000000u) | (Sat(R(d) + r) << 16) | (Sat(G(d) + g) << 8) | Sat(B(d) + b);
}

} // namespace Quillo::PixelRules
