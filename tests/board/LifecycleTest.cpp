#include "BoardTestSupport.h"

#include "game/board/HighScoreTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace Spindrel;
using BoardTest::Board;

namespace
{

bool HasMusic(const Board& board, const std::string& what, int channel, int position = -1)
{
    return std::any_of(board.host.music.begin(), board.host.music.end(), [&](const auto& m) {
        return m.what == what && m.channel == channel && (position < 0 || m.position == position);
    });
}

} // namespace

TEST(Lifecycle, StartLevelSetsTheLevelUpAndTheIntro)
{
    Board board;
    LevelData levels = board.logic.Levels();
    levels.records[65] = {0, 35, 800, 20, 150, 20, 200};
    board.logic.SetLevelData(levels);
    board.S().score = 500;
    board.S().level = 66;
    board.logic.StartLevel();
    const GameState& s = board.S();
    EXPECT_EQ(s.stage, 13);
    EXPECT_EQ(s.stageLevel, 6);
    EXPECT_EQ(s.targetScore, 1300);
    EXPECT_EQ(s.levelStartScore, 500);
    EXPECT_EQ(s.numPictures, 13); // 20 in the table is more than exist
    EXPECT_FLOAT_EQ(s.baseSpeed, 35);
    EXPECT_FLOAT_EQ(s.speedUpInterval, 15);
    EXPECT_FLOAT_EQ(s.speedUpDuration, 2);
    EXPECT_EQ(s.normalTheme, 2);
    EXPECT_EQ(s.dangerTheme, 7);
    EXPECT_TRUE(s.intro);
    EXPECT_TRUE(s.rushing);
    EXPECT_FLOAT_EQ(s.speed, 1500);
    EXPECT_EQ(board.host.progressWrites, 0); // 66 starts no stage
    // The menu music on channel 0 is faded, the level theme faded in.
    EXPECT_TRUE(HasMusic(board, "fadeout", 0));
    EXPECT_TRUE(HasMusic(board, "fadein", 1, 2));
    ASSERT_EQ(board.logic.Effects().size(), 2u);
    EXPECT_EQ(board.logic.Effects()[0].text, "T35:%d 13-6");
    EXPECT_EQ(board.logic.Effects()[1].text, "T37:3");
    EXPECT_FLOAT_EQ(board.logic.Effects()[0].x + board.logic.Effects()[0].offsetX, -400);

    board.S().level = 67;
    board.logic.StartLevel();
    EXPECT_EQ(board.host.highestStageStart, 67);
    EXPECT_EQ(board.S().checkpointLevel, 67);
    board.S().level = 101;
    board.logic.StartLevel();
    EXPECT_EQ(board.S().level, 1);
}

TEST(Lifecycle, TheIntroSweepsTheTrackOpensAndClosesTheGate)
{
    Board board;
    board.logic.StartLevel();
    board.Run(20);
    EXPECT_TRUE(board.S().intro);
    EXPECT_TRUE(board.logic.Balls().empty());
    EXPECT_GT(board.S().sweepDistance, 0);
    int sparks = 0;
    for (const Effect& e : board.logic.Effects())
        sparks += e.kind == EffectKind::Spark ? 1 : 0;
    EXPECT_GT(sparks, 0);
    for (int i = 0; i < 1000 && board.S().intro; ++i)
        board.logic.Tick();
    EXPECT_FALSE(board.S().intro);
    EXPECT_EQ(board.host.CountSound(BoardSound::BallsRolling), 1);
    EXPECT_TRUE(board.S().gateAnimating);
    int maxCel = 0;
    for (int i = 0; i < 1000 && board.S().gateAnimating; ++i)
    {
        board.logic.Tick();
        maxCel = std::max(maxCel, board.logic.GateFrame());
    }
    EXPECT_EQ(maxCel, 20);
    EXPECT_EQ(board.S().gateCel, 0);
}

TEST(Lifecycle, EscapeDuringTheIntroOpensTheMenuAndFreezesEverything)
{
    Board board;
    board.logic.StartLevel();
    board.Run(10);
    board.logic.OpenMenu();
    EXPECT_EQ(board.S().pauseDepth, 1);
    EXPECT_TRUE(board.host.overlayShown);
    ASSERT_EQ(board.host.dialogs.size(), 1u);
    EXPECT_EQ(board.host.dialogs[0], BoardDialog::Options);
    const int sweep = board.S().sweepDistance;
    board.Run(100);
    EXPECT_EQ(board.S().sweepDistance, sweep);
    board.logic.SetPaused(false);
    EXPECT_FALSE(board.host.overlayShown);
    board.Run(10);
    EXPECT_GT(board.S().sweepDistance, sweep);
}

