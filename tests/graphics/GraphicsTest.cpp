#include "TestImages.h"

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"

#include <gtest/gtest.h>

using namespace Quillo;
using QuilloTest::Argb;

namespace
{

// Records what the context asks of its destination.
class RecordingImage : public Image
{
public:
    RecordingImage(int w, int h)
    {
        width = w;
        height = h;
    }
    struct Paint
    {
        Image* src;
        int x, y;
        Rect srcRect;
        Color color;
        int mode;
        bool operator==(const Paint&) const = default;
    };
    void FillRect(const Rect& r, const Color&, int) override { fills.push_back(r); }
    void DrawRect(const Rect& r, const Color&, int) override { rects.push_back(r); }
    void DrawLine(double x1, double y1, double x2, double y2, const Color&, int) override
    {
        lines.push_back({x1, y1, x2, y2});
    }
    void PaintImage(Image* src, int x, int y, const Rect& s, const Color& c, int mode) override
    {
        paints.push_back({src, x, y, s, c, mode});
    }
    void PaintImageStretched(Image*, const Rect& d, const Rect& s, const Rect& clip, const Color&, int,
                             bool) override
    {
        stretched.push_back({d, s, clip});
    }
    std::vector<Rect> fills, rects;
    std::vector<std::array<double, 4>> lines;
    std::vector<Paint> paints;
    std::vector<std::array<Rect, 3>> stretched;
    std::vector<Rect> sourceRects() const
    {
        std::vector<Rect> out;
        for (const Paint& p : paints)
            out.push_back(p.srcRect);
        return out;
    }
};

// Every glyph 10 pixels wide except 'W' (25); draws record their pieces.
class FixedFont : public Font
{
public:
    FixedFont()
    {
        ascent = 12;
        ascentPadding = 2;
        height = 16;
        lineSpacingOffset = 4;
    }
    int TextWidth(const std::string& text) override
    {
        int w = 0;
        for (char c : text)
            w += c == 'W' ? 25 : 10;
        return w;
    }
    void DrawText(Graphics*, int x, int y, const std::string& text, const Color& color, const Rect&) override
    {
        drawn.push_back({x, y, text, color});
    }
    std::unique_ptr<Font> Clone() const override { return std::make_unique<FixedFont>(*this); }
    struct Piece
    {
        int x, y;
        std::string text;
        Color color;
        bool operator==(const Piece&) const = default;
    };
    std::vector<Piece> drawn;
};

// A context on a recording destination large enough for every test.
class GraphicsTest : public ::testing::Test
{
protected:
    RecordingImage img{300, 300};
    Graphics g{&img};
};

} // namespace

TEST_F(GraphicsTest, ClipIntersectsInTranslatedCoordinates)
{
    g.Translate(10, 5);
    g.IntersectClip(0, 0, 20, 20);
    EXPECT_EQ(g.GetClipRect(), (Rect{10, 5, 20, 20}));
    g.FillRect(-5, -5, 100, 10);
    ASSERT_EQ(img.fills.size(), 1u);
    EXPECT_EQ(img.fills[0], (Rect{10, 5, 20, 5}));

    g.IntersectClip(500, 500, 5, 5);
    EXPECT_EQ(g.GetClipRect(), Rect{});
    g.FillRect(0, 0, 10, 10);
    g.DrawImage(&img, 0, 0);
    EXPECT_EQ(img.fills.size(), 1u);
    EXPECT_TRUE(img.paints.empty());
}

TEST_F(GraphicsTest, DrawImageClipsAndShiftsTheSource)
{
    auto src = QuilloTest::Solid(10, 8, 0xFF000000);
    g.IntersectClip(5, 4, 30, 30);
    g.DrawImage(src.get(), 2, 1);
    g.SetTintImages(true);
    g.SetColor(Color(1, 2, 3, 4));
    g.DrawImage(src.get(), 10, 10, Rect{2, 2, 8, 6});
    // One pixel too wide or too tall: nothing.
    g.DrawImage(src.get(), 10, 10, Rect{0, 0, 11, 8});
    g.DrawImage(src.get(), 10, 10, Rect{0, 1, 10, 8});
    using Paint = RecordingImage::Paint;
    EXPECT_EQ(img.paints, (std::vector<Paint>{{src.get(), 5, 4, Rect{3, 3, 7, 5}, Color::White, DRAWMODE_NORMAL},
                                               {src.get(), 10, 10, Rect{2, 2, 8, 6}, Color(1, 2, 3, 4), DRAWMODE_NORMAL}}));
}

