#include "FontTestHost.h"

#include "framework/graphics/FontData.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <latch>
#include <thread>

using Quillo::Color;
using Quillo::Graphics;
using Quillo::ImageFont;
using Quillo::MemoryImage;
using Quillo::Rect;

namespace
{

constexpr uint32_t kBlue = 0xFF0000FF;

// A face layer and a black shadow one pixel down and right, drawn beneath
// it; 'A' advances 4, 'B' 3, and the pair AB kerns by -1.
const char* kTwoLayers = R"(# face and shadow
Define Chars ('A' 'B');
CreateLayer Main;
LayerSetImage Main 'glyphs.png';
LayerSetAscent Main 4;
LayerSetImageMap Main Chars
    ((0 0 3 4) (3 0 2 4));
LayerSetCharWidths Main Chars (4 3);
LayerSetKerningPairs Main ('AB') (-1);
CreateLayerFrom Shadow Main;
LayerSetOffset Shadow (1 1);
LayerSetColorMult Shadow (0 0 0 1);
LayerSetBaseOrder Shadow -1;
)";

// What the letters of ExpectPixels stand for.
const std::map<char, uint32_t> kLegend = {{'.', kBlue}, {'W', 0xFFFFFFFF}, {'K', 0xFF000000}, {'R', 0xFFFD0000}};

class ImageFontTest : public ::testing::Test
{
protected:
    void SetUp() override { host.AddImage(dir / "glyphs.png", 8, 4, {{0, 0, 5, 4}}); }

    std::unique_ptr<ImageFont> MakeFont(const std::string& descriptor)
    {
        const std::string path = dir / "font.txt";
        std::ofstream(path) << descriptor;
        return std::make_unique<ImageFont>(host, path);
    }

    // A canvas of blue, a colour no glyph has.
    static std::unique_ptr<MemoryImage> Canvas(int width, int height)
    {
        std::vector<uint32_t> pixels(size_t(width) * height, kBlue);
        auto image = std::make_unique<MemoryImage>();
        image->SetBits(pixels.data(), width, height);
        return image;
    }

    // Compares an image with rows of one letter per pixel.
    static void ExpectPixels(MemoryImage& image, const std::vector<std::string>& rows)
    {
        ASSERT_EQ(static_cast<int>(rows.size()), image.height);
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                EXPECT_EQ(image.PixelAt(x, y), kLegend.at(rows[y][x]))
                    << "at (" << x << ", " << y << ") expected '" << rows[y][x] << "'";
    }

    static std::vector<uint32_t> Pixels(MemoryImage& image)
    {
        return std::vector<uint32_t>(image.GetBits(), image.GetBits() + size_t(image.width) * image.height);
    }

    TempDir dir;
    FontTestHost host;
};

} // namespace

TEST_F(ImageFontTest, TwoLayersWithKerningDrawAndMeasure)
{
    auto font = MakeFont(kTwoLayers);
    ASSERT_TRUE(font->IsLoaded()) << host.errors.at(0);
    EXPECT_EQ(font->Ascent(), 4);
    EXPECT_EQ(font->Height(), 4);
    for (auto [text, width] : {std::pair{"A", 4}, {"B", 3}, {"AB", 6}, {"BA", 7}, {"", 0}})
        EXPECT_EQ(font->TextWidth(text), width) << text;

    auto canvas = Canvas(12, 7);
    Graphics g(canvas.get());
    g.SetColor(Color(1, 2, 3));
    std::vector<Rect> rects;
    int width = -1;
    font->DrawTextEx(&g, 1, 5, "AB", Color::White, g.GetClipRect(), &rects, &width);
    EXPECT_EQ(width, 6);
    EXPECT_EQ(rects, (std::vector<Rect>{{1, 1, 3, 4}, {2, 2, 3, 4}, {4, 1, 2, 4}, {5, 2, 2, 4}}));
    EXPECT_EQ(g.GetColor(), Color(1, 2, 3));
    EXPECT_FALSE(g.GetTintImages());
    ExpectPixels(*canvas, {"............",
                           ".WWWWW......",
                           ".WWWWWK.....",
                           ".WWWWWK.....",
                           ".WWWWWK.....",
                           "..KKKKK.....",
                           "............"});
}

