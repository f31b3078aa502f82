#include "TestImages.h"

#include "framework/graphics/DisplayImage.h"
#include "framework/graphics/ImageLib.h"
#include "framework/graphics/ImageRegistry.h"
#include "framework/graphics/NativeDisplay.h"
#include "framework/graphics/PlatformDisplay.h"
#include "framework/platform/SdlPlatform.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace Quillo;
using QuilloTest::Argb;

namespace
{

// A display that keeps what it was asked to present.
class CapturingDisplay : public NativeDisplay
{
public:
    explicit CapturingDisplay(ImageRegistry& registry) : NativeDisplay(registry) {}
    Result Init(bool windowed, bool) override
    {
        SetWindowed(windowed);
        SetRefreshRate(reportedHz);
        return Result::Ok;
    }
    void ReleaseImageTexture(MemoryImage& image) override { released.push_back(&image); }

    int reportedHz = 300;
    std::vector<uint32_t> frame;
    std::vector<Rect> presented;
    std::vector<MemoryImage*> released;

protected:
    bool PresentFrame(const uint32_t* pixels, int pitch, const Rect& rect) override
    {
        frame.assign(pixels, pixels + size_t(pitch) * kScreenHeight);
        presented.push_back(rect);
        return true;
    }
};

class DisplayTest : public ::testing::Test
{
protected:
    // The screen filled with one opaque colour.
    DisplayImage* Filled(const Color& fill = Color(10, 20, 30))
    {
        DisplayImage* screen = display.GetScreenImage();
        screen->FillRect(all, fill, DRAWMODE_NORMAL);
        return screen;
    }

    ImageRegistry registry;
    CapturingDisplay display{registry};
    const Rect all{0, 0, 800, 600};
};

} // namespace

TEST_F(DisplayTest, ResultNames)
{
    EXPECT_STREQ(NativeDisplay::ResultName(0), "RESULT_OK");
    EXPECT_STREQ(NativeDisplay::ResultName(NativeDisplay::Result::InvalidColorDepth), "RESULT_INVALID_COLORDEPTH");
    EXPECT_STREQ(NativeDisplay::ResultName(5), "RESULT_DISPCHANGE_FAIL");
    for (int outside : {7, -1})
        EXPECT_STREQ(NativeDisplay::ResultName(outside), "RESULT_UNKNOWN");
}

TEST_F(DisplayTest, OpaqueScreenAndClampedRefreshRate)
{
    // Reported rates above 240 and below 50 are clamped; high ones in between are kept.
    for (auto [reported, kept] : {std::pair{144, 144}, {30, 50}, {300, 240}})
    {
        display.reportedHz = reported;
        ASSERT_EQ(display.Init(false, true), NativeDisplay::Result::Ok);
        EXPECT_EQ(display.GetRefreshRate(), kept) << reported;
    }
    EXPECT_EQ(display.GetMillisecondsPerRefresh(), 4);
    EXPECT_FALSE(display.IsWindowed());
    DisplayImage* screen = display.GetScreenImage();
    ASSERT_EQ(screen->width, 800);
    ASSERT_EQ(screen->height, 600);
    EXPECT_FALSE(screen->HasTrans());
    EXPECT_FALSE(screen->HasAlpha());
    EXPECT_EQ(screen->PixelAt(799, 599), 0xFF000000u);
    EXPECT_TRUE(registry.Contains(screen));
    EXPECT_EQ(registry.GetDisplay(), &display);
}

TEST_F(DisplayTest, CursorIsDrawnOnlyIntoThePresentedFrame)
{
    const uint32_t yellow = Argb(255, 255, 255, 0);
    auto cursor = QuilloTest::Solid(4, 4, yellow);
    display.SetCursorImage(cursor.get(), 1, 1);
    EXPECT_TRUE(display.SetCursorPos(100, 50));
    EXPECT_FALSE(display.SetCursorPos(100, 50));
    EXPECT_EQ(display.GetCursorRect(), (Rect{99, 49, 4, 4}));
    ASSERT_TRUE(display.PresentScreen(Rect{0, 0, 10, 10}));
    EXPECT_EQ(display.frame[49 * 800 + 99], yellow);
    EXPECT_EQ(display.GetScreenImage()->PixelAt(99, 49), 0xFF000000u) << "the screen never keeps the cursor";
    EXPECT_EQ(display.presented.back(), (Rect{0, 0, 103, 53}));

    // Moving it presents where it was as well.
    display.SetCursorPos(798, 598);
    display.PresentScreen(Rect{0, 0, 1, 1});
    EXPECT_EQ(display.frame[49 * 800 + 99], 0xFF000000u);
    EXPECT_EQ(display.frame[599 * 800 + 799], yellow);
    EXPECT_EQ(display.presented.back(), all);
    display.SetCursorImage(nullptr, 0, 0);
    EXPECT_EQ(display.GetCursorRect(), Rect{});
}

