#include "BoardTestSupport.h"

#include "game/board/HighScoreTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace Spindrel;
using BoardTest::Board;

namespace
{

// Level `level` in play with no balls and the target reached, the lead at
// `lead` pixels: the count runs until the board opens a dialog.
void CountToTheEnd(Board& board, int level, int lead)
{
    board.StartAndSkipIntro(level);
    board.Still({});
    board.S().targetReached = true;
    board.S().score = board.S().targetScore;
    board.S().leadDistance = lead;
    for (int i = 0; i < 2000 && board.host.dialogs.empty(); ++i)
        board.logic.Tick();
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
    // 20 pictures in the table are more than exist.
    EXPECT_EQ(std::tuple(s.stage, s.stageLevel, s.targetScore, s.levelStartScore, s.numPictures),
              std::tuple(13, 6, 1300, 500, 13));
    EXPECT_EQ(std::tuple(s.baseSpeed, s.speedUpInterval, s.speedUpDuration, s.speed), std::tuple(35, 15, 2, 1500));
    EXPECT_EQ(std::tuple(s.normalTheme, s.dangerTheme, s.intro, s.rushing), std::tuple(2, 7, true, true));
    EXPECT_EQ(board.host.progressWrites, 0); // 66 starts no stage
    // The menu music on channel 0 is faded, the level theme faded in.
    EXPECT_GT(board.host.CountMusic("fadeout", 0), 0);
    EXPECT_GT(board.host.CountMusic("fadein", 1, 2), 0);
    const auto& effects = board.logic.Effects();
    ASSERT_EQ(effects.size(), 2u);
    EXPECT_EQ(effects[0].text, "T35:%d 13-6");
    EXPECT_EQ(effects[1].text, "T37:3");
    EXPECT_FLOAT_EQ(effects[0].x + effects[0].offsetX, -400);

    // A stage start is the player's new checkpoint; the statistics of a
    // level start from zero.
    board.S().comboCount = 4;
    board.S().revealedComboCount = 2;
    board.S().maxCombo = 7;
    board.S().maxRevealedCombo = 5;
    board.S().level = 67;
    board.logic.StartLevel();
    EXPECT_EQ(board.host.highestStageStart, 67);
    EXPECT_EQ(s.checkpointLevel, 67);
    EXPECT_EQ(std::tuple(s.comboCount, s.revealedComboCount, s.maxCombo, s.maxRevealedCombo), std::tuple(0, 0, 1, 1));
    board.S().level = 101;
    board.logic.StartLevel();
    EXPECT_EQ(s.level, 1);
}

TEST(Lifecycle, TheIntroSweepsTheTrackOpensAndClosesTheGate)
{
    Board board;
    board.logic.StartLevel();
    board.Run(20);
    EXPECT_TRUE(board.S().intro && board.logic.Balls().empty());
    EXPECT_GT(board.S().sweepDistance, 0);
    EXPECT_FALSE(board.Texts(EffectKind::Spark).empty());
    for (int i = 0; i < 1000 && board.S().intro; ++i)
        board.logic.Tick();
    EXPECT_TRUE(!board.S().intro && board.S().gateAnimating);
    EXPECT_EQ(board.host.CountSound(BoardSound::BallsRolling), 1);
    int maxCel = 0;
    for (int i = 0; i < 1000 && board.S().gateAnimating; ++i)
    {
        board.logic.Tick();
        maxCel = std::max(maxCel, board.logic.GateFrame());
    }
    EXPECT_EQ(std::pair(maxCel, board.S().gateCel), std::pair(20, 0));
}

TEST(Lifecycle, ReachingTheTargetBeyondHalfTheTrackRollsBack)
{
    for (const auto [lead, rollsBack] : {std::pair{700.0f, true}, {500.0f, false}})
    {
        SCOPED_TRACE(lead);
        Board board;
        board.Chain({0, 1}, lead);
        board.S().baseSpeed = board.S().speed = 20;
        board.S().leadProgress = lead / 12;
        board.S().score = board.S().targetScore;
        board.logic.Tick();
        EXPECT_EQ(std::tuple(board.S().targetReached, board.S().rollingBack, board.S().smallBarBlink),
                  std::tuple(true, rollsBack, true));
        EXPECT_EQ(board.host.CountSound(BoardSound::ScoreReached), 1);
    }
}

TEST(Lifecycle, TheCountPaysTwoHundredFiftyOverTheLastSixHundredPixels)
{
    Board board;
    CountToTheEnd(board, 1, 600);
    EXPECT_EQ(board.S().score - board.S().targetScore, 250);
    EXPECT_EQ(board.host.CountSound(BoardSound::CompleteChip), 5);
    EXPECT_EQ(board.host.dialogs, std::vector{BoardDialog::Stat});
    EXPECT_EQ(board.S().pauseDepth, 1);
    EXPECT_GT(board.host.CountMusic("play", 1, 16), 0);
    // The stat dialog leads to the next level.
    board.logic.StartNextLevel();
    EXPECT_EQ(std::tuple(board.S().pauseDepth, board.S().level, board.S().intro), std::tuple(0, 2, true));

    // After the last level, the game is complete and its score entered.
    Board last;
    CountToTheEnd(last, 100, 1100);
    EXPECT_EQ(last.host.dialogs, std::vector{BoardDialog::GameComplete});
    EXPECT_EQ(last.host.enteredScores, std::vector{last.S().score});
}

TEST(Lifecycle, LosingTheLastLifeShowsGameOverOnlyAfterTheEffects)
{
    Board board;
    board.StartAndSkipIntro();
    board.S().lives = 1;
    board.S().baseSpeed = 400;
    board.S().speedUpInterval = 1000;
    for (int i = 0; i < 20000 && !board.S().gameOver; ++i)
        board.logic.Tick();
    ASSERT_TRUE(board.S().gameOver);
    EXPECT_EQ(board.S().lives, 0);
    EXPECT_GT(board.host.CountMusic("play", 1, 17), 0);
    EXPECT_EQ(std::ranges::count(board.Texts(EffectKind::SlideText), "T59:%d"), 1);
    int steps = 0;
    for (; steps < 2000 && board.host.dialogs.empty(); ++steps)
        board.logic.Tick();
    EXPECT_EQ(board.host.dialogs, std::vector{BoardDialog::GameOver});
    EXPECT_TRUE(board.logic.Effects().empty());
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
    EXPECT_EQ(std::tuple(board.S().level, board.S().checkpointLevel, board.logic.IsActive()), std::tuple(11, 11, true));
    board.S().level = 13;
    board.S().lives = 0;
    board.S().score = 4000;
    board.logic.NewGame();
    EXPECT_EQ(std::tuple(board.S().level, board.S().lives, board.S().score, board.S().extraLifeCounter),
              std::tuple(11, 3, 0, 0));
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
    EXPECT_TRUE(won.S().targetReached && won.logic.Balls().empty());
    EXPECT_EQ(std::ranges::count(won.host.dialogs, BoardDialog::Stat), 1);
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
