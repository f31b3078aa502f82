// SSE2 row kernels. PixelKernelsAvx2.cpp is the same code on 256-bit
// registers; keep the two in step.
#include "framework/graphics/PixelKernels.h"
#include "framework/graphics/PixelRules.h"
#include "framework/graphics/RotateRules.h"

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#define QUILLO_TARGET

namespace Quillo
{
namespace
{

using Vec = __m128i;
constexpr int kLanes = 4;
constexpr int kAllLanes = (1 << kLanes) - 1;

QUILLO_TARGET inline Vec Load(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const Vec*>(p)); }
QUILLO_TARGET inline void Store(uint32_t* p, Vec v) { _mm_storeu_si128(reinterpret_cast<Vec*>(p), v); }
QUILLO_TARGET inline Vec Select(Vec mask, Vec a, Vec b)
{
    return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}
QUILLO_TARGET inline int LaneMask(Vec m) { return _mm_movemask_ps(_mm_castsi128_ps(m)); }
// Pixels to handle one by one before d + count is aligned to a vector.
inline int HeadCount(const uint32_t* d, int n)
{
    const auto misalign = reinterpret_cast<uintptr_t>(d) & (sizeof(Vec) - 1);
    const int head = misalign == 0 ? 0 : int((sizeof(Vec) - misalign) / 4);
    return head < n ? head : n;
}

// One 16-bit value per 32-bit lane, repeated over the four channels of its
// pixel once the pixels are widened to 16 bits (low and high halves).
QUILLO_TARGET inline void Spread(Vec v32, Vec& lo, Vec& hi)
{
    const Vec pair = _mm_or_si128(v32, _mm_slli_epi32(v32, 16));
    lo = _mm_unpacklo_epi32(pair, pair);
    hi = _mm_unpackhi_epi32(pair, pair);
}
// Pixels in memory order after a pack (which works per 128-bit lane).
QUILLO_TARGET inline Vec InOrder(Vec v) { return v; }
// x / 255 for 16-bit x, exactly.
QUILLO_TARGET inline Vec Div255(Vec x) { return _mm_srli_epi16(_mm_mulhi_epu16(x, _mm_set1_epi16(short(0x8081))), 7); }
// a x b for 16-bit lanes whose product fits 16 bits.
QUILLO_TARGET inline Vec Mul16(Vec a, Vec b) { return _mm_mullo_epi16(a, b); }

// Red and green as (x + y) / 256, blue as x / 256 + y / 256: dropping the
// low byte of both blue terms before the sum gives the separately
// truncated form. The alpha lane is left for the caller to replace.
QUILLO_TARGET inline Vec MixChannels(Vec x, Vec y)
{
    const Vec keep = _mm_set1_epi64x(int64_t(0xFFFFFFFFFFFFFF00ull));
    return _mm_srli_epi16(_mm_add_epi16(_mm_and_si128(x, keep), _mm_and_si128(y, keep)), 8);
}

// Source weight w (per 32-bit lane) of s over d: the colour part of the
// two compositing rules.
QUILLO_TARGET inline Vec WeightedColour(Vec d, Vec s, Vec w32)
{
    const Vec zero = _mm_setzero_si128();
    Vec wLo, wHi;
    Spread(w32, wLo, wHi);
    const Vec c256 = _mm_set1_epi16(256);
    const Vec lo = MixChannels(Mul16(_mm_unpacklo_epi8(d, zero), _mm_sub_epi16(c256, wLo)),
                               Mul16(_mm_unpacklo_epi8(s, zero), wLo));
    const Vec hi = MixChannels(Mul16(_mm_unpackhi_epi8(d, zero), _mm_sub_epi16(c256, wHi)),
                               Mul16(_mm_unpackhi_epi8(s, zero), wHi));
    return _mm_packus_epi16(lo, hi);
}

// Truncated a / b per 32-bit lane (both below 2^16; b above 0). Single
// precision is exact here: a quotient this small never rounds up to the
// next whole number.
QUILLO_TARGET inline Vec Divide(Vec a, Vec b)
{
    return _mm_cvttps_epi32(_mm_div_ps(_mm_cvtepi32_ps(a), _mm_cvtepi32_ps(b)));
}

// ((w x (s x k)) / 256 + (256 - w) x d) / 256 on 16-bit channels; the sum
// stays below 65281.
QUILLO_TARGET inline Vec ModulatedChannels(Vec s16, Vec d16, Vec w16, Vec k)
{
    const Vec sk = Mul16(s16, k);
    const Vec wsk = _mm_or_si128(_mm_slli_epi16(_mm_mulhi_epu16(w16, sk), 8),
                                 _mm_srli_epi16(_mm_mullo_epi16(w16, sk), 8));
    return _mm_srli_epi16(_mm_add_epi16(wsk, Mul16(_mm_sub_epi16(_mm_set1_epi16(256), w16), d16)), 8);
}

// The source weight x 255 / outA of the compositing rules. Over an opaque
// destination outA is 255 and the weight is the alpha itself, so the
// division is needed only where some destination pixel has alpha.
QUILLO_TARGET inline Vec SourceWeight(Vec alpha, Vec outA)
{
    const Vec c255 = _mm_set1_epi32(255);
    if (LaneMask(_mm_cmpeq_epi32(outA, c255)) == kAllLanes)
        return alpha;
    return Divide(Mul16(alpha, c255), _mm_max_epi16(outA, _mm_set1_epi32(1)));
}

QUILLO_TARGET inline void BlendOpaqueRow(uint32_t* d, const uint32_t* s, int n, int room)
{
    const Vec zero = _mm_setzero_si128();
    const Vec c255 = _mm_set1_epi32(255);
    const Vec alpha = _mm_set1_epi32(int(0xFF000000u));
    int i = 0;
    for (const int head = HeadCount(d, n); i < head; ++i)
        d[i] = PixelRules::BlendOpaqueClass(d[i], s[i]);
    for (; i < n && i + kLanes <= room; i += kLanes)
    {
        const Vec sv = Load(s + i);
        const Vec a32 = _mm_srli_epi32(sv, 24);
        const Vec none = _mm_cmpeq_epi32(a32, zero);
        const Vec full = _mm_cmpeq_epi32(a32, c255);
        const int noneMask = LaneMask(none);
        if (noneMask == kAllLanes)
            continue;
        if (LaneMask(full) == kAllLanes)
        {
            Store(d + i, sv);
            continue;
        }
        const Vec dv = Load(d + i);
        Vec out = _mm_or_si128(WeightedColour(dv, sv, a32), alpha);
        out = Select(full, sv, out);
        out = Select(none, dv, out);
        Store(d + i, out);
    }
    for (; i < n; ++i)
        d[i] = PixelRules::BlendOpaqueClass(d[i], s[i]);
}

#include "framework/graphics/PixelKernelsOpaqueBlock.inl"

QUILLO_TARGET void CompositeAlphaRow(uint32_t* d, const uint32_t* s, int n)
{
    const Vec zero = _mm_setzero_si128();
    const Vec c255 = _mm_set1_epi32(255);
    const Vec colour = _mm_set1_epi32(0x00FFFFFF);
    int i = 0;
    for (const int head = HeadCount(d, n); i < head; ++i)
        if (PixelRules::A(s[i]) != 0)
            d[i] = PixelRules::CompositeAlpha(d[i], s[i]);
    for (; i + kLanes <= n; i += kLanes)
    {
        const Vec sv = Load(s + i);
        const Vec sa = _mm_srli_epi32(sv, 24);
        const Vec none = _mm_cmpeq_epi32(sa, zero);
        if (LaneMask(none) == kAllLanes)
            continue;
        const Vec dv = Load(d + i);
        const Vec da = _mm_srli_epi32(dv, 24);
        const Vec outA = _mm_add_epi32(da, Div255(Mul16(_mm_sub_epi32(c255, da), sa)));
        const Vec w = SourceWeight(sa, outA);
        Vec out = _mm_or_si128(_mm_and_si128(WeightedColour(dv, sv, w), colour), _mm_slli_epi32(outA, 24));
        out = Select(none, dv, out);
        Store(d + i, out);
    }
    for (; i < n; ++i)
        if (PixelRules::A(s[i]) != 0)
            d[i] = PixelRules::CompositeAlpha(d[i], s[i]);
}

QUILLO_TARGET void ModulateRow(uint32_t* d, const uint32_t* s, int n, uint32_t color)
{
    const uint32_t ca = PixelRules::A(color), kr = PixelRules::R(color), kg = PixelRules::G(color),
                   kb = PixelRules::B(color);
    const Vec zero = _mm_setzero_si128();
    const Vec c255 = _mm_set1_epi32(255);
    const Vec colour = _mm_set1_epi32(0x00FFFFFF);
    const Vec caV = _mm_set1_epi32(int(ca));
    const Vec k = _mm_set1_epi64x(int64_t(kb) | (int64_t(kg) << 16) | (int64_t(kr) << 32));
    int i = 0;
    for (const int head = HeadCount(d, n); i < head; ++i)
    {
        const uint32_t t = ca * PixelRules::A(s[i]) / 255;
        if (t != 0)
            d[i] = PixelRules::Modulate(d[i], s[i], t, kr, kg, kb);
    }
    for (; i + kLanes <= n; i += kLanes)
    {
        const Vec sv = Load(s + i);
        const Vec t = Div255(Mul16(caV, _mm_srli_epi32(sv, 24)));
        const Vec none = _mm_cmpeq_epi32(t, zero);
        if (LaneMask(none) == kAllLanes)
            continue;
        const Vec dv = Load(d + i);
        const Vec da = _mm_srli_epi32(dv, 24);
        const Vec outA = _mm_add_epi32(da, Div255(Mul16(_mm_sub_epi32(c255, da), t)));
        const Vec w = SourceWeight(t, outA);
        Vec wLo, wHi;
        Spread(w, wLo, wHi);
        const Vec lo = ModulatedChannels(_mm_unpacklo_epi8(sv, zero), _mm_unpacklo_epi8(dv, zero), wLo, k);
        const Vec hi = ModulatedChannels(_mm_unpackhi_epi8(sv, zero), _mm_unpackhi_epi8(dv, zero), wHi, k);
        Vec out = _mm_or_si128(_mm_and_si128(_mm_packus_epi16(lo, hi), colour), _mm_slli_epi32(outA, 24));
        out = Select(none, dv, out);
        Store(d + i, out);
    }
    for (; i < n; ++i)
    {
        const uint32_t t = ca * PixelRules::A(s[i]) / 255;
        if (t != 0)
            d[i] = PixelRules::Modulate(d[i], s[i], t, kr, kg, kb);
    }
}

QUILLO_TARGET void AdditiveRow(uint32_t* d, const uint32_t* s, int n, uint32_t kr, uint32_t kg,
                               uint32_t kb, bool useAlpha)
{
    const Vec zero = _mm_setzero_si128();
    const Vec k = _mm_set1_epi64x(int64_t(kb) | (int64_t(kg) << 16) | (int64_t(kr) << 32));
    int i = 0;
    for (const int head = HeadCount(d, n); i < head; ++i)
        d[i] = PixelRules::Additive(d[i], s[i], kr, kg, kb, useAlpha);
    for (; i + kLanes <= n; i += kLanes)
    {
        const Vec sv = Load(s + i);
        Vec lo = _mm_srli_epi16(Mul16(_mm_unpacklo_epi8(sv, zero), k), 8);
        Vec hi = _mm_srli_epi16(Mul16(_mm_unpackhi_epi8(sv, zero), k), 8);
        if (useAlpha)
        {
            Vec aLo, aHi;
            Spread(_mm_srli_epi32(sv, 24), aLo, aHi);
            lo = _mm_srli_epi16(Mul16(lo, aLo), 8);
            hi = _mm_srli_epi16(Mul16(hi, aHi), 8);
        }
        Store(d + i, _mm_adds_epu8(Load(d + i), _mm_packus_epi16(lo, hi)));
    }
    for (; i < n; ++i)
        d[i] = PixelRules::Additive(d[i], s[i], kr, kg, kb, useAlpha);
}

QUILLO_TARGET void FillRow(uint32_t* d, int n, uint32_t value)
{
    int i = 0;
    for (const int head = HeadCount(d, n); i < head; ++i)
        d[i] = value;
    const Vec v = _mm_set1_epi32(int(value));
    for (; i + kLanes <= n; i += kLanes)
        Store(d + i, v);
    for (; i < n; ++i)
        d[i] = value;
}

// One output pixel per step on 128-bit registers: the two neighbours are
// adjacent, so one 64-bit load fetches both.
QUILLO_TARGET void HorizontalPairsRow(uint16_t* out, const uint32_t* line, const int32_t* first,
                                      const uint16_t* weights, int n)
{
    const __m128i zero = _mm_setzero_si128();
    for (int i = 0; i < n; ++i)
    {
        const __m128i pair = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(line + first[i])), zero);
        const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights + i * 8));
        const __m128i prod = _mm_mullo_epi16(pair, w);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i * 4), _mm_add_epi16(prod, _mm_srli_si128(prod, 8)));
    }
}

