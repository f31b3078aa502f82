#pragma once

#include <array>
#include <string>
#include <vector>

namespace Spindrel::Datagen
{

class DataWriter;

inline constexpr int kLevelCount = 100;
inline constexpr std::array<int, 18> kStageStarts = {1, 6, 11, 16, 21, 26, 31, 36, 41, 46, 51, 56, 61, 67, 73, 79, 86, 93};

// One row of the level table.
struct LevelRow
{
    int speed = 0;
    int points = 0;
    int pictures = 0;
    int interval = 0; // seconds between speed-ups
};

// Picks the track of every level (index 0 is level 1) from the tracks
// ordered easiest first: the levels follow the difficulty curve, every
// track is used and the 18 stage starts all differ.
std::vector<int> PlanLevelTracks(const std::vector<int>& tracksEasiestFirst);
// The difficulty curve: each stage a step up, each level a little harder,
// the last level of a stage a step harder than the next stage's first.
std::vector<LevelRow> PlanLevelRows();

// The level order file stores codes, not track numbers.
int CodeOfTrack(int track);

std::string LevelOrderText(const std::vector<int>& trackOfLevel);
std::string LevelTableText(const std::vector<LevelRow>& rows);

// Writes levels/levelOrder.txt, levels/levelsTable.txt and
// bin/mainMenuPts.txt. `trackEase` (higher is easier) is indexed by track
// number - 1.
void WriteLevelTables(const DataWriter& out, const std::vector<double>& trackEase);

} // namespace Spindrel::Datagen
