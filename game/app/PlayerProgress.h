#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace Spindrel
{

class SaveFolder;

// A player's progress file "%s.sta": 28 bytes, the highest stage start
// reached (int32, little-endian) and 24 reserved zero bytes.
class PlayerProgress
{
public:
    static constexpr size_t kFileBytes = 28;
    static constexpr int32_t kDefaultStageStart = 1;
    static constexpr int32_t kMaxLevel = 100;

    static std::vector<uint8_t> Encode(int32_t highestStageStart);
    // Nothing unless exactly 28 bytes holding a level 1..100; a level inside
    // a stage gives the start of that stage.
    static std::optional<int32_t> Decode(std::span<const uint8_t> bytes);

    // The stored value; 1 when the file is absent, and 1 when it is damaged
    // (the file is then kept aside).
    static int32_t Load(const SaveFolder& folder, std::string_view playerFileName);
    // Raises the stored value: only a stage start above it is written.
    // True when the file was written.
    static bool Save(const SaveFolder& folder, std::string_view playerFileName,
                     int32_t highestStageStart);
};

} // namespace Spindrel
