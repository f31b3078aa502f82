#pragma once

#include "framework/graphics/ImageLib.h"

#include <cstddef>
#include <cstdint>

// Reads every pixel of a decoded image, so that a pixel array shorter than
// the image claims shows up.
inline void TouchPixels(const Quillo::ImageLib::Image* image)
{
    if (!image)
        return;
    uint32_t sum = 0;
    const size_t n = size_t(image->width) * size_t(image->height);
    for (size_t i = 0; i < n; ++i)
        sum += image->bits[i];
    volatile uint32_t kept = sum;
    (void)kept;
}
