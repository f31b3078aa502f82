// AVX2 row kernels: the code of PixelKernelsSse2.cpp on 256-bit registers,
// compiled for AVX2 function by function; keep the two in step. The kernels
// it shares with the AVX-512 set are in PixelKernelsVector.inl.
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
// Comparisons and row-end masks are vectors of all-ones or all-zero lanes.
using Lanes = __m256i;
using Tail = __m256i;
constexpr int kLanes = 8;
constexpr int kAllLanes = (1 << kLanes) - 1;
// Long rows step to an aligned destination pixel by pixel (a masked store
// costs more here than a few scalar pixels), tinted ones as well.
constexpr bool kMaskedHeads = false;
constexpr bool kModulateHeads = true;

QUILLO_TARGET inline Vec Load(const uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const Vec*>(p)); }
QUILLO_TARGET inline void Store(uint32_t* p, Vec v) { _mm256_storeu_si256(reinterpret_cast<Vec*>(p), v); }
QUILLO_TARGET inline Vec Zero() { return _mm256_setzero_si256(); }
QUILLO_TARGET inline Vec Set16(int16_t v) { return _mm256_set1_epi16(v); }
QUILLO_TARGET inline Vec Set32(int32_t v) { return _mm256_set1_epi32(v); }
QUILLO_TARGET inline Vec Set64(int64_t v) { return _mm256_set1_epi64x(v); }
QUILLO_TARGET inline Vec And(Vec a, Vec b) { return _mm256_and_si256(a, b); }
QUILLO_TARGET inline Vec Or(Vec a, Vec b) { return _mm256_or_si256(a, b); }
QUILLO_TARGET inline Vec Add16(Vec a, Vec b) { return _mm256_add_epi16(a, b); }
QUILLO_TARGET inline Vec Sub16(Vec a, Vec b) { return _mm256_sub_epi16(a, b); }
QUILLO_TARGET inline Vec Add32(Vec a, Vec b) { return _mm256_add_epi32(a, b); }
QUILLO_TARGET inline Vec Sub32(Vec a, Vec b) { return _mm256_sub_epi32(a, b); }
// a x b for 16-bit lanes whose product fits 16 bits.
QUILLO_TARGET inline Vec Mul16(Vec a, Vec b) { return _mm256_mullo_epi16(a, b); }
QUILLO_TARGET inline Vec MulHi16(Vec a, Vec b) { return _mm256_mulhi_epu16(a, b); }
QUILLO_TARGET inline Vec Max16(Vec a, Vec b) { return _mm256_max_epi16(a, b); }
QUILLO_TARGET inline Vec AddSat8(Vec a, Vec b) { return _mm256_adds_epu8(a, b); }
QUILLO_TARGET inline Vec PackUs16(Vec lo, Vec hi) { return _mm256_packus_epi16(lo, hi); }
// The low and high pixels of each 128-bit lane widened to 16-bit channels.
QUILLO_TARGET inline Vec WidenLo(Vec v) { return _mm256_unpacklo_epi8(v, _mm256_setzero_si256()); }
QUILLO_TARGET inline Vec WidenHi(Vec v) { return _mm256_unpackhi_epi8(v, _mm256_setzero_si256()); }
QUILLO_TARGET inline Vec UnpackLo32(Vec a, Vec b) { return _mm256_unpacklo_epi32(a, b); }
QUILLO_TARGET inline Vec UnpackHi32(Vec a, Vec b) { return _mm256_unpackhi_epi32(a, b); }
QUILLO_TARGET inline Vec Shuffle8(Vec v, Vec index) { return _mm256_shuffle_epi8(v, index); }
template <int N> QUILLO_TARGET inline Vec Srl16(Vec v) { return _mm256_srli_epi16(v, N); }
template <int N> QUILLO_TARGET inline Vec Sll16(Vec v) { return _mm256_slli_epi16(v, N); }
template <int N> QUILLO_TARGET inline Vec Srl32(Vec v) { return _mm256_srli_epi32(v, N); }
template <int N> QUILLO_TARGET inline Vec Sll32(Vec v) { return _mm256_slli_epi32(v, N); }
QUILLO_TARGET inline Lanes Eq32(Vec a, Vec b) { return _mm256_cmpeq_epi32(a, b); }
QUILLO_TARGET inline int LaneMask(Lanes m) { return _mm256_movemask_ps(_mm256_castsi256_ps(m)); }
QUILLO_TARGET inline bool All(Lanes m) { return LaneMask(m) == kAllLanes; }
QUILLO_TARGET inline Vec Select(Lanes mask, Vec a, Vec b) { return _mm256_blendv_epi8(b, a, mask); }
// Truncated a / b per 32-bit lane (both below 2^16; b above 0). Single
// precision is exact here: a quotient this small never rounds up to the
// next whole number.
QUILLO_TARGET inline Vec Divide(Vec a, Vec b)
{
    return _mm256_cvttps_epi32(_mm256_div_ps(_mm256_cvtepi32_ps(a), _mm256_cvtepi32_ps(b)));
}
// Each pixel's alpha byte into the four 16-bit channel lanes of its widened form.
QUILLO_TARGET inline Vec AlphaSpreadLo()
{
    return _mm256_setr_epi8(3, -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1,
                            3, -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1);
}
QUILLO_TARGET inline Vec AlphaSpreadHi()
{
    return _mm256_setr_epi8(11, -1, 11, -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1,
                            11, -1, 11, -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1);
}
// The lanes below remaining, for the masked last block of a row.
QUILLO_TARGET inline Tail TailMask(int remaining)
{
    return _mm256_cmpgt_epi32(_mm256_set1_epi32(remaining), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
}
QUILLO_TARGET inline Vec MaskLoad(const uint32_t* p, Tail m) { return _mm256_maskload_epi32(reinterpret_cast<const int*>(p), m); }
QUILLO_TARGET inline Vec MaskLoadOr(const uint32_t* p, Tail m, Vec other) { return Select(m, MaskLoad(p, m), other); }
QUILLO_TARGET inline void MaskStore(uint32_t* p, Tail m, Vec v) { _mm256_maskstore_epi32(reinterpret_cast<int*>(p), m, v); }

#include "framework/graphics/PixelKernelsVector.inl"
#include "framework/graphics/PixelKernelsOpaqueBlock.inl"

// Pixels in memory order after a pack (which works per 128-bit lane).
QUILLO_TARGET inline Vec InOrder(Vec v) { return _mm256_permute4x64_epi64(v, 0xD8); }

// Source weight w (per 32-bit lane) of s over d: the colour part of the
// two compositing rules.
QUILLO_TARGET inline Vec WeightedColour(Vec d, Vec s, Vec w32)
{
    Vec wLo, wHi;
    Spread(w32, wLo, wHi);
    return WeightedChannels(d, s, wLo, wHi);
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
        out[i] = VerticalResamplePixel(rows, weights, taps, i);
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
