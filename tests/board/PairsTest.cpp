#include "BoardTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace Spindrel;
using BoardTest::Board;

namespace
{

// A board in play with a still chain of the given pictures, front first,
// and nothing spawning.
std::vector<Ball*> Chain(Board& board, std::initializer_list<int> types)
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
    float d = 1000;
    for (int type : types)
    {
        balls.push_back(&board.logic.AddBall(type, d));
        d -= 60;
    }
    return balls;
}

void Click(Board& board, const Ball* ball)
{
    board.logic.HandleClick(1, static_cast<int>(ball->x), static_cast<int>(ball->y));
}

// Clicks two balls and lets the pair settle.
void Pair(Board& board, const Ball* a, const Ball* b)
{
    Click(board, a);
    Click(board, b);
    board.Run(60);
}

std::vector<std::string> Texts(const Board& board)
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

TEST(Pairs, ConsecutivePairsScoreTwentyFortySixty)
{
    Board board;
    auto b = Chain(board, {0, 0, 1, 1, 2, 2});
    Pair(board, b[0], b[1]);
    EXPECT_EQ(board.S().score, 20);
    EXPECT_EQ(board.host.CountSound(BoardSound::CollectPair), 1);
    EXPECT_EQ(board.host.CountSound(BoardSound::Combo2), 0);
    board.logic.Effects().clear();
    Pair(board, b[2], b[3]);
    EXPECT_EQ(board.S().score, 60);
    EXPECT_EQ(board.host.CountSound(BoardSound::Combo2), 1);
    EXPECT_EQ(board.host.CountSound(BoardSound::CollectPair), 1);
    const auto texts = Texts(board);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "+40");
    EXPECT_EQ(texts[1], "T38:2");
    Pair(board, b[4], b[5]);
    EXPECT_EQ(board.S().score, 120);
    EXPECT_EQ(board.host.CountSound(BoardSound::Combo3), 1);
    EXPECT_EQ(board.S().levelScore, 120);
}

TEST(Pairs, RevealedPairsScoreTwentyTwentyFiveThirtyAfterAShortDelay)
{
    Board board;
    auto b = Chain(board, {0, 0, 1, 1, 2, 2});
    for (Ball* ball : b)
        ball->revealed = true;
    Click(board, b[0]);
    Click(board, b[1]);
    EXPECT_FLOAT_EQ(board.S().pairDelay, 0.05f);
    EXPECT_FALSE(b[0]->flipping);
    board.Run(4);
    EXPECT_EQ(board.S().score, 0);
    board.Run(2);
    EXPECT_EQ(board.S().score, 20);
    Pair(board, b[2], b[3]);
    EXPECT_EQ(board.S().score, 45);
    Pair(board, b[4], b[5]);
    EXPECT_EQ(board.S().score, 75);
    EXPECT_EQ(board.S().revealedCombo, 4);
    EXPECT_EQ(board.S().combo, 1);
}

TEST(Pairs, AThirdClickSettlesThePendingPair)
{
    Board board;
    auto b = Chain(board, {0, 1, 2});
    Click(board, b[0]);
    Click(board, b[1]);
    EXPECT_TRUE(board.S().pairPending);
    Click(board, b[2]);
    EXPECT_FALSE(b[0]->open);
    EXPECT_FALSE(b[1]->open);
    EXPECT_TRUE(b[2]->open);
    EXPECT_EQ(board.logic.OpenCount(), 1);
    EXPECT_EQ(board.logic.OpenBallAt(0), b[2]);
    EXPECT_FALSE(board.S().pairPending);
    // The closing flips run backwards through the strip, and only the first
    // ball's close sounds.
    EXPECT_TRUE(b[0]->flipping);
    EXPECT_FLOAT_EQ(b[0]->flipPeriod, 0.03f);
    EXPECT_EQ(board.host.CountSound(BoardSound::OpenBall), 3);
    EXPECT_EQ(board.host.CountSound(BoardSound::CloseBall), 1);
}

TEST(Pairs, ClickRuleFirstBallWithinThirtyPixelsLeftButtonOnly)
{
    Board board;
    auto b = Chain(board, {0, 1});
    board.logic.HandleClick(-1, static_cast<int>(b[0]->x), static_cast<int>(b[0]->y));
    board.logic.HandleClick(3, static_cast<int>(b[0]->x), static_cast<int>(b[0]->y));
    EXPECT_EQ(board.logic.OpenCount(), 0);
    board.logic.HandleClick(1, static_cast<int>(b[1]->x), static_cast<int>(b[1]->y) + 31);
    EXPECT_EQ(board.logic.OpenCount(), 0);
    board.logic.HandleClick(2, static_cast<int>(b[1]->x), static_cast<int>(b[1]->y) + 30);
    EXPECT_TRUE(b[1]->open);
    // A click on an open ball is ignored.
    Click(board, b[1]);
    EXPECT_EQ(board.logic.OpenCount(), 1);
}

