#include "TestApp.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace Quillo;

namespace
{

struct LoopFixture : ::testing::Test
{
    void SetUp() override
    {
        app = std::make_unique<TestApp>();
        app->Init();
        busy = new BusyWidget;
        busy->Resize(0, 0, 100, 100);
        app->widgetManager->AddWidget(busy);
        fake().now = 1000.0;
        app->lastMeasureMs = fake().now;
    }
    void TearDown() override
    {
        app->widgetManager->RemoveWidget(busy);
        delete busy;
    }
    FakePlatform& fake() { return *app->platformFake; }

    std::unique_ptr<TestApp> app;
    BusyWidget* busy = nullptr;
};

} // namespace

TEST_F(LoopFixture, FixedStepsRunAHundredUpdatesPerSecondWhateverTheDrawCost)
{
    for (double cost : {0.0, 3.0, 12.0, 35.0})
    {
        fake().presentCostMs = cost;
        const int before = app->updateCount;
        const double start = fake().now;
        app->RunUntil(start + 10000.0);
        const int updates = app->updateCount - before;
        EXPECT_NEAR(updates, 1000, 3) << "present cost " << cost << " ms";
    }
}

TEST_F(LoopFixture, AStallCatchesUpAtMostOneSecond)
{
    fake().presentCostMs = 1.0;
    app->RunUntil(fake().now + 2000.0);
    const int before = app->updateCount;
    fake().now += 3000.0; // the loop was blocked for 3 s
    const double resumed = fake().now;
    app->RunUntil(resumed + 1.0);
    // Run passes until the backlog is gone, without letting fake time pass
    // except for the presents.
    fake().presentCostMs = 0.0;
    for (int i = 0; i < 400 && app->timeAccumulator >= app->updateStepMs; ++i)
        app->StepFrame(true);
    const int caughtUp = app->updateCount - before;
    EXPECT_GE(caughtUp, 99);
    EXPECT_LE(caughtUp, 101) << "only 1000 ms of a 3000 ms stall may be caught up";
}

TEST_F(LoopFixture, NeverMoreThanNineUpdatesBetweenDrawsAfterHandOver)
{
    app->RunUntil(fake().now + 500.0);
    fake().now += 5000.0;
    app->updatesBetweenDraws.clear();
    app->RunUntil(fake().now + 2000.0);
    ASSERT_FALSE(app->updatesBetweenDraws.empty());
    const int most = *std::max_element(app->updatesBetweenDraws.begin(), app->updatesBetweenDraws.end());
    EXPECT_EQ(most, 9);
}

TEST_F(LoopFixture, SleepsWhenNothingIsDueAndReportsItWithoutSleeping)
{
    app->RunUntil(fake().now + 100.0);
    // Right after an update and its draw, the rest of the step is idle.
    app->timeAccumulator = 0.0;
    app->lastMeasureMs = fake().now;
    while (app->StepFrame(false))
    {
        if (fake().now > 10000.0)
            FAIL() << "StepFrame(false) never reported idle time";
    }
    const int sleepsBefore = fake().sleeps;
    const double before = fake().now;
    EXPECT_TRUE(app->StepFrame(true));
    EXPECT_EQ(fake().sleeps, sleepsBefore + 1);
    EXPECT_GE(fake().now - before, 1.0);
    EXPECT_LE(fake().now - before, 10.0);
    EXPECT_GT(app->sleepCount, 0);
}

