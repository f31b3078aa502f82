// The board run through its timed phases, step by step as the game runs
// it: periodic speed-ups and the boost near the start, the danger music,
// the heartbeat with its warning sweep, and the flight of the texts.
#include "BoardTestSupport.h"

#include "framework/graphics/Font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace Spindrel;
using BoardTest::Board;

namespace
{

// Every glyph 12 pixels wide; 20 pixels above the baseline, 6 below.
class FixedFont : public Quillo::Font
{
public:
    FixedFont()
    {
        ascent = 20;
        height = 26;
    }
    int TextWidth(const std::string& text) override { return 12 * static_cast<int>(text.size()); }
    std::unique_ptr<Quillo::Font> Clone() const override { return std::make_unique<FixedFont>(*this); }
};

// A board on a level of the given speed-up rhythm (tenths of a second) with
// a target it cannot reach.
void SetRhythm(Board& board, int interval, int duration, int speed)
{
    LevelData levels = board.logic.Levels();
    for (auto& r : levels.records)
    {
        r.pointsToReach = 1000000;
        r.speedUpInterval = interval;
        r.speedUpDuration = duration;
        r.speedUpSpeed = speed;
    }
    board.logic.SetLevelData(levels);
}

} // namespace

TEST(Phases, SpeedUpsComeAtTheirIntervalLastTheirDurationAndDriveTheChain)
{
    // Every 5 s for 2 s at speed 200, on a track long enough for the run.
    Board board(6000);
    SetRhythm(board, 50, 20, 200);
    board.S().level = 1;
    board.logic.StartLevel();
    std::vector<int> starts;
    std::vector<int> ends;
    float fastest = 0.0f;
    float slowest = 1e9f;
    for (int step = 1; step <= 1300; ++step)
    {
        const bool was = board.S().speedUpActive;
        board.logic.Tick();
        if (!was && board.S().speedUpActive)
        {
            starts.push_back(step);
            EXPECT_TRUE(board.S().bigBarBlink) << "the big bar blinks at a speed-up";
        }
        if (was && !board.S().speedUpActive)
        {
            ends.push_back(step);
            EXPECT_FALSE(board.S().bigBarBlink || board.S().bigBarOn);
        }
        if (step > 100 && !board.S().rushing && !board.S().intro)
        {
            if (board.S().speedUpActive && step - starts.back() > 5)
                fastest = std::max(fastest, board.S().speed);
            else if (!board.S().speedUpActive && !board.S().boostActive && !ends.empty() &&
                     step - ends.back() > 300)
                slowest = std::min(slowest, board.S().speed);
        }
    }
    ASSERT_EQ(starts.size(), 2u);
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_NEAR(starts[0], 500, 2);
    EXPECT_NEAR(ends[0] - starts[0], 200, 2);
    EXPECT_NEAR(starts[1] - ends[0], 500, 2);
    EXPECT_GT(fastest, 150.0f) << "the chain runs at the speed-up's speed";
    EXPECT_LT(slowest, 50.0f) << "and at the level's speed between";
}

TEST(Phases, TheBoostNearTheStartLastsOneAndAHalfSeconds)
{
    Board board(6000);
    SetRhythm(board, 100000, 20, 200);
    board.StartAndSkipIntro();
    board.Still({0, 0, 1, 1}, 200);
    board.AllPaired();
    board.S().baseSpeed = 20;
    int boosted = 0;
    int firstBoost = -1;
    for (int step = 0; step < 400; ++step)
    {
        board.logic.Tick();
        if (board.S().boostActive && firstBoost < 0)
            firstBoost = step;
        const int since = step - firstBoost;
        if (firstBoost < 0 || since >= 150)
            continue;
        boosted += board.S().boostActive ? 1 : 0;
        EXPECT_TRUE(board.S().boostActive || since >= 149) << "the boost ended early at " << step;
        // The step that raised the flag has run the chain at the old speed.
        if (since > 0 && board.S().boostActive)
            EXPECT_FLOAT_EQ(board.S().speed, BoardLogic::kBoostSpeed) << step;
    }
    EXPECT_EQ(firstBoost, 0) << "a slow chain near the start is boosted at once";
    EXPECT_NEAR(boosted, 150, 2);
    // 1.5 s at 170 pixels a second, then the slow-down.
    EXPECT_GT(board.logic.Balls().front()->distance, 200 + 170 * 1.4f);
}

