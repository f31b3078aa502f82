#pragma once

#include <cstdint>

namespace Quillo
{

// The screen's pixel layout: the channel masks with their widths and
// positions. Native pixel data of images is converted to it.
struct PixelFormat
{
    int32_t bitsPerPixel = 32;
    uint32_t redMask = 0x00FF0000;
    uint32_t greenMask = 0x0000FF00;
    uint32_t blueMask = 0x000000FF;
    int32_t redBits = 8;
    int32_t greenBits = 8;
    int32_t blueBits = 8;
    int32_t redShift = 16;
    int32_t greenShift = 8;
    int32_t blueShift = 0;

    // Derives widths and shifts from the masks (a contiguous run of bits each).
    static PixelFormat FromMasks(int32_t bitsPerPixel, uint32_t red, uint32_t green, uint32_t blue);
};

} // namespace Quillo
