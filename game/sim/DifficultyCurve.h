#pragma once

#include "game/sim/LevelRun.h"
#include "game/sim/PlayerProfile.h"

#include <array>
#include <string>
#include <vector>

namespace Spindrel
{

// What the runs of one profile on one level add up to.
struct ProfileStats
{
    double winRate = 0.0;
    // Median seconds of the won runs (0 when none was won).
    double medianSeconds = 0.0;
    // Mean lives lost per run.
    double livesLost = 0.0;
    int timedOut = 0;
};

struct LevelStats
{
    int level = 0;
    // Indexed like StandardProfiles(): beginner, regular, expert.
    std::array<ProfileStats, 3> profiles{};
};

// Plays every level of `levels` with every standard profile over seeds
// 1..seeds, spread over `threads` worker threads. The result does not
// depend on the number of threads.
std::vector<LevelStats> MeasureLevels(const Campaign& campaign, const std::vector<int>& levels, int seeds,
                                      int threads, InputDevice input = InputDevice::Mouse);

// Mean win rate of one profile over the levels of a stage (1-based) among
// the measured levels; -1 when none of them is in that stage.
double StageWinRate(const std::vector<LevelStats>& stats, int stage, int profile);

// The properties the whole curve (all 100 levels) must have, each broken
// one described in a line; empty when the curve holds. A stage start counts
// as harder than the level before it when its win rate is lower by more
// than `resolution` (one run's share, so that a single run out of many
// either way is not read as a difference).
std::vector<std::string> CurveFaults(const std::vector<LevelStats>& stats, double resolution = 0.0);

// The properties that any subset of levels must have: beginner <= regular
// <= expert on every level, within `slack`, and the expert floor.
std::vector<std::string> OrderFaults(const std::vector<LevelStats>& stats, double slack);

// The expert's win rate every level must reach.
inline constexpr double kExpertFloor = 0.95;

} // namespace Spindrel
