#include "framework/graphics/SysFont.h"

#include "framework/graphics/FontGlyph.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/platform/FileSystem.h"
#include "framework/platform/FontFinder.h"
#include "framework/platform/TextEncoding.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace Quillo
{

namespace
{

constexpr int kPixelsPerInch = 96;

std::string Lower(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
    {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool Has(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

// One rasterised character: coverage bytes plus placement.
struct GlyphBitmap
{
    bool rendered = false;
    int left = 0; // from the pen position
    int top = 0;  // above the baseline
    int width = 0;
    int rows = 0;
    std::vector<uint8_t> coverage;
};

} // namespace

struct SysFont::Impl
{
    std::string file;
    std::vector<uint8_t> data; // FreeType reads the face from this buffer
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    // Indexed by code point; the image fonts' character range.
    std::array<int, kFontCharCount> advances{};
    std::array<GlyphBitmap, kFontCharCount> glyphs;
    int underlinePosition = 0; // below the baseline, in pixels
    int underlineThickness = 1;

    ~Impl()
    {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }

    int Advance(char32_t ch) const { return ch < kFontCharCount ? advances[ch] : 0; }

    const GlyphBitmap& Glyph(char32_t ch)
    {
        static const GlyphBitmap kNone{};
        if (ch >= kFontCharCount)
            return kNone;
        GlyphBitmap& glyph = glyphs[ch];
        if (glyph.rendered)
            return glyph;
        glyph.rendered = true;
        if (ch < 32 || FT_Load_Char(face, ch, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0)
            return glyph;
        const FT_Bitmap& bitmap = face->glyph->bitmap;
        if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY)
            return glyph;
        glyph.left = face->glyph->bitmap_left;
        glyph.top = face->glyph->bitmap_top;
        glyph.width = static_cast<int>(bitmap.width);
        glyph.rows = static_cast<int>(bitmap.rows);
        glyph.coverage.resize(size_t(glyph.width) * glyph.rows);
        for (int row = 0; row < glyph.rows; ++row)
        {
            const uint8_t* src = bitmap.buffer + ptrdiff_t(row) * bitmap.pitch;
            std::copy(src, src + glyph.width, glyph.coverage.begin() + ptrdiff_t(row) * glyph.width);
        }
        return glyph;
    }
};

std::string SysFont::FontFileFor(const std::string& faceName, bool bold, bool italic)
{
    if (Has(faceName, "/") && Has(Lower(faceName), ".ttf"))
        return faceName;
    // Face names of other systems map to the generic families, which the
    // font configuration resolves to what is installed.
    const std::string face = Lower(faceName);
    std::string family = "sans-serif";
    if (Has(face, "mono") || Has(face, "courier") || Has(face, "fixed") || Has(face, "console"))
        family = "monospace";
    else if ((Has(face, "serif") && !Has(face, "sans")) || Has(face, "times") || Has(face, "georgia"))
        family = "serif";
    return FontFinder::Find(family, bold, italic);
}

SysFont::SysFont(const std::string& faceName, int pointSize, int charSet, bool bold, bool italic,
                 bool underline)
    : m_impl(std::make_unique<Impl>()), m_faceName(faceName), m_pointSize(pointSize),
      m_charSet(charSet), m_bold(bold), m_italic(italic), m_underline(underline)
{
    Impl& impl = *m_impl;
    impl.file = FontFileFor(faceName, bold, italic);
    auto bytes = FileSystem::ReadFile(impl.file);
    if (!bytes && (bold || italic))
    {
        // A missing style falls back to the regular face of the family.
        impl.file = FontFileFor(faceName, false, false);
        bytes = FileSystem::ReadFile(impl.file);
    }
    if (!bytes || bytes->empty() || FT_Init_FreeType(&impl.library) != 0)
        return;
    impl.data = std::move(*bytes);
    if (FT_New_Memory_Face(impl.library, impl.data.data(), static_cast<FT_Long>(impl.data.size()), 0,
                           &impl.face) != 0)
    {
        impl.face = nullptr;
        return;
    }
    // The requested size is the character height (em) in pixels.
    const int pixelHeight = std::clamp((pointSize * kPixelsPerInch + 36) / 72, 1, 1000);
    if (FT_Set_Pixel_Sizes(impl.face, 0, static_cast<FT_UInt>(pixelHeight)) != 0)
    {
        FT_Done_Face(impl.face);
        impl.face = nullptr;
        return;
    }

    const double unitsToPixels =
        impl.face->units_per_EM > 0 ? double(pixelHeight) / impl.face->units_per_EM : 0.0;
    int fontAscent = 0;
    int fontDescent = 0;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(impl.face, FT_SFNT_OS2));
        os2 && os2->version != 0xFFFF && (os2->usWinAscent || os2->usWinDescent))
    {
        fontAscent = static_cast<int>(std::lround(os2->usWinAscent * unitsToPixels));
        fontDescent = static_cast<int>(std::lround(os2->usWinDescent * unitsToPixels));
    }
    else
    {
        fontAscent = static_cast<int>((impl.face->size->metrics.ascender + 63) >> 6);
        fontDescent = static_cast<int>((-impl.face->size->metrics.descender + 63) >> 6);
    }
    ascent = fontAscent;
    height = fontAscent + fontDescent;
    ascentPadding = 0;
    lineSpacingOffset = 0;
    impl.underlinePosition =
        std::max(1, static_cast<int>(std::lround(-impl.face->underline_position * unitsToPixels)));
    impl.underlineThickness =
        std::max(1, static_cast<int>(std::lround(impl.face->underline_thickness * unitsToPixels)));

    for (int ch = 32; ch < static_cast<int>(kFontCharCount); ++ch)
    {
        if (ch >= 127 && ch < 160)
            continue;
        if (FT_Load_Char(impl.face, static_cast<FT_ULong>(ch), FT_LOAD_DEFAULT) == 0)
            impl.advances[ch] = static_cast<int>((impl.face->glyph->advance.x + 32) >> 6);
    }
}

SysFont::~SysFont() = default;

bool SysFont::IsLoaded() const
{
    return m_impl->face != nullptr;
}

const std::string& SysFont::GetFontFile() const
{
    return m_impl->file;
}

int SysFont::TextWidth(const std::string& text)
{
    if (!IsLoaded())
        return 0;
    int64_t width = 0;
    for (size_t pos = 0; pos < text.size();)
        width += m_impl->Advance(TextEncoding::Next(text, pos));
    return static_cast<int>(std::min<int64_t>(width, INT32_MAX));
}

void SysFont::DrawText(Graphics* g, int x, int y, const std::string& text, const Color& color,
                       const Rect& clipRect)
{
    auto* dest = dynamic_cast<MemoryImage*>(g ? g->GetDestImage() : nullptr);
    if (!dest || !IsLoaded() || text.empty())
        return;
    const int boxX = static_cast<int>(static_cast<float>(x) + g->GetTransX());
    const int boxY = static_cast<int>(static_cast<float>(y) + g->GetTransY()) - ascent + 1;
    const int baseline = ascent;

    // The ink's extent relative to the box, which glyphs may overhang.
    int64_t pen = 0;
    int64_t minX = 0, maxX = TextWidth(text), minY = 0, maxY = std::max(height, 1);
    for (size_t pos = 0; pos < text.size();)
    {
        const char32_t ch = TextEncoding::Next(text, pos);
        const GlyphBitmap& glyph = m_impl->Glyph(ch);
        if (glyph.width > 0)
        {
            minX = std::min(minX, pen + glyph.left);
            maxX = std::max(maxX, pen + glyph.left + glyph.width);
            minY = std::min<int64_t>(minY, baseline - glyph.top);
            maxY = std::max<int64_t>(maxY, baseline - glyph.top + glyph.rows);
        }
        pen += m_impl->Advance(ch);
    }
    if (m_underline)
        maxY = std::max<int64_t>(maxY, baseline + m_impl->underlinePosition + m_impl->underlineThickness);

    const Rect ink{static_cast<int32_t>(boxX + minX), static_cast<int32_t>(boxY + minY),
                   static_cast<int32_t>(maxX - minX), static_cast<int32_t>(maxY - minY)};
    const Rect visible = ink.Intersection(clipRect).Intersection(Rect{0, 0, dest->width, dest->height});
    if (visible.width <= 0 || visible.height <= 0)
        return;

    // Rasterise only the visible part, as colour plus coverage alpha.
    const uint32_t rgb = (uint32_t(std::clamp(color.red, 0, 255)) << 16) |
                         (uint32_t(std::clamp(color.green, 0, 255)) << 8) |
                         uint32_t(std::clamp(color.blue, 0, 255));
    std::vector<uint8_t> coverage(size_t(visible.width) * visible.height, 0);
    auto plot = [&](int64_t px, int64_t py, uint8_t value) {
        const int64_t vx = px - visible.x;
        const int64_t vy = py - visible.y;
        if (vx < 0 || vy < 0 || vx >= visible.width || vy >= visible.height)
            return;
        uint8_t& cell = coverage[size_t(vy) * visible.width + size_t(vx)];
        cell = std::max(cell, value);
    };
    pen = 0;
    for (size_t pos = 0; pos < text.size();)
    {
        const char32_t ch = TextEncoding::Next(text, pos);
        const GlyphBitmap& glyph = m_impl->Glyph(ch);
        const int64_t gx = boxX + pen + glyph.left;
        const int64_t gy = boxY + baseline - glyph.top;
        for (int row = 0; row < glyph.rows; ++row)
        {
            for (int col = 0; col < glyph.width; ++col)
                plot(gx + col, gy + row, glyph.coverage[size_t(row) * glyph.width + col]);
        }
        pen += m_impl->Advance(ch);
    }
    if (m_underline)
    {
        for (int t = 0; t < m_impl->underlineThickness; ++t)
        {
            for (int64_t px = 0; px < pen; ++px)
                plot(boxX + px, boxY + baseline + m_impl->underlinePosition + t, 255);
        }
    }

    std::vector<uint32_t> pixels(coverage.size());
    for (size_t i = 0; i < coverage.size(); ++i)
        pixels[i] = (uint32_t(coverage[i]) << 24) | rgb;
    MemoryImage layer;
    layer.SetBits(pixels.data(), visible.width, visible.height);
    dest->PaintImage(&layer, visible.x, visible.y, Rect{0, 0, visible.width, visible.height},
                     Color::White, 0);
}

std::unique_ptr<Font> SysFont::Clone() const
{
    return std::make_unique<SysFont>(m_faceName, m_pointSize, m_charSet, m_bold, m_italic,
                                     m_underline);
}

} // namespace Quillo