TEST(Phases, DangerMusicHeartbeatAndTheWarningSweep)
{
    Board board;
    SetRhythm(board, 100000, 20, 200);
    board.StartAndSkipIntro();
    const int danger = board.S().dangerTheme;
    const int normal = board.S().normalTheme;
    board.host.music.clear();
    board.host.sounds.clear();

    // The whole chain beyond three quarters of the 1200-pixel track.
    board.Still({0, 0, 1, 1}, 1100);
    board.AllPaired();
    int sweeps = 0;
    int sparksBeyondTheLead = 0;
    float lowestSpark = 1e9f;
    for (int step = 0; step < 200; ++step)
    {
        const bool was = board.S().warningSweep;
        board.logic.Tick();
        sweeps += !was && board.S().warningSweep ? 1 : 0;
        for (const Effect& e : board.logic.Effects())
            if (e.kind == EffectKind::Spark)
            {
                ++sparksBeyondTheLead;
                lowestSpark = std::min(lowestSpark, e.x);
            }
        board.logic.Effects().clear();
    }
    EXPECT_EQ(board.host.CountMusic("fadein", 0, danger), 1) << "the danger theme starts once";
    EXPECT_EQ(board.host.CountMusic("fadeout", 1, 0), 1);
    const int beats = board.host.CountSound(BoardSound::Heartbeat);
    // A beat every 0.35 s, the sweep of each running first: 0.16 s from the
    // lead at 1100 to the end at 1200, 20 pixels every 0.02 s.
    EXPECT_NEAR(beats, 4, 1);
    EXPECT_EQ(sweeps, beats) << "each beat sends a sweep";
    EXPECT_GT(sparksBeyondTheLead, 0);
    // The sparks run ahead of the lead (track x = 100 + distance).
    EXPECT_GE(lowestSpark, 100 + 1100 - 40);

    // The chain back at the start: the level's theme returns and the heart
    // falls silent.
    board.Still({0, 0}, 300);
    board.AllPaired();
    board.host.sounds.clear();
    board.Run(200);
    EXPECT_EQ(board.host.CountMusic("fadein", 1, normal), 1);
    EXPECT_EQ(board.host.CountMusic("fadeout", 0, 0), 1);
    EXPECT_EQ(board.host.CountSound(BoardSound::Heartbeat), 0);
}

TEST(Phases, FlyingTextsRiseFadeAndStayWhollyOnTheBoardSlidingOnesComeInFromTheLeft)
{
    Board board;
    FixedFont font;
    BoardArt art = board.logic.Art();
    art.flyTextFont = &font;
    board.logic.SetArt(art);
    board.StartAndSkipIntro();
    board.Still({0, 0}, 300);
    board.AllPaired();

    // At the right edge and the top, where a pair near the gate puts it.
    const std::string text = "Revealed combo x9";
    const float textWidth = 12.0f * static_cast<float>(text.size());
    board.logic.SpawnFlyText(790, 5, 0, text);
    ASSERT_EQ(board.logic.Effects().size(), 1u);
    const float startY = board.logic.Effects()[0].y;
    int steps = 0;
    int fullAlphaSteps = 0;
    int lastAlpha = 255;
    while (!board.logic.Effects().empty() && steps < 1000)
    {
        const Effect& e = board.logic.Effects()[0];
        EXPECT_GE(e.x, 0.0f);
        EXPECT_LE(e.x + textWidth, 800.0f);
        EXPECT_GE(e.y - 20.0f, 0.0f) << "its top at step " << steps;
        EXPECT_LE(e.y + 6.0f, 600.0f);
        EXPECT_LE(e.color.alpha, lastAlpha) << "it only fades";
        lastAlpha = e.color.alpha;
        fullAlphaSteps += e.color.alpha == 255 ? 1 : 0;
        board.logic.Tick();
        ++steps;
    }
    // 0.7 s at full strength, then about 1.3 s of fading.
    EXPECT_NEAR(fullAlphaSteps, 71, 2);
    EXPECT_NEAR(steps - fullAlphaSteps, 130, 6);
    EXPECT_GT(startY, 20.0f + 70.0f);

    // In the middle of the board a text flies from where it was made.
    board.logic.SpawnFlyText(300, 300, 0, "+20");
    EXPECT_EQ(std::pair(board.logic.Effects()[0].x, board.logic.Effects()[0].y), std::pair(300.0f, 300.0f));
    board.Run(100);
    EXPECT_NEAR(board.logic.Effects()[0].y, 300.0f - 35.0f, 0.5f);

    // A sliding text comes in from the left, settles and stays its second.
    board.logic.Effects().clear();
    board.logic.SpawnSlideText(100, 500, "Stage 2", Quillo::Color::White, nullptr, 1.0f);
    const Effect& e = board.logic.Effects()[0];
    EXPECT_FLOAT_EQ(e.x + e.offsetX, -400.0f);
    float lastDrawnX = -400.0f;
    for (int step = 0; step < 100; ++step)
    {
        board.logic.Tick();
        const float drawnX = board.logic.Effects()[0].x + board.logic.Effects()[0].offsetX;
        EXPECT_GE(drawnX, lastDrawnX);
        EXPECT_LE(drawnX, 100.0f);
        lastDrawnX = drawnX;
    }
    EXPECT_NEAR(lastDrawnX, 100.0f, 0.5f);
    EXPECT_EQ(board.logic.Effects()[0].color.alpha, 255) << "still shown within its second";
    board.Run(300);
    EXPECT_TRUE(board.logic.Effects().empty()) << "faded out after its time";
}
