#include "TestImages.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageRegistry.h"
#include "framework/graphics/PixelFormat.h"

#include <gtest/gtest.h>

#include <latch>
#include <thread>

using namespace Quillo;
using QuilloTest::Argb;
using QuilloTest::MakeImage;
using QuilloTest::Solid;

namespace
{

std::vector<uint8_t> Runs(const uint8_t* rl, int n) { return std::vector<uint8_t>(rl, rl + n); }

} // namespace

TEST(MemoryImage, RunLengthsOfAlphaClassesAreCappedAtARowEnd)
{
    auto img = MakeImage(6, 2,
                         {0, 0, Argb(255, 1, 1, 1), Argb(255, 2, 2, 2), Argb(9, 0, 0, 0), 0,
                          Argb(1, 0, 0, 0), Argb(254, 0, 0, 0), 0, 0, 0, 0});
    EXPECT_EQ(Runs(img->GetRLAlpha(), 12), (std::vector<uint8_t>{2, 1, 2, 1, 1, 1, 2, 1, 4, 3, 2, 1}));

    auto wide = Solid(300, 1, Argb(255, 3, 3, 3));
    const auto runs = Runs(wide->GetRLAlpha(), 300);
    EXPECT_EQ(std::vector<uint8_t>(runs.begin(), runs.begin() + 46), std::vector<uint8_t>(46, 255));
    EXPECT_EQ(runs[46], 254);
    EXPECT_EQ(runs[299], 1);
    // One pixel wide: every run is 1.
    EXPECT_EQ(Runs(Solid(1, 5, Argb(255, 3, 3, 3))->GetRLAlpha(), 5), std::vector<uint8_t>(5, 1));
}

TEST(MemoryImage, RowSpansFollowThePixels)
{
    const uint32_t o = Argb(255, 1, 2, 3), p = Argb(90, 1, 2, 3);
    auto img = MakeImage(8, 3, {0, 0, p, o, o, o, p, 0,   // soft edges round an opaque middle
                                o, p, o, o, 0, 0, 0, o,   // the longer of two opaque runs wins
                                0, 0, 0, 0, 0, 0, 0, 0}); // nothing to draw
    // first, end, opaqueStart, opaqueEnd.
    auto span = [](const AlphaRowSpan& s) { return std::vector<int>{s.first, s.end, s.opaqueStart, s.opaqueEnd}; };
    const AlphaRowSpan* spans = img->GetAlphaRowSpans();
    EXPECT_EQ(span(spans[0]), (std::vector<int>{2, 7, 3, 6}));
    EXPECT_EQ(span(spans[1]), (std::vector<int>{0, 8, 2, 4}));
    EXPECT_GE(spans[2].first, spans[2].end);

    // An opaque stretch longer than a run byte is still one run.
    auto wide = Solid(600, 1, o);
    wide->GetBits()[599] = 0;
    wide->MarkBitsChanged();
    EXPECT_EQ(span(wide->GetAlphaRowSpans()[0]), (std::vector<int>{0, 599, 0, 599}));

    // Changed pixels give new spans.
    img->GetBits()[0] = o;
    img->MarkBitsChanged();
    EXPECT_EQ(img->GetAlphaRowSpans()[0].first, 0);
}

TEST(MemoryImage, RunLengthAdditiveSeparatesBlackAfterPremultiplication)
{
    // Alpha 0 with colour premultiplies to (c x 1) >> 8 = 0: counts as black.
    auto img = MakeImage(4, 1, {Argb(255, 0, 0, 0), Argb(0, 200, 0, 0), Argb(255, 0, 0, 1),
                                Argb(128, 0, 9, 0)});
    EXPECT_EQ(Runs(img->GetRLAdditive(nullptr), 4), (std::vector<uint8_t>{2, 1, 2, 1}));
}

TEST(MemoryImage, NativeAlphaPremultipliesIntoTheDisplayFormat)
{
    auto img = MakeImage(1, 1, {Argb(127, 255, 128, 8)});
    // a = 128: (255 x 128) >> 8 = 127, (128 x 128) >> 8 = 64, (8 x 128) >> 8 = 4.
    EXPECT_EQ(img->GetNativeAlpha(nullptr)[0], Argb(127, 127, 64, 4));
    img->DiscardNativeData();
    EXPECT_FALSE(img->HasNativeAlpha());
}