TEST(Lifecycle, ReachingTheTargetBeyondHalfTheTrackRollsBack)
{
    Board board;
    board.StartAndSkipIntro();
    board.logic.ClearBalls();
    board.logic.AddBall(0, 700);
    board.logic.AddBall(1, 640);
    board.S().rushing = false;
    board.S().leadProgress = 700.0f / 12;
    board.S().score = board.S().targetScore;
    board.logic.Tick();
    EXPECT_TRUE(board.S().targetReached);
    EXPECT_TRUE(board.S().rollingBack);
    EXPECT_EQ(board.host.CountSound(BoardSound::ScoreReached), 1);
    EXPECT_TRUE(board.S().smallBarBlink);

    Board early;
    early.StartAndSkipIntro();
    early.logic.ClearBalls();
    early.logic.AddBall(0, 500);
    early.S().rushing = false;
    early.S().leadProgress = 500.0f / 12;
    early.S().score = early.S().targetScore;
    early.logic.Tick();
    EXPECT_TRUE(early.S().targetReached);
    EXPECT_FALSE(early.S().rollingBack);
}

TEST(Lifecycle, TheCountPaysTwoHundredFiftyOverTheLastSixHundredPixels)
{
    Board board;
    board.StartAndSkipIntro();
    board.logic.ClearBalls();
    board.logic.Effects().clear();
    board.S().rushing = false;
    board.S().targetReached = true;
    board.S().score = board.S().targetScore;
    board.S().leadDistance = 600;
    const int before = board.S().score;
    for (int i = 0; i < 2000 && board.host.dialogs.empty(); ++i)
        board.logic.Tick();
    EXPECT_EQ(board.S().score - before, 250);
    EXPECT_EQ(board.host.CountSound(BoardSound::CompleteChip), 5);
    ASSERT_EQ(board.host.dialogs.size(), 1u);
    EXPECT_EQ(board.host.dialogs[0], BoardDialog::Stat);
    EXPECT_EQ(board.S().pauseDepth, 1);
    EXPECT_TRUE(HasMusic(board, "play", 1, 16));
    // The stat dialog leads to the next level.
    board.logic.StartNextLevel();
    EXPECT_EQ(board.S().pauseDepth, 0);
    EXPECT_EQ(board.S().level, 2);
    EXPECT_TRUE(board.S().intro);
}

TEST(Lifecycle, TheLastLevelShowsTheGameCompleteDialog)
{
    Board board;
    board.StartAndSkipIntro(100);
    board.logic.ClearBalls();
    board.S().rushing = false;
    board.S().targetReached = true;
    board.S().score = board.S().targetScore;
    board.S().leadDistance = 1100;
    for (int i = 0; i < 2000 && board.host.dialogs.empty(); ++i)
        board.logic.Tick();
    ASSERT_EQ(board.host.dialogs.size(), 1u);
    EXPECT_EQ(board.host.dialogs[0], BoardDialog::GameComplete);
    ASSERT_EQ(board.host.enteredScores.size(), 1u);
    EXPECT_EQ(board.host.enteredScores[0], board.S().score);
}

TEST(Lifecycle, LosingTheLastLifeShowsGameOverOnlyAfterTheEffects)
{
    Board board;
    board.StartAndSkipIntro();
    board.S().lives = 1;
    board.S().baseSpeed = 400;
    board.S().speedUpInterval = 1000;
    int stepsToGameOver = 0;
    for (; stepsToGameOver < 20000 && !board.S().gameOver; ++stepsToGameOver)
        board.logic.Tick();
    ASSERT_TRUE(board.S().gameOver);
    EXPECT_EQ(board.S().lives, 0);
    EXPECT_TRUE(HasMusic(board, "play", 1, 17));
    bool text = false;
    for (const Effect& e : board.logic.Effects())
        text = text || (e.kind == EffectKind::SlideText && e.text == "T59:%d");
    EXPECT_TRUE(text);
    int steps = 0;
    for (; steps < 2000 && board.host.dialogs.empty(); ++steps)
        board.logic.Tick();
    ASSERT_EQ(board.host.dialogs.size(), 1u);
    EXPECT_TRUE(board.logic.Effects().empty());
    EXPECT_EQ(board.host.dialogs[0], BoardDialog::GameOver);
    // Two seconds of text, then its fade.
    EXPECT_GT(steps, 200);
    EXPECT_EQ(board.host.enteredScores.size(), 1u);
    EXPECT_EQ(board.S().pauseDepth, 1);
    board.Run(100);
    EXPECT_EQ(board.host.dialogs.size(), 1u);
}

