#pragma once

#include <cstdint>

namespace Quillo
{

// Pixel i of blendAcross, for the reference and for the row ends of the
// vector sets.
inline void BlendAcrossPixel(uint16_t* out, const uint32_t* src, const int32_t* first, const uint16_t* weights,
                             int i)
{
    const uint32_t a = src[first[i]];
    const uint32_t b = src[first[i] + 1];
    const uint16_t* w = weights + 8 * i;
    for (int c = 0; c < 4; ++c)
        out[4 * i + c] = uint16_t(((a >> (8 * c)) & 0xFF) * w[c] + ((b >> (8 * c)) & 0xFF) * w[4 + c]);
}

// Pixel i of blendDown, likewise.
inline uint32_t BlendDownPixel(const uint16_t* top, const uint16_t* bottom, int weight, int i)
{
    uint32_t px = 0;
    for (int c = 0; c < 4; ++c)
    {
        const uint32_t sum = uint32_t(top[4 * i + c]) * uint32_t(128 - weight) +
                             uint32_t(bottom[4 * i + c]) * uint32_t(weight) + 8192;
        px |= (sum >> 14) << (8 * c);
    }
    return px;
}

// The row kernels that scale the frame into the window. The scalar set is
// the reference; the vector sets give the same words and are picked once,
// by CPU feature.
struct ScaleKernels
{
    const char* name;
    // Crisp scaling across: each of the n pixels of src written factor
    // times in a row, from out on.
    void (*repeatRow)(uint32_t* out, const uint32_t* src, int n, int factor);
    // Smooth scaling across, two taps in 7-bit weights: output pixel i (4
    // channel values, B G R A) is w0 x src[first[i]] + w1 x src[first[i] + 1]
    // with weights[8 i] holding w0 four times, then w1 four times, and
    // w0 + w1 = 128. src[first[i] + 1] must be readable even where w1 is 0.
    void (*blendAcross)(uint16_t* out, const uint32_t* src, const int32_t* first, const uint16_t* weights,
                        int n);
    // Smooth scaling down the rows: pixel i is, per channel,
    // (top x (128 - weight) + bottom x weight + 8192) >> 14, from two rows
    // that blendAcross made.
    void (*blendDown)(uint32_t* out, const uint16_t* top, const uint16_t* bottom, int weight, int n);

    // The reference set.
    static const ScaleKernels& Scalar();
    // Vector sets, or null when the CPU lacks the feature.
    static const ScaleKernels* Sse2();
    static const ScaleKernels* Avx2();
    // The widest set the CPU has; QUILLO_PIXEL_KERNELS=scalar|sse2|avx2
    // forces a narrower one, as it does for drawing.
    static const ScaleKernels& Active();
};

} // namespace Quillo
