// SSE2 scaling kernels (every x86-64 CPU has SSE2). Row ends go through the
// reference's per-pixel helpers, so the words are the reference's.
#include "framework/platform/ScaleKernels.h"

#include <emmintrin.h>

#include <cstring>

namespace Quillo
{
namespace
{

inline __m128i Load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
inline void Store(void* p, __m128i v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); }

void RepeatRow(uint32_t* out, const uint32_t* src, int n, int factor)
{
    if (factor == 1)
    {
        std::memcpy(out, src, size_t(n) * 4);
        return;
    }
    int i = 0;
    // The common factors take four pixels at a time, shuffled in registers.
    if (factor == 2)
        for (; i + 4 <= n; i += 4, out += 8)
        {
            const __m128i v = Load(src + i);
            Store(out, _mm_unpacklo_epi32(v, v));
            Store(out + 4, _mm_unpackhi_epi32(v, v));
        }
    else if (factor == 3)
        for (; i + 4 <= n; i += 4, out += 12)
        {
            const __m128i v = Load(src + i);
            Store(out, _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 0, 0)));
            Store(out + 4, _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 2, 1, 1)));
            Store(out + 8, _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 3, 3, 2)));
        }
    else if (factor == 4)
        for (; i + 4 <= n; i += 4, out += 16)
        {
            const __m128i v = Load(src + i);
            Store(out, _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 0, 0, 0)));
            Store(out + 4, _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 1, 1, 1)));
            Store(out + 8, _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 2, 2, 2)));
            Store(out + 12, _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 3, 3, 3)));
        }
    else
        for (; i < n; ++i)
        {
            const __m128i v = _mm_set1_epi32(int32_t(src[i]));
            int k = 0;
            for (; k + 4 <= factor; k += 4)
                Store(out + k, v);
            for (; k < factor; ++k)
                out[k] = src[i];
            out += factor;
        }
    for (; i < n; ++i)
        for (int k = 0; k < factor; ++k)
            *out++ = src[i];
}

void BlendAcross(uint16_t* out, const uint32_t* src, const int32_t* first, const uint16_t* weights, int n)
{
    const __m128i zero = _mm_setzero_si128();
    int i = 0;
    for (; i + 2 <= n; i += 2)
    {
        // Each output pixel's two taps, widened: w0 x left in the low half,
        // w1 x right in the high half; their sum fits 16 bits (255 x 128).
        const __m128i p0 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(src + first[i]));
        const __m128i p1 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(src + first[i + 1]));
        const __m128i x0 = _mm_mullo_epi16(_mm_unpacklo_epi8(p0, zero), Load(weights + 8 * i));
        const __m128i x1 = _mm_mullo_epi16(_mm_unpacklo_epi8(p1, zero), Load(weights + 8 * i + 8));
        Store(out + 4 * i, _mm_add_epi16(_mm_unpacklo_epi64(x0, x1), _mm_unpackhi_epi64(x0, x1)));
    }
    for (; i < n; ++i)
        BlendAcrossPixel(out, src, first, weights, i);
}

void BlendDown(uint32_t* out, const uint16_t* top, const uint16_t* bottom, int weight, int n)
{
    // Channel pairs (top, bottom) times (128 - weight, weight) in one madd;
    // the channel values are at most 255 x 128, positive as signed words.
    const __m128i w = _mm_set1_epi32(int32_t((uint32_t(weight) << 16) | uint32_t(128 - weight)));
    const __m128i round = _mm_set1_epi32(8192);
    int i = 0;
    for (; i + 4 <= n; i += 4)
    {
        __m128i sums[4];
        for (int half = 0; half < 2; ++half)
        {
            const __m128i t = Load(top + 4 * i + 8 * half);
            const __m128i b = Load(bottom + 4 * i + 8 * half);
            sums[2 * half] = _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(t, b), w), round), 14);
            sums[2 * half + 1] = _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(t, b), w), round), 14);
        }
        const __m128i words01 = _mm_packs_epi32(sums[0], sums[1]);
        const __m128i words23 = _mm_packs_epi32(sums[2], sums[3]);
        Store(out + i, _mm_packus_epi16(words01, words23));
    }
    for (; i < n; ++i)
        out[i] = BlendDownPixel(top, bottom, weight, i);
}

const ScaleKernels kVector = {"sse2", RepeatRow, BlendAcross, BlendDown};

} // namespace

const ScaleKernels* ScaleKernels::Sse2() { return &kVector; }

} // namespace Quillo
