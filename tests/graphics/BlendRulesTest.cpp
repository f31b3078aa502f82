// Hand-computed pixels for each blending rule, one 1 x 1 or small image at a time.
#include "TestImages.h"

#include <gtest/gtest.h>

using namespace Quillo;
using QuilloTest::Argb;
using QuilloTest::MakeImage;
using QuilloTest::OpaqueScreen;
using QuilloTest::Solid;

namespace
{

uint32_t Paint(MemoryImage& dest, uint32_t srcPixel, const Color& color, int mode)
{
    auto src = Solid(1, 1, srcPixel);
    dest.PaintImage(src.get(), 0, 0, Rect{0, 0, 1, 1}, color, mode);
    return dest.GetBits()[0];
}

} // namespace

TEST(BlendRules, FillOpaqueColourSetsPixels)
{
    auto img = Solid(3, 2, Argb(0, 0, 0, 0));
    img->FillRect(Rect{1, 0, 2, 2}, Color(10, 20, 30), DRAWMODE_NORMAL);
    EXPECT_EQ(img->GetBits()[0], 0u);
    EXPECT_EQ(img->GetBits()[1], Argb(255, 10, 20, 30));
    EXPECT_EQ(img->GetBits()[5], Argb(255, 10, 20, 30));
}

TEST(BlendRules, FillTranslucentOnTransparentTakesWeight255)
{
    auto img = Solid(1, 1, 0);
    img->FillRect(Rect{0, 0, 1, 1}, Color(200, 100, 50, 128), DRAWMODE_NORMAL);
    // outA = 128, w = 255: each channel is (c x 255) / 256.
    EXPECT_EQ(img->GetBits()[0], Argb(128, 199, 99, 49));
}

TEST(BlendRules, CompositeOntoAlphaDestination)
{
    auto dest = Solid(1, 1, Argb(100, 10, 20, 30));
    // outA = 100 + 155 x 200 / 255 = 221, w = 200 x 255 / 221 = 230.
    EXPECT_EQ(Paint(*dest, Argb(200, 250, 128, 3), Color::White, DRAWMODE_NORMAL),
              Argb(221, 225, 117, 5));
}

TEST(BlendRules, CompositeSkipsTransparentSourcePixels)
{
    auto dest = Solid(1, 1, Argb(100, 10, 20, 30));
    EXPECT_EQ(Paint(*dest, Argb(0, 250, 128, 3), Color::White, DRAWMODE_NORMAL),
              Argb(100, 10, 20, 30));
}

TEST(BlendRules, OpaqueDestinationBlendTruncatesBlueTermsSeparately)
{
    auto dest = OpaqueScreen(1, 1, Argb(255, 10, 20, 30));
    EXPECT_EQ(Paint(*dest, Argb(128, 200, 100, 51), Color::White, DRAWMODE_NORMAL),
              Argb(255, 105, 60, 40));
}

TEST(BlendRules, OpaqueDestinationCopiesOpaqueAndSkipsTransparentRuns)
{
    auto dest = OpaqueScreen(4, 1, Argb(255, 1, 2, 3));
    auto src = MakeImage(4, 1,
                         {Argb(255, 9, 9, 9), Argb(0, 50, 50, 50), Argb(128, 200, 100, 51),
                          Argb(255, 7, 8, 9)});
    dest->PaintImage(src.get(), 0, 0, Rect{0, 0, 4, 1}, Color::White, DRAWMODE_NORMAL);
    const uint32_t* d = dest->GetBits();
    EXPECT_EQ(d[0], Argb(255, 9, 9, 9));
    EXPECT_EQ(d[1], Argb(255, 1, 2, 3));
    EXPECT_EQ(d[2], Argb(255, 100, 51, 26));
    EXPECT_EQ(d[3], Argb(255, 7, 8, 9));
}

