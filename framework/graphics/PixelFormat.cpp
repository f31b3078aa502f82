#include "framework/graphics/PixelFormat.h"

namespace Quillo
{
namespace
{

void Measure(uint32_t mask, int32_t& bits, int32_t& shift)
{
    bits = 0;
    shift = 0;
    if (mask == 0)
        return;
    while (!(mask & 1u))
    {
        mask >>= 1;
        ++shift;
    }
    while (mask & 1u)
    {
        mask >>= 1;
        ++bits;
    }
    if (bits > 8)
    {
        // Wider channels keep their top 8 bits; native pixels never carry more.
        shift += bits - 8;
        bits = 8;
    }
}

} // namespace

PixelFormat PixelFormat::FromMasks(int32_t bpp, uint32_t red, uint32_t green, uint32_t blue)
{
    PixelFormat f;
    f.bitsPerPixel = bpp;
    f.redMask = red;
    f.greenMask = green;
    f.blueMask = blue;
    Measure(red, f.redBits, f.redShift);
    Measure(green, f.greenBits, f.greenShift);
    Measure(blue, f.blueBits, f.blueShift);
    return f;
}

} // namespace Quillo
