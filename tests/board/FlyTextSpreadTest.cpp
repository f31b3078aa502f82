// Flying score and combo texts made at one place (where pairs are taken
// near the gate) are spread so that none covers another for all of their
// flight, and each stays wholly on the board.
#include "BoardTestSupport.h"

#include "framework/graphics/Font.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Spindrel;
using BoardTest::Board;

namespace
{

constexpr float kAscent = 20.0f;
constexpr float kDescent = 6.0f;
constexpr float kGlyph = 12.0f;

// Every glyph 12 pixels wide; 20 pixels above the baseline, 6 below.
class BlockFont : public Quillo::Font
{
public:
    BlockFont()
    {
        ascent = 20;
        height = 26;
    }
    int TextWidth(const std::string& text) override { return 12 * static_cast<int>(text.size()); }
    std::unique_ptr<Quillo::Font> Clone() const override { return std::make_unique<BlockFont>(*this); }
};

struct Box
{
    float left, top, right, bottom;
};

// The place each flying text is drawn, as the board draws it (whole pixels).
std::vector<Box> TextBoxes(const Board& board)
{
    std::vector<Box> boxes;
    for (const Effect& e : board.logic.Effects())
    {
        if (e.kind != EffectKind::FlyText || !e.alive)
            continue;
        const float x = static_cast<float>(static_cast<int>(e.x));
        const float y = static_cast<float>(static_cast<int>(e.y));
        boxes.push_back({x, y - kAscent, x + kGlyph * static_cast<float>(e.text.size()), y + kDescent});
    }
    return boxes;
}

class FlyTextSpread : public ::testing::Test
{
protected:
    void SetUp() override
    {
        BoardArt art = board.logic.Art();
        art.flyTextFont = &font;
        board.logic.SetArt(art);
        board.StartAndSkipIntro();
        // A still chain far from the places tried, that never ends the level.
        board.logic.ClearBalls();
        board.logic.Effects().clear();
        board.S().rushing = false;
        board.S().baseSpeed = board.S().speed = 0;
        board.S().bonusTimer = 1000;
        board.S().targetScore = 1000000;
    }

    // Runs the board until the texts are gone, checking at every step that
    // no two cover each other and that each is wholly on the board.
    void FlyAndCheck(bool mayOverlap = false)
    {
        int steps = 0;
        for (; !TextBoxes(board).empty() && steps < 1000; ++steps)
        {
            const auto boxes = TextBoxes(board);
            for (size_t i = 0; i < boxes.size(); ++i)
            {
                const Box& a = boxes[i];
                ASSERT_GE(a.left, 0.0f) << "step " << steps;
                ASSERT_LE(a.right, 800.0f) << "step " << steps;
                ASSERT_GE(a.top, 0.0f) << "step " << steps;
                ASSERT_LE(a.bottom, 600.0f) << "step " << steps;
                for (size_t j = i + 1; j < boxes.size() && !mayOverlap; ++j)
                {
                    const Box& b = boxes[j];
                    const bool overlap = a.left < b.right && b.left < a.right && a.top < b.bottom &&
                                         b.top < a.bottom;
                    ASSERT_FALSE(overlap) << "texts " << i << " and " << j << " at step " << steps;
                }
            }
            board.logic.Tick();
        }
        EXPECT_LT(steps, 1000) << "the texts fade away";
    }

    Board board;
    BlockFont font;
};

} // namespace

TEST_F(FlyTextSpread, TextsBornTogetherAtOnePlaceDoNotCoverEachOther)
{
    // A score and its combo, as a pair gives them, then more at the same
    // place, in the middle, at the gate near the top right, and at the bottom.
    for (auto [x, y] : {std::pair{300.0f, 300.0f}, std::pair{760.0f, 40.0f}, std::pair{380.0f, 598.0f}})
    {
        SCOPED_TRACE(testing::Message() << "at " << x << "," << y);
        for (const char* text : {"+40", "Combo x3!", "+60", "Revealed combo x2", "+25", "+10"})
        {
            board.logic.SpawnFlyText(x, y, 0, text);
            board.logic.SpawnFlyText(x, y + 20.0f, 0, text);
        }
        ASSERT_EQ(TextBoxes(board).size(), 12u);
        FlyAndCheck();
    }
}

TEST_F(FlyTextSpread, ANewTextAtThePlaceOfOneStillRisingIsStackedClear)
{
    for (int wave = 0; wave < 6; ++wave)
    {
        board.logic.SpawnFlyText(700, 120, 0, "+" + std::to_string(20 * wave));
        board.logic.SpawnFlyText(700, 140, 0, "Combo x" + std::to_string(wave));
        board.Run(10);
    }
    FlyAndCheck();
}

TEST_F(FlyTextSpread, PairsTakenInARowShowEveryTextClear)
{
    board.logic.ClearBalls();
    std::vector<Ball*> balls;
    float d = 1000;
    for (int type : {0, 0, 1, 1, 2, 2, 3, 3})
    {
        balls.push_back(&board.logic.AddBall(type, d));
        d -= 60;
    }
    board.Run(1);
    for (size_t i = 0; i + 1 < balls.size(); i += 2)
    {
        board.logic.HandleClick(1, static_cast<int>(balls[i]->x), static_cast<int>(balls[i]->y));
        board.logic.HandleClick(1, static_cast<int>(balls[i + 1]->x), static_cast<int>(balls[i + 1]->y));
        board.Run(60);
    }
    ASSERT_EQ(board.S().combo, 5) << "four pairs in a row";
    EXPECT_GE(TextBoxes(board).size(), 7u) << "each pair's score, and the combos";
    FlyAndCheck();
}

TEST_F(FlyTextSpread, ACrowdedBoardStillKeepsEveryTextOnIt)
{
    // More texts than a column of the board holds: the last ones may cover
    // others, but none leaves the board.
    for (int i = 0; i < 60; ++i)
        board.logic.SpawnFlyText(400, 300, 0, "Revealed combo x9");
    ASSERT_EQ(TextBoxes(board).size(), 60u);
    FlyAndCheck(true);
}
