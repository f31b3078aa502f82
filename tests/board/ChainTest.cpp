#include "BoardTestSupport.h"

#include <gtest/gtest.h>

using namespace Spindrel;
using BoardTest::Board;

namespace
{

// A board in play with an empty chain, the rush over and nothing spawning
// unless a test lowers the score.
GameState& Playing(Board& board)
{
    board.StartAndSkipIntro();
    board.logic.ClearBalls();
    GameState& s = board.S();
    s.rushing = s.gateAnimating = false;
    s.speed = s.baseSpeed;
    s.score = s.targetScore;
    return s;
}

} // namespace

TEST(ChainMotion, PushMakesExactlySixtyPixels)
{
    Board board;
    GameState& s = Playing(board);
    Ball& front = board.logic.AddBall(0, 300);
    Ball& back = board.logic.AddBall(1, 241);
    s.speed = 0.0001f; // forward, but too slow to drive
    board.logic.StepChain(0.01f);
    EXPECT_FLOAT_EQ(front.distance - back.distance, 60.0f);
    EXPECT_FLOAT_EQ(front.x, 100 + front.distance);

    // Backwards the front ball drives and pushes the rear one back.
    s.speed = -100;
    board.logic.StepChain(0.01f);
    EXPECT_FLOAT_EQ(front.distance, 300);
    EXPECT_FLOAT_EQ(back.distance, 240);
}

TEST(ChainMotion, BackwardsWithoutAnAliveFrontBallNothingMoves)
{
    Board board;
    GameState& s = Playing(board);
    board.logic.AddBall(0, 300).alive = false;
    Ball& back = board.logic.AddBall(1, 200);
    s.speed = -200;
    board.logic.StepChain(0.01f);
    EXPECT_FLOAT_EQ(back.distance, 200);
}

TEST(ChainMotion, MoveBallAcrossSegmentsIntoTheLeadInAndOffIt)
{
    Board board;
    Playing(board);
    Ball& ball = board.logic.AddBall(0, 0);
    board.logic.MoveBall(ball, -50);
    EXPECT_EQ(std::tuple(ball.segment, ball.distance, ball.y), std::tuple(0, -50, 350));
    board.logic.MoveBall(ball, 1249);
    EXPECT_EQ(std::tuple(ball.segment, ball.distance, ball.alive), std::tuple(1, 1199, true));
    board.logic.MoveBall(ball, -8000);
    EXPECT_EQ(std::tuple(ball.segment, ball.alive), std::tuple(0, false));
}

TEST(ChainMotion, SpeedRuleSlowDownLosingRollbackPauseAndDecay)
{
    Board board;
    GameState& s = Playing(board);
    s.baseSpeed = 100;
    auto rule = [&](float speed) {
        s.speed = speed;
        board.logic.SpeedRule();
        return s.speed;
    };
    // Slower as the tail nears the gate.
    const std::pair<float, float> factors[] = {{96, 50}, {91, 65}, {81, 75}, {71, 85}, {70, 100}};
    for (auto [tail, expected] : factors)
    {
        s.tailProgress = tail;
        EXPECT_FLOAT_EQ(rule(100), expected) << tail;
    }
    s.tailProgress = 0;
    EXPECT_FLOAT_EQ(rule(200), 196);
    EXPECT_FLOAT_EQ(rule(101), 100);
    s.speedUpActive = true;
    EXPECT_FLOAT_EQ(rule(100), 200);
    s.speedUpActive = false;
    s.boostActive = true;
    EXPECT_FLOAT_EQ(rule(200), 170);
    s.boostActive = false;

    s.rollingBack = true;
    s.rollbackStep = -0.5f;
    s.leadProgress = 40;
    EXPECT_FLOAT_EQ(rule(-200), -199.5f);
    // Near the start the roll-back ends at once.
    s.leadProgress = 4;
    board.logic.SpeedRule();
    EXPECT_EQ(std::tuple(s.rollingBack, s.speed), std::tuple(false, 100));

    s.paused = true;
    s.pauseTime = 0.015f;
    board.logic.SpeedRule();
    EXPECT_EQ(std::tuple(s.paused, s.speed), std::tuple(true, 1));
    board.logic.SpeedRule();
    EXPECT_EQ(std::tuple(s.paused, s.speed), std::tuple(false, 1));

    s.losing = true;
    EXPECT_FLOAT_EQ(rule(999.5f), 1000.5f);
    board.logic.SpeedRule();
    EXPECT_FLOAT_EQ(s.speed, 1000.5f);
    s.losing = false;
    s.rushing = true;
    EXPECT_FLOAT_EQ(rule(1500), 1500);
}

