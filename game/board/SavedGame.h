#pragma once

#include "game/board/Ball.h"
#include "game/board/GameState.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace Spindrel
{

// The saved-game file: the game-state record field by field, the number of
// balls, each ball record, and the chain positions of the two open balls
// (-1 for an empty slot). Little-endian, no padding.
struct SavedGame
{
    static constexpr size_t kStateBytes = 267;
    static constexpr size_t kBallBytes = 93;
    // More balls than fit on any track many times over means a damaged file.
    static constexpr int32_t kMaxBalls = 10000;

    GameState state;
    std::vector<Ball> balls;
    std::array<int32_t, 2> openPositions{-1, -1};

    std::vector<uint8_t> Encode() const;
    // Checks the layout: every read within the data, the exact size for the
    // ball count, booleans 0 or 1, finite floats of
    // a sane size. Nothing on any fault (with
    // the reason in error when given).
    static std::optional<SavedGame> Decode(std::span<const uint8_t> bytes,
                                           std::string* error = nullptr);
};

} // namespace Spindrel
