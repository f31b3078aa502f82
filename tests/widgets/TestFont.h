#pragma once

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"

#include <memory>
#include <string>

// A monospaced font for tests: every character advances 6 pixels and is
// drawn as a solid 5 by 8 block above the baseline (spaces draw nothing).
// Characters below 32 have no glyph.
class TestFont : public Quillo::Font
{
public:
    TestFont()
    {
        ascent = 8;
        height = 10;
    }

    int TextWidth(const std::string& text) override { return 6 * static_cast<int>(text.size()); }
    int GlyphWidth(unsigned char ch) override { return ch < 32 ? 0 : 6; }
    void DrawText(Quillo::Graphics* g, int x, int y, const std::string& text, const Quillo::Color& color,
                  const Quillo::Rect& clipRect) override
    {
        (void)clipRect;
        Quillo::Graphics pen(*g);
        pen.SetColor(color);
        for (size_t i = 0; i < text.size(); ++i)
        {
            if (text[i] != ' ')
                pen.FillRect(x + 6 * static_cast<int>(i), y - ascent, 5, ascent);
        }
    }
    std::unique_ptr<Quillo::Font> Clone() const override { return std::make_unique<TestFont>(*this); }
};
