#include "BoardTestSupport.h"

#include <gtest/gtest.h>

using namespace Spindrel;
using BoardTest::Board;

TEST(Marker, StepsOverScreenBallsAndFollowsItsBallThroughARollBackAndARemoval)
{
    Board board;
    // x from 790 back to 430; a ball off the screen's right edge in front.
    auto b = board.Chain({9, 0, 1, 2, 3, 4, 5, 6}, 750);
    board.logic.MoveMarker(-1);
    EXPECT_EQ(board.logic.Marker().Marked(), b[1]) << "nothing marked: the front ball on the screen";
    board.logic.MoveMarker(1);
    EXPECT_EQ(board.logic.Marker().Marked(), b[1]) << "the ball off the screen cannot be marked";
    board.logic.MoveMarker(-BallMarker::kJump);
    EXPECT_EQ(board.logic.Marker().Marked(), b[6]);
    board.logic.MoveMarker(-BallMarker::kJump);
    EXPECT_EQ(board.logic.Marker().Marked(), b[7]) << "a jump stops at the last ball";
    EXPECT_EQ(BallMarker::StepsBetween(board.logic.Balls(), b[7], b[1]), 6);

    // Rolling back 200 pixels the marker keeps its ball; the ball behind it
    // rolls into the lead-in and cannot keep the mark.
    board.logic.MoveMarker(2);
    ASSERT_EQ(board.logic.Marker().Marked(), b[5]);
    board.S().speed = BoardLogic::kRollbackSpeed;
    for (int i = 0; i < 100; ++i)
        board.logic.StepChain(0.01f);
    EXPECT_EQ(board.logic.Marker().Marked(), b[5]);
    EXPECT_NEAR(b[5]->distance, 750 - 5 * 60 - 200, 1);
    board.logic.MoveMarker(-2);
    EXPECT_EQ(board.logic.Marker().Marked(), b[7]);
    for (int i = 0; i < 70; ++i)
        board.logic.StepChain(0.01f);
    EXPECT_EQ(b[7]->segment, 0);
    EXPECT_EQ(board.logic.Marker().Marked(), b[6]);

    // A ball taken off hands the mark to the one behind it, and when none
    // is behind, to the one in front; the list drops the dead ones safely.
    board.S().speed = 0;
    board.logic.MoveMarker(2);
    ASSERT_EQ(board.logic.Marker().Marked(), b[4]);
    board.logic.RemoveBall(*b[4]);
    board.logic.RemoveBall(*b[6]);
    board.logic.StepChain(0.01f);
    EXPECT_EQ(board.logic.Marker().Marked(), b[5]);
    board.logic.RemoveBall(*b[5]);
    board.Run(5);
    EXPECT_EQ(board.logic.Marker().Marked(), b[3]);
    for (const auto& ball : board.logic.Balls())
        EXPECT_TRUE(ball.get() != b[4] && ball.get() != b[5] && ball.get() != b[6]);
}

TEST(Marker, SeeksFacesShownBeforeAndBallsNeverOpened)
{
    Board board;
    auto b = board.Chain({0, 1, 2, 3, 4, 5}, 650);
    b[4]->revealed = true;
    board.Click(*b[0]);
    board.Click(*b[2]);
    board.Run(60); // a mismatch: both face down again, but seen
    ASSERT_FALSE(b[0]->open || b[2]->open);
    using Seek = BallMarker::Seek;
    auto seek = [&](Seek kind) {
        board.logic.SeekMarker(kind);
        return board.logic.Marker().Marked();
    };
    EXPECT_EQ(seek(Seek::FirstUnseen), b[1]);
    EXPECT_EQ(seek(Seek::NextUnseen), b[3]);
    EXPECT_EQ(seek(Seek::NextUnseen), b[5]);
    board.logic.MoveMarker(-1000);
    EXPECT_EQ(seek(Seek::SeenBehind), b[0]) << "round from the back";
    EXPECT_EQ(seek(Seek::SeenBehind), b[2]);
    EXPECT_EQ(seek(Seek::SeenBehind), b[4]);
    EXPECT_EQ(seek(Seek::SeenAhead), b[2]);
    // A seen ball that leaves is forgotten; a new ball in its place is not seen.
    board.logic.RemoveBall(*b[2]);
    board.Run(5);
    EXPECT_EQ(seek(Seek::SeenAhead), b[0]);
    EXPECT_EQ(seek(Seek::SeenAhead), b[4]);
}
