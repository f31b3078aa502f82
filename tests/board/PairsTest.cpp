#include "BoardTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace Spindrel;
using BoardTest::Board;

namespace
{

// Clicks two balls and lets the pair settle.
void Pair(Board& board, const Ball* a, const Ball* b)
{
    board.Click(*a);
    board.Click(*b);
    board.Run(60);
}

} // namespace

TEST(Pairs, ConsecutivePairsScoreTwentyFortySixty)
{
    Board board;
    auto b = board.Chain({0, 0, 1, 1, 2, 2});
    Pair(board, b[0], b[1]);
    EXPECT_EQ(board.S().score, 20);
    EXPECT_EQ(board.host.CountSound(BoardSound::CollectPair), 1);
    EXPECT_EQ(board.host.CountSound(BoardSound::Combo2), 0);
    board.logic.Effects().clear();
    Pair(board, b[2], b[3]);
    EXPECT_EQ(board.S().score, 60);
    EXPECT_EQ(board.host.CountSound(BoardSound::Combo2), 1);
    EXPECT_EQ(board.host.CountSound(BoardSound::CollectPair), 1);
    EXPECT_EQ(board.Texts(EffectKind::FlyText), (std::vector<std::string>{"+40", "T38:2"}));
    Pair(board, b[4], b[5]);
    EXPECT_EQ(board.S().score, 120);
    EXPECT_EQ(board.host.CountSound(BoardSound::Combo3), 1);
    EXPECT_EQ(board.S().levelScore, 120);
}

TEST(Pairs, RevealedPairsScoreTwentyTwentyFiveThirtyAfterAShortDelay)
{
    Board board;
    auto b = board.Chain({0, 0, 1, 1, 2, 2});
    for (Ball* ball : b)
        ball->revealed = true;
    board.Click(*b[0]);
    board.Click(*b[1]);
    EXPECT_FLOAT_EQ(board.S().pairDelay, 0.05f);
    EXPECT_FALSE(b[0]->flipping);
    board.Run(4);
    EXPECT_EQ(board.S().score, 0);
    board.Run(2);
    EXPECT_EQ(board.S().score, 20);
    Pair(board, b[2], b[3]);
    EXPECT_EQ(board.S().score, 45);
    Pair(board, b[4], b[5]);
    EXPECT_EQ(std::tuple(board.S().score, board.S().revealedCombo, board.S().combo), std::tuple(75, 4, 1));
}

TEST(Pairs, AThirdClickSettlesThePendingPair)
{
    Board board;
    auto b = board.Chain({0, 1, 2});
    board.Click(*b[0]);
    board.Click(*b[1]);
    EXPECT_TRUE(board.S().pairPending);
    board.Click(*b[2]);
    EXPECT_EQ(std::tuple(b[0]->open, b[1]->open, b[2]->open, board.S().pairPending),
              std::tuple(false, false, true, false));
    EXPECT_EQ(board.logic.OpenCount(), 1);
    EXPECT_EQ(board.logic.OpenBallAt(0), b[2]);
    // The closing flips run backwards through the strip, and only the first
    // ball's close sounds.
    EXPECT_EQ(std::tuple(b[0]->flipping, b[0]->flipPeriod), std::tuple(true, 0.03f));
    EXPECT_EQ(board.host.CountSound(BoardSound::OpenBall), 3);
    EXPECT_EQ(board.host.CountSound(BoardSound::CloseBall), 1);
}

TEST(Pairs, ClickRuleFirstBallWithinThirtyPixelsLeftButtonOnly)
{
    Board board;
    auto b = board.Chain({0, 1});
    const int x = static_cast<int>(b[1]->x);
    const int y = static_cast<int>(b[1]->y);
    board.logic.HandleClick(-1, static_cast<int>(b[0]->x), y);
    board.logic.HandleClick(3, static_cast<int>(b[0]->x), y);
    board.logic.HandleClick(1, x, y + 31);
    EXPECT_EQ(board.logic.OpenCount(), 0);
    board.logic.HandleClick(2, x, y + 30);
    EXPECT_TRUE(b[1]->open);
    // A click on an open ball is ignored.
    board.Click(*b[1]);
    EXPECT_EQ(board.logic.OpenCount(), 1);
}