TEST(MemoryImage, PixelFormatFromMasks)
{
    const PixelFormat f = PixelFormat::FromMasks(16, 0xF800, 0x07E0, 0x001F);
    EXPECT_EQ((std::vector<int>{f.redBits, f.redShift, f.greenBits, f.greenShift, f.blueBits, f.blueShift}),
              (std::vector<int>{5, 11, 6, 5, 5, 0}));
}

TEST(MemoryImage, AlphaFlagsFollowThePixelsUnlessForced)
{
    auto img = MakeImage(2, 1, {Argb(255, 1, 1, 1), Argb(0, 1, 1, 1)});
    EXPECT_TRUE(img->HasTrans());
    EXPECT_FALSE(img->HasAlpha());
    img->GetBits()[1] = Argb(7, 0, 0, 0);
    img->MarkBitsChanged();
    img->CommitAlphaFlags();
    EXPECT_FALSE(img->HasTrans());
    EXPECT_TRUE(img->HasAlpha());

    img->ForceAlphaFlags(false, false);
    img->MarkBitsChanged();
    img->CommitAlphaFlags();
    EXPECT_FALSE(img->HasAlpha());

    MemoryImage empty;
    empty.MarkBitsChanged();
    empty.CommitAlphaFlags();
    EXPECT_TRUE(empty.HasTrans());
    EXPECT_FALSE(empty.HasAlpha());
}

TEST(MemoryImage, CreateDefersPixelsAndAssumesAlpha)
{
    MemoryImage img;
    img.Create(3, 2);
    EXPECT_FALSE(img.HasBits());
    EXPECT_TRUE(img.HasTrans());
    EXPECT_TRUE(img.HasAlpha());
    EXPECT_EQ(std::vector<uint32_t>(img.GetBits(), img.GetBits() + 6), std::vector<uint32_t>(6, 0));
    EXPECT_TRUE(img.GuardIntact());
    img.GetBits()[6] = 0;
    EXPECT_FALSE(img.GuardIntact());
}

TEST(MemoryImage, RefusesImpossibleSizes)
{
    MemoryImage img;
    img.Create(-4, 10);
    EXPECT_EQ(img.width, 0);
    img.Create(1 << 20, 1 << 20);
    EXPECT_EQ(img.width, 0);
    EXPECT_EQ(img.height, 0);
}

TEST(MemoryImage, PaletteConversionUpTo256Colours)
{
    std::vector<uint32_t> px(512);
    for (int i = 0; i < 512; ++i)
        px[size_t(i)] = Argb(255, 0, uint32_t(i % 256), 7);
    auto img = MakeImage(32, 16, px);
    ASSERT_TRUE(img->ConvertToPalette());
    EXPECT_TRUE(img->IsPalettized());
    EXPECT_FALSE(img->HasBits());
    // Palette entries follow the order of first appearance.
    EXPECT_EQ(img->GetColorTable()[5], Argb(255, 0, 5, 7));
    EXPECT_EQ(img->GetColorIndices()[300], 300 - 256);
    EXPECT_EQ(img->PixelAt(1, 9), px[9 * 32 + 1]);

    // Drawing onto it expands it again, with the same pixels.
    const uint32_t* bits = img->GetBits();
    EXPECT_FALSE(img->IsPalettized());
    EXPECT_EQ(std::vector<uint32_t>(bits, bits + 512), px);

    px[511] = Argb(254, 1, 2, 3);
    auto many = MakeImage(32, 16, px);
    EXPECT_FALSE(many->ConvertToPalette());
    EXPECT_TRUE(many->HasBits());
    EXPECT_EQ(many->GetBits()[511], Argb(254, 1, 2, 3));
}

