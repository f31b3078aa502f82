// AVX2 row kernels: the code of PixelKernelsSse2.cpp on 256-bit registers,
// compiled for AVX2 function by function; keep the two in step.
#include "framework/graphics/PixelKernels.h"
#include "framework/graphics/PixelRules.h"
#include "framework/graphics/RotateRules.h"

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#define QUILLO_TARGET __attribute__((target("avx2")))

namespace Quillo
{
namespace
{

using Vec = __m256i;
constexpr int kLanes = 8;
constexpr int kAllLanes = (1 << kLanes) - 1;

QUILLO_TARGET inline Vec Load(const uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const Vec*>(p)); }
QUILLO_TARGET inline void Store(uint32_t* p, Vec v) { _mm256_storeu_si256(reinterpret_cast<Vec*>(p), v); }
QUILLO_TARGET inline Vec Select(Vec mask, Vec a, Vec b) { return _mm256_blendv_epi8(b, a, mask); }
QUILLO_TARGET inline int LaneMask(Vec m) { return _mm256_movemask_ps(_mm256_castsi256_ps(m)); }
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
    const Vec pair = _mm256_or_si256(v32, _mm256_slli_epi32(v32, 16));
    lo = _mm256_unpacklo_epi32(pair, pair);
    hi = _mm256_unpackhi_epi32(pair, pair);
}
// Pixels in memory order after a pack (which works per 128-bit lane).
QUILLO_TARGET inline Vec InOrder(Vec v) { return _mm256_permute4x64_epi64(v, 0xD8); }
// x / 255 for 16-bit x, exactly.
QUILLO_TARGET inline Vec Div255(Vec x) { return _mm256_srli_epi16(_mm256_mulhi_epu16(x, _mm256_set1_epi16(short(0x8081))), 7); }
// a x b for 16-bit lanes whose product fits 16 bits.
QUILLO_TARGET inline Vec Mul16(Vec a, Vec b) { return _mm256_mullo_epi16(a, b); }

// Red and green as (x + y) / 256, blue as x / 256 + y / 256: dropping the
// low byte of both blue terms before the sum gives the separately
// truncated form. The alpha lane is left for the caller to replace.
QUILLO_TARGET inline Vec MixChannels(Vec x, Vec y)
{
    const Vec keep = _mm256_set1_epi64x(int64_t(0xFFFFFFFFFFFFFF00ull));
    return _mm256_srli_epi16(_mm256_add_epi16(_mm256_and_si256(x, keep), _mm256_and_si256(y, keep)), 8);
}

// Source weight w (per 32-bit lane) of s over d: the colour part of the
// two compositing rules.
QUILLO_TARGET inline Vec WeightedColour(Vec d, Vec s, Vec w32)
{
    const Vec zero = _mm256_setzero_si256();
    Vec wLo, wHi;
    Spread(w32, wLo, wHi);
    const Vec c256 = _mm256_set1_epi16(256);
    const Vec lo = MixChannels(Mul16(_mm256_unpacklo_epi8(d, zero), _mm256_sub_epi16(c256, wLo)),
                               Mul16(_mm256_unpacklo_epi8(s, zero), wLo));
    const Vec hi = MixChannels(Mul16(_mm256_unpackhi_epi8(d, zero), _mm256_sub_epi16(c256, wHi)),
                               Mul16(_mm256_unpackhi_epi8(s, zero), wHi));
    return _mm256_packus_epi16(lo, hi);
}

// Truncated a / b per 32-bit lane (both below 2^16; b above 0). Single
// precision is exact here: a quotient this small never rounds up to the
// next whole number.
QUILLO_TARGET inline Vec Divide(Vec a, Vec b)
{
    return _mm256_cvttps_epi32(_mm256_div_ps(_mm256_cvtepi32_ps(a), _mm256_cvtepi32_ps(b)));
}

// ((w x (s x k)) / 256 + (256 - w) x d) / 256 on 16-bit channels; the sum
// stays below 65281.
QUILLO_TARGET inline Vec ModulatedChannels(Vec s16, Vec d16, Vec w16, Vec k)
{
    const Vec sk = Mul16(s16, k);
    const Vec wsk = _mm256_or_si256(_mm256_slli_epi16(_mm256_mulhi_epu16(w16, sk), 8),
                                 _mm256_srli_epi16(_mm256_mullo_epi16(w16, sk), 8));
    return _mm256_srli_epi16(_mm256_add_epi16(wsk, Mul16(_mm256_sub_epi16(_mm256_set1_epi16(256), w16), d16)), 8);
}