TEST_F(ImageFontTest, DescriptorsNameCharactersInLatin1OrUtf8AndTextIsUtf8)
{
    // An older descriptor's Latin-1 byte for "é" beside the UTF-8 "Ł" and
    // "ó", and a kerning pair of two UTF-8 letters.
    auto font = MakeFont("CreateLayer Main; LayerSetImage Main 'glyphs.png';\n"
                         "LayerSetCharWidths Main ('\xE9' '\xC5\x81' '\xC3\xB3') (2 5 3);\n"
                         "LayerSetKerningPairs Main ('\xC5\x81\xC3\xB3') (-2);\n");
    ASSERT_TRUE(font->IsLoaded()) << host.errors.at(0);
    EXPECT_EQ(font->TextWidth("\xC3\xA9"), 2);
    EXPECT_EQ(font->TextWidth("\xC5\x81\xC3\xB3"), 6);
    EXPECT_EQ(font->TextWidth("\xC3\xB3\xC5\x81"), 8);
    EXPECT_EQ(font->TextWidth("\xE2\x82\xAC\xC3\xB3"), 3) << "a character without a slot adds nothing";
    int width = -1;
    auto canvas = Canvas(4, 4);
    Graphics g(canvas.get());
    font->DrawTextEx(&g, 0, 0, "\xC5\x81\xC3\xB3\xC3\xA9", Color::White, g.GetClipRect(), nullptr, &width);
    EXPECT_EQ(width, 8);
    for (const char* bad : {"LayerSetCharWidths Main ('\xC4\x80\xC4\x80') (1);",
                            "LayerSetCharWidths Main ('\xE2\x82\xAC') (1);"})
    {
        auto refused = MakeFont(std::string("CreateLayer Main;\n") + bad);
        EXPECT_FALSE(refused->IsLoaded()) << bad;
    }
}

TEST_F(ImageFontTest, ColourCodesRecolourTheFaceButNotTheShadow)
{
    auto font = MakeFont(kTwoLayers);
    auto canvas = Canvas(12, 7);
    Graphics g(canvas.get());
    g.SetFont(font.get());
    g.SetColor(Color::White);
    EXPECT_EQ(g.WriteColoredText("A^FF0000^B", 1, 5, 0, -1), 7);
    ExpectPixels(*canvas, {"............",
                           ".WWW.RR.....",
                           ".WWWKRRK....",
                           ".WWWKRRK....",
                           ".WWWKRRK....",
                           "..KKK.KK....",
                           "............"});
}

TEST_F(ImageFontTest, OrderBucketsDecideWhatIsOnTop)
{
    const std::string base = "CreateLayer Hi; LayerSetImage Hi 'glyphs.png'; LayerSetAscent Hi 4;\n"
                             "LayerSetImageMap Hi ('A') ((0 0 3 4)); LayerSetCharWidths Hi ('A') (4);\n"
                             "LayerSetColorMult Hi (1 0 0 1);\n"
                             "CreateLayerFrom Lo Hi; LayerSetColorMult Lo (0 1 0 1);\n";
    auto pixel = [&](const std::string& extra) {
        auto font = MakeFont(base + extra);
        EXPECT_TRUE(font->IsLoaded()) << (host.errors.empty() ? "" : host.errors.back());
        auto canvas = Canvas(4, 4);
        Graphics g(canvas.get());
        font->DrawText(&g, 0, 4, "A", Color::White, g.GetClipRect());
        return canvas->PixelAt(1, 1) & 0x00FFFFFF;
    };
    // Same bucket: creation order, so the later layer is on top.
    EXPECT_EQ(pixel("") >> 8, 0xFDu);
    // Orders past either end land in the last and the first bucket.
    EXPECT_EQ(pixel("LayerSetBaseOrder Hi 300; LayerSetBaseOrder Lo -300;") >> 16, 0xFDu);
    EXPECT_EQ(pixel("LayerSetCharOrders Hi ('A') (127); LayerSetBaseOrder Lo 126;") >> 16, 0xFDu);
}

TEST_F(ImageFontTest, LayersFollowPointSizeAndTags)
{
    auto font = MakeFont("SetDefaultPointSize 12;\n"
                         "CreateLayer Main; LayerSetCharWidths Main ('A') (4);\n"
                         "CreateLayer Big; LayerPointRange Big 20 -1; LayerSetCharWidths Big ('A') (9);\n"
                         "CreateLayer Glow; LayerRequireTags Glow ('glow'); LayerSetCharWidths Glow ('A') (7);\n"
                         "CreateLayer Plain; LayerExcludeTags Plain ('Glow'); LayerSetCharWidths Plain ('A') (5);\n");
    ASSERT_TRUE(font->IsLoaded()) << host.errors.at(0);
    EXPECT_EQ(font->GetPointSize(), 12);
    EXPECT_EQ(font->GetDefaultPointSize(), 12);
    EXPECT_EQ(font->TextWidth("A"), 5);
    EXPECT_EQ(font->GetActiveLayers().size(), 2u);
    font->SetPointSize(20);
    EXPECT_EQ(font->TextWidth("A"), 9);
    font->SetPointSize(500);
    EXPECT_EQ(font->TextWidth("A"), 9);
    font->SetPointSize(12);
    EXPECT_TRUE(font->AddTag("GLOW"));
    EXPECT_FALSE(font->AddTag("glow"));
    EXPECT_TRUE(font->HasTag("Glow"));
    EXPECT_EQ(font->TextWidth("A"), 7);
    EXPECT_TRUE(font->RemoveTag("glow"));
    EXPECT_FALSE(font->RemoveTag("glow"));
    EXPECT_EQ(font->TextWidth("A"), 5);
}

