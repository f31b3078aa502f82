// AVX-512 (F and BW) kernels for the opaque-destination case, the one that
// draws most pixels of a frame, and for additive drawing (glows and
// blasts over the whole screen) and tinted drawing (text). The other kernels of this set are the AVX2
// ones: their work is bound by memory or by divisions, not by lane count.
// The arithmetic is that of BlendOpaque8 in PixelKernelsAvx2.cpp on 512-bit
// registers, with mask registers for the selects and the row ends.
#include "framework/graphics/PixelKernels.h"

// GCC 12 builds some AVX-512 intrinsics on an undefined register and then
// warns about it wherever they are inlined.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#define QUILLO_TARGET __attribute__((target("avx512f,avx512bw")))

namespace Quillo
{
namespace
{

using Vec = __m512i;
using Mask = __mmask16;
constexpr int kLanes = 16;
constexpr Mask kAllLanes = 0xFFFF;

QUILLO_TARGET inline Vec Load(const uint32_t* p) { return _mm512_loadu_si512(p); }
QUILLO_TARGET inline void Store(uint32_t* p, Vec v) { _mm512_storeu_si512(p, v); }
QUILLO_TARGET inline Mask FirstLanes(int n) { return Mask((1u << n) - 1u); }

// Red and green as (x + y) / 256, blue as x / 256 + y / 256 (see MixChannels
// of the AVX2 set).
QUILLO_TARGET inline Vec MixChannels(Vec x, Vec y)
{
    const Vec keep = _mm512_set1_epi64(int64_t(0xFFFFFFFFFFFFFF00ull));
    return _mm512_srli_epi16(_mm512_add_epi16(_mm512_and_si512(x, keep), _mm512_and_si512(y, keep)), 8);
}

QUILLO_TARGET inline Vec BlendOpaque16(Vec dv, Vec sv)
{
    const Vec a32 = _mm512_srli_epi32(sv, 24);
    const Mask none = _mm512_cmpeq_epi32_mask(a32, _mm512_setzero_si512());
    const Mask full = _mm512_cmpeq_epi32_mask(a32, _mm512_set1_epi32(255));
    // Each pixel's alpha byte into the four 16-bit channel lanes of its
    // widened form; unpack and pack both work per 128-bit lane.
    const Vec spreadLo = _mm512_broadcast_i32x4(_mm_setr_epi8(3, -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1));
    const Vec spreadHi = _mm512_broadcast_i32x4(_mm_setr_epi8(11, -1, 11, -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1));
    const Vec aLo = _mm512_shuffle_epi8(sv, spreadLo), aHi = _mm512_shuffle_epi8(sv, spreadHi);
    const Vec zero = _mm512_setzero_si512(), c256 = _mm512_set1_epi16(256);
    const Vec lo = MixChannels(_mm512_mullo_epi16(_mm512_unpacklo_epi8(dv, zero), _mm512_sub_epi16(c256, aLo)),
                               _mm512_mullo_epi16(_mm512_unpacklo_epi8(sv, zero), aLo));
    const Vec hi = MixChannels(_mm512_mullo_epi16(_mm512_unpackhi_epi8(dv, zero), _mm512_sub_epi16(c256, aHi)),
                               _mm512_mullo_epi16(_mm512_unpackhi_epi8(sv, zero), aHi));
    Vec out = _mm512_or_si512(_mm512_packus_epi16(lo, hi), _mm512_set1_epi32(int(0xFF000000u)));
    out = _mm512_mask_mov_epi32(out, full, sv);
    return _mm512_mask_mov_epi32(out, none, dv);
}

// n pixels, whole vectors allowed up to room pixels (see PixelKernelsOpaqueBlock.inl).
QUILLO_TARGET inline void BlendOpaqueRow(uint32_t* d, const uint32_t* s, int n, int room)
{
    const Vec zero = _mm512_setzero_si512(), c255 = _mm512_set1_epi32(255);
    int i = 0;
    // Long rows first step to a destination on a cache line, so that no
    // store of the body straddles two lines.
    if (n >= 4 * kLanes)
    {
        const auto misalign = reinterpret_cast<uintptr_t>(d) & (sizeof(Vec) - 1);
        if (misalign != 0)
        {
            i = int((sizeof(Vec) - misalign) / 4);
            const Mask m = FirstLanes(i);
            _mm512_mask_storeu_epi32(d, m, BlendOpaque16(_mm512_maskz_loadu_epi32(m, d), _mm512_maskz_loadu_epi32(m, s)));
        }
    }
    for (; i < n && i + kLanes <= room; i += kLanes)
    {
        const Vec sv = Load(s + i);
        const Vec a32 = _mm512_srli_epi32(sv, 24);
        if (_mm512_cmpeq_epi32_mask(a32, zero) == kAllLanes)
            continue;
        if (_mm512_cmpeq_epi32_mask(a32, c255) == kAllLanes)
        {
            Store(d + i, sv);
            continue;
        }
        Store(d + i, BlendOpaque16(Load(d + i), sv));
    }
    if (i < n)
    {
        const Mask m = FirstLanes(n - i);
        _mm512_mask_storeu_epi32(d + i, m,
                                 BlendOpaque16(_mm512_maskz_loadu_epi32(m, d + i), _mm512_maskz_loadu_epi32(m, s + i)));
    }
}

#include "framework/graphics/PixelKernelsOpaqueBlock.inl"

// What the additive rule adds to each channel, without widening: blue and
// red sit in the low bytes of the two 16-bit halves of each pixel, green in
// the low byte of the lower half once shifted down, so one 16-bit multiply
// serves two channels and no unpacking or packing is needed. Every product
// fits 16 bits (255 x 256). Alpha comes out 0, which leaves d's alpha.
QUILLO_TARGET inline Vec AdditiveTerm(Vec sv, Vec kRedBlue, Vec kGreen, bool modulated, bool useAlpha)
{
    Vec rb = _mm512_and_si512(sv, _mm512_set1_epi32(0x00FF00FF));
    Vec g = _mm512_and_si512(_mm512_srli_epi32(sv, 8), _mm512_set1_epi32(0xFF));
    if (modulated)
    {
        rb = _mm512_srli_epi16(_mm512_mullo_epi16(rb, kRedBlue), 8);
        g = _mm512_srli_epi16(_mm512_mullo_epi16(g, kGreen), 8);
    }
    if (useAlpha)
    {
        const Vec a = _mm512_srli_epi32(sv, 24);
        rb = _mm512_srli_epi16(_mm512_mullo_epi16(rb, _mm512_or_si512(a, _mm512_slli_epi32(a, 16))), 8);
        g = _mm512_srli_epi16(_mm512_mullo_epi16(g, a), 8);
    }
    return _mm512_or_si512(rb, _mm512_slli_epi32(g, 8));
}

// x / 255 for 16-bit x, exactly.
QUILLO_TARGET inline Vec Div255(Vec x) { return _mm512_srli_epi16(_mm512_mulhi_epu16(x, _mm512_set1_epi16(short(0x8081))), 7); }

// ((w x (s x k)) / 256 + (256 - w) x d) / 256 on 16-bit channels (see the
// AVX2 set); the sum stays below 65281.
QUILLO_TARGET inline Vec ModulatedChannels(Vec s16, Vec d16, Vec w16, Vec k)
{
    const Vec sk = _mm512_mullo_epi16(s16, k);
    const Vec wsk = _mm512_or_si512(_mm512_slli_epi16(_mm512_mulhi_epu16(w16, sk), 8),
                                    _mm512_srli_epi16(_mm512_mullo_epi16(w16, sk), 8));
    return _mm512_srli_epi16(
        _mm512_add_epi16(wsk, _mm512_mullo_epi16(_mm512_sub_epi16(_mm512_set1_epi16(256), w16), d16)), 8);
}

// Sixteen pixels of the modulated rule; lanes whose modulated alpha is 0
// keep d. Over an opaque destination the weight is the alpha itself; only
// where some destination pixel has alpha does it take a division.
QUILLO_TARGET inline Vec Modulate16(Vec dv, Vec sv, Vec caV, Vec k)
{
    const Vec zero = _mm512_setzero_si512(), c255 = _mm512_set1_epi32(255);
    const Vec t = Div255(_mm512_mullo_epi16(caV, _mm512_srli_epi32(sv, 24)));
    const Mask none = _mm512_cmpeq_epi32_mask(t, zero);
    const Vec da = _mm512_srli_epi32(dv, 24);
    const Vec outA = _mm512_add_epi32(da, Div255(_mm512_mullo_epi16(_mm512_sub_epi32(c255, da), t)));
    Vec w = t;
    if (_mm512_cmpeq_epi32_mask(outA, c255) != kAllLanes)
        w = _mm512_cvttps_epi32(_mm512_div_ps(_mm512_cvtepi32_ps(_mm512_mullo_epi16(t, c255)),
                                              _mm512_cvtepi32_ps(_mm512_max_epi16(outA, _mm512_set1_epi32(1)))));
    const Vec pair = _mm512_or_si512(w, _mm512_slli_epi32(w, 16));
    const Vec wLo = _mm512_unpacklo_epi32(pair, pair), wHi = _mm512_unpackhi_epi32(pair, pair);
    const Vec lo = ModulatedChannels(_mm512_unpacklo_epi8(sv, zero), _mm512_unpacklo_epi8(dv, zero), wLo, k);
    const Vec hi = ModulatedChannels(_mm512_unpackhi_epi8(sv, zero), _mm512_unpackhi_epi8(dv, zero), wHi, k);
    const Vec out = _mm512_or_si512(_mm512_and_si512(_mm512_packus_epi16(lo, hi), _mm512_set1_epi32(0x00FFFFFF)),
                                    _mm512_slli_epi32(outA, 24));
    return _mm512_mask_mov_epi32(out, none, dv);
}

// Tinted drawing, text above all: a glyph's row fits one masked vector.
QUILLO_TARGET void ModulateRow(uint32_t* d, const uint32_t* s, int n, uint32_t color)
{
    const uint32_t ca = color >> 24, kr = (color >> 16) & 0xFF, kg = (color >> 8) & 0xFF, kb = color & 0xFF;
    const Vec caV = _mm512_set1_epi32(int(ca));
    const Vec k = _mm512_set1_epi64(int64_t(kb) | (int64_t(kg) << 16) | (int64_t(kr) << 32));
    const Vec zero = _mm512_setzero_si512();
    int i = 0;
    for (; i + kLanes <= n; i += kLanes)
    {
        const Vec sv = Load(s + i);
        if (_mm512_cmpeq_epi32_mask(_mm512_srli_epi32(sv, 24), zero) == kAllLanes)
            continue;
        Store(d + i, Modulate16(Load(d + i), sv, caV, k));
    }
    if (i < n)
    {
        const Mask m = FirstLanes(n - i);
        // Lanes past the end count as opaque, which keeps the weight free of divisions.
        const Vec dv = _mm512_mask_loadu_epi32(_mm512_set1_epi32(int(0xFF000000u)), m, d + i);
        _mm512_mask_storeu_epi32(d + i, m, Modulate16(dv, _mm512_maskz_loadu_epi32(m, s + i), caV, k));
    }
}

template <bool kModulated, bool kUseAlpha>
QUILLO_TARGET void AdditiveRows(uint32_t* d, const uint32_t* s, int n, Vec kRedBlue, Vec kGreen)
{
    int i = 0;
    for (; i + kLanes <= n; i += kLanes)
        Store(d + i, _mm512_adds_epu8(Load(d + i), AdditiveTerm(Load(s + i), kRedBlue, kGreen, kModulated, kUseAlpha)));
    if (i < n)
    {
        const Mask m = FirstLanes(n - i);
        const Vec term = AdditiveTerm(_mm512_maskz_loadu_epi32(m, s + i), kRedBlue, kGreen, kModulated, kUseAlpha);
        _mm512_mask_storeu_epi32(d + i, m, _mm512_adds_epu8(_mm512_maskz_loadu_epi32(m, d + i), term));
    }
}

QUILLO_TARGET void AdditiveRow(uint32_t* d, const uint32_t* s, int n, uint32_t kr, uint32_t kg, uint32_t kb,
                               bool useAlpha)
{
    const Vec kRedBlue = _mm512_set1_epi32(int(kb | (kr << 16)));
    const Vec kGreen = _mm512_set1_epi32(int(kg));
    const bool modulated = kr != 256 || kg != 256 || kb != 256;
    if (modulated)
        useAlpha ? AdditiveRows<true, true>(d, s, n, kRedBlue, kGreen)
                 : AdditiveRows<true, false>(d, s, n, kRedBlue, kGreen);
    else
        useAlpha ? AdditiveRows<false, true>(d, s, n, kRedBlue, kGreen)
                 : AdditiveRows<false, false>(d, s, n, kRedBlue, kGreen);
}

} // namespace

const PixelKernels* PixelKernels::Avx512()
{
    const PixelKernels* avx2 = Avx2();
    if (!avx2 || !__builtin_cpu_supports("avx512f") || !__builtin_cpu_supports("avx512bw"))
        return nullptr;
    static const PixelKernels set = [avx2] {
        PixelKernels k = *avx2;
        k.name = "avx512";
        k.blendOpaqueBlock = BlendOpaqueBlock;
        k.additive = AdditiveRow;
        k.modulate = ModulateRow;
        return k;
    }();
    return &set;
}

} // namespace Quillo
