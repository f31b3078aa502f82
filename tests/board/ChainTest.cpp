#include "BoardTestSupport.h"

#include <gtest/gtest.h>

using namespace Spindrel;
using BoardTest::Board;

namespace
{

// A board in play with an empty chain and the rush over.
void Playing(Board& board)
{
    board.StartAndSkipIntro();
    board.logic.ClearBalls();
    board.S().rushing = false;
    board.S().gateAnimating = false;
    board.S().speed = board.S().baseSpeed;
}

} // namespace

TEST(ChainMotion, PushMakesExactlySixtyPixels)
{
    Board board;
    Playing(board);
    Ball& front = board.logic.AddBall(0, 300);
    Ball& back = board.logic.AddBall(1, 241);
    board.S().speed = 0.0001f; // forward, but too slow to drive
    board.S().score = board.S().targetScore; // no spawning
    board.logic.StepChain(0.01f);
    EXPECT_FLOAT_EQ(front.distance - back.distance, 60.0f);
    EXPECT_FLOAT_EQ(front.x, 100 + front.distance);

    // Backwards the front ball drives and pushes the rear one back.
    board.S().speed = -100;
    board.logic.StepChain(0.01f);
    EXPECT_FLOAT_EQ(front.distance, 300);
    EXPECT_FLOAT_EQ(back.distance, 240);
}

TEST(ChainMotion, BackwardsWithoutAnAliveFrontBallNothingMoves)
{
    Board board;
    Playing(board);
    Ball& front = board.logic.AddBall(0, 300);
    Ball& back = board.logic.AddBall(1, 200);
    front.alive = false;
    board.S().speed = -200;
    board.S().score = board.S().targetScore;
    board.logic.StepChain(0.01f);
    EXPECT_FLOAT_EQ(back.distance, 200);
}

TEST(ChainMotion, MoveBallAcrossSegmentsIntoTheLeadInAndOffIt)
{
    Board board;
    Playing(board);
    Ball& ball = board.logic.AddBall(0, 0);
    board.logic.MoveBall(ball, -50);
    EXPECT_EQ(ball.segment, 0);
    EXPECT_FLOAT_EQ(ball.distance, -50);
    EXPECT_FLOAT_EQ(ball.y, 350);
    board.logic.MoveBall(ball, 1249);
    EXPECT_EQ(ball.segment, 1);
    EXPECT_FLOAT_EQ(ball.distance, 1199);
    EXPECT_TRUE(ball.alive);
    board.logic.MoveBall(ball, -8000);
    EXPECT_FALSE(ball.alive);
    EXPECT_EQ(ball.segment, 0);
}

TEST(ChainMotion, SpeedRuleSlowDownLosingRollbackPauseAndDecay)
{
    Board board;
    Playing(board);
    GameState& s = board.S();
    s.baseSpeed = 100;
    s.speed = 100;
    const std::pair<float, float> factors[] = {{96, 50}, {91, 65}, {81, 75}, {71, 85}, {70, 100}};
    for (auto [tail, expected] : factors)
    {
        s.tailProgress = tail;
        s.speed = 100;
        board.logic.SpeedRule();
        EXPECT_FLOAT_EQ(s.speed, expected) << tail;
    }
    s.tailProgress = 0;

    s.speed = 200;
    board.logic.SpeedRule();
    EXPECT_FLOAT_EQ(s.speed, 196);
    s.speed = 101;
    board.logic.SpeedRule();
    EXPECT_FLOAT_EQ(s.speed, 100);

    s.speedUpActive = true;
    board.logic.SpeedRule();
    EXPECT_FLOAT_EQ(s.speed, 200);
    s.speedUpActive = false;
    s.boostActive = true;
    board.logic.SpeedRule();
    EXPECT_FLOAT_EQ(s.speed, 170);
    s.boostActive = false;

    s.rollingBack = true;
    s.speed = -200;
    s.rollbackStep = -0.5f;
    s.leadProgress = 40;
    board.logic.SpeedRule();
    EXPECT_FLOAT_EQ(s.speed, -199.5f);
    // Near the start the roll-back ends at once.
    s.leadProgress = 4;
    board.logic.SpeedRule();
    EXPECT_FALSE(s.rollingBack);
    EXPECT_FLOAT_EQ(s.speed, 100);

    s.paused = true;
    s.pauseTime = 0.015f;
    board.logic.SpeedRule();
    EXPECT_TRUE(s.paused);
    EXPECT_FLOAT_EQ(s.speed, 1);
    board.logic.SpeedRule();
    EXPECT_FALSE(s.paused);
    EXPECT_FLOAT_EQ(s.speed, 1);

    s.losing = true;
    s.speed = 999.5f;
    board.logic.SpeedRule();
    EXPECT_FLOAT_EQ(s.speed, 1000.5f);
    board.logic.SpeedRule();
    EXPECT_FLOAT_EQ(s.speed, 1000.5f);

    s.losing = false;
    s.rushing = true;
    s.speed = 1500;
    board.logic.SpeedRule();
    EXPECT_FLOAT_EQ(s.speed, 1500);
}

