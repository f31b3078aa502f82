// Records files: any bytes are refused or give records that are written
// in the same 15120 bytes and read back equal.
#include "game/app/GameRecords.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using Spindrel::GameRecords;
    // Most inputs are far from 15120 bytes; pad them so the fields are reached.
    std::vector<uint8_t> bytes(data, data + size);
    if (bytes.size() < GameRecords::kFileBytes && !bytes.empty() && bytes[0] == 0xff)
        bytes.resize(GameRecords::kFileBytes, 0);
    const auto records = GameRecords::Decode(bytes);
    if (!records)
        return 0;
    const auto encoded = records->Encode();
    if (encoded.size() != GameRecords::kFileBytes)
        std::abort();
    const auto again = GameRecords::Decode(encoded);
    if (!again || again->Encode() != encoded)
        std::abort();
    for (int level = 0; level < GameRecords::kLevelRecords; ++level)
    {
        if (records->Level(level).holder.size() >= GameRecords::kNameBytes)
            std::abort();
    }
    return 0;
}
