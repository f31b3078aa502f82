#pragma once

#include <cstdint>
#include <vector>

namespace Quillo
{

// A cursor picture (straight-alpha ARGB, top row first) and its hot spot.
struct CursorImage
{
    std::vector<uint32_t> argb;
    int width = 0;
    int height = 0;
    int hotX = 0;
    int hotY = 0;

    // The picture drawn `scale` times as large, filtered as the screen's
    // picture is (bilinear, weighted by alpha so that soft edges do not
    // darken), the hot spot moved with it. Scales within 1% of 1 keep it.
    CursorImage Scaled(double scale) const;
};

} // namespace Quillo