TEST(ChainMotion, RushFillsFortyTwoPercentThenDecays)
{
    Board board;
    board.logic.StartLevel();
    GameState& s = board.S();
    EXPECT_TRUE(s.rushing);
    EXPECT_EQ(s.rushCount, 8); // 1200 / 60 * 0.42 = 8.4
    board.StartAndSkipIntro();
    // The step that ends the intro already spawns the first ball.
    EXPECT_EQ(board.logic.Balls().size(), 1u);
    int steps = 0;
    while (s.rushing && steps < 10000)
    {
        EXPECT_FLOAT_EQ(s.speed, 1500);
        board.logic.Tick();
        ++steps;
    }
    EXPECT_EQ(board.logic.Balls().size(), 8u);
    board.logic.Tick();
    EXPECT_FLOAT_EQ(s.speed, 1500 * 0.98f);
}

TEST(ChainMotion, ATrackTooShortForTheRushEndsItAfterOneBall)
{
    Board board(100);
    board.logic.StartLevel();
    EXPECT_EQ(board.S().rushCount, 0);
    board.StartAndSkipIntro();
    board.Run(3);
    EXPECT_EQ(board.logic.Balls().size(), 1u);
    EXPECT_FALSE(board.S().rushing);
}

TEST(ChainMotion, AfterTheTargetOnlyTheMissingPartnersComeInOrder)
{
    Board board;
    Playing(board);
    for (int type : {2, 5, 1, 1, 3, 3})
        board.logic.AddBall(type, 700 - 60 * static_cast<float>(board.logic.Balls().size()));
    board.S().score = board.S().targetScore;
    board.S().targetReached = true;
    board.S().speed = 100;
    board.S().baseSpeed = 100;
    board.Run(300);
    auto& balls = board.logic.Balls();
    ASSERT_EQ(balls.size(), 8u);
    EXPECT_EQ(balls[6]->type, 2);
    EXPECT_EQ(balls[7]->type, 5);
    EXPECT_EQ(board.logic.OddType(), -1);
}

TEST(ChainMotion, TheGateCostsOneLifeSoundForTheWholeChain)
{
    Board board;
    Playing(board);
    board.logic.AddBall(0, 1190);
    board.logic.AddBall(0, 1130);
    board.S().score = board.S().targetScore; // paired: nothing spawns
    board.S().targetReached = true;
    board.S().speed = 500;
    board.S().baseSpeed = 500;
    for (int i = 0; i < 100 && !board.S().losing; ++i)
        board.logic.Tick();
    EXPECT_EQ(board.host.CountSound(BoardSound::LoseLife), 1);
    EXPECT_TRUE(board.S().losing);
    EXPECT_TRUE(board.S().revealing);
    // All balls run in, the gate closes behind the last one, and the level
    // restarts with one life less.
    const int lives = board.S().lives;
    for (int i = 0; i < 3000 && board.S().losing; ++i)
        board.logic.Tick();
    EXPECT_FALSE(board.S().losing);
    EXPECT_EQ(board.S().lives, lives - 1);
    EXPECT_TRUE(board.S().intro);
    EXPECT_EQ(board.host.CountSound(BoardSound::LoseLife), 1);
}

TEST(ChainMotion, ProgressAndTheTailGroup)
{
    Board board;
    Playing(board);
    board.logic.AddBall(0, 1100);
    board.logic.AddBall(1, 1040);
    board.logic.AddBall(2, 900); // a gap of 140
    board.logic.AddBall(3, 840);
    board.S().speed = 0.00001f;
    board.S().score = board.S().targetScore;
    board.logic.StepChain(0.01f);
    EXPECT_FLOAT_EQ(board.S().tailProgress, 900.0f / 1200 * 100);
    EXPECT_EQ(board.S().leadDistance, 1100);
    EXPECT_FLOAT_EQ(board.S().leadProgress, 1100.0f / 1200 * 100);
    EXPECT_EQ(board.logic.GateFrame(), 16);
}