TEST_F(ImageFontTest, ALayerMadeForAnotherSizeIsScaled)
{
    auto font = MakeFont("SetDefaultPointSize 10;\n"
                         "CreateLayer Main; LayerSetPointSize Main 10; LayerSetImage Main 'glyphs.png';\n"
                         "LayerSetAscent Main 4; LayerSetImageMap Main ('A' 'B') ((0 0 3 4) (3 0 2 4));\n"
                         "LayerSetCharWidths Main ('A' 'B') (4 3); LayerSetCharOffsets Main ('B') ((2 0));");
    ASSERT_TRUE(font->IsLoaded()) << host.errors.at(0);
    font->EnsureActiveLayers();
    EXPECT_FALSE(font->GetActiveLayers().at(0).OwnsImage());
    font->SetPointSize(15);
    EXPECT_EQ(font->TextWidth("A"), 6);
    EXPECT_EQ(font->Ascent(), 6);
    EXPECT_EQ(font->Height(), 6);
    const auto& layer = font->GetActiveLayers().at(0);
    ASSERT_TRUE(layer.OwnsImage());
    EXPECT_EQ(layer.glyphRects['A'], (Rect{0, 0, 4, 6}));
    EXPECT_EQ(layer.glyphRects['B'], (Rect{4, 0, 3, 6}));

    auto canvas = Canvas(12, 8);
    Graphics g(canvas.get());
    std::vector<Rect> rects;
    font->DrawTextEx(&g, 0, 7, "AB", Color::White, g.GetClipRect(), &rects, nullptr);
    EXPECT_EQ(rects, (std::vector<Rect>{{0, 1, 4, 6}, {9, 1, 3, 6}}));
    // The filtered stretch may round a channel down by a step or two.
    auto nearWhite = [](uint32_t p) { return (p & 0xF8F8F8) == 0xF8F8F8; };
    EXPECT_TRUE(nearWhite(canvas->PixelAt(2, 3))) << std::hex << canvas->PixelAt(2, 3);
    EXPECT_TRUE(nearWhite(canvas->PixelAt(10, 4))) << std::hex << canvas->PixelAt(10, 4);
    EXPECT_EQ(canvas->PixelAt(2, 0), kBlue);
    EXPECT_EQ(canvas->PixelAt(6, 3), kBlue);

    font->SetPointSize(10);
    font->SetScale(2.0);
    EXPECT_EQ(font->TextWidth("A"), 8);
}

