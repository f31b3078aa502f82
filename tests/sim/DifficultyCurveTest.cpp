#include "game/sim/DifficultyCurve.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
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

std::string Joined(const std::vector<std::string>& faults)
{
    std::string all;
    for (const auto& f : faults)
        all += f + "\n";
    return all;
}

// The faults of the good curve changed by `edit`, one a line.
std::string FaultsAfter(const std::function<void(std::vector<LevelStats>&)>& edit, double resolution = 0.0)
{
    auto stats = GoodCurve();
    edit(stats);
    return Joined(CurveFaults(stats, resolution));
}

// The game's own generated tables (the tests skip when no data folder is named).
std::optional<Campaign> GameCampaign()
{
    return LoadCampaign(std::string(std::getenv("QUILLO_DATA_DIR")) + "/");
}

} // namespace

TEST(DifficultyCurve, FindsEveryBrokenProperty)
{
    EXPECT_EQ(FaultsAfter([](auto&) {}), "");
    struct Case
    {
        std::function<void(std::vector<LevelStats>&)> edit;
        const char* fault;
        double resolution = 0.0;
    };
    auto regular = [](int stage, double add) {
        return [=](std::vector<LevelStats>& stats) {
            for (auto& l : stats)
                if (StageOf(l.level) == stage || stage == 0)
                    l.profiles[1].winRate = std::min(1.0, l.profiles[1].winRate + add);
        };
    };
    // A stage start harder than the level before it, unless by no more than
    // one run.
    auto hardStart = [](auto& s) { s[20].profiles[1].winRate = s[19].profiles[1].winRate - 0.02; };
    const Case cases[] = {
        {[](auto& s) { s[40].profiles[2].winRate = 0.9; }, "level 41: expert wins only 90%"},
        {[](auto& s) { s[2].profiles[0].winRate = 0.7; }, "level 3: beginner wins 70% in stage 1"},
        {[](auto& s) { s[27].profiles[0].winRate = 0.2; }, "level 28: beginner wins 20% in stage 6"},
        // A dip of 20 points in mid-stage is a spike.
        {[](auto& s) { s[12].profiles[1].winRate -= 0.2; }, "level 13: regular's"},
        {hardStart, "level 21: a stage start harder for regular"},
        {hardStart, "level 21", 0.01},
        // Stage 9 made easier than stage 8 by more than 5 points.
        {regular(9, 0.1), "stage 9: regular wins"},
        {regular(0, 1.0), "does not fall"},
        {[](auto& s) { s[50].profiles[0].winRate = 1.0, s[50].profiles[1].winRate = 0.8; },
         "level 51: beginner wins 100%, more than regular (80%)"},
        {[](auto& s) { s.pop_back(); }, "level 100 was not measured"},
    };
    for (const Case& c : cases)
        EXPECT_NE(FaultsAfter(c.edit, c.resolution).find(c.fault), std::string::npos) << c.fault;
    // At a stage's end a dip is no spike; one run is within the resolution.
    EXPECT_EQ(FaultsAfter([](auto& s) { s[14].profiles[1].winRate -= 0.2; }).find("spike"), std::string::npos);
    EXPECT_EQ(FaultsAfter(hardStart, 0.02).find("level 21"), std::string::npos);
}

TEST(DifficultyCurve, OrderFaultsAllowTheSlack)
{
    std::vector<LevelStats> stats = {GoodCurve()[6]}; // level 7, the expert at 100%
    stats[0].profiles[0].winRate = 0.85;                // 5 points above the regular player
    stats[0].profiles[1].winRate = 0.8;
    EXPECT_TRUE(OrderFaults(stats, 0.1).empty());
    EXPECT_EQ(OrderFaults(stats, 0.0).size(), 1u);
}

// The reduced curve, on the game's own generated tables: the first level of
// every stage, fewer seeds. A change of the rules or the tables that lets a
// weaker player do better than a stronger one, or the expert fail, shows.
TEST(DifficultyCurve, StageStartsOnTheGameData)
{
    if (std::getenv("QUILLO_DATA_DIR") == nullptr)
        GTEST_SKIP() << "QUILLO_DATA_DIR is not set";
    const auto campaign = GameCampaign();
    ASSERT_TRUE(campaign.has_value()) << "no level tables in the data folder";
    constexpr int kSeeds = 20;
    const auto stats = MeasureLevels(*campaign, {kStageStarts.begin(), kStageStarts.end()}, kSeeds, 2);
    // Two runs in twenty either way are chance at this number of seeds.
    EXPECT_EQ(Joined(OrderFaults(stats, 2.0 / kSeeds)), "");
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
    auto load = [&](const std::string& order, const std::string& table) {
        std::filesystem::create_directories(dir / "levels");
        std::ofstream(dir / "levels/levelOrder.txt") << order;
        std::ofstream(dir / "levels/levelsTable.txt") << "Level Speed Points Pictures Interval\n" << table;
        return LoadCampaign(dir.Path() + "/");
    };
    EXPECT_FALSE(LoadCampaign(dir.Path() + "/").has_value()) << "no tables";
    std::string order;
    std::string table;
    for (int level = 1; level <= kLevelCount; ++level)
    {
        order += "5 ";
        table += (IsStageStart(level) ? "Stage " + std::to_string(StageOf(level)) + "\n" : "") +
                 std::to_string(level) + " 22 300 4 60\n";
    }
    const std::string shortTable = "Stage 1\n1 22 300 4 60\n";
    EXPECT_FALSE(load(order, shortTable).has_value()) << "a short table";
    EXPECT_FALSE(load("5 5 5", table).has_value()) << "a short order";
    const auto campaign = load(order, table);
    ASSERT_TRUE(campaign.has_value());
    EXPECT_EQ(campaign->levels.trackOfLevel[100], 1);
    EXPECT_EQ(campaign->levels.records[99].pointsToReach, 300);
}

TEST(DifficultyCurve, RunsAreReproducible)
{
    if (std::getenv("QUILLO_DATA_DIR") == nullptr)
        GTEST_SKIP() << "QUILLO_DATA_DIR is not set";
    const auto campaign = GameCampaign();
    ASSERT_TRUE(campaign.has_value()) << "no level tables in the data folder";
    const RunResult a = PlaySimulatedLevel(*campaign, 31, RegularProfile(), 7);
    const RunResult b = PlaySimulatedLevel(*campaign, 31, RegularProfile(), 7);
    EXPECT_EQ(std::tuple(a.won, a.seconds, a.clicks), std::tuple(b.won, b.seconds, b.clicks));
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