// A palette image is drawn from an expanded copy kept between drawings; the
// copy must follow every change of the pixels, and a large image draws the
// same without keeping one.
TEST(MemoryImage, DrawingAPaletteImageFollowsItsChangingPixels)
{
    for (int w : {9, 1024})
    {
        std::vector<uint32_t> px(size_t(w) * 300);
        for (size_t i = 0; i < px.size(); ++i)
            px[i] = Argb(uint32_t(i % 3 * 100), uint32_t(i % 5 * 50), 20, 200);
        auto glyphs = MakeImage(w, 300, px);
        ASSERT_TRUE(glyphs->ConvertToPalette());
        auto expect = [&](uint32_t shown, const char* when) {
            for (int mode : {DRAWMODE_NORMAL, DRAWMODE_ADDITIVE})
                for (const Color& tint : {Color::White, Color(200, 100, 50, 180)})
                {
                    auto fromPalette = Solid(16, 8, Argb(255, 10, 10, 10));
                    auto fromBits = Solid(16, 8, Argb(255, 10, 10, 10));
                    auto reference = MakeImage(w, 300, px);
                    fromPalette->PaintImage(glyphs.get(), 2, 1, Rect{3, 4, 7, 5}, tint, mode);
                    fromBits->PaintImage(reference.get(), 2, 1, Rect{3, 4, 7, 5}, tint, mode);
                    ASSERT_EQ(std::vector<uint32_t>(fromPalette->GetBits(), fromPalette->GetBits() + 128),
                              std::vector<uint32_t>(fromBits->GetBits(), fromBits->GetBits() + 128))
                        << when << ", width " << w << ", mode " << mode;
                }
            EXPECT_EQ(glyphs->PixelAt(3, 4), shown) << when;
        };
        expect(px[size_t(4 * w + 3)], "first drawing");
        expect(px[size_t(4 * w + 3)], "drawn again");
        // Written to (which expands the palette) and made a palette again.
        glyphs->GetBits()[4 * w + 3] = px[size_t(4 * w + 3)] = Argb(255, 1, 2, 3);
        glyphs->MarkBitsChanged();
        ASSERT_TRUE(glyphs->ConvertToPalette());
        expect(Argb(255, 1, 2, 3), "after a change");
    }
}

TEST(MemoryImage, CopyKeepsPixelsAndDerivedDataButNotTheForcedFlag)
{
    auto img = MakeImage(2, 1, {Argb(255, 1, 2, 3), Argb(9, 4, 5, 6)});
    img->numCols = 2;
    img->animInfo = std::make_unique<AnimInfo>();
    img->animInfo->frameMap = {1, 0};
    img->GetRLAlpha();
    img->ForceAlphaFlags(true, true);
    MemoryImage copy(*img);
    EXPECT_EQ(copy.PixelAt(1, 0), Argb(9, 4, 5, 6));
    EXPECT_TRUE(copy.HasRLAlpha());
    EXPECT_FALSE(copy.AlphaFlagsForced());
    EXPECT_EQ(copy.numCols, 2);
    ASSERT_TRUE(copy.animInfo);
    EXPECT_NE(copy.animInfo.get(), img->animInfo.get());
    EXPECT_EQ(copy.animInfo->frameMap, (std::vector<int32_t>{1, 0}));

    MemoryImage unborn;
    unborn.Create(2, 2);
    MemoryImage copy2(unborn);
    EXPECT_TRUE(copy2.HasBits());
    EXPECT_FALSE(unborn.HasBits());
}

TEST(MemoryImage, RegistersWithItsRegistryFromAnyThread)
{
    ImageRegistry registry;
    {
        MemoryImage a(registry);
        MemoryImage b(a);
        EXPECT_EQ(registry.Count(), 2u);
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&registry] {
                for (int i = 0; i < 200; ++i)
                {
                    MemoryImage img(registry);
                    img.Create(4, 4);
                }
            });
        for (auto& t : threads)
            t.join();
        EXPECT_EQ(registry.Count(), 2u);
        int seen = 0;
        registry.ForEach([&seen](MemoryImage&) { ++seen; });
        EXPECT_EQ(seen, 2);
    }
    EXPECT_EQ(registry.Count(), 0u);
}

TEST(MemoryImage, ClearAndClearRect)
{
    auto img = Solid(3, 1, Argb(255, 9, 9, 9));
    img->ClearRect(Rect{1, 0, 5, 5});
    EXPECT_EQ(std::vector<uint32_t>(img->GetBits(), img->GetBits() + 3), (std::vector<uint32_t>{Argb(255, 9, 9, 9), 0, 0}));
    img->Clear();
    EXPECT_EQ(img->GetBits()[0], 0u);
}

