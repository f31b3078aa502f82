// Composite scenes compared pixel for pixel with the PNGs in golden/. On a
// mismatch the actual picture and a diff (red where they differ) are written
// beside the test binary. QUILLO_UPDATE_GOLDEN=1 rewrites the expected files.
#include "TestImages.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageLib.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>

using namespace Quillo;
using QuilloTest::Argb;

namespace
{

constexpr int kW = 96, kH = 64;

std::string GoldenPath(const std::string& name)
{
    const char* src = std::getenv("QUILLO_TEST_SOURCE");
    return std::string(src ? src : "tests") + "/graphics/golden/" + name + ".png";
}

std::unique_ptr<ImageLib::Image> ToFile(MemoryImage& img)
{
    auto out = std::make_unique<ImageLib::Image>(img.width, img.height);
    std::copy(img.GetBits(), img.GetBits() + size_t(img.width) * size_t(img.height), out->bits.get());
    return out;
}

// A soft-edged disc: opaque inside, transparent outside, partial alpha on the rim.
std::unique_ptr<MemoryImage> Disc(int size, uint32_t rgb)
{
    std::vector<uint32_t> px(size_t(size) * size_t(size));
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            const double d = std::hypot(x + 0.5 - size / 2.0, y + 0.5 - size / 2.0);
            const double edge = size / 2.0 - 1.0 - d;
            const int a = edge >= 1 ? 255 : edge <= -1 ? 0 : int((edge + 1) * 127.5);
            px[size_t(y * size + x)] = (uint32_t(a) << 24) | (rgb & 0xFFFFFF);
        }
    return QuilloTest::MakeImage(size, size, px);
}

std::unique_ptr<MemoryImage> Checker(int w, int h)
{
    std::vector<uint32_t> px;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            px.push_back(((x / 4 + y / 4) % 2) ? Argb(255, 230, 230, 240) : Argb(200, 40, 60, uint32_t(x * 8)));
    return QuilloTest::MakeImage(w, h, px);
}

void CompareWithGolden(const std::string& name, const std::function<void(Graphics&)>& scene)
{
    auto dest = QuilloTest::OpaqueScreen(kW, kH, Argb(255, 20, 30, 50));
    Graphics g(dest.get());
    scene(g);
    const auto actualFile = ToFile(*dest);
    const ImageLib::Image& actual = *actualFile;
    if (std::getenv("QUILLO_UPDATE_GOLDEN"))
    {
        ASSERT_TRUE(ImageLib::WritePNG(GoldenPath(name), actual));
        return;
    }
    auto expected = ImageLib::ReadPNG(GoldenPath(name));
    ASSERT_TRUE(expected) << "missing " << GoldenPath(name) << " (QUILLO_UPDATE_GOLDEN=1 makes it)";
    ASSERT_EQ(expected->width, kW);
    ImageLib::Image diff(kW, kH);
    int wrong = 0;
    for (size_t i = 0; i < size_t(kW * kH); ++i)
    {
        const bool same = expected->bits[i] == actual.bits[i];
        wrong += !same;
        diff.bits[i] = same ? (0xFF000000u | ((actual.bits[i] >> 2) & 0x3F3F3F)) : 0xFFFF0000u;
    }
    if (wrong)
    {
        ImageLib::WritePNG(name + ".actual.png", actual);
        ImageLib::WritePNG(name + ".diff.png", diff);
    }
    EXPECT_EQ(wrong, 0) << name << ": see " << name << ".actual.png and " << name << ".diff.png";
}

} // namespace

TEST(Golden, SpritesWithAlphaAndClipping)
{
    CompareWithGolden("sprites", [](Graphics& g) {
        auto red = Disc(20, 0xE03020), green = Disc(28, 0x30D050);
        g.DrawImage(green.get(), 4, 4);
        g.DrawImage(red.get(), 20, 14);
        Graphics clipped(g);
        clipped.IntersectClip(50, 10, 30, 20);
        clipped.DrawImage(green.get(), 44, 2);
        clipped.DrawImage(red.get(), 70, 20);
        g.DrawImage(red.get(), 80, 50);
    });
}

TEST(Golden, AdditiveAndTinted)
{
    CompareWithGolden("additive_tinted", [](Graphics& g) {
        auto glow = Disc(30, 0x8060FF), white = Disc(24, 0xFFFFFF);
        g.SetDrawMode(DRAWMODE_ADDITIVE);
        g.DrawImage(glow.get(), 2, 2);
        g.DrawImage(glow.get(), 16, 10);
        g.SetDrawMode(DRAWMODE_NORMAL);
        g.SetTintImages(true);
        g.SetColor(Color(255, 160, 0, 180));
        g.DrawImage(white.get(), 50, 6);
        g.SetDrawMode(DRAWMODE_ADDITIVE);
        g.SetColor(Color(0, 255, 128, 200));
        g.DrawImage(white.get(), 64, 34);
    });
}

TEST(Golden, RotatedAndStretched)
{
    CompareWithGolden("rotated_stretched", [](Graphics& g) {
        auto checker = Checker(24, 16);
        g.DrawImageRotatedF(checker.get(), 6.0f, 10.0f, 0.5, 12, 8);
        g.DrawImageRotatedF(checker.get(), 30.5f, 30.25f, -2.0, 0, 0);
        g.DrawImage(checker.get(), 50, 2, 44, 30);
        g.DrawImage(checker.get(), Rect{52, 36, 12, 8}, Rect{0, 0, 24, 16});
        Graphics clipped(g);
        clipped.IntersectClip(70, 36, 20, 20);
        clipped.DrawImage(checker.get(), 66, 34, 40, 40);
    });
}

TEST(Golden, FramedBoxesFillsAndLines)
{
    CompareWithGolden("frames", [](Graphics& g) {
        std::vector<uint32_t> px;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
            {
                const bool border = x < 2 || y < 2 || x > 9 || y > 9;
                px.push_back(border ? Argb(255, 200, 180, 60) : ((x + y) % 3 ? Argb(160, 60, 80, 160) : Argb(0, 0, 0, 0)));
            }
        auto frame = QuilloTest::MakeImage(12, 12, px);
        g.DrawImageFrame(Rect{3, 3, 41, 27}, frame.get());
        g.DrawImageFrame(Rect{50, 6, 12, 12}, frame.get());
        g.SetColor(Color(255, 255, 255, 120));
        g.FillRect(40, 30, 30, 20);
        g.SetColor(Color(255, 80, 80));
        g.DrawRect(66, 22, 25, 30);
        const Point tri[] = {{10, 60}, {30, 36}, {44, 62}};
        g.SetColor(Color(60, 200, 255, 200));
        g.PolyFill(tri, 3);
    });
}
