#include "TestApp.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace Quillo;

namespace
{

// A widget that changes every update, so that every draw pass has work.
class BusyWidget : public Widget
{
public:
    void Update() override { Invalidate(); }
    void UpdatePartial(double fraction) override
    {
        partialTime += fraction;
        Invalidate();
        smallestPartial = std::min(smallestPartial, fraction);
        largestPartial = std::max(largestPartial, fraction);
    }
    // Game time handed out by the fractional updates, in update steps.
    double partialTime = 0.0;
    double smallestPartial = 1e9;
    double largestPartial = 0.0;
};

// A started application with a widget that has work every update, its fake
// clock at 1000 ms.
struct Loop
{
    Loop()
    {
        app.Init();
        busy.Resize(0, 0, 100, 100);
        app.widgetManager->AddWidget(&busy);
        app.lastMeasureMs = fake.now = 1000.0;
    }
    ~Loop() { app.widgetManager->RemoveWidget(&busy); }

    // Full screen, paced by the display's refresh when that works.
    void FullScreenPaced(int reportedHz, double vsyncHz, double presentCostMs)
    {
        fake.refreshRate = reportedHz;
        fake.vsyncHz = vsyncHz;
        fake.presentCostMs = presentCostMs;
        app.refreshPaced = true;
        app.SetWindowed(false);
    }
    int UpdatesIn(double ms)
    {
        const int before = app.updateCount;
        app.RunUntil(fake.now + ms);
        return app.updateCount - before;
    }

    TestApp app;
    FakePlatform& fake = *app.platformFake;
    BusyWidget busy;
};

struct FrameLoop : ::testing::Test, Loop
{
};

} // namespace

TEST_F(FrameLoop, FixedStepsRunAHundredUpdatesPerSecondWhateverTheDrawCost)
{
    for (double cost : {0.0, 3.0, 12.0, 35.0})
    {
        fake.presentCostMs = cost;
        EXPECT_NEAR(UpdatesIn(10000.0), 1000, 3) << "present cost " << cost << " ms";
    }
}

TEST_F(FrameLoop, PresentsThatDoNotWaitDrawAtMostOncePerRefreshOfTheDisplay)
{
    ASSERT_TRUE(app.physicallyWindowed);
    fake.presentCostMs = 1.0;
    for (bool window : {true, false})
    {
        // Full screen on the window surface: presents return at once.
        if (!window)
        {
            fake.presentsWait = false;
            app.SetWindowed(false);
        }
        for (int hz : {50, 60, 144})
        {
            SCOPED_TRACE(std::string(window ? "window, " : "full screen, ") + std::to_string(hz) + " Hz");
            app.refreshRate = hz;
            const int presents = fake.presents, sleeps = fake.sleeps;
            EXPECT_NEAR(UpdatesIn(5000.0), 500, 3);
            const int expected = 5 * std::min(hz, 100);
            EXPECT_LE(fake.presents - presents, expected + 1);
            EXPECT_GE(fake.presents - presents, expected * 9 / 10);
            // A picture is drawn in the wake-up of the update it shows.
            EXPECT_LE(fake.sleeps - sleeps, 500 + 3);
        }
    }
}

TEST_F(FrameLoop, AStallCatchesUpAtMostOneSecondAndNeverMoreThanNineUpdatesBetweenDraws)
{
    app.RunUntil(fake.now + 2000.0);
    const int before = app.updateCount;
    fake.now += 3000.0; // the loop was blocked for 3 s
    app.updatesBetweenDraws.clear();
    app.RunUntil(fake.now + 1.0);
    // Run passes until the backlog is gone, without letting fake time pass
    // except for the presents.
    fake.presentCostMs = 0.0;
    for (int i = 0; i < 400 && app.timeAccumulator >= app.updateStepMs; ++i)
        app.StepFrame(true);
    const int caughtUp = app.updateCount - before;
    EXPECT_GE(caughtUp, 99);
    EXPECT_LE(caughtUp, 101) << "only 1000 ms of a 3000 ms stall may be caught up";
    ASSERT_FALSE(app.updatesBetweenDraws.empty());
    EXPECT_EQ(*std::max_element(app.updatesBetweenDraws.begin(), app.updatesBetweenDraws.end()), 9);
}

TEST_F(FrameLoop, SleepsWhenNothingIsDueAndReportsItWithoutSleeping)
{
    app.RunUntil(fake.now + 100.0);
    // Right after an update and its draw, the rest of the step is idle.
    app.timeAccumulator = 0.0;
    app.lastMeasureMs = fake.now;
    while (app.StepFrame(false))
        ASSERT_LT(fake.now, 10000.0) << "StepFrame(false) never reported idle time";
    const int sleepsBefore = fake.sleeps;
    const double before = fake.now;
    EXPECT_TRUE(app.StepFrame(true));
    EXPECT_EQ(fake.sleeps, sleepsBefore + 1);
    EXPECT_GE(fake.now - before, 1.0);
    EXPECT_LE(fake.now - before, 10.0);
    EXPECT_GT(app.sleepCount, 0);
}