TEST(AnimInfo, PingPongMapAndDelays)
{
    AnimInfo info;
    info.animType = AnimInfo::AnimPingPong;
    info.frameDelay = 0;
    info.Compute(4, 50, 0);
    EXPECT_EQ(info.frameMap, (std::vector<int32_t>{0, 1, 2, 3, 2, 1}));
    EXPECT_EQ(info.numCels, 6);
    EXPECT_EQ(info.frameDelay, 1);
    EXPECT_EQ(info.perFrameDelay, (std::vector<int32_t>{50, 1, 1, 1, 1, 1}));
    EXPECT_EQ(info.totalAnimTime, 55);

    AnimInfo plain;
    plain.frameDelay = 30;
    plain.Compute(0, 0, 0);
    EXPECT_EQ(plain.numCels, 1);
    EXPECT_EQ(plain.totalAnimTime, 30);

    AnimInfo ends;
    ends.frameDelay = 10;
    ends.SetPerFrameDelay(1, 40);
    ends.Compute(3, 0, 70);
    EXPECT_EQ(ends.perFrameDelay, (std::vector<int32_t>{10, 40, 70}));
    EXPECT_EQ(ends.totalAnimTime, 120);

    // Huge delays from a manifest: the total stays at the largest time.
    AnimInfo huge;
    huge.frameDelay = 30;
    huge.Compute(5, INT32_MAX, 9);
    EXPECT_EQ(huge.totalAnimTime, INT32_MAX);
    AnimInfo many;
    many.frameDelay = INT32_MAX / 2;
    many.Compute(5, 0, 0);
    EXPECT_EQ(many.totalAnimTime, INT32_MAX);
}

// Threads drawing from one image for its first time at once: each may be
// the one that works out the expanded palette, the alpha flags and the
// row spans, and all see the same pixels.
TEST(MemoryImage, FirstDrawingFromSeveralThreadsAtOnce)
{
    std::mt19937 rng(5);
    const auto pixels = QuilloTest::SpritePixels(rng, 40, 12, true);
    auto drawn = [](MemoryImage& src, int mode) {
        auto dest = QuilloTest::OpaqueScreen(48, 16, Argb(255, 20, 40, 60));
        Graphics g(dest.get());
        g.SetDrawMode(mode);
        g.DrawImage(&src, 3, 2);
        return std::vector<uint32_t>(dest->GetBits(), dest->GetBits() + 48 * 16);
    };
    for (int round = 0; round < 40; ++round)
    {
        const bool palette = round % 2 == 0;
        const int mode = round % 4 < 2 ? DRAWMODE_NORMAL : DRAWMODE_ADDITIVE;
        auto make = [&] {
            auto image = MakeImage(40, 12, pixels);
            if (palette)
                image->ConvertToPalette();
            image->MarkBitsChanged();
            return image;
        };
        const auto expected = drawn(*make(), mode);
        auto shared = make();
        std::latch start(3);
        std::vector<std::vector<uint32_t>> results(3);
        std::vector<std::thread> threads;
        for (auto& result : results)
            threads.emplace_back([&, out = &result] {
                start.arrive_and_wait();
                *out = drawn(*shared, mode);
            });
        for (auto& t : threads)
            t.join();
        for (const auto& result : results)
            ASSERT_EQ(result, expected) << "round " << round;
    }
}

TEST(MemoryImage, PlacedPixelsAreDrawnWhereTheyWereGivenAndComeBackWhole)
{
    auto img = MakeImage(3, 2, {1, 2, 3, 4, 5, 6});
    std::vector<uint32_t> memory(6, 0xDEADu);
    img->PlaceBits(memory.data());
    EXPECT_TRUE(img->BitsPlaced());
    EXPECT_EQ(memory, (std::vector<uint32_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(img->GetBits(), memory.data());
    img->FillRect(Rect{1, 1, 2, 1}, Color(9, 9, 9, 255), DRAWMODE_NORMAL);
    EXPECT_EQ(memory[4], Argb(255, 9, 9, 9));
    EXPECT_TRUE(img->GuardIntact());

    // A copy has pixels of its own, guarded as ever.
    MemoryImage copy(*img);
    EXPECT_FALSE(copy.BitsPlaced());
    EXPECT_EQ(copy.PixelAt(1, 1), Argb(255, 9, 9, 9));
    EXPECT_TRUE(copy.GuardIntact());

    img->PlaceBits(nullptr);
    EXPECT_FALSE(img->BitsPlaced());
    std::fill(memory.begin(), memory.end(), 0u);
    EXPECT_EQ(img->PixelAt(2, 1), Argb(255, 9, 9, 9));
    EXPECT_EQ(img->PixelAt(0, 0), 1u);
    EXPECT_TRUE(img->GuardIntact());

    // New pixels of another size leave the given memory alone.
    img->PlaceBits(memory.data());
    img->Create(4, 4);
    img->GetBits()[0] = 7;
    EXPECT_FALSE(img->BitsPlaced());
    EXPECT_EQ(memory[0], 1u);
}
