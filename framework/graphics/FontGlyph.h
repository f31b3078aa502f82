#pragma once

#include "framework/platform/Rect.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace Quillo
{

// Characters with a glyph slot, by code point: ASCII, Latin-1 and Latin
// Extended-A (U+0000..U+017F). Any other character draws nothing.
inline constexpr size_t kFontCharCount = 0x180;

// One character of a font layer.
struct FontGlyph
{
    Rect imageRect;     // in the layer image
    int32_t offsetX = 0;
    int32_t offsetY = 0;
    // Added to the advance when the next character is the index.
    std::array<int8_t, kFontCharCount> kerning{};
    int32_t width = 0;  // advance in pixels
    int32_t order = 0;  // drawing order
};

} // namespace Quillo