TEST_F(DisplayTest, ReleaseImagesReachesEveryRegisteredImage)
{
    DisplayImage a(display);
    a.Create(2, 2);
    a.GetNativeAlpha(&display);
    MemoryImage b(registry);
    display.ReleaseImages();
    EXPECT_FALSE(a.HasNativeAlpha());
    EXPECT_EQ(display.released.size(), 3u);
    display.released.clear();
    {
        MemoryImage gone(registry);
    }
    EXPECT_EQ(display.released.size(), 1u) << "destruction asks the display to drop its texture";
}

TEST_F(DisplayTest, ScreenshotWritesTheFrame)
{
    TempDir dir;
    display.GetScreenImage()->FillRect(Rect{10, 20, 5, 5}, Color(1, 2, 3), DRAWMODE_NORMAL);
    ASSERT_TRUE(display.WriteScreenshot(dir / "shot.png"));
    auto shot = ImageLib::ReadPNG(dir / "shot.png");
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->width, 800);
    EXPECT_EQ(shot->bits[size_t(22 * 800 + 12)], Argb(255, 1, 2, 3));
    EXPECT_EQ(shot->bits[0], 0xFF000000u);
}

TEST_F(DisplayTest, LinesIncludeBothEndsAndAdditiveFillSaturates)
{
    DisplayImage* screen = display.GetScreenImage();
    screen->DrawLine(2, 3, 6, 5, Color(255, 0, 0), DRAWMODE_NORMAL);
    int count = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            count += screen->PixelAt(x, y) != 0xFF000000u;
    EXPECT_EQ(count, 5);
    for (auto [x, y] : {std::pair{2, 3}, {6, 5}, {4, 4}})
        EXPECT_EQ(screen->PixelAt(x, y), Argb(255, 255, 0, 0));

    screen->FillRect(Rect{0, 0, 1, 1}, Color(200, 100, 50), DRAWMODE_NORMAL);
    screen->FillRect(Rect{0, 0, 1, 1}, Color(100, 200, 255, 128), DRAWMODE_ADDITIVE);
    // Adds 128 x c / 255: 50, 100, 128.
    EXPECT_EQ(screen->PixelAt(0, 0), Argb(255, 250, 200, 178));
}

TEST_F(DisplayTest, MirroredDrawingReversesColumns)
{
    auto src = QuilloTest::MakeImage(3, 1, {Argb(255, 1, 0, 0), Argb(255, 2, 0, 0), Argb(255, 3, 0, 0)});
    DisplayImage* screen = display.GetScreenImage();
    screen->PaintImageMirrored(src.get(), 10, 10, Rect{0, 0, 3, 1}, Color::White, DRAWMODE_NORMAL);
    EXPECT_EQ(screen->PixelAt(10, 10), Argb(255, 3, 0, 0));
    EXPECT_EQ(screen->PixelAt(12, 10), Argb(255, 1, 0, 0));
}