TEST_F(ImageFontTest, ClonesShareTheDescriptorAndOutliveTheOriginal)
{
    auto font = MakeFont(kTwoLayers);
    font->AddTag("x");
    font->SetPointSize(3);
    std::unique_ptr<Quillo::Font> clone = font->Clone();
    auto* copy = dynamic_cast<ImageFont*>(clone.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(&copy->GetFontData(), &font->GetFontData());
    EXPECT_TRUE(copy->HasTag("X"));
    EXPECT_EQ(copy->GetPointSize(), 3);
    font.reset();
    EXPECT_EQ(copy->TextWidth("AB"), 6);
    auto canvas = Canvas(12, 7);
    Graphics g(canvas.get());
    copy->DrawText(&g, 1, 5, "AB", Color::White, g.GetClipRect());
    EXPECT_EQ(canvas->PixelAt(1, 1), 0xFFFFFFFFu);
}

TEST_F(ImageFontTest, ABrokenDescriptorMeasuresAndDrawsNothing)
{
    auto font = MakeFont("CreateLayer Main; LayerSetCharWidths Main ('A') (4); Bogus;");
    EXPECT_FALSE(font->IsLoaded());
    EXPECT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(font->TextWidth("A"), 0);
    EXPECT_EQ(font->Height(), 0);
    auto canvas = Canvas(4, 4);
    Graphics g(canvas.get());
    int width = -1;
    font->DrawTextEx(&g, 0, 4, "A", Color::White, g.GetClipRect(), nullptr, &width);
    EXPECT_EQ(width, 0);

    ImageFont missing(host, dir / "absent.txt");
    EXPECT_FALSE(missing.IsLoaded());
    EXPECT_EQ(missing.TextWidth("A"), 0);
}

TEST_F(ImageFontTest, StripFontsCutTheStripAndFoldCase)
{
    host.AddImage(dir / "strip.png", 10, 5, {{0, 0, 2, 5}, {5, 0, 5, 5}});
    std::ofstream(dir / "widths.txt") << "3 4\na 2\nb 3\r\nc 9\n";
    std::shared_ptr<MemoryImage> strip = host.LoadDisplayImage(dir / "strip.png");
    ImageFont font(host, strip, dir / "widths.txt");
    ASSERT_TRUE(font.IsLoaded());
    const auto& layer = *font.GetFontData().layers.at(0);
    EXPECT_EQ(layer.glyphs['a'].imageRect, (Rect{0, 0, 2, 5}));
    EXPECT_EQ(layer.glyphs['b'].imageRect, (Rect{2, 0, 3, 5}));
    EXPECT_EQ(layer.glyphs['c'].imageRect, (Rect{5, 0, 5, 5}));
    EXPECT_EQ(layer.glyphs['c'].width, 9);
    EXPECT_EQ(font.Ascent(), 4);
    EXPECT_EQ(font.Height(), 5);
    EXPECT_EQ(font.TextWidth(" "), 3);
    EXPECT_EQ(font.TextWidth("AB"), font.TextWidth("ab"));
    EXPECT_EQ(font.TextWidth("AB"), 5);

    strip.reset();
    auto lower = Canvas(4, 6), upper = Canvas(4, 6);
    Graphics gl(lower.get()), gu(upper.get());
    font.DrawText(&gl, 0, 4, "a", Color::White, gl.GetClipRect());
    font.DrawText(&gu, 0, 4, "A", Color::White, gu.GetClipRect());
    EXPECT_EQ(Pixels(*upper), Pixels(*lower));
    EXPECT_EQ(lower->PixelAt(1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(lower->PixelAt(2, 0), kBlue);
}

TEST_F(ImageFontTest, OneCallDrawsAtMostThePoolsWorth)
{
    auto font = MakeFont("CreateLayer Main; LayerSetImage Main 'glyphs.png'; LayerSetAscent Main 4;\n"
                         "LayerSetImageMap Main ('A') ((0 0 3 4)); LayerSetCharWidths Main ('A') (4);");
    auto canvas = Canvas(8, 8);
    Graphics g(canvas.get());
    int width = 0;
    std::vector<Rect> rects;
    font->DrawTextEx(&g, 0, 4, std::string(5000, 'A'), Color::White, g.GetClipRect(), &rects, &width);
    EXPECT_EQ(width, 4 * ImageFont::kMaxGlyphCommands);
    EXPECT_EQ(rects.size(), size_t(ImageFont::kMaxGlyphCommands));
}

// Each thread's first use of the font may be the first of all: layers,
// metrics and the glyph images' drawing data are built on first use.
TEST_F(ImageFontTest, FirstUseFromSeveralThreadsAtOnce)
{
    const std::string text = "ABBAABAB";
    auto reference = Canvas(64, 8);
    Graphics rg(reference.get());
    const auto referenceFont = MakeFont(kTwoLayers);
    referenceFont->DrawText(&rg, 0, 5, text, Color::White, rg.GetClipRect());
    const int referenceWidth = referenceFont->TextWidth(text);

    for (int round = 0; round < 20; ++round)
    {
        auto font = MakeFont(kTwoLayers);
        std::latch start(2);
        auto worker = [&](MemoryImage* canvas, bool measureFirst) {
            start.arrive_and_wait();
            if (measureFirst)
            {
                EXPECT_EQ(font->TextWidth(text), referenceWidth);
            }
            Graphics g(canvas);
            font->DrawText(&g, 0, 5, text, Color::White, g.GetClipRect());
            EXPECT_EQ(font->TextWidth(text), referenceWidth);
        };
        auto a = Canvas(64, 8), b = Canvas(64, 8);
        std::thread t1(worker, a.get(), round % 2 == 0), t2(worker, b.get(), false);
        t1.join();
        t2.join();
        ASSERT_EQ(Pixels(*a), Pixels(*reference)) << "round " << round;
        ASSERT_EQ(Pixels(*b), Pixels(*reference)) << "round " << round;
    }
}
