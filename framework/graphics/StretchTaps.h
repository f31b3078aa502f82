#pragma once

#include <cstdint>
#include <vector>

namespace Quillo
{

// The source pixels and weights of each destination pixel along one axis of
// a smooth stretch. Every pixel's weights are at least 0 and sum to 256, so
// that the 16-bit kernels can take them as unsigned lanes.
struct StretchTaps
{
    std::vector<int32_t> first;
    std::vector<int32_t> count;
    std::vector<int32_t> offset;
    std::vector<int32_t> weights;

    // Destination pixel i of n, skip pixels into the whole destination,
    // covers the source interval start + [skip + i, skip + i + 1) x scale;
    // the source pixels lie in [lo, hi). Counting from the whole
    // destination's edge keeps a pixel's taps the same however the drawing
    // is clipped. Shrinks average the covered area, enlargements are linear
    // between the two nearest pixel centres.
    static StretchTaps Build(double start, double scale, int skip, int n, int lo, int hi);
};

} // namespace Quillo