TEST(Lifecycle, ANewGameStartsAtTheCheckpointWithThreeLives)
{
    Board board;
    board.logic.NewGameAtStage(2);
    EXPECT_EQ(board.S().level, 11);
    EXPECT_EQ(board.S().checkpointLevel, 11);
    EXPECT_TRUE(board.logic.IsActive());
    board.S().level = 13;
    board.S().lives = 0;
    board.S().score = 4000;
    board.logic.NewGame();
    EXPECT_EQ(board.S().level, 11);
    EXPECT_EQ(board.S().lives, 3);
    EXPECT_EQ(board.S().score, 0);
    EXPECT_EQ(board.S().extraLifeCounter, 0);
}

TEST(Lifecycle, ZeroPointsOrIntervalsFromTheTableAreHarmless)
{
    // No pictures and no speed-up interval: every ball is picture 0, and the
    // speed-ups follow each other with their duration between.
    Board board;
    LevelData levels = board.logic.Levels();
    levels.records[0] = {0, 30, 1000, 0, 0, 20, 200};
    board.logic.SetLevelData(levels);
    board.StartAndSkipIntro();
    size_t mostBalls = 0;
    int speedUps = 0;
    for (int step = 0; step < 3000; ++step)
    {
        const bool was = board.S().speedUpActive;
        board.logic.Tick();
        speedUps += !was && board.S().speedUpActive ? 1 : 0;
        mostBalls = std::max(mostBalls, board.logic.Balls().size());
        for (const auto& ball : board.logic.Balls())
            ASSERT_EQ(ball->type, 0) << "step " << step;
        ASSERT_TRUE(std::isfinite(board.S().speed));
    }
    EXPECT_GT(mostBalls, 2u) << "the rush brought balls";
    EXPECT_GE(speedUps, 10);

    // No points: the level is won at once, with no ball, and goes on to its
    // statistics.
    Board won;
    levels.records[0] = {0, 30, 0, 5, 300, 20, 200};
    won.logic.SetLevelData(levels);
    won.StartAndSkipIntro();
    won.Run(3000);
    EXPECT_TRUE(won.S().targetReached);
    EXPECT_TRUE(won.logic.Balls().empty());
    EXPECT_EQ(std::count(won.host.dialogs.begin(), won.host.dialogs.end(), BoardDialog::Stat), 1);
}

TEST(Lifecycle, TheStatisticsOfALevelStartFromZero)
{
    Board board;
    board.StartAndSkipIntro();
    board.S().comboCount = 4;
    board.S().revealedComboCount = 2;
    board.S().maxCombo = 7;
    board.S().maxRevealedCombo = 5;
    board.S().level = 2;
    board.logic.StartLevel();
    EXPECT_EQ(board.S().comboCount, 0);
    EXPECT_EQ(board.S().revealedComboCount, 0);
    EXPECT_EQ(board.S().maxCombo, 1);
    EXPECT_EQ(board.S().maxRevealedCombo, 1);
}

TEST(Lifecycle, HighScoreEntryMovesTheLowerPlacesDown)
{
    HighScoreTable table;
    for (int i = 0; i < 10; ++i)
        table[static_cast<size_t>(i)] = {"P" + std::to_string(i), 30000 - 3000 * i};
    EXPECT_EQ(EnterHighScore(table, "New", 25000), 2);
    EXPECT_EQ(table[2].name, "New");
    EXPECT_EQ(table[3].name, "P2");
    EXPECT_EQ(table[9].name, "P8");
    EXPECT_EQ(EnterHighScore(table, "Low", 100), 1000);
    // An equal score goes below the one already there.
    EXPECT_EQ(EnterHighScore(table, "Tie", 30000), 1);
}