// Expected values worked out by hand from the blending rules, for a screen
// of (10, 20, 30): an opaque (200, 100, 50) pixel and a half-transparent
// green one, each stretched to 2 x 2.
TEST_F(DisplayTest, StretchedDrawingHonoursTheColourAndTheDrawMode)
{
    auto src = QuilloTest::MakeImage(2, 1, {Argb(255, 200, 100, 50), Argb(128, 0, 255, 0)});
    const Color tint(128, 255, 0, 200);
    for (bool quick : {true, false})
    {
        SCOPED_TRACE(quick);
        // Tinted: t = 200 x sa / 255, w = t; c = ((w s k) / 256 + (256 - w) d) / 256.
        DisplayImage* screen = Filled();
        screen->PaintImageStretched(src.get(), Rect{10, 10, 4, 2}, Rect{0, 0, 2, 1}, all, tint, DRAWMODE_NORMAL, quick);
        for (int y : {10, 11})
        {
            EXPECT_EQ(screen->PixelAt(10, y), Argb(255, 80, 82, 6));
            EXPECT_EQ(screen->PixelAt(13, y), Argb(255, 6, 111, 18));
        }
        EXPECT_EQ(screen->PixelAt(14, 10), Argb(255, 10, 20, 30));
        EXPECT_EQ(screen->PixelAt(10, 12), Argb(255, 10, 20, 30));

        // Additive: k = 200 x c / 255 = (100, 200, 0); d + ((s k / 256) sa) / 256.
        Filled()->PaintImageStretched(src.get(), Rect{10, 10, 4, 2}, Rect{0, 0, 2, 1}, all, tint, DRAWMODE_ADDITIVE,
                                      quick);
        EXPECT_EQ(screen->PixelAt(10, 11), Argb(255, 87, 97, 30));
        EXPECT_EQ(screen->PixelAt(13, 10), Argb(255, 10, 119, 30));
    }

    // The blast's fade: white at alpha 120 over black gives 119 per channel,
    // and the clip rectangle still holds.
    auto white = QuilloTest::Solid(2, 2, Argb(255, 255, 255, 255));
    DisplayImage* screen = Filled(Color(0, 0, 0));
    screen->PaintImageStretched(white.get(), Rect{20, 20, 6, 6}, Rect{0, 0, 2, 2}, Rect{0, 0, 23, 600},
                                Color(255, 255, 255, 120), DRAWMODE_NORMAL, false);
    EXPECT_EQ(screen->PixelAt(20, 20), Argb(255, 119, 119, 119));
    EXPECT_EQ(screen->PixelAt(22, 25), Argb(255, 119, 119, 119));
    EXPECT_EQ(screen->PixelAt(23, 22), Argb(255, 0, 0, 0)) << "outside the clip rectangle";

    // White and normal: a uniform half-transparent red blends onto the
    // opaque screen: (d (256 - 128) + s 128) / 256.
    auto red = QuilloTest::Solid(2, 2, Argb(128, 255, 0, 0));
    Filled()->PaintImageStretched(red.get(), Rect{30, 30, 4, 4}, Rect{0, 0, 2, 2}, all, Color::White,
                                  DRAWMODE_NORMAL, false);
    EXPECT_EQ(screen->PixelAt(31, 32), Argb(255, 132, 10, 15));
}

// Rotation at angle 0 samples a uniform half-transparent red with the
// forced odd weights (255 and 1): summed red 127, coverage 128.
TEST_F(DisplayTest, RotatedDrawingCompositesByCoverage)
{
    auto red = QuilloTest::Solid(3, 3, Argb(128, 255, 0, 0));
    auto opaqueRed = QuilloTest::Solid(3, 3, Argb(255, 255, 0, 0));
    auto rotated = [&](MemoryImage& dest, MemoryImage& src, const Color& color, int mode) {
        dest.PaintImageRotated(&src, 10.0f, 10.0f, Rect{0, 0, 3, 3}, all, color, mode, 0.0, 0, 0);
        return dest.PixelAt(11, 11);
    };
    // Onto the opaque screen: (127 x 256 + (d x 255 / 256) x 128) / 256, alpha 255.
    EXPECT_EQ(rotated(*Filled(), *red, Color::White, DRAWMODE_NORMAL), Argb(255, 131, 9, 14));
    // A colour's alpha halves the opaque source to the same sample.
    EXPECT_EQ(rotated(*Filled(), *opaqueRed, Color(255, 255, 255, 128), DRAWMODE_NORMAL), Argb(255, 131, 9, 14));
    // Additive adds the summed colour.
    EXPECT_EQ(rotated(*Filled(), *red, Color::White, DRAWMODE_ADDITIVE), Argb(255, 137, 20, 30));
    // Onto a transparent image: A = 256 - 256 x 128 / 256 = 128, red
    // 127 x 256 / 128 = 254, alpha A - 1.
    MemoryImage clear;
    clear.Create(20, 20);
    EXPECT_EQ(rotated(clear, *red, Color::White, DRAWMODE_NORMAL), Argb(127, 254, 0, 0));
}