TEST_F(GraphicsTest, CelsOfStripsAndGrids)
{
    auto strip = QuilloTest::Solid(40, 10, 0xFF000000);
    strip->numCols = 4;
    g.DrawImageCel(strip.get(), 0, 0, 3);
    auto column = QuilloTest::Solid(10, 40, 0xFF000000);
    column->numRows = 4;
    g.DrawImageCel(column.get(), 0, 0, 3);
    // Cels outside the grid draw nothing.
    g.DrawImageCel(column.get(), 0, 0, 0, 4);
    g.DrawImageCel(column.get(), 0, 0, -1, 0);
    EXPECT_EQ(img.sourceRects(), (std::vector<Rect>{{30, 0, 10, 10}, {0, 30, 10, 10}}));
}

TEST_F(GraphicsTest, RectOutlineInsideAndAcrossTheClip)
{
    g.DrawRect(10, 10, 5, 3);
    ASSERT_EQ(img.rects.size(), 1u);
    EXPECT_EQ(img.rects[0], (Rect{10, 10, 5, 3}));

    g.IntersectClip(0, 0, 15, 100);
    g.DrawRect(10, 10, 5, 3);
    EXPECT_EQ(img.rects.size(), 1u);
    EXPECT_EQ(img.fills, (std::vector<Rect>{{10, 10, 5, 1}, {10, 13, 5, 1}, {10, 11, 1, 2}}));

    // On real pixels a w x h outline touches (w+1) x (h+1) pixels.
    auto px = QuilloTest::Solid(10, 10, 0);
    Graphics pg(px.get());
    pg.SetColor(Color(255, 0, 0));
    pg.DrawRect(1, 1, 3, 2);
    int touched = 0;
    for (int i = 0; i < 100; ++i)
        touched += px->GetBits()[i] != 0;
    EXPECT_EQ(touched, 4 * 2 + 2 * 1);
    EXPECT_EQ(px->PixelAt(4, 3), Argb(255, 255, 0, 0));
    EXPECT_EQ(px->PixelAt(2, 2), 0u);
}

TEST_F(GraphicsTest, LinesAreClippedToTheClipRectangle)
{
    g.IntersectClip(10, 10, 20, 20);
    g.DrawLine(5, 12, 5, 25);
    EXPECT_TRUE(img.lines.empty());
    g.DrawLine(0, 20, 50, 20);
    g.DrawLine(20, 0, 20, 100);
    g.DrawLine(0, 0, 40, 40);
    EXPECT_EQ(img.lines, (std::vector<std::array<double, 4>>{{10, 20, 29, 20}, {20, 10, 20, 29}, {10, 10, 29, 29}}));
}

TEST(Graphics, NinePartFrameTilesTheMiddle)
{
    auto frame = QuilloTest::Solid(9, 9, 0xFF000000);
    auto dest = QuilloTest::OpaqueScreen(40, 20, 0xFF000000);
    // Mark each of the nine parts with its own colour.
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            frame->GetBits()[y * 9 + x] = Argb(255, uint32_t(x / 3 * 80), uint32_t(y / 3 * 80), 1);
    frame->MarkBitsChanged();
    Graphics g(dest.get());
    g.DrawImageFrame(Rect{2, 1, 29, 14}, frame.get());
    auto part = [&](int x, int y) {
        const uint32_t p = dest->PixelAt(x, y);
        return std::pair<int, int>(int((p >> 16) & 0xFF) / 80, int((p >> 8) & 0xFF) / 80);
    };
    EXPECT_EQ((std::vector{part(2, 1), part(30, 14), part(27, 1), part(15, 7), part(2, 11)}),
              (std::vector<std::pair<int, int>>{{0, 0}, {2, 2}, {1, 0}, {1, 1}, {0, 1}}));
    EXPECT_EQ(dest->PixelAt(31, 7), 0xFF000000u) << "nothing outside the frame";
    EXPECT_EQ(dest->PixelAt(15, 15), 0xFF000000u);
}

