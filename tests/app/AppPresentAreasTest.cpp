#include "FakePlatform.h"

#include "framework/app/QuilloAppBase.h"
#include "framework/audio/MusicInterface.h"
#include "framework/audio/SoundManager.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace Quillo;

namespace
{

// Notes the areas of every present that names them, and keeps the picture
// they show: each present copies only its areas, as a window's texture is
// updated, and must then show what the whole frame does.
class AreaPlatform : public FakePlatform
{
public:
    bool PresentAreas(const uint32_t* argb, int pitchPixels, int width, int height,
                      const std::vector<Rect>& areas) override
    {
        presentedAreas.push_back(areas);
        shown.resize(size_t(width) * size_t(height));
        for (const Rect& r : areas)
            for (int y = r.y; y < r.y + r.height; ++y)
                std::copy_n(argb + size_t(y) * size_t(pitchPixels) + size_t(r.x), r.width,
                            shown.begin() + ptrdiff_t(y) * width + r.x);
        for (int y = 0; y < height; ++y)
            if (!std::equal(shown.begin() + ptrdiff_t(y) * width, shown.begin() + ptrdiff_t(y + 1) * width,
                            argb + size_t(y) * size_t(pitchPixels)))
            {
                ++staleFrames;
                break;
            }
        return Present(argb, pitchPixels, width, height, Rect{});
    }
    std::vector<std::vector<Rect>> presentedAreas;
    std::vector<uint32_t> shown;
    int staleFrames = 0;
};

// The whole screen, with a square that moves on some updates and stands on others.
class SpriteWidget : public Widget
{
public:
    void Update() override
    {
        ++updates;
        if (updates % 2 == 0)
        {
            InvalidateArea(square);
            square.x = (square.x + 3) % 700;
            InvalidateArea(square);
        }
        else
            InvalidateArea(Rect{}); // the animation goes on; this frame looks the same
    }
    void Draw(Graphics* g) override
    {
        g->SetColor(Color(20, 40, 60));
        g->FillRect(0, 0, width, height);
        g->SetColor(Color(250, 200, 0));
        g->FillRect(square);
    }
    int updates = 0;
    Rect square{100, 100, 20, 20};
};

// A see-through badge the square passes under.
class BadgeWidget : public Widget
{
public:
    void Draw(Graphics* g) override
    {
        g->SetColor(Color(255, 255, 255, 90));
        g->FillRect(0, 0, width, height);
    }
};

class AreaApp : public QuilloAppBase
{
public:
    AreaApp()
    {
        auto fake = std::make_unique<AreaPlatform>();
        platformFake = fake.get();
        SetPlatform(std::move(fake));
        width = 800;
        height = 600;
        singleInstance = false;
        automaticLoading = false;
        loadingThreadDone = true;
    }
    std::unique_ptr<SoundManager> CreateSoundManager() override { return nullptr; }
    std::unique_ptr<MusicInterface> CreateMusicPlayer() override { return nullptr; }
    bool KeepWorkingDirectory(const std::string&) override { return true; }
    void RunUntil(double ms)
    {
        while (platformFake->now < ms && !shutdownStarted)
        {
            HandleQueuedEvents();
            StepFrame(true);
        }
    }
    using QuilloAppBase::frameRate;
    using QuilloAppBase::lastMeasureMs;
    AreaPlatform* platformFake = nullptr;
};

struct AreaFixture : ::testing::Test
{
    void SetUp() override
    {
        app = std::make_unique<AreaApp>();
        app->Init();
        // A 100 Hz display: every update step is a frame of its own.
        app->refreshRate = 100;
        sprite.Resize(0, 0, 800, 600);
        app->widgetManager->AddWidget(&sprite);
        badge.Resize(110, 95, 30, 12);
        app->widgetManager->AddWidget(&badge);
        app->platformFake->now = 1000.0;
        app->lastMeasureMs = 1000.0;
        app->RunUntil(1050.0);
        app->platformFake->presentedAreas.clear();
        app->platformFake->presents = 0;
    }
    void TearDown() override
    {
        app->widgetManager->RemoveWidget(&badge);
        app->widgetManager->RemoveWidget(&sprite);
    }

    std::unique_ptr<AreaApp> app;
    SpriteWidget sprite;
    BadgeWidget badge;
};

} // namespace

TEST_F(AreaFixture, EachFramePresentsWhatItsDrawPassDrewAndAStillFrameStillPresents)
{
    app->RunUntil(1500.0);
    const auto& presented = app->platformFake->presentedAreas;
    ASSERT_GE(presented.size(), 40u);
    EXPECT_EQ(int(presented.size()), app->platformFake->presents) << "every present names its areas";
    int still = 0, moved = 0;
    for (const auto& areas : presented)
    {
        if (areas.empty())
        {
            ++still;
            continue;
        }
        ++moved;
        Rect all;
        for (const Rect& r : areas)
            all = all.Union(r);
        // The square's old and new place, joined.
        EXPECT_EQ(all.height, 20);
        EXPECT_LE(all.width, 23 * 2);
    }
    EXPECT_GT(still, 10) << "a frame that looks the same presents no area, but presents";
    EXPECT_GT(moved, 10);
    EXPECT_EQ(app->platformFake->staleFrames, 0) << "the areas bring the whole frame to the window";
}

TEST_F(AreaFixture, TheRateBoxPresentsTheWholeScreen)
{
    app->frameRate.Toggle(app->platformFake->now);
    ASSERT_TRUE(app->frameRate.IsOn());
    app->RunUntil(1200.0);
    EXPECT_GT(app->platformFake->presents, 5);
    for (const auto& areas : app->platformFake->presentedAreas)
    {
        ASSERT_EQ(areas.size(), 1u);
        EXPECT_EQ(areas[0], (Rect{0, 0, 800, 600}));
    }
}