TEST_F(FrameLoop, AMinimisedWindowIsNeitherUpdatedNorDrawnAndWakesOnlyAFewTimesASecond)
{
    app.RunUntil(fake.now + 100.0);
    app.Send(EventType::Minimized);
    const int updates = app.updateCount, presents = fake.presents, sleeps = fake.sleeps;
    app.RunUntil(fake.now + 10000.0);
    EXPECT_EQ(app.updateCount, updates);
    EXPECT_EQ(fake.presents, presents);
    EXPECT_LE(fake.sleeps - sleeps, 10 * 5) << "at most a few wake-ups a second";
    app.Send(EventType::Restored);
    EXPECT_NEAR(UpdatesIn(1000.0), 100, 3) << "the time spent minimised is not caught up";
}

TEST_F(FrameLoop, AWindowedGameRestsWhileItsScreenSaverIsDueAndComesBackWithThePlayer)
{
    fake.saver = {.enabled = true, .timeoutSeconds = 60, .running = false, .idleMs = 0.0};
    EXPECT_NEAR(UpdatesIn(2000.0), 200, 3);
    fake.saver.idleMs = 58500.0; // past the limit, two seconds before the saver starts
    app.RunUntil(fake.now + 1500.0);
    const int presents = fake.presents;
    EXPECT_EQ(UpdatesIn(5000.0), 0);
    EXPECT_EQ(fake.presents, presents);
    fake.saver.idleMs = 0.0;
    fake.saver.running = true;
    EXPECT_EQ(UpdatesIn(3000.0), 0) << "not while the saver runs";
    fake.saver.running = false;
    EXPECT_GT(UpdatesIn(3000.0), 150);
    EXPECT_GT(fake.presents, presents);

    app.SetWindowed(false);
    fake.saver.idleMs = 600000.0;
    EXPECT_NEAR(UpdatesIn(3000.0), 300, 5) << "full screen never rests";
}

TEST(RefreshPacing, GameSpeedStaysAtAHundredUpdatesPerSecondFromFiftyTo240Hertz)
{
    for (int hz : {50, 60, 75, 100, 120, 144, 165, 240})
    {
        SCOPED_TRACE(std::to_string(hz) + " Hz");
        // Full screen with vsync: presents block until the next refresh.
        Loop loop;
        loop.FullScreenPaced(hz, hz, 0.5);
        EXPECT_EQ(loop.app.refreshRate, hz);
        loop.app.RunUntil(loop.fake.now + 1000.0);
        const int presentsBefore = loop.fake.presents;
        const double partialBefore = loop.busy.partialTime;
        loop.busy.smallestPartial = 1e9;
        loop.busy.largestPartial = 0.0;
        EXPECT_NEAR(loop.UpdatesIn(10000.0), 1000, 10) << "updates in 10 s";
        EXPECT_TRUE(loop.app.IsRefreshPacedActive());
        EXPECT_NEAR(loop.busy.partialTime - partialBefore, 1000.0, 10.0) << "game time";
        EXPECT_NEAR(loop.fake.presents - presentsBefore, 10 * hz, hz / 10) << "one present per refresh";
        // Paced drawing: every refresh moves the game on by the same time.
        EXPECT_NEAR(loop.busy.smallestPartial, 100.0 / hz, 1e-9);
        EXPECT_NEAR(loop.busy.largestPartial, 100.0 / hz, 1e-9);
    }
}

TEST(RefreshPacing, PacingThatDoesNotHoldFallsBackToFixedSteps)
{
    struct Case
    {
        const char* what;
        int reportedHz;
        double vsyncHz;
        bool presentsWait;
        double settleMs, measureMs;
        int updates;
    } cases[] = {
        {"a display faster than it reports", 60, 120.0, true, 5000.0, 5000.0, 500},
        {"presents that return at once", 60, 0.0, true, 10000.0, 5000.0, 500},
        // The window-surface path: no burst while the loop finds out.
        {"a presenter without vsync", 60, 0.0, false, 0.0, 1000.0, 100},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        Loop loop;
        loop.fake.presentsWait = c.presentsWait;
        loop.FullScreenPaced(c.reportedHz, c.vsyncHz, c.vsyncHz > 0.0 ? 0.5 : 0.0);
        loop.app.lastMeasureMs = loop.fake.now;
        loop.app.RunUntil(loop.fake.now + c.settleMs);
        EXPECT_FALSE(c.settleMs > 0.0 && loop.app.IsRefreshPacedActive());
        EXPECT_NEAR(loop.UpdatesIn(c.measureMs), c.updates, c.updates / 100 + 3);
    }
}

TEST_F(FrameLoop, ALostDisplayLetsTheLoopSleepAndIsRemadeOnceASecondWhileInactive)
{
    app.RunUntil(fake.now + 100.0);
    fake.presentOk = false;   // the window lost its picture
    fake.presenterResult = 2; // and the display cannot be made again yet
    fake.presentCostMs = 0.0;
    app.active = false;
    const int initsBefore = fake.presenterInits;
    const double sleptBefore = fake.sleptMs;
    EXPECT_NEAR(UpdatesIn(5000.0), 500, 5) << "the game keeps its speed";
    EXPECT_GE(fake.presenterInits - initsBefore, 4);
    EXPECT_LE(fake.presenterInits - initsBefore, 6) << "one attempt per second while inactive";
    EXPECT_GT(fake.sleptMs - sleptBefore, 4000.0) << "the loop sleeps between updates";

    // Active again, the next draw remakes the display and shows frames.
    app.active = true;
    fake.presentOk = true;
    fake.presenterResult = 0;
    const int presentsBefore = fake.presents;
    app.RunUntil(fake.now + 100.0);
    EXPECT_GT(fake.presents - presentsBefore, 3);
}
