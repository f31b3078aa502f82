#include "board/BoardTestSupport.h"

#include "game/sim/PlayerModel.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace Spindrel;

namespace
{

// A steady, exact player with a perfect memory who decides every 0.3 s and
// explores from the gate backwards; the tests change one trait at a time.
PlayerProfile Steady()
{
    PlayerProfile p;
    p.name = "steady";
    p.chooseMin = p.chooseMax = 0.3f;
    p.aimSeconds = 0.0f;
    p.memorySeconds = p.memoryFaces = p.moveLimit = 1e6f;
    p.missClick = 0.0f;
    p.bonusUse = 1.0f;
    p.frontBias = 1.0f;
    return p;
}

// A standing chain of chosen pictures on the straight test track, front
// (nearest the gate) first, `spacing` pixels apart from distance 550 back.
class Scene
{
public:
    Scene(const std::vector<int>& types, float spacing, int trackLength = 1200) : board(trackLength)
    {
        board.StartAndSkipIntro();
        board.logic.ClearBalls();
        for (size_t i = 0; i < types.size(); ++i)
            balls.push_back(&board.logic.AddBall(types[i], 550.0f - spacing * static_cast<float>(i)));
        // A ball on the spawn point keeps new ones out; no rush, no
        // speed-ups, and the chain creeps at 1 pixel a second.
        board.logic.AddBall(12, 10.0f);
        board.S().rushing = false;
        board.S().speed = 0.0f;
        board.S().paused = board.S().targetReached = true;
        board.S().pauseTime = board.S().speedUpInterval = 1e6f;
    }

    // Runs until just after the player's n-th decision since the start.
    void PlayUntil(PlayerModel& player, int decisions)
    {
        for (; m_steps < decisions * 30 + 15; ++m_steps)
        {
            player.Step();
            board.logic.Tick();
        }
    }

    BoardTest::Board board;
    std::vector<Ball*> balls;

private:
    int m_steps = 0;
};

} // namespace

TEST(PlayerModel, GoesBackForAFaceOnlyWhileItRemembersIt)
{
    // Pictures 5 6 7 1 8 1. Balls 3 (picture 1) and 4 have been seen before
    // the player starts; it explores 0, 1, 2 and then needs a ball it does
    // not know, taking the first from the gate: ball 5 when it remembers
    // all it saw, ball 0 when everything faded, ball 3 when only that one
    // was lost by moving.
    struct Case
    {
        const char* what;
        PlayerProfile profile;
        float moveBall3;
        size_t openedFourth;
    };
    PlayerProfile shortTime = Steady();
    shortTime.memorySeconds = 0.05f;
    PlayerProfile fewFaces = Steady();
    fewFaces.memoryFaces = 0.1f;
    PlayerProfile tracker = Steady();
    tracker.moveLimit = 40.0f;
    const Case cases[] = {
        {"perfect memory", Steady(), 0.0f, 5},
        {"fading with time", shortTime, 0.0f, 0},
        {"pushed out by new faces", fewFaces, 0.0f, 0},
        {"lost after it moved", tracker, 50.0f, 3},
        {"followed while it moved", Steady(), 50.0f, 5},
    };
    for (const Case& c : cases)
    {
        Scene scene({5, 6, 7, 1, 8, 1}, 100.0f);
        scene.board.logic.OpenBall(*scene.balls[3]);
        scene.board.logic.OpenBall(*scene.balls[4]);
        PlayerModel player(scene.board.logic, c.profile, 1);
        scene.PlayUntil(player, 1);
        scene.board.logic.MoveBall(*scene.balls[3], c.moveBall3);
        scene.PlayUntil(player, 4);
        EXPECT_TRUE(scene.balls[c.openedFourth]->open) << c.what;
        EXPECT_EQ(player.Clicks(), 4) << c.what;
        if (&c != &cases[0])
            continue;

        // Remembered, ball 3 is paired with ball 5 two decisions later.
        const Ball* paired[] = {scene.balls[3], scene.balls[5]};
        scene.PlayUntil(player, 6);
        scene.board.Run(60);
        // Scored balls leave the list (and are deleted): look them up by address.
        auto onTrack = [&](const Ball* ball) {
            return std::ranges::any_of(scene.board.logic.Balls(),
                                       [&](const auto& b) { return b.get() == ball && b->alive; });
        };
        EXPECT_FALSE(onTrack(paired[0]) || onTrack(paired[1]));
        EXPECT_TRUE(onTrack(scene.balls[0]));
        EXPECT_EQ(scene.board.S().levelScore, 20);
    }
}