TEST(BlendRules, ModulatedBlend)
{
    auto dest = OpaqueScreen(1, 1, Argb(255, 10, 20, 30));
    // t = 128 x 200 / 255 = 100; outA = 255; w = 100.
    EXPECT_EQ(Paint(*dest, Argb(200, 250, 128, 3), Color(255, 0, 100, 128), DRAWMODE_NORMAL),
              Argb(255, 103, 12, 18));
    auto clear = Solid(1, 1, 0);
    EXPECT_EQ(Paint(*clear, Argb(255, 255, 255, 255), Color(255, 128, 0, 255), DRAWMODE_NORMAL),
              Argb(255, 253, 127, 0));
}

TEST(BlendRules, ModulatedBlendSkipsZeroModulatedAlpha)
{
    auto dest = OpaqueScreen(1, 1, Argb(255, 10, 20, 30));
    // t = 1 x 200 / 255 = 0.
    EXPECT_EQ(Paint(*dest, Argb(200, 250, 128, 3), Color(255, 0, 100, 1), DRAWMODE_NORMAL),
              Argb(255, 10, 20, 30));
}

TEST(BlendRules, AdditiveUnmodulatedWithAndWithoutSourceAlpha)
{
    auto dest = Solid(1, 1, Argb(77, 100, 200, 250));
    // A source with partial alpha: channels scaled by the alpha, then added with saturation.
    EXPECT_EQ(Paint(*dest, Argb(128, 100, 200, 20), Color::White, DRAWMODE_ADDITIVE),
              Argb(77, 150, 255, 255));
    // Fully transparent pixels of a source without partial alpha add their colour.
    auto dest2 = Solid(2, 1, Argb(255, 1, 2, 3));
    auto src = MakeImage(2, 1, {Argb(0, 10, 20, 30), Argb(255, 250, 0, 1)});
    dest2->PaintImage(src.get(), 0, 0, Rect{0, 0, 2, 1}, Color::White, DRAWMODE_ADDITIVE);
    EXPECT_EQ(dest2->GetBits()[0], Argb(255, 11, 22, 33));
    EXPECT_EQ(dest2->GetBits()[1], Argb(255, 251, 2, 4));
}

TEST(BlendRules, AdditiveModulatedFoldsColourAlpha)
{
    // k = 128 x (255, 100, 0) / 255 = (128, 50, 0).
    auto dest = Solid(1, 1, Argb(9, 100, 200, 250));
    EXPECT_EQ(Paint(*dest, Argb(128, 100, 200, 20), Color(255, 100, 0, 128), DRAWMODE_ADDITIVE),
              Argb(9, 125, 219, 250));
    auto dest2 = Solid(1, 1, Argb(9, 100, 200, 250));
    EXPECT_EQ(Paint(*dest2, Argb(255, 100, 200, 20), Color(255, 100, 0, 128), DRAWMODE_ADDITIVE),
              Argb(9, 150, 239, 250));
}

TEST(BlendRules, UnknownDrawModeDrawsNothing)
{
    auto dest = Solid(1, 1, Argb(255, 1, 2, 3));
    EXPECT_EQ(Paint(*dest, Argb(255, 100, 200, 20), Color::White, 2), Argb(255, 1, 2, 3));
}

TEST(BlendRules, PaletteSourceDrawsItsEntries)
{
    auto src = MakeImage(2, 1, {Argb(255, 1, 1, 1), Argb(0, 2, 2, 2)});
    ASSERT_TRUE(src->ConvertToPalette());
    auto dest = OpaqueScreen(2, 1, Argb(255, 5, 5, 5));
    dest->PaintImage(src.get(), 0, 0, Rect{0, 0, 2, 1}, Color::White, DRAWMODE_NORMAL);
    EXPECT_EQ(dest->GetBits()[0], Argb(255, 1, 1, 1));
    EXPECT_EQ(dest->GetBits()[1], Argb(255, 5, 5, 5));
    EXPECT_TRUE(src->IsPalettized());
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
