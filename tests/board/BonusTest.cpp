#include "BoardTestSupport.h"

#include <gtest/gtest.h>

using namespace Spindrel;
using BoardTest::Board;

namespace
{

std::vector<Ball*> Chain(Board& board, std::initializer_list<int> types, float front = 1000)
{
    board.StartAndSkipIntro();
    board.logic.ClearBalls();
    board.logic.Effects().clear();
    board.S().rushing = false;
    board.S().baseSpeed = 0;
    board.S().speed = 0;
    board.S().targetScore = 1000000;
    board.S().bonusTimer = 1000;
    std::vector<Ball*> balls;
    float d = front;
    for (int type : types)
    {
        balls.push_back(&board.logic.AddBall(type, d));
        d -= 60;
    }
    return balls;
}

int AliveCount(const Board& board)
{
    int n = 0;
    for (const auto& ball : board.logic.Balls())
        n += ball->alive ? 1 : 0;
    return n;
}

std::vector<std::string> FlyTexts(const Board& board)
{
    std::vector<std::string> texts;
    for (const Effect& e : board.logic.Effects())
    {
        if (e.kind == EffectKind::FlyText)
            texts.push_back(e.text);
    }
    return texts;
}

} // namespace

TEST(Bonuses, NoBonusArrivesWithFourBallsOrFewer)
{
    Board board;
    Chain(board, {0, 0, 1, 1});
    board.S().score = board.S().targetScore = 0; // every picture paired: no spawning
    board.S().targetReached = true;
    board.S().bonusTimer = 0.5f;
    board.Run(5000);
    EXPECT_EQ(board.S().bonusCount, 0);
    EXPECT_EQ(board.host.CountSound(BoardSound::BonusArrived), 0);
}

TEST(Bonuses, ArrivalPicksBallAndKindAndTypeOnAPairBecomesABomb)
{
    Board board;
    auto b = Chain(board, {0, 0, 1, 1, 1, 1});
    board.S().bonusTimer = 0.005f;
    board.S().leadProgress = 80;
    // Ball index 1 (picture 0, two in the list), kind 3 (type).
    board.host.scripted = {1, 3};
    board.logic.StepBonusArrival(0.01f);
    EXPECT_EQ(b[1]->bonus, 4);
    EXPECT_FLOAT_EQ(b[1]->bonusLife, 11);
    EXPECT_TRUE(b[1]->blinking);
    EXPECT_EQ(board.S().bonusCount, 1);
    EXPECT_GE(board.S().bonusTimer, 10);
    EXPECT_LT(board.S().bonusTimer, 20);

    // Near the start a roll-back becomes an eye; after the target a bomb too.
    b[1]->bonus = -1;
    board.S().bonusCount = 0;
    board.S().bonusTimer = 0;
    board.S().leadProgress = 20;
    board.host.scripted = {2, 1};
    board.logic.StepBonusArrival(0.01f);
    EXPECT_EQ(b[2]->bonus, 0);
    b[2]->bonus = -1;
    board.S().bonusCount = 0;
    board.S().bonusTimer = 0;
    board.S().targetReached = true;
    board.host.scripted = {3, 4};
    board.logic.StepBonusArrival(0.01f);
    EXPECT_EQ(b[3]->bonus, 0);
}

TEST(Bonuses, OnlyALivingBallReceivesABonus)
{
    Board board;
    auto b = Chain(board, {0, 0, 1, 1, 2, 2, 3, 3, 4});
    // Taken off and waiting to leave the list: never stepped again, so a
    // bonus on one of them would never expire.
    for (int i = 0; i < 4; ++i)
        b[static_cast<size_t>(i)]->alive = false;
    board.S().bonusTimer = 0;
    board.host.scripted = {0, 0};
    board.logic.StepBonusArrival(0.01f);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(b[static_cast<size_t>(i)]->bonus, -1) << i;
    EXPECT_EQ(b[4]->bonus, 0) << "the first living ball";
    EXPECT_EQ(board.S().bonusCount, 1);

    // Four living balls are too few, however long the list.
    b[4]->bonus = -1;
    b[4]->alive = false;
    board.S().bonusCount = 0;
    board.S().bonusTimer = 0;
    board.logic.StepBonusArrival(0.01f);
    EXPECT_EQ(board.S().bonusCount, 0);
}

TEST(Bonuses, LifetimeBlinksFastShowsThenBlinksSlowAndExpires)
{
    Board board;
    auto b = Chain(board, {0, 1});
    board.logic.ArmBonus(*b[0], 2);
    int toggles = 0;
    bool last = b[0]->bonusVisible;
    for (int i = 0; i < 105; ++i)
    {
        board.logic.StepBallBonus(*b[0], 0.01f);
        toggles += b[0]->bonusVisible != last ? 1 : 0;
        last = b[0]->bonusVisible;
    }
    EXPECT_GE(toggles, 14);
    EXPECT_FALSE(b[0]->blinking);
    EXPECT_TRUE(b[0]->bonusVisible);
    for (int i = 0; i < 896; ++i)
        board.logic.StepBallBonus(*b[0], 0.01f);
    EXPECT_TRUE(b[0]->blinking);
    EXPECT_FLOAT_EQ(b[0]->blinkOn, 0.07f);
    for (int i = 0; i < 100 && b[0]->bonus != -1; ++i)
        board.logic.StepBallBonus(*b[0], 0.01f);
    EXPECT_EQ(b[0]->bonus, -1);
    EXPECT_EQ(board.S().bonusCount, 0);
}

