#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/FontGlyph.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace Quillo
{

class MemoryImage;

// One stacked layer of an image font as the descriptor defines it.
struct FontLayer
{
    std::string name;
    std::vector<std::string> requiredTags;
    std::vector<std::string> excludedTags;
    std::array<FontGlyph, kFontCharCount> glyphs{};
    Color colorMult = Color::White;
    Color colorAdd{0, 0, 0, 0};
    MemoryImage* image = nullptr; // owned by the font data
    int32_t drawMode = -1;        // -1 keeps the context's mode
    int32_t offsetX = 0;
    int32_t offsetY = 0;
    int32_t spacing = 0;
    int32_t minPointSize = -1;
    int32_t maxPointSize = -1;    // -1: unbounded
    int32_t pointSize = 0;        // 0: made for any size
    int32_t ascent = 0;
    int32_t ascentPadding = 0;
    int32_t height = 0;           // 0 falls back to measuredHeight
    int32_t measuredHeight = 0;
    int32_t lineSpacingOffset = 0;
    int32_t baseOrder = 0;
};

} // namespace Quillo
