#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace Spindrel
{

constexpr int kLevelCount = 100;
constexpr int kStageCount = 18;
constexpr int kTrackCount = 30;

// The difficulty of one level, as the level table gives it.
struct LevelRecord
{
    int32_t unused = 0;
    int32_t baseSpeed = 0;
    int32_t pointsToReach = 0;
    int32_t numPictures = 0;
    int32_t speedUpInterval = 0; // tenths of a second
    int32_t speedUpDuration = 20; // tenths of a second
    int32_t speedUpSpeed = 200;
};

// The level order and the level records, as the board uses them.
struct LevelData
{
    int numLevels = kLevelCount;
    // Index = level number 1..100; entry 0 is unused.
    std::array<int, kLevelCount + 1> trackOfLevel{};
    std::array<LevelRecord, kLevelCount> records{};
};

// The first level of each stage.
inline constexpr std::array<int, kStageCount> kStageStarts = {
    1, 6, 11, 16, 21, 26, 31, 36, 41, 46, 51, 56, 61, 67, 73, 79, 86, 93};

// The level order file stores codes; this maps a code to its track number.
inline constexpr std::array<int, 31> kTrackOfCode = {
    0,  19, 13, 9,  2,  1,  3,  4,  5,  6,  7,  8,  10, 11, 12, 14,
    15, 16, 17, 18, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30};

bool IsStageStart(int level);
// 1-based stage of a level (0 for levels below 1).
int StageOf(int level);
int LevelInStage(int level);

// Reads the 100 codes of the level order. Nothing when a word is missing,
// is not a number or is a code outside the table.
std::optional<std::array<int, kLevelCount + 1>> ParseLevelOrder(std::string_view text);

// Reads the level table into data.records (rows placed by the level number
// they carry). False, leaving data untouched, when the text is short, a
// row names a level outside 1..100 or a value is negative or far beyond
// any level's (speed 1000, points 10^8, pictures 1000, interval 10^6).
bool ParseLevelTable(std::string_view text, LevelData& data);

} // namespace Spindrel