// On SDL's dummy video driver, whose window surface is plain memory: the
// screen image is drawn straight in the window's surface while the window
// shows it unscaled, and its pixels go along wherever the window's size
// and the presenter go, before SDL frees the surface they were in.
TEST(PlatformDisplay, TheScreenIsDrawnInTheWindowWhileItShowsItUnscaled)
{
    std::string error;
    auto platform = SdlPlatform::Create(error);
    ASSERT_TRUE(platform) << error;
    ASSERT_TRUE(platform->CreateWindow(WindowSpec{.title = "test"})) << platform->LastError();
    ImageRegistry registry;
    PlatformDisplay display(registry, *platform);
    ASSERT_EQ(display.Init(true, false), NativeDisplay::Result::Ok);
    DisplayImage* screen = display.GetScreenImage();
    const Color blue(0, 0, 200), red(200, 0, 0), green(0, 200, 0);
    screen->FillRect(Rect{0, 0, 800, 600}, blue, DRAWMODE_NORMAL);
    screen->FillRect(Rect{100, 100, 50, 50}, red, DRAWMODE_NORMAL);
    ASSERT_TRUE(display.PresentScreen());

    // The output at picture point (x, y), scaled by k.
    auto shown = [&](int x, int y, int k) {
        std::vector<uint32_t> out;
        int w = 0, h = 0;
        if (!platform->Presenter()->ReadOutput(out, w, h) || w != 800 * k || h != 600 * k)
            return 0u;
        return out[size_t(y * k + k / 2) * size_t(w) + size_t(x * k + k / 2)];
    };
    for (int round = 0; round < 2; ++round)
    {
        SCOPED_TRACE(round);
        EXPECT_TRUE(screen->BitsPlaced());
        screen->FillRect(Rect{400, 300, 10, 10}, round ? red : green, DRAWMODE_NORMAL);
        ASSERT_TRUE(display.PresentScreenAreas({Rect{400, 300, 10, 10}}));
        EXPECT_EQ(shown(405, 305, 1), round ? Argb(255, 200, 0, 0) : Argb(255, 0, 200, 0));
        EXPECT_EQ(shown(120, 120, 1), Argb(255, 200, 0, 0));

        // Twice the size: the pixels come home as the size changes, and
        // the scaled picture is sent from there.
        platform->SetWindowSize(1600, 1200);
        EXPECT_FALSE(screen->BitsPlaced());
        EXPECT_EQ(screen->PixelAt(120, 120), Argb(255, 200, 0, 0));
        screen->FillRect(Rect{0, 0, 10, 10}, green, DRAWMODE_NORMAL);
        ASSERT_TRUE(display.PresentScreen());
        EXPECT_FALSE(screen->BitsPlaced());
        EXPECT_EQ(shown(5, 5, 2), Argb(255, 0, 200, 0));
        EXPECT_EQ(shown(120, 120, 2), Argb(255, 200, 0, 0));
        EXPECT_EQ(shown(700, 500, 2), Argb(255, 0, 0, 200));

        // Back at the picture's size, the first present places it again.
        platform->SetWindowSize(800, 600);
        ASSERT_TRUE(display.PresentScreen());
        EXPECT_TRUE(screen->BitsPlaced());
        EXPECT_EQ(shown(5, 5, 1), Argb(255, 0, 200, 0));
        EXPECT_EQ(screen->PixelAt(120, 120), Argb(255, 200, 0, 0));

        // A presenter made anew (a switch of mode) may take the surface
        // with the old one.
        ASSERT_EQ(display.Init(true, false), NativeDisplay::Result::Ok);
        EXPECT_FALSE(screen->BitsPlaced());
        EXPECT_EQ(screen->PixelAt(5, 5), Argb(255, 0, 200, 0));
        ASSERT_TRUE(display.PresentScreen());
    }
    platform->DestroyWindow();
    EXPECT_FALSE(screen->BitsPlaced());
    EXPECT_EQ(screen->PixelAt(405, 305), Argb(255, 200, 0, 0));
}