TEST(ChainMotion, RushFillsFortyTwoPercentThenDecaysAndATooShortTrackHasOneBall)
{
    // 1200 / 60 * 0.42 = 8.4; on 100 pixels the rush ends after one ball.
    for (const auto [length, rushCount, balls] : {std::tuple{1200, 8, 8u}, std::tuple{100, 0, 1u}})
    {
        SCOPED_TRACE(length);
        Board board(length);
        board.logic.StartLevel();
        GameState& s = board.S();
        EXPECT_TRUE(s.rushing);
        EXPECT_EQ(s.rushCount, rushCount);
        board.StartAndSkipIntro();
        // The step that ends the intro already spawns the first ball.
        EXPECT_EQ(board.logic.Balls().size(), 1u);
        for (int steps = 0; s.rushing && steps < 10000; ++steps)
        {
            EXPECT_FLOAT_EQ(s.speed, 1500);
            board.logic.Tick();
        }
        EXPECT_EQ(board.logic.Balls().size(), balls);
        board.logic.Tick();
        EXPECT_FLOAT_EQ(s.speed, 1500 * 0.98f);
    }
}

TEST(ChainMotion, AfterTheTargetOnlyTheMissingPartnersComeInOrder)
{
    Board board;
    GameState& s = Playing(board);
    for (int type : {2, 5, 1, 1, 3, 3})
        board.logic.AddBall(type, 700 - 60 * static_cast<float>(board.logic.Balls().size()));
    s.targetReached = true;
    s.speed = s.baseSpeed = 100;
    board.Run(300);
    auto& balls = board.logic.Balls();
    ASSERT_EQ(balls.size(), 8u);
    EXPECT_EQ(std::pair(balls[6]->type, balls[7]->type), std::pair(2, 5));
    EXPECT_EQ(board.logic.OddType(), -1);
}

TEST(ChainMotion, TheGateCostsOneLifeSoundForTheWholeChain)
{
    Board board;
    GameState& s = Playing(board);
    board.logic.AddBall(0, 1190);
    board.logic.AddBall(0, 1130);
    s.targetReached = true; // paired: nothing spawns
    s.speed = s.baseSpeed = 500;
    for (int i = 0; i < 100 && !s.losing; ++i)
        board.logic.Tick();
    EXPECT_EQ(board.host.CountSound(BoardSound::LoseLife), 1);
    EXPECT_TRUE(s.losing && s.revealing);
    // All balls run in, the gate closes behind the last one, and the level
    // restarts with one life less.
    const int lives = s.lives;
    for (int i = 0; i < 3000 && s.losing; ++i)
        board.logic.Tick();
    EXPECT_EQ(std::tuple(s.losing, s.lives, s.intro), std::tuple(false, lives - 1, true));
    EXPECT_EQ(board.host.CountSound(BoardSound::LoseLife), 1);
}

TEST(ChainMotion, ProgressAndTheTailGroup)
{
    Board board;
    GameState& s = Playing(board);
    for (auto [type, distance] : {std::pair{0, 1100.0f}, {1, 1040.0f}, {2, 900.0f} /* a gap of 140 */, {3, 840.0f}})
        board.logic.AddBall(type, distance);
    s.speed = 0.00001f;
    board.logic.StepChain(0.01f);
    EXPECT_FLOAT_EQ(s.tailProgress, 900.0f / 1200 * 100);
    EXPECT_EQ(s.leadDistance, 1100);
    EXPECT_FLOAT_EQ(s.leadProgress, 1100.0f / 1200 * 100);
    EXPECT_EQ(board.logic.GateFrame(), 16);
}
