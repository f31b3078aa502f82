#include "tools/artgen/ImageFonts.h"

#include "tools/artgen/Faces.h"
#include "tools/artgen/Output.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace Spindrel::Art
{

namespace
{

// The characters of the fonts, by code point: printable ASCII, the Latin-1
// letters and signs (160..255) and Latin Extended-A (256..383), which the
// languages of central Europe and Turkey need.
constexpr int FirstChar = 32;
constexpr int LastAscii = 126;
constexpr int FirstLatin1 = 160;
constexpr int LastChar = 0x17F;

bool InFont(int c)
{
    return (c >= FirstChar && c <= LastAscii) || c >= FirstLatin1;
}
constexpr int AtlasWidth = 512;

enum class Edge
{
    Shadow,
    Outline
};

struct FontStyle
{
    const char* name; // file stem in gfx/fonts
    Face face;
    int pixelSize;
    Edge edge;
    int edgeSize; // shadow drop or outline radius in pixels
    double shadowAlpha;
    int lineSpacingOffset;
};

struct Glyph
{
    int x = 0, y = 0, w = 0, h = 0;
    int offsetX = 0, offsetY = 0;
    int advance = 0;
    bool present = false; // the face has this character
    std::vector<uint8_t> coverage; // w x h, padding included
};

// The character as UTF-8, in which the descriptors are written.
std::string Utf8(int c)
{
    if (c < 0x80)
        return std::string(1, static_cast<char>(c));
    return {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
}

// The token the descriptor language reads back as the one character.
std::string Quoted(int c)
{
    if (c == '\'')
        return "\"'\"";
    if (c == '\\')
        return "'\\\\'";
    return "'" + Utf8(c) + "'";
}

void PutAlpha(Canvas& canvas, const std::vector<uint8_t>& alpha)
{
    canvas.Flush();
    for (int y = 0; y < canvas.Height(); ++y)
    {
        uint32_t* row = canvas.Row(y);
        for (int x = 0; x < canvas.Width(); ++x)
        {
            // Premultiplied white: every channel equals the alpha.
            const uint32_t a = alpha[static_cast<size_t>(y) * canvas.Width() + x];
            row[x] = (a << 24) | (a << 16) | (a << 8) | a;
        }
    }
    canvas.MarkDirty();
}

// Grows the coverage by `radius` with a soft, round edge.
std::vector<uint8_t> Dilate(const std::vector<uint8_t>& src, int width, int height, int radius)
{
    std::vector<uint8_t> out(src.size(), 0);
    struct Tap
    {
        int dx, dy;
        double weight;
    };
    std::vector<Tap> taps;
    for (int dy = -radius - 1; dy <= radius + 1; ++dy)
        for (int dx = -radius - 1; dx <= radius + 1; ++dx)
        {
            const double w = std::clamp(radius + 0.5 - std::hypot(dx, dy), 0.0, 1.0);
            if (w > 0)
                taps.push_back({dx, dy, w});
        }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            double best = 0;
            for (const Tap& t : taps)
            {
                const int sx = x + t.dx, sy = y + t.dy;
                if (sx < 0 || sy < 0 || sx >= width || sy >= height)
                    continue;
                best = std::max(best, src[static_cast<size_t>(sy) * width + sx] * t.weight);
            }
            out[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>(std::lround(best));
        }
    return out;
}

void BuildFont(Output& output, const Faces& faces, const FontStyle& desired)
{
    FT_Face face = faces.Ft(desired.face);
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(desired.pixelSize)) != 0)
        throw std::runtime_error(std::string("cannot size font for ") + desired.name);
    const int ascent = static_cast<int>((face->size->metrics.ascender + 32) >> 6);
    // Latin Extended-A letters the face lacks come from the body face at the
    // same size, so that every language written with them reads whole.
    FT_Face body = faces.Ft(Face::Body);
    if (body != face && FT_Set_Pixel_Sizes(body, 0, static_cast<FT_UInt>(desired.pixelSize)) != 0)
        throw std::runtime_error(std::string("cannot size the body face for ") + desired.name);
    // Outlines need room around each glyph; shadows are drawn from the same
    // cells, so one pixel of air is enough.
    const int pad = desired.edge == Edge::Outline ? desired.edgeSize + 1 : 1;

    std::vector<Glyph> glyphs(LastChar + 1);
    int asciiBottom = 0;
    for (int c = FirstChar; c <= LastChar; ++c)
    {
        if (!InFont(c))
            continue;
        // ASCII must be there; a face without some other letter or sign
        // simply leaves it out.
        const FT_Face from = c > 0xFF && FT_Get_Char_Index(face, static_cast<FT_ULong>(c)) == 0 ? body : face;
        const bool known = FT_Get_Char_Index(from, static_cast<FT_ULong>(c)) != 0 || c == ' ';
        if (!known && c > LastAscii)
            continue;
        if (!known || FT_Load_Char(from, static_cast<FT_ULong>(c), FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0)
            throw std::runtime_error(std::string("glyph missing in ") + desired.name);
        const FT_GlyphSlot slot = from->glyph;
        Glyph& g = glyphs[c];
        g.present = true;
        g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        const FT_Bitmap& bm = slot->bitmap;
        if (bm.width == 0 || bm.rows == 0)
            continue;
        g.w = static_cast<int>(bm.width) + 2 * pad;
        g.h = static_cast<int>(bm.rows) + 2 * pad;
        g.offsetX = slot->bitmap_left - pad;
        g.offsetY = ascent - slot->bitmap_top - pad;
        g.coverage.assign(static_cast<size_t>(g.w) * g.h, 0);
        for (unsigned y = 0; y < bm.rows; ++y)
            for (unsigned x = 0; x < bm.width; ++x)
                g.coverage[(y + pad) * g.w + x + pad] = bm.buffer[y * bm.pitch + x];
        if (c <= LastAscii)
            asciiBottom = std::max(asciiBottom, g.offsetY + g.h);
        else if (g.offsetY + g.h > asciiBottom)
        {
            // The font's height is its lowest cell: a letter or sign that
            // reaches lower (a cedilla) is cut rather than making every
            // text of the game a line taller.
            g.h = std::max(0, asciiBottom - g.offsetY);
            g.coverage.resize(static_cast<size_t>(g.w) * g.h);
            if (g.h == 0)
                g.w = 0;
        }
    }

    // Shelf packing in character order, one pixel apart.
    int x = 0, y = 0, shelf = 0;
    for (int c = FirstChar; c <= LastChar; ++c)
    {
        Glyph& g = glyphs[c];
        if (g.w == 0)
            continue;
        if (x + g.w > AtlasWidth)
        {
            x = 0;
            y += shelf + 1;
            shelf = 0;
        }
        g.x = x;
        g.y = y;
        x += g.w + 1;
        shelf = std::max(shelf, g.h);
    }
    const int atlasHeight = y + shelf;
    std::vector<uint8_t> alpha(static_cast<size_t>(AtlasWidth) * atlasHeight, 0);
    for (int c = FirstChar; c <= LastChar; ++c)
    {
        const Glyph& g = glyphs[c];
        for (int gy = 0; gy < g.h; ++gy)
            for (int gx = 0; gx < g.w; ++gx)
                alpha[static_cast<size_t>(g.y + gy) * AtlasWidth + g.x + gx] =
                    g.coverage[static_cast<size_t>(gy) * g.w + gx];
    }
    const std::string stem = std::string("gfx/fonts/") + desired.name;
    Canvas atlas(AtlasWidth, atlasHeight);
    PutAlpha(atlas, alpha);
    output.Png("fonts", stem, atlas);
    if (desired.edge == Edge::Outline)
    {
        // Dilating cell by cell keeps neighbours from bleeding into each other.
        std::vector<uint8_t> grown(alpha.size(), 0);
        for (int c = FirstChar; c <= LastChar; ++c)
        {
            const Glyph& g = glyphs[c];
            if (g.w == 0)
                continue;
            const std::vector<uint8_t> cell = Dilate(g.coverage, g.w, g.h, desired.edgeSize);
            for (int gy = 0; gy < g.h; ++gy)
                for (int gx = 0; gx < g.w; ++gx)
                    grown[static_cast<size_t>(g.y + gy) * AtlasWidth + g.x + gx] =
                        cell[static_cast<size_t>(gy) * g.w + gx];
        }
        Canvas outline(AtlasWidth, atlasHeight);
        PutAlpha(outline, grown);
        output.Png("fonts", stem + "_outline", outline);
    }

    std::ostringstream d;
    d << "# " << desired.name << ": " << desired.pixelSize
      << " px, UTF-8; ASCII 32..126, Latin-1 160..255 and Latin Extended-A 256..383\n";
    d << "SetDefaultPointSize " << desired.pixelSize << ";\n";
    d << "CreateLayer Main;\n";
    d << "LayerSetImage Main '" << desired.name << ".png';\n";
    d << "LayerSetAscent Main " << ascent << ";\n";
    d << "LayerSetLineSpacingOffset Main " << desired.lineSpacingOffset << ";\n";
    std::string chars, offsets, rects;
    for (int c = FirstChar; c <= LastChar; ++c)
    {
        const Glyph& g = glyphs[c];
        if (g.w == 0)
            continue;
        chars += Quoted(c) + " ";
        offsets += "(" + std::to_string(g.offsetX) + " " + std::to_string(g.offsetY) + ") ";
        rects += "(" + std::to_string(g.x) + " " + std::to_string(g.y) + " " + std::to_string(g.w) +
                 " " + std::to_string(g.h) + ") ";
    }
    chars.pop_back();
    offsets.pop_back();
    rects.pop_back();
    // Offsets first: the font height is measured with the offsets in place.
    d << "LayerSetCharOffsets Main (" << chars << ")\n  (" << offsets << ");\n";
    d << "LayerSetImageMap Main (" << chars << ")\n  (" << rects << ");\n";
    std::string allChars, widths;
    for (int c = FirstChar; c <= LastChar; ++c)
    {
        if (!glyphs[c].present)
            continue;
        allChars += Quoted(c) + " ";
        widths += std::to_string(glyphs[c].advance) + " ";
    }
    allChars.pop_back();
    widths.pop_back();
    d << "LayerSetCharWidths Main (" << allChars << ")\n  (" << widths << ");\n";
    if (FT_HAS_KERNING(face))
    {
        std::string pairs, values;
        for (int a = 'A'; a <= 'z'; ++a)
            for (int b = 'A'; b <= 'z'; ++b)
            {
                if (!std::isalpha(a) || !std::isalpha(b))
                    continue;
                FT_Vector k;
                FT_Get_Kerning(face, FT_Get_Char_Index(face, static_cast<FT_ULong>(a)),
                               FT_Get_Char_Index(face, static_cast<FT_ULong>(b)), FT_KERNING_DEFAULT, &k);
                const int px = static_cast<int>(std::lround(k.x / 64.0));
                if (px != 0)
                {
                    pairs += std::string("'") + static_cast<char>(a) + static_cast<char>(b) + "' ";
                    values += std::to_string(px) + " ";
                }
            }
        if (!pairs.empty())
        {
            pairs.pop_back();
            values.pop_back();
            d << "LayerSetKerningPairs Main (" << pairs << ")\n  (" << values << ");\n";
        }
    }
    if (desired.edge == Edge::Outline)
    {
        d << "CreateLayerFrom Outline Main;\n";
        d << "LayerSetImage Outline '" << desired.name << "_outline.png';\n";
        d << "LayerSetColorMult Outline (0 0 0 1);\n";
        d << "LayerSetBaseOrder Outline -1;\n";
    }
    else
    {
        d << "CreateLayerFrom Shadow Main;\n";
        d << "LayerSetOffset Shadow (" << desired.edgeSize << " " << desired.edgeSize << ");\n";
        d << "LayerSetColorMult Shadow (0 0 0 " << desired.shadowAlpha << ");\n";
        d << "LayerSetBaseOrder Shadow -1;\n";
    }
    output.Text(stem + ".txt", d.str());
}

} // namespace

void PaintImageFonts(Output& output, const Faces& faces)
{
    const FontStyle fonts[] = {
        {"default", Face::Body, 17, Edge::Shadow, 1, 0.6, 2},
        {"button", Face::Body, 14, Edge::Shadow, 1, 0.6, 2},
        {"big", Face::Display, 36, Edge::Outline, 3, 0, 0},
        {"flytext", Face::Display, 22, Edge::Outline, 2, 0, 0},
        {"game1", Face::Body, 16, Edge::Shadow, 1, 0.7, 2},
    };
    for (const FontStyle& desired : fonts)
        BuildFont(output, faces, desired);
    // The system font of the standard controls is read from here.
    output.Copy(Faces::PlainFile(), "gfx/fonts/DejaVuSans.ttf");
}

} // namespace Spindrel::Art
