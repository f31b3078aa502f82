// AVX-512 (F and BW) kernels for the opaque-destination case, the one that
// draws most pixels of a frame, and for additive drawing (glows and
// blasts over the whole screen) and tinted drawing (text). The other kernels
// of this set are the AVX2 ones: their work is bound by memory or by
// divisions, not by lane count. The kernels themselves are those of
// PixelKernelsVector.inl on 512-bit registers, with mask registers for the
// selects and the row ends.
#include "framework/graphics/PixelKernels.h"
#include "framework/graphics/PixelRules.h"

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
using Lanes = __mmask16;
using Tail = __mmask16;
constexpr int kLanes = 16;
constexpr Lanes kAllLanes = 0xFFFF;
// The aligning head of a long row is one masked vector; tinted rows (text,
// mostly shorter than a vector) start where they are.
constexpr bool kMaskedHeads = true;
constexpr bool kModulateHeads = false;

QUILLO_TARGET inline Vec Load(const uint32_t* p) { return _mm512_loadu_si512(p); }
QUILLO_TARGET inline void Store(uint32_t* p, Vec v) { _mm512_storeu_si512(p, v); }
QUILLO_TARGET inline Vec Zero() { return _mm512_setzero_si512(); }
QUILLO_TARGET inline Vec Set16(int16_t v) { return _mm512_set1_epi16(v); }
QUILLO_TARGET inline Vec Set32(int32_t v) { return _mm512_set1_epi32(v); }
QUILLO_TARGET inline Vec Set64(int64_t v) { return _mm512_set1_epi64(v); }
QUILLO_TARGET inline Vec And(Vec a, Vec b) { return _mm512_and_si512(a, b); }
QUILLO_TARGET inline Vec Or(Vec a, Vec b) { return _mm512_or_si512(a, b); }
QUILLO_TARGET inline Vec Add16(Vec a, Vec b) { return _mm512_add_epi16(a, b); }
QUILLO_TARGET inline Vec Sub16(Vec a, Vec b) { return _mm512_sub_epi16(a, b); }
QUILLO_TARGET inline Vec Add32(Vec a, Vec b) { return _mm512_add_epi32(a, b); }
QUILLO_TARGET inline Vec Sub32(Vec a, Vec b) { return _mm512_sub_epi32(a, b); }
QUILLO_TARGET inline Vec Mul16(Vec a, Vec b) { return _mm512_mullo_epi16(a, b); }
QUILLO_TARGET inline Vec MulHi16(Vec a, Vec b) { return _mm512_mulhi_epu16(a, b); }
QUILLO_TARGET inline Vec Max16(Vec a, Vec b) { return _mm512_max_epi16(a, b); }
QUILLO_TARGET inline Vec AddSat8(Vec a, Vec b) { return _mm512_adds_epu8(a, b); }
QUILLO_TARGET inline Vec PackUs16(Vec lo, Vec hi) { return _mm512_packus_epi16(lo, hi); }
QUILLO_TARGET inline Vec WidenLo(Vec v) { return _mm512_unpacklo_epi8(v, _mm512_setzero_si512()); }
QUILLO_TARGET inline Vec WidenHi(Vec v) { return _mm512_unpackhi_epi8(v, _mm512_setzero_si512()); }
QUILLO_TARGET inline Vec UnpackLo32(Vec a, Vec b) { return _mm512_unpacklo_epi32(a, b); }
QUILLO_TARGET inline Vec UnpackHi32(Vec a, Vec b) { return _mm512_unpackhi_epi32(a, b); }
QUILLO_TARGET inline Vec Shuffle8(Vec v, Vec index) { return _mm512_shuffle_epi8(v, index); }
template <int N> QUILLO_TARGET inline Vec Srl16(Vec v) { return _mm512_srli_epi16(v, N); }
template <int N> QUILLO_TARGET inline Vec Sll16(Vec v) { return _mm512_slli_epi16(v, N); }
template <int N> QUILLO_TARGET inline Vec Srl32(Vec v) { return _mm512_srli_epi32(v, N); }
template <int N> QUILLO_TARGET inline Vec Sll32(Vec v) { return _mm512_slli_epi32(v, N); }
QUILLO_TARGET inline Lanes Eq32(Vec a, Vec b) { return _mm512_cmpeq_epi32_mask(a, b); }
QUILLO_TARGET inline bool All(Lanes m) { return m == kAllLanes; }
QUILLO_TARGET inline Vec Select(Lanes mask, Vec a, Vec b) { return _mm512_mask_mov_epi32(b, mask, a); }
QUILLO_TARGET inline Vec Divide(Vec a, Vec b)
{
    return _mm512_cvttps_epi32(_mm512_div_ps(_mm512_cvtepi32_ps(a), _mm512_cvtepi32_ps(b)));
}
// Unpack and pack work per 128-bit lane, so the spreads repeat per lane.
QUILLO_TARGET inline Vec AlphaSpreadLo()
{
    return _mm512_broadcast_i32x4(_mm_setr_epi8(3, -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1));
}
QUILLO_TARGET inline Vec AlphaSpreadHi()
{
    return _mm512_broadcast_i32x4(_mm_setr_epi8(11, -1, 11, -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1));
}
QUILLO_TARGET inline Tail TailMask(int remaining) { return Tail((1u << remaining) - 1u); }
QUILLO_TARGET inline Vec MaskLoad(const uint32_t* p, Tail m) { return _mm512_maskz_loadu_epi32(m, p); }
QUILLO_TARGET inline Vec MaskLoadOr(const uint32_t* p, Tail m, Vec other) { return _mm512_mask_loadu_epi32(other, m, p); }
QUILLO_TARGET inline void MaskStore(uint32_t* p, Tail m, Vec v) { _mm512_mask_storeu_epi32(p, m, v); }

#include "framework/graphics/PixelKernelsVector.inl"
#include "framework/graphics/PixelKernelsOpaqueBlock.inl"

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
