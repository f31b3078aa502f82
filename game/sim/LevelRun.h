#pragma once

#include "game/board/LevelData.h"
#include "game/sim/InputDevice.h"
#include "game/sim/PlayerProfile.h"

#include <cstdint>
#include <optional>
#include <string>

namespace Spindrel
{

// How one simulated attempt at a level went.
struct RunResult
{
    // The level was completed before the last of the three lives was lost.
    bool won = false;
    int livesLost = 0;
    // Seconds played in the attempt that completed the level (0 when lost).
    float seconds = 0.0f;
    int clicks = 0;
    // Neither won nor lost within the time allowed.
    bool timedOut = false;
};

// The generated tables and the folder holding "levels" (with a trailing
// slash), as the game reads them.
struct Campaign
{
    LevelData levels;
    std::string root;
};

// Game time after which a run that has not ended counts as lost.
inline constexpr float kMaxRunSeconds = 1800.0f;

// Reads levels/levelOrder.txt and levels/levelsTable.txt below root; nothing
// when either is missing or malformed.
std::optional<Campaign> LoadCampaign(const std::string& root);

// Plays `level` as a new game at that level (three lives, no score) with a
// simulated person of the given profile. The seed chooses the board's
// pictures and bonuses and the person's dice; a run is a pure function of
// its arguments. A run that has not ended after `maxSeconds` of game time
// counts as lost.
RunResult PlaySimulatedLevel(const Campaign& campaign, int level, const PlayerProfile& profile,
                             uint32_t seed, float maxSeconds = kMaxRunSeconds, InputDevice input = InputDevice::Mouse);

} // namespace Spindrel
