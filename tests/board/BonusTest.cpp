#include "BoardTestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace Spindrel;
using BoardTest::Board;

TEST(Bonuses, ArrivalPicksBallAndKindAndTypeOnAPairBecomesABomb)
{
    // The host's numbers pick the ball and the kind. A type bonus on a
    // picture with two balls becomes a bomb; near the start a roll-back
    // becomes an eye, and after the target a bomb too.
    struct Case
    {
        float lead;
        bool targetReached;
        int ball, kind, expected;
    };
    const Case cases[] = {{80, false, 1, 3, 4}, {20, false, 2, 1, 0}, {80, true, 3, 4, 0}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.ball);
        Board board;
        auto b = board.Chain({0, 0, 1, 1, 1, 1});
        board.S().bonusTimer = 0.005f;
        board.S().leadProgress = c.lead;
        board.S().targetReached = c.targetReached;
        board.host.scripted = {c.ball, c.kind};
        board.logic.StepBonusArrival(0.01f);
        const Ball& ball = *b[static_cast<size_t>(c.ball)];
        EXPECT_EQ(std::tuple(ball.bonus, ball.bonusLife, ball.blinking, board.S().bonusCount),
                  std::tuple(c.expected, 11, true, 1));
        EXPECT_GE(board.S().bonusTimer, 10);
        EXPECT_LT(board.S().bonusTimer, 20);
    }
}

TEST(Bonuses, OnlyALivingBallReceivesABonusAndFourOrFewerGetNone)
{
    Board board;
    auto b = board.Chain({0, 0, 1, 1, 2, 2, 3, 3, 4});
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
    EXPECT_EQ(board.host.CountSound(BoardSound::BonusArrived), 1) << "only the first arrival";
}

// Found by the saved-game fuzzer: a bonus whose ball went through the gate
// stayed counted after the ball had left the list, so no bonus came again
// and a game saved then loaded with another count.
TEST(Bonuses, ABonusThatNeverFiredLeavesWithItsBall)
{
    Board board(300);
    // From the start to the gate, rolling; the front ball carries a bonus.
    auto b = board.Chain({0, 1, 2, 3, 4}, 250);
    board.logic.ArmBonus(*b[0], 2);
    board.S().baseSpeed = 50;
    for (int i = 0; i < 1000 && !board.S().losing; ++i)
        board.Run(1);
    ASSERT_TRUE(board.S().losing);
    board.Run(3);
    const auto& balls = board.logic.Balls();
    ASSERT_TRUE(std::ranges::none_of(balls, [&](const auto& ball) { return ball.get() == b[0]; }));
    EXPECT_EQ(board.S().bonusCount, 0);
}

TEST(Bonuses, LifetimeBlinksFastShowsThenBlinksSlowAndExpires)
{
    Board board;
    Ball& ball = *board.Chain({0, 1})[0];
    board.logic.ArmBonus(ball, 2);
    int toggles = 0;
    for (int i = 0; i < 105; ++i)
    {
        const bool was = ball.bonusVisible;
        board.logic.StepBallBonus(ball, 0.01f);
        toggles += ball.bonusVisible != was ? 1 : 0;
    }
    EXPECT_GE(toggles, 14);
    EXPECT_TRUE(!ball.blinking && ball.bonusVisible);
    for (int i = 0; i < 896; ++i)
        board.logic.StepBallBonus(ball, 0.01f);
    EXPECT_EQ(std::tuple(ball.blinking, ball.blinkOn), std::tuple(true, 0.07f));
    for (int i = 0; i < 100 && ball.bonus != -1; ++i)
        board.logic.StepBallBonus(ball, 0.01f);
    EXPECT_EQ(std::tuple(ball.bonus, board.S().bonusCount), std::tuple(-1, 0));
}

TEST(Bonuses, BombTakesTheBallsAroundItTwentyFiveEachAndShowsPlusZeroForNone)
{
    auto explode = [](Board& board, const std::vector<Ball*>& b) {
        board.logic.ArmBonus(*b[0], 4);
        board.logic.OpenBall(*b[0]);
        board.logic.OpenBall(*b[1]);
        board.Run(120);
    };
    Board board;
    explode(board, board.Chain({0, 0, 1, 2, 3, 4, 4}));
    // Balls at 880 and 820 lie within 200 of the bomb at 1000; 760, 700 and
    // 640 do not (nor the one spawned at the start).
    EXPECT_EQ(board.S().score, 50);
    EXPECT_EQ(board.Alive(), 4);

    Board lonely;
    auto b = lonely.Chain({0, 0, 1});
    b[2]->x = 2000; // far from the blast
    explode(lonely, b);
    EXPECT_EQ(lonely.S().score, 0);
    EXPECT_EQ(lonely.host.CountSound(BoardSound::Explode), 1);
    EXPECT_EQ(std::ranges::count(lonely.Texts(EffectKind::FlyText), "+0"), 1);
}

