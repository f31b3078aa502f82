#pragma once

#include "framework/platform/Rect.h"

#include <array>
#include <cstdint>

namespace Quillo
{

// One character of a font layer.
struct FontGlyph
{
    Rect imageRect;     // in the layer image
    int32_t offsetX = 0;
    int32_t offsetY = 0;
    // Added to the advance when the next character is the index.
    std::array<int8_t, 256> kerning{};
    int32_t width = 0;  // advance in pixels
    int32_t order = 0;  // drawing order
};

} // namespace Quillo
