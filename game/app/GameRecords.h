#pragma once

#include "game/board/HighScoreTable.h"

#include <array>
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

// The best time of a level and who set it.
struct LevelTimeRecord
{
    int32_t bestTime = 12000; // whole seconds
    int32_t reserved = 120;
    std::string holder;
};

// The shared records file "spindrel.rec" (15120 bytes, little-endian): 200
// level records of 72 bytes (int32 best time, int32 reserved, char[64]
// holder) indexed by level number, then the 10-entry high-score table of
// 72 bytes each (char[64] name, int32 score, int32 reserved 0).
class GameRecords
{
public:
    static constexpr int kLevelRecords = 200;
    static constexpr int kFirstLevel = 1;
    static constexpr int kLastLevel = 100;
    static constexpr size_t kNameBytes = 64;
    static constexpr size_t kRecordBytes = 72;
    static constexpr size_t kFileBytes = (kLevelRecords + 10) * kRecordBytes;
    static constexpr const char* kFileName = "spindrel.rec";

    // Default records and the default high-score table.
    GameRecords();

    static HighScoreTable DefaultHighScores();

    // Names longer than 63 bytes are cut so that each keeps its terminator.
    std::vector<uint8_t> Encode() const;
    // Nothing unless exactly 15120 bytes with every name terminated within
    // its field, best times 0..12000 and scores not negative.
    static std::optional<GameRecords> Decode(std::span<const uint8_t> bytes);

    // Reads the file; absent gives the defaults, damaged gives the defaults
    // and the file is kept aside. The game saves at once afterwards.
    void Load(const SaveFolder& folder);
    bool Save(const SaveFolder& folder) const;

    // Record of a level; a default record for levels outside 0..199.
    const LevelTimeRecord& Level(int level) const;
    // A finished level's time (seconds): when it is below the stored best
    // time of a level 1..100, it becomes the best time (whole seconds) and
    // the player its holder. Returns whether a record was set; the caller
    // then saves.
    bool UpdateLevelRecord(int level, float seconds, std::string_view player);

    const HighScoreTable& HighScores() const { return m_highScores; }
    // Enters a score (place 0..9, or 1000 when not entered); the caller saves.
    int EnterHighScore(std::string_view player, int32_t score);

private:
    std::array<LevelTimeRecord, kLevelRecords> m_levels;
    HighScoreTable m_highScores;
};

} // namespace Spindrel
