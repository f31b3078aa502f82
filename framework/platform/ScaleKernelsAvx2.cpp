// AVX2 scaling kernels, compiled for AVX2 function by function. Smooth
// scaling across gathers two pixels per output pixel, which wider registers
// do not speed up: that kernel is the SSE2 one.
#include "framework/platform/ScaleKernels.h"

#include <immintrin.h>

#include <cstring>

#define QUILLO_TARGET __attribute__((target("avx2")))

namespace Quillo
{
namespace
{

QUILLO_TARGET inline __m256i Load(const void* p) { return _mm256_loadu_si256(static_cast<const __m256i*>(p)); }
QUILLO_TARGET inline void Store(void* p, __m256i v) { _mm256_storeu_si256(static_cast<__m256i*>(p), v); }

// Factors up to this take eight pixels at a time through lane permutes.
constexpr int kPermutedFactors = 8;

QUILLO_TARGET void RepeatRow(uint32_t* out, const uint32_t* src, int n, int factor)
{
    if (factor == 1)
    {
        std::memcpy(out, src, size_t(n) * 4);
        return;
    }
    int i = 0;
    if (factor <= kPermutedFactors)
    {
        // Output vector j of eight source pixels takes, in lane l, source
        // pixel (8 j + l) / factor.
        __m256i index[kPermutedFactors];
        for (int j = 0; j < factor; ++j)
        {
            alignas(32) int32_t lanes[8];
            for (int l = 0; l < 8; ++l)
                lanes[l] = (8 * j + l) / factor;
            index[j] = _mm256_load_si256(reinterpret_cast<const __m256i*>(lanes));
        }
        for (; i + 8 <= n; i += 8, out += 8 * factor)
        {
            const __m256i v = Load(src + i);
            for (int j = 0; j < factor; ++j)
                Store(out + 8 * j, _mm256_permutevar8x32_epi32(v, index[j]));
        }
    }
    else
        for (; i < n; ++i)
        {
            const __m256i v = _mm256_set1_epi32(int32_t(src[i]));
            int k = 0;
            for (; k + 8 <= factor; k += 8)
                Store(out + k, v);
            for (; k < factor; ++k)
                out[k] = src[i];
            out += factor;
        }
    for (; i < n; ++i)
        for (int k = 0; k < factor; ++k)
            *out++ = src[i];
}

QUILLO_TARGET void BlendDown(uint32_t* out, const uint16_t* top, const uint16_t* bottom, int weight, int n)
{
    // As the SSE2 kernel, per 128-bit lane; the final pack interleaves the
    // lanes' pixel pairs, which one permute puts back in order.
    const __m256i w = _mm256_set1_epi32(int32_t((uint32_t(weight) << 16) | uint32_t(128 - weight)));
    const __m256i round = _mm256_set1_epi32(8192);
    int i = 0;
    for (; i + 8 <= n; i += 8)
    {
        __m256i words[2];
        for (int half = 0; half < 2; ++half)
        {
            const __m256i t = Load(top + 4 * i + 16 * half);
            const __m256i b = Load(bottom + 4 * i + 16 * half);
            const __m256i lo = _mm256_srai_epi32(_mm256_add_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi16(t, b), w), round), 14);
            const __m256i hi = _mm256_srai_epi32(_mm256_add_epi32(_mm256_madd_epi16(_mm256_unpackhi_epi16(t, b), w), round), 14);
            words[half] = _mm256_packs_epi32(lo, hi);
        }
        Store(out + i, _mm256_permute4x64_epi64(_mm256_packus_epi16(words[0], words[1]), _MM_SHUFFLE(3, 1, 2, 0)));
    }
    for (; i < n; ++i)
        out[i] = BlendDownPixel(top, bottom, weight, i);
}

} // namespace

const ScaleKernels* ScaleKernels::Avx2()
{
    if (!__builtin_cpu_supports("avx2"))
        return nullptr;
    static const ScaleKernels kVector = {"avx2", RepeatRow, Sse2()->blendAcross, BlendDown};
    return &kVector;
}

} // namespace Quillo
