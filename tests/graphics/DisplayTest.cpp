#include "TestImages.h"

#include "framework/graphics/DisplayImage.h"
#include "framework/graphics/ImageLib.h"
#include "framework/graphics/ImageRegistry.h"
#include "framework/graphics/NativeDisplay.h"
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
        SetRefreshRate(144);
        return Result::Ok;
    }
    void ReleaseImageTexture(MemoryImage& image) override { released.push_back(&image); }

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

} // namespace

TEST(NativeDisplay, ResultNames)
{
    EXPECT_STREQ(NativeDisplay::ResultName(0), "RESULT_OK");
    EXPECT_STREQ(NativeDisplay::ResultName(NativeDisplay::Result::InvalidColorDepth), "RESULT_INVALID_COLORDEPTH");
    EXPECT_STREQ(NativeDisplay::ResultName(5), "RESULT_DISPCHANGE_FAIL");
    EXPECT_STREQ(NativeDisplay::ResultName(7), "RESULT_UNKNOWN");
    EXPECT_STREQ(NativeDisplay::ResultName(-1), "RESULT_UNKNOWN");
}

TEST(NativeDisplay, OpaqueScreenAndClampedRefreshRate)
{
    ImageRegistry registry;
    CapturingDisplay display(registry);
    ASSERT_EQ(display.Init(false, true), NativeDisplay::Result::Ok);
    EXPECT_FALSE(display.IsWindowed());
    EXPECT_EQ(display.GetRefreshRate(), 100);
    EXPECT_EQ(display.GetMillisecondsPerRefresh(), 10);
    DisplayImage* screen = display.GetScreenImage();
    ASSERT_EQ(screen->width, 800);
    ASSERT_EQ(screen->height, 600);
    EXPECT_FALSE(screen->HasTrans());
    EXPECT_FALSE(screen->HasAlpha());
    EXPECT_EQ(screen->PixelAt(799, 599), 0xFF000000u);
    EXPECT_TRUE(registry.Contains(screen));
    EXPECT_EQ(registry.GetDisplay(), &display);
}

TEST(NativeDisplay, CursorIsDrawnOnlyIntoThePresentedFrame)
{
    ImageRegistry registry;
    CapturingDisplay display(registry);
    auto cursor = QuilloTest::Solid(4, 4, Argb(255, 255, 255, 0));
    display.SetCursorImage(cursor.get(), 1, 1);
    EXPECT_TRUE(display.SetCursorPos(100, 50));
    EXPECT_FALSE(display.SetCursorPos(100, 50));
    EXPECT_EQ(display.GetCursorRect(), (Rect{99, 49, 4, 4}));
    ASSERT_TRUE(display.PresentScreen(Rect{0, 0, 10, 10}));
    EXPECT_EQ(display.frame[49 * 800 + 99], Argb(255, 255, 255, 0));
    EXPECT_EQ(display.GetScreenImage()->PixelAt(99, 49), 0xFF000000u) << "the screen never keeps the cursor";
    EXPECT_EQ(display.presented.back(), (Rect{0, 0, 103, 53}));

    // Moving it presents where it was as well.
    display.SetCursorPos(798, 598);
    display.PresentScreen(Rect{0, 0, 1, 1});
    EXPECT_EQ(display.frame[49 * 800 + 99], 0xFF000000u);
    EXPECT_EQ(display.frame[599 * 800 + 799], Argb(255, 255, 255, 0));
    EXPECT_EQ(display.presented.back(), (Rect{0, 0, 800, 600}));
    display.SetCursorImage(nullptr, 0, 0);
    EXPECT_EQ(display.GetCursorRect(), Rect{});
}

TEST(NativeDisplay, ReleaseImagesReachesEveryRegisteredImage)
{
    ImageRegistry registry;
    CapturingDisplay display(registry);
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

TEST(NativeDisplay, ScreenshotWritesTheFrame)
{
    TempDir dir;
    ImageRegistry registry;
    CapturingDisplay display(registry);
    display.GetScreenImage()->FillRect(Rect{10, 20, 5, 5}, Color(1, 2, 3), DRAWMODE_NORMAL);
    ASSERT_TRUE(display.WriteScreenshot(dir / "shot.png"));
    auto shot = ImageLib::ReadPNG(dir / "shot.png");
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->width, 800);
    EXPECT_EQ(shot->bits[size_t(22 * 800 + 12)], Argb(255, 1, 2, 3));
    EXPECT_EQ(shot->bits[0], 0xFF000000u);
}

TEST(DisplayImage, LinesIncludeBothEndsAndAdditiveFillSaturates)
{
    ImageRegistry registry;
    CapturingDisplay display(registry);
    DisplayImage* screen = display.GetScreenImage();
    screen->DrawLine(2, 3, 6, 5, Color(255, 0, 0), DRAWMODE_NORMAL);
    int count = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            count += screen->PixelAt(x, y) != 0xFF000000u;
    EXPECT_EQ(count, 5);
    EXPECT_EQ(screen->PixelAt(2, 3), Argb(255, 255, 0, 0));
    EXPECT_EQ(screen->PixelAt(6, 5), Argb(255, 255, 0, 0));
    EXPECT_EQ(screen->PixelAt(4, 4), Argb(255, 255, 0, 0));

    screen->FillRect(Rect{0, 0, 1, 1}, Color(200, 100, 50), DRAWMODE_NORMAL);
    screen->FillRect(Rect{0, 0, 1, 1}, Color(100, 200, 255, 128), DRAWMODE_ADDITIVE);
    // Adds 128 x c / 255: 50, 100, 128.
    EXPECT_EQ(screen->PixelAt(0, 0), Argb(255, 250, 200, 178));
}

TEST(DisplayImage, MirroredDrawingReversesColumns)
{
    ImageRegistry registry;
    CapturingDisplay display(registry);
    auto src = QuilloTest::MakeImage(3, 1, {Argb(255, 1, 0, 0), Argb(255, 2, 0, 0), Argb(255, 3, 0, 0)});
    display.GetScreenImage()->PaintImageMirrored(src.get(), 10, 10, Rect{0, 0, 3, 1}, Color::White,
                                                 DRAWMODE_NORMAL);
    EXPECT_EQ(display.GetScreenImage()->PixelAt(10, 10), Argb(255, 3, 0, 0));
    EXPECT_EQ(display.GetScreenImage()->PixelAt(12, 10), Argb(255, 1, 0, 0));
}
