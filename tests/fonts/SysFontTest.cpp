#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/SysFont.h"

#include <gtest/gtest.h>

#include <algorithm>

using Quillo::Color;
using Quillo::Graphics;
using Quillo::MemoryImage;
using Quillo::Rect;
using Quillo::SysFont;

namespace
{

std::unique_ptr<MemoryImage> White(int width, int height)
{
    std::vector<uint32_t> pixels(size_t(width) * height, 0xFFFFFFFF);
    auto image = std::make_unique<MemoryImage>();
    image->SetBits(pixels.data(), width, height);
    return image;
}

// The bounding box of every pixel that is no longer white.
Rect Ink(MemoryImage& image)
{
    int left = image.width, top = image.height, right = -1, bottom = -1;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (image.PixelAt(x, y) != 0xFFFFFFFF)
            {
                left = std::min(left, x);
                top = std::min(top, y);
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
    return right < 0 ? Rect{} : Rect{left, top, right - left + 1, bottom - top + 1};
}

} // namespace

TEST(SysFont, FaceNamesPickAnInstalledFaceOfTheirFamily)
{
    const std::string sans = SysFont::FontFileFor("Arial", false, false),
                      bold = SysFont::FontFileFor("SansSerif", true, false),
                      mono = SysFont::FontFileFor("Courier New", false, true);
    for (const std::string& file : {sans, bold, mono, SysFont::FontFileFor("Times New Roman", true, true)})
    {
        ASSERT_FALSE(file.empty());
        EXPECT_TRUE(SysFont(file, 12).IsLoaded()) << file;
    }
    EXPECT_NE(sans, bold) << "the bold style is a face of its own";
    EXPECT_NE(sans, mono);
    EXPECT_EQ(SysFont::FontFileFor("Helvetica", false, false), sans) << "unknown names are sans";
    EXPECT_EQ(SysFont::FontFileFor("/some/where/Face.ttf", true, false), "/some/where/Face.ttf");
}

TEST(SysFont, MetricsFollowThePointSize)
{
    // 12 points at 96 pixels per inch is a 16-pixel em; DejaVu Sans rises
    // 1901 and falls 483 of its 2048 units.
    SysFont font("Arial", 12);
    ASSERT_TRUE(font.IsLoaded()) << font.GetFontFile();
    EXPECT_EQ((std::vector<int>{font.Ascent(), font.Height(), font.Descent(), font.AscentPadding(),
                                font.LineSpacingOffset()}),
              (std::vector<int>{15, 19, 4, 0, 0}));

    SysFont bigger("Arial", 24);
    EXPECT_GT(bigger.Height(), font.Height() * 19 / 10);
    EXPECT_EQ(font.TextWidth(""), 0);
    EXPECT_GT(font.TextWidth("WW"), font.TextWidth("ii"));
    EXPECT_EQ(font.TextWidth("Wi"), font.TextWidth("W") + font.TextWidth("i"));

    std::unique_ptr<Quillo::Font> clone = font.Clone();
    EXPECT_EQ(clone->Height(), 19);
    EXPECT_EQ(clone->TextWidth("Hello"), font.TextWidth("Hello"));
}

TEST(SysFont, DrawsWithTheBoxTopAtYMinusAscentPlusOne)
{
    SysFont font("Arial", 12);
    auto canvas = White(60, 40);
    Graphics g(canvas.get());
    g.Translate(5, 2);
    font.DrawText(&g, 5, 28, "H", Color(0, 0, 0, 10), g.GetClipRect());
    const Rect ink = Ink(*canvas);
    // The baseline lies at y + 1, so a capital's last row is y itself.
    EXPECT_EQ(ink.y + ink.height - 1, 30);
    EXPECT_GE(ink.x, 10);
    EXPECT_LE(ink.x, 12);
    EXPECT_GE(ink.height, 10);
    EXPECT_LE(ink.x + ink.width, 10 + font.TextWidth("H"));
    // The alpha of the colour is ignored: the stems are solid black.
    int solid = 0;
    for (int y = ink.y; y < ink.y + ink.height; ++y)
        for (int x = ink.x; x < ink.x + ink.width; ++x)
            solid += canvas->PixelAt(x, y) == 0xFF000000;
    EXPECT_GE(solid, 2 * 10);
}

TEST(SysFont, DrawingStaysInsideTheClip)
{
    SysFont font("Arial", 12, 0, false, false, true);
    auto canvas = White(60, 40);
    Graphics g(canvas.get());
    g.IntersectClip(0, 0, 14, 40);
    font.DrawText(&g, 10, 20, "MMMM", Color::Black, g.GetClipRect());
    const Rect ink = Ink(*canvas);
    EXPECT_GT(ink.width, 0);
    EXPECT_LE(ink.x + ink.width, 14);

    auto untouched = White(60, 40);
    Graphics outside(untouched.get());
    outside.IntersectClip(50, 0, 10, 40);
    font.DrawText(&outside, 0, 20, "M", Color::Black, outside.GetClipRect());
    EXPECT_EQ(Ink(*untouched), Rect{});
}

TEST(SysFont, AMissingFontFileMakesAnEmptyFont)
{
    SysFont font("/nonexistent/None.ttf", 12);
    EXPECT_FALSE(font.IsLoaded());
    EXPECT_EQ(font.TextWidth("abc"), 0);
    auto canvas = White(10, 10);
    Graphics g(canvas.get());
    font.DrawText(&g, 0, 8, "abc", Color::Black, g.GetClipRect());
    EXPECT_EQ(Ink(*canvas), Rect{});
}
