#include "BoardTestSupport.h"

#include "framework/platform/FileSystem.h"
#include "game/board/LevelData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>

using namespace Spindrel;

namespace
{

// Plays through the board's click interface with a perfect memory of
// every face it has seen. It decides every 0.12 s, as a quick player.
class MemoryBot
{
public:
    explicit MemoryBot(BoardLogic& logic) : m_logic(logic) {}

    void Step()
    {
        Learn();
        const GameState& s = m_logic.State();
        if (++m_clock % 12 != 0 || s.intro || s.losing || s.pairPending || m_logic.OpenCount() >= 2)
            return;
        const Ball* open = m_logic.OpenCount() == 1 ? m_logic.OpenBallAt(0) : nullptr;
        // The open ball's partner, else a known pair, else the front unknown
        // ball, else (to close the open one) any.
        Ball* next = open ? Known(open->type, open)
                          : Find([&](const Ball& b) { return m_seen.contains(&b) && Known(b.type, &b); });
        if (!next)
            next = Find([&](const Ball& b) { return &b != open && !m_seen.contains(&b); });
        if (!next && open)
            next = Find([&](const Ball& b) { return &b != open; });
        if (next)
            m_logic.HandleClick(1, static_cast<int>(std::lround(next->x)), static_cast<int>(std::lround(next->y)));
    }

private:
    void Learn()
    {
        // A dead ball is forgotten at once: the ball made after its removal
        // may be given its memory, and must not inherit what was seen.
        std::set<const Ball*> present;
        for (const auto& ball : m_logic.Balls())
        {
            if (ball->alive)
                present.insert(ball.get());
            if (ball->alive && (ball->open || ball->revealed))
                m_seen[ball.get()] = ball->type;
        }
        std::erase_if(m_seen, [&](const auto& seen) { return !present.contains(seen.first); });
    }

    // The front clickable ball that `want` accepts.
    Ball* Find(const std::function<bool(const Ball&)>& want) const
    {
        for (const auto& b : m_logic.Balls())
            if (b->alive && b->segment != 0 && b->x >= 0 && b->x < 800 && b->y >= 0 && b->y < 600 && want(*b))
                return b.get();
        return nullptr;
    }

    // A seen ball of picture `type` other than `except`.
    Ball* Known(int type, const Ball* except) const
    {
        return Find([&](const Ball& b) { return &b != except && m_seen.contains(&b) && m_seen.at(&b) == type; });
    }

    BoardLogic& m_logic;
    int m_clock = 0;
    std::map<const Ball*, int> m_seen;
};

enum class Outcome
{
    Won,
    LifeLost,
    TimedOut,
};

// Plays the level that is starting until the statistics dialog or a lost
// life; a bot of nullptr never clicks.
Outcome PlayLevel(BoardTest::Board& board, MemoryBot* bot, int maxSteps = 200000)
{
    const int lives = board.S().lives;
    board.host.dialogs.clear();
    for (int i = 0; i < maxSteps; ++i)
    {
        if (bot != nullptr)
            bot->Step();
        board.logic.Tick();
        if (!board.host.dialogs.empty())
            return Outcome::Won;
        if (board.S().lives < lives || board.S().gameOver)
            return Outcome::LifeLost;
    }
    return Outcome::TimedOut;
}

// Plays the game's own generated tables and tracks.
bool UseGameData(BoardTest::Board& board)
{
    const std::string root = std::string(std::getenv("QUILLO_DATA_DIR")) + "/";
    auto read = [&](const char* name) {
        return Quillo::FileSystem::ReadTextFile(Quillo::FileSystem::ResolvePath(root + name));
    };
    const auto order = read("levels/levelOrder.txt");
    const auto table = read("levels/levelsTable.txt");
    LevelData levels;
    const auto tracks = order ? ParseLevelOrder(*order) : std::nullopt;
    if (!tracks || !table || !ParseLevelTable(*table, levels))
        return false;
    levels.trackOfLevel = *tracks;
    board.logic.SetLevelData(levels);
    board.logic.SetDataRoot(root);
    return true;
}

// The game's own data, without which the bot's results prove little.
class Bot : public testing::Test
{
protected:
    void SetUp() override
    {
        if (std::getenv("QUILLO_DATA_DIR") == nullptr)
            GTEST_SKIP() << "QUILLO_DATA_DIR is not set";
        ASSERT_TRUE(UseGameData(board)) << "no level tables in the data folder";
    }

    BoardTest::Board board;
};

} // namespace

TEST_F(Bot, LosesLivesWhenItStopsClicking)
{
    board.logic.NewGameAtStage(0);
    EXPECT_EQ(PlayLevel(board, nullptr), Outcome::LifeLost);
    EXPECT_EQ(board.S().lives, 2);
    EXPECT_EQ(PlayLevel(board, nullptr), Outcome::LifeLost);
    EXPECT_EQ(PlayLevel(board, nullptr), Outcome::LifeLost);
    EXPECT_TRUE(board.S().gameOver);
}

TEST_F(Bot, RunsAreDeterministic)
{
    BoardTest::Board other;
    ASSERT_TRUE(UseGameData(other));
    auto play = [](BoardTest::Board& b) {
        b.logic.NewGameAtStage(3);
        MemoryBot bot(b.logic);
        PlayLevel(b, &bot, 30000);
        return b.logic.SaveState();
    };
    EXPECT_EQ(play(board), play(other));
}

// Every level can be won: with the game's own tables a quick player (a
// decision every 0.12 s) wins the first level of each stage.
TEST_F(Bot, WinsTheFirstLevelOfEveryStage)
{
    for (int stage = 0; stage < kStageCount; ++stage)
    {
        // The dialog that ended the last run would be closed by the player.
        while (board.S().pauseDepth > 0)
            board.logic.SetPaused(false);
        board.logic.NewGameAtStage(stage);
        MemoryBot bot(board.logic);
        EXPECT_EQ(PlayLevel(board, &bot, 120000), Outcome::Won) << "stage " << stage + 1;
        EXPECT_EQ(board.host.dialogs, std::vector{BoardDialog::Stat}) << "stage " << stage + 1;
        EXPECT_GE(board.S().score, board.S().targetScore) << "stage " << stage + 1;
    }
}