TEST(RefreshPacing, GameSpeedStaysAtAHundredUpdatesPerSecondFromFiftyTo240Hertz)
{
    for (int hz : {50, 60, 75, 100, 120, 144, 165, 240})
    {
        // Full screen with vsync: presents block until the next refresh.
        TestApp app;
        app.Init();
        BusyWidget busy;
        busy.Resize(0, 0, 100, 100);
        app.widgetManager->AddWidget(&busy);
        FakePlatform& fake = *app.platformFake;
        fake.refreshRate = hz;
        fake.vsyncHz = hz;
        fake.presentCostMs = 0.5;
        app.refreshPaced = true;
        app.SetWindowed(false);
        EXPECT_EQ(app.refreshRate, hz);
        app.RunUntil(fake.now + 1000.0);
        const int before = app.updateCount;
        const int presentsBefore = fake.presents;
        const double partialBefore = busy.partialTime;
        busy.smallestPartial = 1e9;
        busy.largestPartial = 0.0;
        app.RunUntil(fake.now + 10000.0);

        EXPECT_TRUE(app.IsRefreshPacedActive()) << hz << " Hz";
        EXPECT_NEAR(app.updateCount - before, 1000, 10) << hz << " Hz: updates in 10 s";
        EXPECT_NEAR(busy.partialTime - partialBefore, 1000.0, 10.0) << hz << " Hz: game time";
        EXPECT_NEAR(fake.presents - presentsBefore, 10 * hz, hz / 10) << hz << " Hz: one present per refresh";
        // Paced drawing: every refresh moves the game on by the same time.
        EXPECT_NEAR(busy.smallestPartial, 100.0 / hz, 1e-9) << hz << " Hz";
        EXPECT_NEAR(busy.largestPartial, 100.0 / hz, 1e-9) << hz << " Hz";
        app.widgetManager->RemoveWidget(&busy);
    }
}

TEST(RefreshPacing, ADisplayFasterThanItReportsFallsBackToFixedSteps)
{
    TestApp app;
    app.Init();
    FakePlatform& fake = *app.platformFake;
    fake.refreshRate = 60;
    fake.vsyncHz = 120.0;
    fake.presentCostMs = 0.5;
    app.refreshPaced = true;
    app.SetWindowed(false);
    app.RunUntil(fake.now + 5000.0);
    EXPECT_FALSE(app.IsRefreshPacedActive());
    const int before = app.updateCount;
    app.RunUntil(fake.now + 5000.0);
    EXPECT_NEAR(app.updateCount - before, 500, 5);
}

TEST_F(LoopFixture, RefreshPacingThatDoesNotWaitFallsBackToFixedSteps)
{
    app->refreshPaced = true;
    app->SetWindowed(false);
    fake().vsyncHz = 0.0; // presents return at once
    fake().presentCostMs = 0.0;
    app->RunUntil(fake().now + 10000.0);
    const int before = app->updateCount;
    app->RunUntil(fake().now + 5000.0);
    EXPECT_NEAR(app->updateCount - before, 500, 3);
}

TEST_F(LoopFixture, APresenterWithoutVsyncKeepsFixedStepsFromTheStart)
{
    app->refreshPaced = true;
    fake().presentsWait = false; // the window-surface path
    fake().vsyncHz = 0.0;
    fake().presentCostMs = 0.0;
    app->SetWindowed(false);
    app->lastMeasureMs = fake().now;
    const int before = app->updateCount;
    app->RunUntil(fake().now + 1000.0);
    EXPECT_NEAR(app->updateCount - before, 100, 3) << "no burst while the loop finds out";
}

TEST_F(LoopFixture, ALostDisplayLetsTheLoopSleepAndIsRemadeOnceASecondWhileInactive)
{
    app->RunUntil(fake().now + 100.0);
    fake().presentOk = false;  // the window lost its picture
    fake().presenterResult = 2; // and the display cannot be made again yet
    fake().presentCostMs = 0.0;
    app->active = false;
    const int initsBefore = fake().presenterInits;
    const double sleptBefore = fake().sleptMs;
    const int updatesBefore = app->updateCount;
    app->RunUntil(fake().now + 5000.0);
    EXPECT_NEAR(app->updateCount - updatesBefore, 500, 5) << "the game keeps its speed";
    EXPECT_GE(fake().presenterInits - initsBefore, 4);
    EXPECT_LE(fake().presenterInits - initsBefore, 6) << "one attempt per second while inactive";
    EXPECT_GT(fake().sleptMs - sleptBefore, 4000.0) << "the loop sleeps between updates";

    // Active again, the next draw remakes the display and shows frames.
    app->active = true;
    fake().presentOk = true;
    fake().presenterResult = 0;
    const int presentsBefore = fake().presents;
    app->RunUntil(fake().now + 100.0);
    EXPECT_GT(fake().presents - presentsBefore, 3);
}
