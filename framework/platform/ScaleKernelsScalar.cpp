// The reference scaling kernels: plain loops over pixels.
#include "framework/platform/ScaleKernels.h"

namespace Quillo
{
namespace
{

void RepeatRow(uint32_t* out, const uint32_t* src, int n, int factor)
{
    for (int i = 0; i < n; ++i)
        for (int k = 0; k < factor; ++k)
            *out++ = src[i];
}

void BlendAcross(uint16_t* out, const uint32_t* src, const int32_t* first, const uint16_t* weights, int n)
{
    for (int i = 0; i < n; ++i)
        BlendAcrossPixel(out, src, first, weights, i);
}

void BlendDown(uint32_t* out, const uint16_t* top, const uint16_t* bottom, int weight, int n)
{
    for (int i = 0; i < n; ++i)
        out[i] = BlendDownPixel(top, bottom, weight, i);
}

const ScaleKernels kScalar = {"scalar", RepeatRow, BlendAcross, BlendDown};

} // namespace

const ScaleKernels& ScaleKernels::Scalar() { return kScalar; }

} // namespace Quillo
