// Hand-computed pixels for each blending rule, one small row at a time.
#include "TestImages.h"

#include <gtest/gtest.h>

using namespace Quillo;
using QuilloTest::Argb;
using QuilloTest::MakeImage;
using QuilloTest::Solid;

TEST(BlendRules, PaintedRowsGiveTheRulesWords)
{
    const uint32_t dA = Argb(100, 10, 20, 30), dO = Argb(255, 10, 20, 30), s = Argb(200, 250, 128, 3);
    const uint32_t glow = Argb(128, 100, 200, 20);
    struct Case
    {
        const char* what;
        std::vector<uint32_t> dest, src;
        bool opaqueDest;
        Color color;
        int mode;
        std::vector<uint32_t> expected;
        bool palette = false;
    } cases[] = {
        // outA = 100 + 155 x 200 / 255 = 221, w = 200 x 255 / 221 = 230.
        {"composite onto alpha", {dA}, {s}, false, Color::White, DRAWMODE_NORMAL, {Argb(221, 225, 117, 5)}},
        {"composite skips transparent", {dA}, {Argb(0, 250, 128, 3)}, false, Color::White, DRAWMODE_NORMAL, {dA}},
        {"opaque destination truncates blue terms separately", {dO}, {Argb(128, 200, 100, 51)}, true, Color::White,
         DRAWMODE_NORMAL, {Argb(255, 105, 60, 40)}},
        {"opaque destination copies opaque, skips transparent", std::vector<uint32_t>(4, Argb(255, 1, 2, 3)),
         {Argb(255, 9, 9, 9), Argb(0, 50, 50, 50), Argb(128, 200, 100, 51), Argb(255, 7, 8, 9)}, true, Color::White,
         DRAWMODE_NORMAL, {Argb(255, 9, 9, 9), Argb(255, 1, 2, 3), Argb(255, 100, 51, 26), Argb(255, 7, 8, 9)}},
        // t = 128 x 200 / 255 = 100; outA = 255; w = 100.
        {"modulated", {dO}, {s}, true, Color(255, 0, 100, 128), DRAWMODE_NORMAL, {Argb(255, 103, 12, 18)}},
        {"modulated onto transparent", {0}, {0xFFFFFFFF}, false, Color(255, 128, 0, 255), DRAWMODE_NORMAL,
         {Argb(255, 253, 127, 0)}},
        // t = 1 x 200 / 255 = 0.
        {"modulated skips zero alpha", {dO}, {s}, true, Color(255, 0, 100, 1), DRAWMODE_NORMAL, {dO}},
        // Channels scaled by the source alpha, then added with saturation.
        {"additive with partial alpha", {Argb(77, 100, 200, 250)}, {glow}, false, Color::White, DRAWMODE_ADDITIVE,
         {Argb(77, 150, 255, 255)}},
        // Fully transparent pixels of a source without partial alpha add their colour.
        {"additive without partial alpha", std::vector<uint32_t>(2, Argb(255, 1, 2, 3)),
         {Argb(0, 10, 20, 30), Argb(255, 250, 0, 1)}, false, Color::White, DRAWMODE_ADDITIVE,
         {Argb(255, 11, 22, 33), Argb(255, 251, 2, 4)}},
        // k = 128 x (255, 100, 0) / 255 = (128, 50, 0).
        {"additive modulated", {Argb(9, 100, 200, 250)}, {glow}, false, Color(255, 100, 0, 128), DRAWMODE_ADDITIVE,
         {Argb(9, 125, 219, 250)}},
        {"additive modulated opaque", {Argb(9, 100, 200, 250)}, {glow | 0xFF000000}, false, Color(255, 100, 0, 128),
         DRAWMODE_ADDITIVE, {Argb(9, 150, 239, 250)}},
        {"unknown draw mode", {Argb(255, 1, 2, 3)}, {glow | 0xFF000000}, false, Color::White, 2, {Argb(255, 1, 2, 3)}},
        {"palette source", std::vector<uint32_t>(2, Argb(255, 5, 5, 5)), {Argb(255, 1, 1, 1), Argb(0, 2, 2, 2)}, true,
         Color::White, DRAWMODE_NORMAL, {Argb(255, 1, 1, 1), Argb(255, 5, 5, 5)}, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        const int w = int(c.src.size());
        auto src = MakeImage(w, 1, c.src);
        if (c.palette)
        {
            ASSERT_TRUE(src->ConvertToPalette());
        }
        auto dest = MakeImage(w, 1, c.dest);
        if (c.opaqueDest)
            dest->ForceAlphaFlags(false, false);
        dest->PaintImage(src.get(), 0, 0, Rect{0, 0, w, 1}, c.color, c.mode);
        EXPECT_EQ(std::vector<uint32_t>(dest->GetBits(), dest->GetBits() + w), c.expected);
        EXPECT_EQ(src->IsPalettized(), c.palette);
    }
}

TEST(BlendRules, Fills)
{
    auto img = Solid(3, 2, 0);
    img->FillRect(Rect{1, 0, 2, 2}, Color(10, 20, 30), DRAWMODE_NORMAL);
    const uint32_t c = Argb(255, 10, 20, 30);
    EXPECT_EQ(std::vector<uint32_t>(img->GetBits(), img->GetBits() + 6), (std::vector<uint32_t>{0, c, c, 0, c, c}));
    // Translucent onto transparent: outA = 128, w = 255, each channel (c x 255) / 256.
    auto clear = Solid(1, 1, 0);
    clear->FillRect(Rect{0, 0, 1, 1}, Color(200, 100, 50, 128), DRAWMODE_NORMAL);
    EXPECT_EQ(clear->GetBits()[0], Argb(128, 199, 99, 49));
}

TEST(BlendRules, DrawingMarksBitsChanged)
{
    auto dest = Solid(2, 2, Argb(255, 0, 0, 0));
    const int before = dest->GetBitsChangedCount();
    dest->GetRLAlpha();
    dest->FillRect(Rect{0, 0, 1, 1}, Color::White, DRAWMODE_NORMAL);
    EXPECT_EQ(dest->GetBitsChangedCount(), before + 1);
    EXPECT_FALSE(dest->HasRLAlpha());
}