TEST(Pairs, AMismatchEndsTheComboAndKeepsTheStatistics)
{
    Board board;
    auto b = Chain(board, {0, 0, 1, 1, 2, 2, 3, 4});
    Pair(board, b[0], b[1]);
    Pair(board, b[2], b[3]);
    Pair(board, b[4], b[5]);
    EXPECT_EQ(board.S().combo, 4);
    // Three pairs showed "x2" and "x3": the statistics say 3, as seen.
    EXPECT_EQ(Texts(board).back(), "T38:3");
    Pair(board, b[6], b[7]);
    EXPECT_EQ(board.S().comboCount, 1);
    EXPECT_EQ(board.S().maxCombo, 3);
    EXPECT_EQ(board.S().combo, 1);
    EXPECT_TRUE(b[6]->alive);
    EXPECT_FALSE(b[6]->open);
}

TEST(Pairs, ASinglePairShowsNoComboAndCountsAsNone)
{
    Board board;
    auto b = Chain(board, {0, 0, 1, 2});
    Pair(board, b[0], b[1]);
    Pair(board, b[2], b[3]);
    EXPECT_EQ(board.S().comboCount, 0);
    EXPECT_EQ(board.S().maxCombo, 1);
    for (const std::string& text : Texts(board))
        EXPECT_EQ(text.find("T38"), std::string::npos) << text;
}

TEST(Pairs, FlipAnimationRunsOnceAndDoesNotHoldTheLastCel)
{
    Board board;
    auto b = Chain(board, {0, 1});
    Click(board, b[0]);
    EXPECT_EQ(b[0]->flipLastFrame, 9);
    int steps = 0;
    while (b[0]->flipping && steps < 100)
    {
        board.logic.Tick();
        ++steps;
    }
    EXPECT_TRUE(b[0]->flipDone);
    EXPECT_EQ(b[0]->flipFrame, 9);
    EXPECT_GE(steps, 19);
    EXPECT_LE(steps, 21);
}

TEST(Pairs, TheExtraLifeAtFifteenThousandLeavesTheRest)
{
    Board board;
    auto b = Chain(board, {0, 0});
    board.S().extraLifeCounter = 14990;
    const int lives = board.S().lives;
    Pair(board, b[0], b[1]);
    EXPECT_EQ(board.S().lives, lives + 1);
    EXPECT_EQ(board.S().extraLifeCounter, 10);
    bool slide = false;
    for (const Effect& e : board.logic.Effects())
        slide = slide || (e.kind == EffectKind::SlideText && e.text.rfind("T62:", 0) == 0);
    EXPECT_TRUE(slide);
}

TEST(Pairs, TwoBonusBallsFireInClickOrderWithoutThePairSound)
{
    Board board;
    auto b = Chain(board, {0, 1, 0, 1, 1, 1});
    board.logic.ArmBonus(*b[2], 2); // pause
    board.logic.ArmBonus(*b[0], 1); // roll-back
    Click(board, b[2]);
    Click(board, b[0]);
    board.host.sounds.clear();
    board.Run(60);
    EXPECT_EQ(board.host.CountSound(BoardSound::CollectPair), 0);
    const auto& sounds = board.host.sounds;
    const auto stop = std::find(sounds.begin(), sounds.end(), BoardSound::Stop);
    const auto rollback = std::find(sounds.begin(), sounds.end(), BoardSound::Rollback);
    ASSERT_NE(stop, sounds.end());
    ASSERT_NE(rollback, sounds.end());
    EXPECT_LT(stop, rollback);
    EXPECT_EQ(board.S().bonusCount, 0);
    EXPECT_EQ(board.S().score, 20);
}

TEST(Pairs, AnOpenBallThatLeavesTheListIsForgottenAndDeadBallsTakeNoClicks)
{
    Board board;
    auto b = Chain(board, {0, 1, 1});
    Click(board, b[0]);
    b[0]->alive = false; // as when it runs into the gate or off the lead-in
    const int x = static_cast<int>(b[0]->x);
    const int y = static_cast<int>(b[0]->y);
    board.logic.HandleClick(1, x, y);
    EXPECT_EQ(board.logic.OpenCount(), 1);
    board.Run(2); // taken out of the list
    EXPECT_EQ(board.logic.OpenCount(), 0);
    Click(board, b[1]);
    Click(board, b[2]);
    board.Run(60);
    EXPECT_EQ(board.S().score, 20);
}
