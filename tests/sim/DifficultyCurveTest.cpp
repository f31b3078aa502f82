#include "game/sim/DifficultyCurve.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>

using namespace Spindrel;

namespace
{

// A curve that holds: each stage a little harder than the one before, its
// last level a step harder, beginners at 84 to 90% in stage 1 and 64 to 70% in stage 6.
std::vector<LevelStats> GoodCurve()
{
    std::vector<LevelStats> stats;
    for (int level = 1; level <= kLevelCount; ++level)
    {
        const int stage = StageOf(level);
        const bool last = level == kLevelCount || IsStageStart(level + 1);
        LevelStats l;
        l.level = level;
        l.profiles[0].winRate = std::max(0.0, 0.9 - 0.04 * (stage - 1) - (last ? 0.06 : 0.0));
        l.profiles[1].winRate = 1.0 - 0.03 * (stage - 1) - (last ? 0.1 : 0.0);
        l.profiles[2].winRate = 1.0;
        stats.push_back(l);
    }
    return stats;
}

bool Mentions(const std::vector<std::string>& faults, const std::string& text)
{
    return std::any_of(faults.begin(), faults.end(),
                       [&](const std::string& f) { return f.find(text) != std::string::npos; });
}

std::string Joined(const std::vector<std::string>& faults)
{
    std::string all;
    for (const auto& f : faults)
        all += f + "\n";
    return all;
}

} // namespace

TEST(DifficultyCurve, FindsEveryBrokenProperty)
{
    EXPECT_TRUE(CurveFaults(GoodCurve()).empty()) << Joined(CurveFaults(GoodCurve()));

    auto stats = GoodCurve();
    stats[40].profiles[2].winRate = 0.9;
    EXPECT_TRUE(Mentions(CurveFaults(stats), "level 41: expert wins only 90%"));

    stats = GoodCurve();
    stats[2].profiles[0].winRate = 0.7;
    EXPECT_TRUE(Mentions(CurveFaults(stats), "level 3: beginner wins 70% in stage 1"));
    stats = GoodCurve();
    stats[27].profiles[0].winRate = 0.2;
    EXPECT_TRUE(Mentions(CurveFaults(stats), "level 28: beginner wins 20% in stage 6"));

    // A dip of 20 points in mid-stage is a spike; at a stage's end it is not.
    stats = GoodCurve();
    stats[12].profiles[1].winRate -= 0.2;
    EXPECT_TRUE(Mentions(CurveFaults(stats), "level 13: regular's"));
    stats = GoodCurve();
    stats[14].profiles[1].winRate -= 0.2;
    EXPECT_FALSE(Mentions(CurveFaults(stats), "spike"));

    // A stage start harder than the level before it, unless by no more
    // than one run.
    stats = GoodCurve();
    stats[20].profiles[1].winRate = stats[19].profiles[1].winRate - 0.02;
    EXPECT_TRUE(Mentions(CurveFaults(stats), "level 21: a stage start harder for regular"));
    EXPECT_FALSE(Mentions(CurveFaults(stats, 0.02), "level 21"));
    EXPECT_TRUE(Mentions(CurveFaults(stats, 0.01), "level 21"));

    // Stage 9 made easier than stage 8 by more than 5 points.
    stats = GoodCurve();
    for (auto& l : stats)
        if (StageOf(l.level) == 9)
            l.profiles[1].winRate = std::min(1.0, l.profiles[1].winRate + 0.1);
    EXPECT_TRUE(Mentions(CurveFaults(stats), "stage 9: regular wins"));

    // A flat curve does not fall.
    stats = GoodCurve();
    for (auto& l : stats)
        l.profiles[1].winRate = 1.0;
    EXPECT_TRUE(Mentions(CurveFaults(stats), "does not fall"));

    // Beginner above regular, and a missing level.
    stats = GoodCurve();
    stats[50].profiles[0].winRate = 1.0;
    stats[50].profiles[1].winRate = 0.8;
    EXPECT_TRUE(Mentions(CurveFaults(stats), "level 51: beginner wins 100%, more than regular (80%)"));
    stats = GoodCurve();
    stats.pop_back();
    EXPECT_TRUE(Mentions(CurveFaults(stats), "level 100 was not measured"));
}

TEST(DifficultyCurve, OrderFaultsAllowTheSlack)
{
    std::vector<LevelStats> stats(1);
    stats[0].level = 7;
    stats[0].profiles[0].winRate = 0.85;
    stats[0].profiles[1].winRate = 0.8;
    stats[0].profiles[2].winRate = 1.0;
    EXPECT_TRUE(OrderFaults(stats, 0.1).empty());
    EXPECT_EQ(OrderFaults(stats, 0.0).size(), 1u);
}