TEST(PlayerModel, OnTheKeyboardItOpensOnlyTheMarkedBallAndPaysForEveryKey)
{
    // A revealed pair eight balls apart: with the mouse both are open after
    // two decisions (0.6 s); the keys first mark the front ball and open
    // it (0.54 s), then, after choosing again, take the marker back to the
    // second and open it (1.08 s).
    Scene scene({1, 2, 3, 4, 5, 6, 7, 8, 1}, 60.0f);
    const Ball* first = scene.balls[0];
    const Ball* second = scene.balls[8];
    scene.balls[0]->revealed = scene.balls[8]->revealed = true;
    PlayerModel player(scene.board.logic, Steady(), 1, InputDevice::Keyboard);
    scene.PlayUntil(player, 2);
    EXPECT_TRUE(first->open);
    EXPECT_FALSE(second->open);
    EXPECT_EQ(player.Clicks(), 1);
    scene.PlayUntil(player, 3);
    EXPECT_FALSE(second->open);
    scene.PlayUntil(player, 4);
    EXPECT_EQ(scene.board.S().levelScore, 20);
    EXPECT_EQ(player.Clicks(), 2);
}

TEST(PlayerModel, OnlyTheMouseWaitsForThePointerToReachTheBall)
{
    // A slow hand: a second to aim. The mouse clicks after choosing and
    // aiming (1.3 s); the keys mark the front ball and open it after
    // choosing and two presses (0.54 s).
    PlayerProfile slowHand = Steady();
    slowHand.aimSeconds = 1.0f;
    for (const InputDevice input : {InputDevice::Mouse, InputDevice::Keyboard})
    {
        Scene scene({1, 2, 3}, 60.0f);
        PlayerModel player(scene.board.logic, slowHand, 1, input);
        scene.PlayUntil(player, 3); // 1.05 s
        EXPECT_EQ(player.Clicks(), input == InputDevice::Keyboard ? 1 : 0);
        scene.PlayUntil(player, 4); // 1.35 s
        EXPECT_TRUE(scene.balls[0]->open);
    }
}

TEST(PlayerModel, ASlipOpensTheNeighbourOrHitsEmptyTrack)
{
    PlayerProfile clumsy = Steady();
    clumsy.missClick = 1.0f;
    int neighbours = 0;
    for (uint64_t seed = 1; seed <= 8; ++seed)
    {
        // Aimed at ball 0, which has no ball on its gate side.
        Scene scene({1, 2, 3, 4}, 60.0f);
        PlayerModel player(scene.board.logic, clumsy, seed);
        scene.PlayUntil(player, 1);
        EXPECT_FALSE(scene.balls[0]->open);
        EXPECT_EQ(player.MissClicks(), 1);
        EXPECT_EQ(scene.board.logic.OpenCount(), scene.balls[1]->open ? 1 : 0);
        neighbours += scene.balls[1]->open ? 1 : 0;
    }
    EXPECT_GT(neighbours, 0);
    EXPECT_LT(neighbours, 8);

    // Balls 100 pixels apart: a slip lands between them.
    Scene gap({1, 2, 3}, 100.0f);
    PlayerModel player(gap.board.logic, clumsy, 3);
    gap.PlayUntil(player, 3);
    EXPECT_EQ(gap.board.logic.OpenCount(), 0);
    EXPECT_EQ(player.MissClicks(), 3);
}

TEST(PlayerModel, PlaysForBonusesWhenTheyHelp)
{
    // On a 700-pixel track ball 1 is at 70 percent, ball 4 at 44.
    struct Case
    {
        const char* what;
        int track;
        size_t ball;
        int kind;
        float use;
        size_t opened;
    };
    const Case cases[] = {
        {"an eye on the last ball is opened first", 1200, 4, 0, 1.0f, 4},
        {"unless the player overlooks bonuses", 1200, 4, 0, 0.0f, 0},
        {"a bomb far from the gate waits", 700, 4, 4, 1.0f, 0},
        {"and is taken near it", 700, 1, 4, 1.0f, 1},
    };
    for (const Case& c : cases)
    {
        Scene scene({1, 2, 3, 4, 5}, 60.0f, c.track);
        scene.board.logic.ArmBonus(*scene.balls[c.ball], c.kind);
        PlayerProfile profile = Steady();
        profile.bonusUse = c.use;
        PlayerModel player(scene.board.logic, profile, 1);
        scene.PlayUntil(player, 1);
        EXPECT_TRUE(scene.balls[c.opened]->open) << c.what;
        EXPECT_FALSE(scene.balls[c.opened == c.ball ? 0 : c.ball]->open) << c.what;
    }
}

TEST(PlayerModel, DoesNotClickDuringTheIntro)
{
    BoardTest::Board board;
    board.logic.State().level = 1;
    board.logic.StartLevel();
    PlayerModel player(board.logic, Steady(), 1);
    while (board.S().intro)
    {
        player.Step();
        board.logic.Tick();
    }
    EXPECT_EQ(player.Clicks(), 0);
}