TEST(Bonuses, BombThatCatchesNothingStillShowsPlusZero)
{
    Board board;
    auto b = Chain(board, {0, 0, 1});
    // The other balls are far from the blast.
    b[2]->x = 2000;
    board.logic.ArmBonus(*b[0], 4);
    board.logic.OpenBall(*b[0]);
    board.logic.OpenBall(*b[1]);
    board.Run(120);
    EXPECT_EQ(board.S().score, 0);
    EXPECT_EQ(board.host.CountSound(BoardSound::Explode), 1);
    const auto texts = FlyTexts(board);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "+0"), texts.end());
}

TEST(Bonuses, BombTakesTheBallsAroundItTwentyFiveEach)
{
    Board board;
    auto b = Chain(board, {0, 0, 1, 2, 3, 4, 4}, 1000);
    board.logic.ArmBonus(*b[0], 4);
    board.logic.OpenBall(*b[0]);
    board.logic.OpenBall(*b[1]);
    board.Run(120);
    // Balls at 880 and 820 lie within 200 of the bomb at 1000; 760, 700 and
    // 640 do not (nor the one spawned at the start).
    EXPECT_EQ(board.S().score, 50);
    EXPECT_EQ(AliveCount(board), 4);
    EXPECT_TRUE(board.S().paused || board.S().speed <= 1);
}

TEST(Bonuses, TypeBonusTurnsUpThePictureAndTakesItTenEach)
{
    Board board;
    auto b = Chain(board, {0, 0, 1, 0, 2, 0});
    board.S().score = board.S().targetScore = 0;
    board.S().targetReached = true; // only partners of pictures 1 and 2 spawn
    board.logic.ArmBonus(*b[0], 3);
    board.logic.OpenBall(*b[0]);
    board.logic.OpenBall(*b[1]);
    board.Run(55);
    EXPECT_TRUE(board.S().typeActive);
    EXPECT_EQ(board.S().score, 20);
    board.Run(200);
    EXPECT_FALSE(board.S().typeActive);
    EXPECT_EQ(board.S().score, 40);
    EXPECT_EQ(board.logic.CountOfType(0), 0);
}

TEST(Bonuses, RollbackNearTheStartEndsOnTheNextStep)
{
    Board board;
    auto b = Chain(board, {0, 1}, 40);
    board.S().baseSpeed = 30;
    board.S().leadProgress = 3;
    board.logic.TriggerBonus(1, *b[0]);
    EXPECT_TRUE(board.S().rollingBack);
    EXPECT_FLOAT_EQ(board.S().speed, -200);
    board.logic.SpeedRule();
    EXPECT_FALSE(board.S().rollingBack);
    EXPECT_FLOAT_EQ(board.S().speed, 30);
}

TEST(Bonuses, PauseHoldsTheChainAndEndsTheSpeedUp)
{
    Board board;
    auto b = Chain(board, {0, 1});
    board.S().speedUpActive = true;
    board.S().bigBarBlink = true;
    board.logic.TriggerBonus(2, *b[0]);
    EXPECT_FALSE(board.S().speedUpActive);
    EXPECT_FALSE(board.S().bigBarBlink);
    EXPECT_FLOAT_EQ(board.S().pauseTime, 7);
    board.S().baseSpeed = 50;
    board.Run(699);
    EXPECT_TRUE(board.S().paused);
    EXPECT_FLOAT_EQ(board.S().speed, 1);
    board.Run(3);
    EXPECT_FALSE(board.S().paused);
}

TEST(Bonuses, EyeShowsEveryBallForFiveSecondsThenHidesThemOneByOne)
{
    Board board;
    auto b = Chain(board, {0, 1, 2, 3, 4, 5});
    board.S().score = board.S().targetScore = 0;
    board.S().targetReached = true;
    board.logic.TriggerBonus(0, *b[0]);
    int steps = 0;
    while (board.S().revealing && steps < 1000)
    {
        board.logic.Tick();
        ++steps;
    }
    for (Ball* ball : b)
        EXPECT_TRUE(ball->revealed);
    // Seven balls (one spawned) at 0.1 s, which ten float steps of 0.01 fall
    // just short of, then one more tick that finds none.
    EXPECT_EQ(steps, 77);
    board.Run(495);
    for (Ball* ball : b)
        EXPECT_TRUE(ball->revealed);
    board.Run(10);
    EXPECT_TRUE(board.S().unrevealing);
    board.Run(100);
    for (Ball* ball : b)
        EXPECT_FALSE(ball->revealed);
}