TEST(Bonuses, ABombHoldsTheRollingChainForOneSecond)
{
    Board board;
    auto b = board.Chain({0, 1, 2, 3, 4, 5}, 300); // the last ball at the start
    board.S().baseSpeed = 50;
    const Ball& last = *b[5];
    auto moved = [&](int steps) {
        const float from = last.distance;
        board.Run(steps);
        return last.distance - from;
    };
    EXPECT_GT(moved(20), 5);
    board.logic.TriggerBonus(4, *b[0]);
    EXPECT_LT(moved(98), 1.5f);
    EXPECT_GT(moved(100), 30);
}

// Found by review: a bomb caught in another bomb's blast took over the
// first one's place, which showed its points there, and then went off
// with no balls.
TEST(Bonuses, ABombInABlastGoesOffInItsTurnAtItsOwnPlace)
{
    Board board;
    // 1000, 940, 880 ... 520; bombs at 1000 and 820.
    auto b = board.Chain({0, 0, 1, 2, 3, 4, 5, 6, 7});
    board.logic.ArmBonus(*b[0], 4);
    board.logic.ArmBonus(*b[3], 4);
    const float first = b[0]->x;
    const float second = b[3]->x;
    board.logic.OpenBall(*b[0]);
    board.logic.OpenBall(*b[1]);
    // Where each text showed first.
    std::map<std::string, float> texts;
    for (int i = 0; i < 200; ++i)
    {
        board.Run(1);
        for (const Effect& effect : board.logic.Effects())
            if (effect.kind == EffectKind::FlyText)
                texts.try_emplace(effect.text, effect.x);
    }
    // The first takes 880 and 820, the second 760, 700 and 640.
    EXPECT_EQ(board.S().score, 50 + 75);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_NEAR(texts["+50"], first, 30);
    EXPECT_NEAR(texts["+75"], second, 30);
}

TEST(Bonuses, TypeBonusTurnsUpThePictureAndTakesItTenEach)
{
    Board board;
    auto b = board.Chain({0, 0, 1, 0, 2, 0});
    board.AllPaired(); // only partners of pictures 1 and 2 spawn
    board.logic.ArmBonus(*b[0], 3);
    board.logic.OpenBall(*b[0]);
    board.logic.OpenBall(*b[1]);
    board.Run(55);
    EXPECT_EQ(std::tuple(board.S().typeActive, board.S().score), std::tuple(true, 20));
    board.Run(200);
    EXPECT_EQ(std::tuple(board.S().typeActive, board.S().score), std::tuple(false, 40));
    EXPECT_EQ(board.logic.CountOfType(0), 0);
}

TEST(Bonuses, RollbackNearTheStartEndsOnTheNextStep)
{
    Board board;
    auto b = board.Chain({0, 1}, 40);
    board.S().baseSpeed = 30;
    board.S().leadProgress = 3;
    board.logic.TriggerBonus(1, *b[0]);
    EXPECT_EQ(std::tuple(board.S().rollingBack, board.S().speed), std::tuple(true, -200));
    board.logic.SpeedRule();
    EXPECT_EQ(std::tuple(board.S().rollingBack, board.S().speed), std::tuple(false, 30));
}

TEST(Bonuses, PauseHoldsTheChainAndEndsTheSpeedUp)
{
    Board board;
    auto b = board.Chain({0, 1});
    board.S().speedUpActive = board.S().bigBarBlink = true;
    board.logic.TriggerBonus(2, *b[0]);
    EXPECT_EQ(std::tuple(board.S().speedUpActive, board.S().bigBarBlink, board.S().pauseTime),
              std::tuple(false, false, 7));
    board.S().baseSpeed = 50;
    board.Run(699);
    EXPECT_EQ(std::tuple(board.S().paused, board.S().speed), std::tuple(true, 1));
    board.Run(3);
    EXPECT_FALSE(board.S().paused);
}

TEST(Bonuses, EyeShowsEveryBallForFiveSecondsThenHidesThemOneByOne)
{
    Board board;
    auto b = board.Chain({0, 1, 2, 3, 4, 5});
    board.AllPaired();
    board.logic.TriggerBonus(0, *b[0]);
    int steps = 0;
    for (; board.S().revealing && steps < 1000; ++steps)
        board.logic.Tick();
    auto all = [&](bool revealed) {
        return std::ranges::all_of(b, [&](const Ball* ball) { return ball->revealed == revealed; });
    };
    EXPECT_TRUE(all(true));
    // Seven balls (one spawned) at 0.1 s, which ten float steps of 0.01 fall
    // just short of, then one more tick that finds none.
    EXPECT_EQ(steps, 77);
    board.Run(495);
    EXPECT_TRUE(all(true));
    board.Run(10);
    EXPECT_TRUE(board.S().unrevealing);
    board.Run(100);
    EXPECT_TRUE(all(false));
}