TEST(Pairs, AMismatchEndsTheComboAndKeepsTheStatistics)
{
    // Three pairs showed "x2" and "x3": the statistics say 3, as seen. A
    // single pair shows no combo and counts as none.
    for (const int pairs : {3, 1})
    {
        SCOPED_TRACE(pairs);
        Board board;
        auto b = board.Chain({0, 0, 1, 1, 2, 2, 3, 4});
        for (int p = 0; p < pairs; ++p)
            Pair(board, b[static_cast<size_t>(2 * p)], b[static_cast<size_t>(2 * p + 1)]);
        EXPECT_EQ(board.S().combo, pairs + 1);
        if (pairs > 1)
            EXPECT_EQ(board.Texts(EffectKind::FlyText).back(), "T38:3");
        Pair(board, b[6], b[7]);
        EXPECT_EQ(std::tuple(board.S().comboCount, board.S().maxCombo, board.S().combo),
                  std::tuple(pairs > 1 ? 1 : 0, pairs, 1));
        EXPECT_TRUE(b[6]->alive && !b[6]->open);
        if (pairs == 1)
            for (const std::string& text : board.Texts(EffectKind::FlyText))
                EXPECT_EQ(text.find("T38"), std::string::npos) << text;
    }
}

TEST(Pairs, FlipAnimationRunsOnceAndDoesNotHoldTheLastCel)
{
    Board board;
    Ball& ball = *board.Chain({0, 1})[0];
    board.Click(ball);
    EXPECT_EQ(ball.flipLastFrame, 9);
    int steps = 0;
    for (; ball.flipping && steps < 100; ++steps)
        board.logic.Tick();
    EXPECT_EQ(std::tuple(ball.flipDone, ball.flipFrame), std::tuple(true, 9));
    EXPECT_NEAR(steps, 20, 1);
}

TEST(Pairs, TheExtraLifeAtFifteenThousandLeavesTheRest)
{
    Board board;
    auto b = board.Chain({0, 0});
    board.S().extraLifeCounter = 14990;
    const int lives = board.S().lives;
    Pair(board, b[0], b[1]);
    EXPECT_EQ(board.S().lives, lives + 1);
    EXPECT_EQ(board.S().extraLifeCounter, 10);
    const auto slides = board.Texts(EffectKind::SlideText);
    EXPECT_TRUE(std::ranges::any_of(slides, [](const std::string& t) { return t.starts_with("T62:"); }));
}

TEST(Pairs, TwoBonusBallsFireInClickOrderWithoutThePairSound)
{
    Board board;
    auto b = board.Chain({0, 1, 0, 1, 1, 1});
    board.logic.ArmBonus(*b[2], 2); // pause
    board.logic.ArmBonus(*b[0], 1); // roll-back
    board.Click(*b[2]);
    board.Click(*b[0]);
    board.host.sounds.clear();
    board.Run(60);
    EXPECT_EQ(board.host.CountSound(BoardSound::CollectPair), 0);
    const auto& sounds = board.host.sounds;
    const auto stop = std::ranges::find(sounds, BoardSound::Stop);
    ASSERT_NE(stop, sounds.end());
    EXPECT_NE(std::find(stop, sounds.end(), BoardSound::Rollback), sounds.end()) << "the roll-back after the pause";
    EXPECT_EQ(board.S().bonusCount, 0);
    EXPECT_EQ(board.S().score, 20);
}

TEST(Pairs, AnOpenBallThatLeavesTheListIsForgottenAndDeadBallsTakeNoClicks)
{
    Board board;
    auto b = board.Chain({0, 1, 1});
    board.Click(*b[0]);
    b[0]->alive = false; // as when it runs into the gate or off the lead-in
    board.Click(*b[0]);
    EXPECT_EQ(board.logic.OpenCount(), 1);
    board.Run(2); // taken out of the list
    EXPECT_EQ(board.logic.OpenCount(), 0);
    Pair(board, b[1], b[2]);
    EXPECT_EQ(board.S().score, 20);
}