// The source weight x 255 / outA of the compositing rules. Over an opaque
// destination outA is 255 and the weight is the alpha itself, so the
// division is needed only where some destination pixel has alpha.
QUILLO_TARGET inline Vec SourceWeight(Vec alpha, Vec outA)
{
    const Vec c255 = _mm256_set1_epi32(255);
    if (LaneMask(_mm256_cmpeq_epi32(outA, c255)) == kAllLanes)
        return alpha;
    return Divide(Mul16(alpha, c255), _mm256_max_epi16(outA, _mm256_set1_epi32(1)));
}

// Rows at least this long first step to an aligned destination; shorter
// ones are cheaper unaligned than with a scalar head.
constexpr int kAlignFrom = 64;

QUILLO_TARGET inline int Head(const uint32_t* d, int n) { return n >= kAlignFrom ? HeadCount(d, n) : 0; }
// The lanes below remaining, for the masked last block of a row.
QUILLO_TARGET inline Vec TailMask(int remaining)
{
    return _mm256_cmpgt_epi32(_mm256_set1_epi32(remaining), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
}
QUILLO_TARGET inline Vec MaskLoad(const uint32_t* p, Vec m) { return _mm256_maskload_epi32(reinterpret_cast<const int*>(p), m); }
QUILLO_TARGET inline void MaskStore(uint32_t* p, Vec m, Vec v) { _mm256_maskstore_epi32(reinterpret_cast<int*>(p), m, v); }

QUILLO_TARGET inline Vec BlendOpaque8(Vec dv, Vec sv)
{
    const Vec a32 = _mm256_srli_epi32(sv, 24);
    const Vec none = _mm256_cmpeq_epi32(a32, _mm256_setzero_si256());
    const Vec full = _mm256_cmpeq_epi32(a32, _mm256_set1_epi32(255));
    // Each pixel's alpha byte into the four 16-bit channel lanes of its widened form.
    const Vec spreadLo = _mm256_setr_epi8(3, -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1,
                                          3, -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1);
    const Vec spreadHi = _mm256_setr_epi8(11, -1, 11, -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1,
                                          11, -1, 11, -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1);
    const Vec aLo = _mm256_shuffle_epi8(sv, spreadLo), aHi = _mm256_shuffle_epi8(sv, spreadHi);
    const Vec zero = _mm256_setzero_si256(), c256 = _mm256_set1_epi16(256);
    const Vec lo = MixChannels(Mul16(_mm256_unpacklo_epi8(dv, zero), _mm256_sub_epi16(c256, aLo)),
                               Mul16(_mm256_unpacklo_epi8(sv, zero), aLo));
    const Vec hi = MixChannels(Mul16(_mm256_unpackhi_epi8(dv, zero), _mm256_sub_epi16(c256, aHi)),
                               Mul16(_mm256_unpackhi_epi8(sv, zero), aHi));
    Vec out = _mm256_or_si256(_mm256_packus_epi16(lo, hi), _mm256_set1_epi32(int(0xFF000000u)));
    out = Select(full, sv, out);
    return Select(none, dv, out);
}

QUILLO_TARGET inline Vec CompositeAlpha8(Vec dv, Vec sv)
{
    const Vec c255 = _mm256_set1_epi32(255);
    const Vec sa = _mm256_srli_epi32(sv, 24);
    const Vec none = _mm256_cmpeq_epi32(sa, _mm256_setzero_si256());
    const Vec da = _mm256_srli_epi32(dv, 24);
    const Vec outA = _mm256_add_epi32(da, Div255(Mul16(_mm256_sub_epi32(c255, da), sa)));
    const Vec w = SourceWeight(sa, outA);
    const Vec out = _mm256_or_si256(_mm256_and_si256(WeightedColour(dv, sv, w), _mm256_set1_epi32(0x00FFFFFF)),
                                    _mm256_slli_epi32(outA, 24));
    return Select(none, dv, out);
}

QUILLO_TARGET __attribute__((always_inline)) inline void BlendOpaqueRow(uint32_t* d, const uint32_t* s, int n, int room)
{
    const Vec zero = _mm256_setzero_si256();
    const Vec c255 = _mm256_set1_epi32(255);
    int i = 0;
    for (const int head = Head(d, n); i < head; ++i)
        d[i] = PixelRules::BlendOpaqueClass(d[i], s[i]);
    for (; i < n && i + kLanes <= room; i += kLanes)
    {
        const Vec sv = Load(s + i);
        const Vec a32 = _mm256_srli_epi32(sv, 24);
        const Vec none = _mm256_cmpeq_epi32(a32, zero);
        const Vec full = _mm256_cmpeq_epi32(a32, c255);
        const int noneMask = LaneMask(none);
        if (noneMask == kAllLanes)
            continue;
        if (LaneMask(full) == kAllLanes)
        {
            Store(d + i, sv);
            continue;
        }
        Store(d + i, BlendOpaque8(Load(d + i), sv));
    }
    if (i < n)
    {
        const Vec m = TailMask(n - i);
        MaskStore(d + i, m, BlendOpaque8(MaskLoad(d + i, m), MaskLoad(s + i, m)));
    }
}

#include "framework/graphics/PixelKernelsOpaqueBlock.inl"

QUILLO_TARGET void CompositeAlphaRow(uint32_t* d, const uint32_t* s, int n)
{
    const Vec zero = _mm256_setzero_si256();
    int i = 0;
    for (const int head = Head(d, n); i < head; ++i)
        if (PixelRules::A(s[i]) != 0)
            d[i] = PixelRules::CompositeAlpha(d[i], s[i]);
    for (; i + kLanes <= n; i += kLanes)
    {
        const Vec sv = Load(s + i);
        const Vec sa = _mm256_srli_epi32(sv, 24);
        const Vec none = _mm256_cmpeq_epi32(sa, zero);
        if (LaneMask(none) == kAllLanes)
            continue;
        Store(d + i, CompositeAlpha8(Load(d + i), sv));
    }
    if (i < n)
    {
        const Vec m = TailMask(n - i);
        MaskStore(d + i, m, CompositeAlpha8(MaskLoad(d + i, m), MaskLoad(s + i, m)));
    }
}

// Eight pixels of the modulated rule; lanes whose modulated alpha is 0 keep d.
QUILLO_TARGET inline Vec Modulate8(Vec dv, Vec sv, Vec caV, Vec k)
{
    const Vec zero = _mm256_setzero_si256();
    const Vec c255 = _mm256_set1_epi32(255);
    const Vec t = Div255(Mul16(caV, _mm256_srli_epi32(sv, 24)));
    const Vec none = _mm256_cmpeq_epi32(t, zero);
    const Vec da = _mm256_srli_epi32(dv, 24);
    const Vec outA = _mm256_add_epi32(da, Div255(Mul16(_mm256_sub_epi32(c255, da), t)));
    const Vec w = SourceWeight(t, outA);
    Vec wLo, wHi;
    Spread(w, wLo, wHi);
    const Vec lo = ModulatedChannels(_mm256_unpacklo_epi8(sv, zero), _mm256_unpacklo_epi8(dv, zero), wLo, k);
    const Vec hi = ModulatedChannels(_mm256_unpackhi_epi8(sv, zero), _mm256_unpackhi_epi8(dv, zero), wHi, k);
    const Vec out = _mm256_or_si256(_mm256_and_si256(_mm256_packus_epi16(lo, hi), _mm256_set1_epi32(0x00FFFFFF)),
                                    _mm256_slli_epi32(outA, 24));
    return Select(none, dv, out);
}

// Short rows (a glyph is one) go unaligned with a masked last block: a
// scalar head and tail would cost two divisions a pixel on most of them.
QUILLO_TARGET void ModulateRow(uint32_t* d, const uint32_t* s, int n, uint32_t color)
{
    const uint32_t ca = PixelRules::A(color), kr = PixelRules::R(color), kg = PixelRules::G(color),
                   kb = PixelRules::B(color);
    const Vec zero = _mm256_setzero_si256();
    const Vec caV = _mm256_set1_epi32(int(ca));
    const Vec k = _mm256_set1_epi64x(int64_t(kb) | (int64_t(kg) << 16) | (int64_t(kr) << 32));
    int i = 0;
    for (const int head = Head(d, n); i < head; ++i)
    {
        const uint32_t t = ca * PixelRules::A(s[i]) / 255;
        if (t != 0)
            d[i] = PixelRules::Modulate(d[i], s[i], t, kr, kg, kb);
    }
    for (; i + kLanes <= n; i += kLanes)
    {
        const Vec sv = Load(s + i);
        // Transparent source pixels are common (glyph cells, sprite edges).
        if (LaneMask(_mm256_cmpeq_epi32(_mm256_srli_epi32(sv, 24), zero)) == kAllLanes)
            continue;
        Store(d + i, Modulate8(Load(d + i), sv, caV, k));
    }
    if (i < n)
    {
        const Vec m = TailMask(n - i);
        // Lanes past the end count as opaque, which keeps the weight free of divisions.
        const Vec dv = Select(m, MaskLoad(d + i, m), _mm256_set1_epi32(int(0xFF000000u)));
        MaskStore(d + i, m, Modulate8(dv, MaskLoad(s + i, m), caV, k));
    }
}

// What the additive rule adds to each channel, without widening: blue and
// red sit in the low bytes of the two 16-bit halves of each pixel, green in
// the low byte of the lower half once shifted down, so one 16-bit multiply
// serves two channels and no unpacking or packing is needed. Every product
// fits 16 bits (255 x 256). Alpha comes out 0, which leaves d's alpha.
QUILLO_TARGET inline Vec AdditiveTerm(Vec sv, Vec kRedBlue, Vec kGreen, bool modulated, bool useAlpha)
{
    Vec rb = _mm256_and_si256(sv, _mm256_set1_epi32(0x00FF00FF));
    Vec g = _mm256_and_si256(_mm256_srli_epi32(sv, 8), _mm256_set1_epi32(0xFF));
    if (modulated)
    {
        rb = _mm256_srli_epi16(_mm256_mullo_epi16(rb, kRedBlue), 8);
        g = _mm256_srli_epi16(_mm256_mullo_epi16(g, kGreen), 8);
    }
    if (useAlpha)
    {
        const Vec a = _mm256_srli_epi32(sv, 24);
        rb = _mm256_srli_epi16(_mm256_mullo_epi16(rb, _mm256_or_si256(a, _mm256_slli_epi32(a, 16))), 8);
        g = _mm256_srli_epi16(_mm256_mullo_epi16(g, a), 8);
    }
    return _mm256_or_si256(rb, _mm256_slli_epi32(g, 8));
}

template <bool kModulated, bool kUseAlpha>
QUILLO_TARGET void AdditiveRows(uint32_t* d, const uint32_t* s, int n, Vec kRedBlue, Vec kGreen)
{
    int i = 0;
    for (; i + kLanes <= n; i += kLanes)
        Store(d + i, _mm256_adds_epu8(Load(d + i), AdditiveTerm(Load(s + i), kRedBlue, kGreen, kModulated, kUseAlpha)));
    if (i < n)
    {
        const Vec m = TailMask(n - i);
        const Vec term = AdditiveTerm(MaskLoad(s + i, m), kRedBlue, kGreen, kModulated, kUseAlpha);
        MaskStore(d + i, m, _mm256_adds_epu8(MaskLoad(d + i, m), term));
    }
}

QUILLO_TARGET void AdditiveRow(uint32_t* d, const uint32_t* s, int n, uint32_t kr, uint32_t kg,
                               uint32_t kb, bool useAlpha)
{
    const Vec kRedBlue = _mm256_set1_epi32(int(kb | (kr << 16)));
    const Vec kGreen = _mm256_set1_epi32(int(kg));
    const bool modulated = kr != 256 || kg != 256 || kb != 256;
    if (modulated)
        useAlpha ? AdditiveRows<true, true>(d, s, n, kRedBlue, kGreen)
                 : AdditiveRows<true, false>(d, s, n, kRedBlue, kGreen);
    else
        useAlpha ? AdditiveRows<false, true>(d, s, n, kRedBlue, kGreen)
                 : AdditiveRows<false, false>(d, s, n, kRedBlue, kGreen);
}

QUILLO_TARGET void FillRow(uint32_t* d, int n, uint32_t value)
{
    int i = 0;
    for (const int head = HeadCount(d, n); i < head; ++i)
        d[i] = value;
    const Vec v = _mm256_set1_epi32(int(value));
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
    const Vec half = _mm256_set1_epi32(32768);
    // Two pixels (eight 16-bit channel sums) per register.
    constexpr int kPixels = kLanes / 2;
    int i = 0;
    for (; i + 2 * kPixels <= n; i += 2 * kPixels)
    {
        Vec acc[4] = {half, half, half, half};
        for (int t = 0; t < taps; ++t)
        {
            const Vec w = _mm256_set1_epi16(short(weights[t]));
            for (int part = 0; part < 2; ++part)
            {
                const Vec v = _mm256_loadu_si256(reinterpret_cast<const Vec*>(rows[t] + (i + part * kPixels) * 4));
                const Vec lo = _mm256_mullo_epi16(v, w);
                const Vec hi = _mm256_mulhi_epu16(v, w);
                acc[part * 2] = _mm256_add_epi32(acc[part * 2], _mm256_unpacklo_epi16(lo, hi));
                acc[part * 2 + 1] = _mm256_add_epi32(acc[part * 2 + 1], _mm256_unpackhi_epi16(lo, hi));
            }
        }
        const Vec p0 = _mm256_packs_epi32(_mm256_srli_epi32(acc[0], 16), _mm256_srli_epi32(acc[1], 16));
        const Vec p1 = _mm256_packs_epi32(_mm256_srli_epi32(acc[2], 16), _mm256_srli_epi32(acc[3], 16));
        Store(out + i, InOrder(_mm256_packus_epi16(p0, p1)));
    }
    for (; i < n; ++i)
    {
        uint32_t px = 0;
        for (int c = 0; c < 4; ++c)
        {
            uint32_t sum = 32768;
            for (int t = 0; t < taps; ++t)
                sum += uint32_t(weights[t]) * rows[t][i * 4 + c];
            px |= (sum >> 16) << (8 * c);
        }
        out[i] = px;
    }
}

QUILLO_TARGET inline Vec Channel(Vec p, int shift) { return _mm256_and_si256(_mm256_srli_epi32(p, shift), _mm256_set1_epi32(0xFF)); }

// The premultiplied 2 x 2 sum of RotateRules::Bilinear for eight positions:
// colour channels (blue, green, red) and the coverage, one per 32-bit lane.
QUILLO_TARGET inline void Bilinear8(const RotateSource& src, Vec sx, Vec sy, Vec inside, Vec c[3], Vec& cov)
{
    const Vec ix = _mm256_srai_epi32(sx, 16), iy = _mm256_srai_epi32(sy, 16);
    const Vec mask8 = _mm256_set1_epi32(0xFE), one = _mm256_set1_epi32(1), c256 = _mm256_set1_epi32(256);
    const Vec fx = _mm256_or_si256(_mm256_and_si256(_mm256_srli_epi32(sx, 8), mask8), one);
    const Vec fy = _mm256_or_si256(_mm256_and_si256(_mm256_srli_epi32(sy, 8), mask8), one);
    const Vec gx = _mm256_sub_epi32(c256, fx), gy = _mm256_sub_epi32(c256, fy);
    const Vec offset = _mm256_add_epi32(_mm256_mullo_epi32(iy, _mm256_set1_epi32(src.pitch)), ix);
    const Vec pitch = _mm256_set1_epi32(src.pitch);
    const int* base = reinterpret_cast<const int*>(src.pixels);
    const Vec zero = _mm256_setzero_si256();
    Vec p[4];
    p[0] = _mm256_mask_i32gather_epi32(zero, base, offset, inside, 4);
    p[1] = _mm256_mask_i32gather_epi32(zero, base, _mm256_add_epi32(offset, one), inside, 4);
    p[2] = _mm256_mask_i32gather_epi32(zero, base, _mm256_add_epi32(offset, pitch), inside, 4);
    p[3] = _mm256_mask_i32gather_epi32(zero, base, _mm256_add_epi32(_mm256_add_epi32(offset, pitch), one), inside, 4);
    Vec sumA = zero, sumC[3] = {zero, zero, zero};
    for (int j = 0; j < 2; ++j)
    {
        const Vec wa0 = _mm256_mullo_epi32(gx, _mm256_srli_epi32(p[j * 2], 24));
        const Vec wa1 = _mm256_mullo_epi32(fx, _mm256_srli_epi32(p[j * 2 + 1], 24));
        const Vec wy = j == 0 ? gy : fy;
        sumA = _mm256_add_epi32(sumA, _mm256_mullo_epi32(wy, _mm256_add_epi32(wa0, wa1)));
        for (int ch = 0; ch < 3; ++ch)
        {
            const Vec h = _mm256_add_epi32(_mm256_mullo_epi32(wa0, Channel(p[j * 2], 8 * ch)),
                                           _mm256_mullo_epi32(wa1, Channel(p[j * 2 + 1], 8 * ch)));
            sumC[ch] = _mm256_add_epi32(sumC[ch], _mm256_mullo_epi32(wy, h));
        }
    }
    for (int ch = 0; ch < 3; ++ch)
        c[ch] = _mm256_srli_epi32(sumC[ch], 24);
    cov = _mm256_srli_epi32(sumA, 16);
}

QUILLO_TARGET void RotateRowVector(const RotateSource& src, const RotateRow& row, bool additive)
{
    const Vec lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    Vec sx = _mm256_add_epi32(_mm256_set1_epi32(row.sx), _mm256_mullo_epi32(lane, _mm256_set1_epi32(row.dsx)));
    Vec sy = _mm256_add_epi32(_mm256_set1_epi32(row.sy), _mm256_mullo_epi32(lane, _mm256_set1_epi32(row.dsy)));
    const Vec stepX = _mm256_set1_epi32(int32_t(uint32_t(row.dsx) * kLanes));
    const Vec stepY = _mm256_set1_epi32(int32_t(uint32_t(row.dsy) * kLanes));
    const Vec low = _mm256_set1_epi32(-32769);
    const Vec limitX = _mm256_set1_epi32(src.width * 65536 - 32768);
    const Vec limitY = _mm256_set1_epi32(src.height * 65536 - 32768);
    const Vec zero = _mm256_setzero_si256();
    const Vec c256 = _mm256_set1_epi32(256), c255 = _mm256_set1_epi32(255), c250 = _mm256_set1_epi32(250);
    int i = 0;
    for (; i + kLanes <= row.count; i += kLanes, sx = _mm256_add_epi32(sx, stepX), sy = _mm256_add_epi32(sy, stepY))
    {
        const Vec inside = _mm256_and_si256(
            _mm256_and_si256(_mm256_cmpgt_epi32(sx, low), _mm256_cmpgt_epi32(sy, low)),
            _mm256_and_si256(_mm256_cmpgt_epi32(limitX, sx), _mm256_cmpgt_epi32(limitY, sy)));
        if (LaneMask(inside) == 0)
            continue;
        Vec c[3], cov;
        Bilinear8(src, sx, sy, inside, c, cov);
        const Vec draw = _mm256_andnot_si256(_mm256_cmpeq_epi32(cov, zero), inside);
        if (LaneMask(draw) == 0)
            continue;
        uint32_t* dp = row.dest + i;
        const Vec d = Load(dp);
        const Vec colour = _mm256_or_si256(_mm256_or_si256(c[0], _mm256_slli_epi32(c[1], 8)), _mm256_slli_epi32(c[2], 16));
        Vec out;
        if (additive)
        {
            out = _mm256_adds_epu8(d, colour);
        }
        else
        {
            const Vec da = _mm256_srli_epi32(d, 24);
            const Vec icov = _mm256_sub_epi32(c256, cov);
            const Vec outA = _mm256_sub_epi32(c256, _mm256_srli_epi32(_mm256_mullo_epi32(_mm256_sub_epi32(c256, da), icov), 8));
            const __m256 divisor = _mm256_cvtepi32_ps(outA);
            Vec mixed = _mm256_slli_epi32(_mm256_sub_epi32(outA, _mm256_set1_epi32(1)), 24);
            for (int ch = 0; ch < 3; ++ch)
            {
                const Vec dc = _mm256_srli_epi32(_mm256_mullo_epi32(Channel(d, 8 * ch), da), 8);
                const Vec num = _mm256_add_epi32(_mm256_slli_epi32(c[ch], 8), _mm256_mullo_epi32(dc, icov));
                const Vec v = _mm256_min_epi32(_mm256_cvttps_epi32(_mm256_div_ps(_mm256_cvtepi32_ps(num), divisor)), c255);
                mixed = _mm256_or_si256(mixed, _mm256_slli_epi32(v, 8 * ch));
            }
            const Vec opaque = _mm256_or_si256(colour, _mm256_set1_epi32(int(0xFF000000u)));
            out = Select(_mm256_cmpgt_epi32(cov, c250), opaque, mixed);
        }
        Store(dp, Select(draw, out, d));
    }
    int32_t px = row.sx + int32_t(uint32_t(row.dsx) * uint32_t(i));
    int32_t py = row.sy + int32_t(uint32_t(row.dsy) * uint32_t(i));
    for (; i < row.count; ++i, px += row.dsx, py += row.dsy)
        RotateRules::Pixel(src, row.dest + i, px, py, additive);
}

const PixelKernels kVector = {
    "avx2",          BlendOpaqueBlock, CompositeAlphaRow,  ModulateRow,
    AdditiveRow,     RotateRowVector, VerticalResampleRow, FillRow, HorizontalPairsRow,
};

} // namespace

const PixelKernels* PixelKernels::Avx2()
{
    return __builtin_cpu_supports("avx2") ? &kVector : nullptr;
}

} // namespace Quillo
