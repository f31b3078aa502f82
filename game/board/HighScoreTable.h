#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace Spindrel
{

struct HighScoreEntry
{
    std::string name;
    int32_t score = 0;
};

using HighScoreTable = std::array<HighScoreEntry, 10>;

// Enters a score in the table (best first): it takes the place of the
// first entry that is lower, which moves down with those after it (the
// last falls out). Returns the place 0..9, or 1000 when no entry is lower.
int EnterHighScore(HighScoreTable& table, const std::string& name, int32_t score);

} // namespace Spindrel