TEST(Graphics, PolygonFillCoversPixelCentres)
{
    auto img = QuilloTest::Solid(10, 10, 0);
    Graphics g(img.get());
    g.SetColor(Color(0, 0, 255));
    const Point square[] = {{2, 2}, {6, 2}, {6, 5}, {2, 5}};
    g.PolyFill(square, 4);
    int filled = 0;
    for (int i = 0; i < 100; ++i)
        filled += img->GetBits()[i] != 0;
    EXPECT_EQ(filled, 12);
    EXPECT_NE(img->PixelAt(2, 2), 0u);
    EXPECT_EQ(img->PixelAt(6, 2), 0u);
}

TEST_F(GraphicsTest, ColouredTextSwitchesColourAtCodes)
{
    FixedFont font;
    g.SetFont(&font);
    g.SetColor(Color(1, 2, 3, 200));
    EXPECT_EQ(g.WriteColoredText("ab^FF0000^cd", 5, 7, 0, -1), 40);
    using Piece = FixedFont::Piece;
    EXPECT_EQ(font.drawn, (std::vector<Piece>{{5, 7, "ab", Color(1, 2, 3, 200)}, {25, 7, "cd", Color(255, 0, 0, 200)}}));
    EXPECT_EQ(g.GetColor(), Color(255, 0, 0, 200));

    EXPECT_EQ(g.WriteColoredText("a^^", 0, 0, 0, -1, false), 10);
    EXPECT_EQ(g.WriteColoredText("a^^bcdefgh", 0, 0, 0, -1, false), 90);

    font.drawn.clear();
    g.WriteColoredText("abc", 0, 0, 100, 0);
    EXPECT_EQ(font.drawn[0].x, 35);
    g.WriteColoredText("abc", 0, 0, 100, 1);
    EXPECT_EQ(font.drawn[1].x, 70);

    g.SetColorCodes(false);
    EXPECT_EQ(g.WriteColoredText("ab^FF0000^cd", 0, 0, 0, -1, false), 120);
}

TEST_F(GraphicsTest, WrappedTextBreaksAtSpacesAndInsideLongWords)
{
    FixedFont font;
    g.SetFont(&font);
    int widest = 0;
    const int h = g.WriteWrappedText(Rect{0, 100, 45, 0}, "ab cd efghijk\nx", -1, -1, &widest);
    std::vector<std::string> lines;
    for (const auto& piece : font.drawn)
        lines.push_back(piece.text);
    EXPECT_EQ(lines, (std::vector<std::string>{"ab", "cd", "efgh", "ijk", "x"}));
    EXPECT_EQ(font.drawn[0].y, 110);
    EXPECT_EQ(font.drawn[1].y, 130);
    EXPECT_EQ(widest, 40);
    // ascent - padding + (lines - 1) x spacing + descent.
    EXPECT_EQ(h, 10 + 4 * 20 + 4);

    font.drawn.clear();
    g.WriteWrappedText(Rect{0, 0, 20, 0}, "Wa", -1, -1);
    ASSERT_EQ(font.drawn.size(), 2u);
    EXPECT_EQ(font.drawn[0].text, "W");

    EXPECT_EQ(g.MeasureWrappedText(100, "", -1), 10 - 20 + 4);
    EXPECT_EQ(g.MeasureWrappedText(45, "ab cd efghijk\nx", -1), h);
    EXPECT_EQ(g.GetColor(), Color(0, 0, 0, 255));
}

TEST_F(GraphicsTest, StretchedDrawsPassTheClipAndTranslation)
{
    auto src = QuilloTest::Solid(10, 10, 0xFF000000);
    g.Translate(3, 4);
    g.IntersectClip(0, 0, 50, 50);
    g.DrawImage(src.get(), 1, 1, 20, 30);
    ASSERT_EQ(img.stretched.size(), 1u);
    EXPECT_EQ(img.stretched[0], (std::array<Rect, 3>{Rect{4, 5, 20, 30}, Rect{0, 0, 10, 10}, Rect{3, 4, 50, 50}}));
}
