#pragma once

#include "game/sim/DifficultyCurve.h"

#include <string>
#include <vector>

namespace Spindrel
{

// Draws the win rate by level of the three profiles, with the stage
// boundaries marked, into a PNG file. False when the file cannot be written.
[[nodiscard]] bool WriteCurvePlot(const std::vector<LevelStats>& stats, const std::string& path);

} // namespace Spindrel