// The reduced curve, on the game's own generated tables: the first level of
// every stage, fewer seeds. A change of the rules or the tables that lets a
// weaker player do better than a stronger one, or the expert fail, shows.
TEST(DifficultyCurve, StageStartsOnTheGameData)
{
    const char* dir = std::getenv("QUILLO_DATA_DIR");
    if (dir == nullptr)
        GTEST_SKIP() << "QUILLO_DATA_DIR is not set";
    const auto campaign = LoadCampaign(std::string(dir) + "/");
    ASSERT_TRUE(campaign.has_value()) << "no level tables in " << dir;

    const std::vector<int> levels(kStageStarts.begin(), kStageStarts.end());
    constexpr int kSeeds = 20;
    const auto stats = MeasureLevels(*campaign, levels, kSeeds, 2);
    for (const LevelStats& l : stats)
        std::printf("level %3d: beginner %3.0f%%  regular %3.0f%%  expert %3.0f%%\n", l.level,
                    100 * l.profiles[0].winRate, 100 * l.profiles[1].winRate, 100 * l.profiles[2].winRate);
    // Two runs in twenty either way are chance at this number of seeds.
    const auto faults = OrderFaults(stats, 2.0 / kSeeds);
    EXPECT_TRUE(faults.empty()) << Joined(faults);
    // The profiles differ where it gets hard.
    double beginner = 0, expert = 0;
    for (const LevelStats& l : stats)
    {
        beginner += l.profiles[0].winRate;
        expert += l.profiles[2].winRate;
    }
    EXPECT_LT(beginner, expert - 0.1 * static_cast<double>(stats.size()));
}

TEST(DifficultyCurve, RefusesMissingOrDamagedTables)
{
    TempDir dir;
    EXPECT_FALSE(LoadCampaign(dir.Path() + "/").has_value());
    std::filesystem::create_directories(dir / "levels");
    std::ofstream(dir / "levels/levelOrder.txt") << "5 5 5";
    std::ofstream(dir / "levels/levelsTable.txt") << "Level Speed Points Pictures Interval\nStage 1\n1 22 300 4 60\n";
    EXPECT_FALSE(LoadCampaign(dir.Path() + "/").has_value()) << "a short order and a short table";

    std::string order;
    for (int i = 0; i < kLevelCount; ++i)
        order += "5 ";
    std::ofstream(dir / "levels/levelOrder.txt") << order;
    EXPECT_FALSE(LoadCampaign(dir.Path() + "/").has_value()) << "a short table";
    std::string table = "Level Speed Points Pictures Interval\n";
    for (int level = 1; level <= kLevelCount; ++level)
    {
        if (IsStageStart(level))
            table += "Stage " + std::to_string(StageOf(level)) + "\n";
        table += std::to_string(level) + " 22 300 4 60\n";
    }
    std::ofstream(dir / "levels/levelsTable.txt") << table;
    const auto campaign = LoadCampaign(dir.Path() + "/");
    ASSERT_TRUE(campaign.has_value());
    EXPECT_EQ(campaign->levels.trackOfLevel[100], 1);
    EXPECT_EQ(campaign->levels.records[99].pointsToReach, 300);
}

TEST(DifficultyCurve, RunsAreReproducible)
{
    const char* dir = std::getenv("QUILLO_DATA_DIR");
    if (dir == nullptr)
        GTEST_SKIP() << "QUILLO_DATA_DIR is not set";
    const auto campaign = LoadCampaign(std::string(dir) + "/");
    ASSERT_TRUE(campaign.has_value());
    const RunResult a = PlaySimulatedLevel(*campaign, 31, RegularProfile(), 7);
    const RunResult b = PlaySimulatedLevel(*campaign, 31, RegularProfile(), 7);
    EXPECT_EQ(a.won, b.won);
    EXPECT_EQ(a.seconds, b.seconds);
    EXPECT_EQ(a.clicks, b.clicks);
    EXPECT_GT(a.clicks, 0);
    const RunResult c = PlaySimulatedLevel(*campaign, 31, RegularProfile(), 8);
    EXPECT_TRUE(a.clicks != c.clicks || a.seconds != c.seconds) << "the seed changes the game";

    // Threads share out the runs without changing them.
    const std::vector<int> levels = {2, 47};
    const auto one = MeasureLevels(*campaign, levels, 3, 1);
    const auto two = MeasureLevels(*campaign, levels, 3, 2);
    for (size_t l = 0; l < levels.size(); ++l)
        for (size_t p = 0; p < 3; ++p)
        {
            EXPECT_EQ(one[l].profiles[p].winRate, two[l].profiles[p].winRate);
            EXPECT_EQ(one[l].profiles[p].medianSeconds, two[l].profiles[p].medianSeconds);
        }
}