QUILLO_TARGET void VerticalResampleRow(uint32_t* out, const uint16_t* const* rows,
                                       const int32_t* weights, int taps, int n)
{
    const Vec half = _mm_set1_epi32(32768);
    // Two pixels (eight 16-bit channel sums) per register.
    constexpr int kPixels = kLanes / 2;
    int i = 0;
    for (; i + 2 * kPixels <= n; i += 2 * kPixels)
    {
        Vec acc[4] = {half, half, half, half};
        for (int t = 0; t < taps; ++t)
        {
            const Vec w = _mm_set1_epi16(short(weights[t]));
            for (int part = 0; part < 2; ++part)
            {
                const Vec v = _mm_loadu_si128(reinterpret_cast<const Vec*>(rows[t] + (i + part * kPixels) * 4));
                const Vec lo = _mm_mullo_epi16(v, w);
                const Vec hi = _mm_mulhi_epu16(v, w);
                acc[part * 2] = _mm_add_epi32(acc[part * 2], _mm_unpacklo_epi16(lo, hi));
                acc[part * 2 + 1] = _mm_add_epi32(acc[part * 2 + 1], _mm_unpackhi_epi16(lo, hi));
            }
        }
        const Vec p0 = _mm_packs_epi32(_mm_srli_epi32(acc[0], 16), _mm_srli_epi32(acc[1], 16));
        const Vec p1 = _mm_packs_epi32(_mm_srli_epi32(acc[2], 16), _mm_srli_epi32(acc[3], 16));
        Store(out + i, InOrder(_mm_packus_epi16(p0, p1)));
    }
    for (; i < n; ++i)
        out[i] = VerticalResamplePixel(rows, weights, taps, i);
}

QUILLO_TARGET void RotateRowVector(const RotateSource& src, const RotateRow& row, bool additive)
{
    int32_t sx = row.sx, sy = row.sy;
    for (int i = 0; i < row.count; ++i, sx += row.dsx, sy += row.dsy)
        RotateRules::Pixel(src, row.dest + i, sx, sy, additive);
}

const PixelKernels kVector = {
    "sse2",          BlendOpaqueBlock, CompositeAlphaRow,  ModulateRow,
    AdditiveRow,     RotateRowVector, VerticalResampleRow, FillRow, HorizontalPairsRow,
};

} // namespace

const PixelKernels* PixelKernels::Sse2() { return &kVector; }

} // namespace Quillo
