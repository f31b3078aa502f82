#pragma once

#include "game/board/SavedGame.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace Spindrel
{

class SaveFolder;

// A player's suspended game "%s.sav" (present only while a game is
// suspended), and removing a player's files.
class SavedGameFiles
{
public:
    // The largest file a valid saved game can be.
    static constexpr size_t kFileLimit =
        SavedGame::kStateBytes + 4 + static_cast<size_t>(SavedGame::kMaxBalls) * SavedGame::kBallBytes + 8;

    static std::string GameFileName(std::string_view playerFileName);
    static std::string ProgressFileName(std::string_view playerFileName);

    // Writes the board's saved state as it stands (BoardLogic::SaveState).
    static bool SaveGame(const SaveFolder& folder, std::string_view playerFileName,
                         std::span<const uint8_t> bytes);
    static bool SaveGame(const SaveFolder& folder, std::string_view playerFileName,
                         const SavedGame& game);
    // The saved state when the file holds a game SavedGame::Decode accepts;
    // nothing when absent, and nothing with the file kept aside when damaged.
    static std::optional<std::vector<uint8_t>> LoadGame(const SaveFolder& folder,
                                                        std::string_view playerFileName);
    static bool HasGame(const SaveFolder& folder, std::string_view playerFileName);
    // For a game the board refuses although its layout is sound.
    static void KeepGameAside(const SaveFolder& folder, std::string_view playerFileName);
    // True when the ".sav" is gone afterwards.
    static bool DeleteGame(const SaveFolder& folder, std::string_view playerFileName);
    // A deleted profile: its ".sav" and its ".sta", and the damaged copies of
    // both kept aside. Returns the name of a file that stays, or empty when
    // every one is gone.
    static std::string DeletePlayerFiles(const SaveFolder& folder, std::string_view playerFileName);
};

} // namespace Spindrel
