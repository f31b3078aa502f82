#pragma once

#include "framework/graphics/Color.h"
#include "framework/platform/Rect.h"
#include "framework/platform/TextEncoding.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Quillo
{

class Graphics;

// The base of every font: line metrics plus measuring and drawing of text.
// Texts are UTF-8; characters are Unicode code points.
class Font
{
public:
    virtual ~Font() = default;

    virtual int Ascent() const { return ascent; }
    virtual int AscentPadding() const { return ascentPadding; }
    virtual int Descent() const { return height - ascent; }
    virtual int Height() const { return height; }
    virtual int LineSpacingOffset() const { return lineSpacingOffset; }
    virtual int LineSpacing() const { return height + lineSpacingOffset; }
    virtual int TextWidth(const std::string& text) { (void)text; return 0; }
    virtual int GlyphWidth(char32_t ch)
    {
        std::string one;
        TextEncoding::Append(one, ch);
        return TextWidth(one);
    }
    virtual int GlyphAdvance(char32_t ch, char32_t previous)
    {
        (void)previous;
        return GlyphWidth(ch);
    }
    virtual void DrawText(Graphics* g, int x, int y, const std::string& text, const Color& color,
                          const Rect& clipRect)
    {
        (void)g, (void)x, (void)y, (void)text, (void)color, (void)clipRect;
    }
    virtual std::unique_ptr<Font> Clone() const = 0;

    int32_t ascent = 0;
    int32_t ascentPadding = 0;
    int32_t height = 0;
    int32_t lineSpacingOffset = 0;
};

} // namespace Quillo
