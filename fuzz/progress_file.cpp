// Progress files: any bytes are refused or give a level 1..100 that is
// written in the same 28 bytes.
#include "game/app/PlayerProgress.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using Spindrel::PlayerProgress;
    const auto value = PlayerProgress::Decode(std::span(data, size));
    if (!value)
        return 0;
    if (*value < 1 || *value > PlayerProgress::kMaxLevel)
        std::abort();
    const auto encoded = PlayerProgress::Encode(*value);
    if (encoded.size() != PlayerProgress::kFileBytes || PlayerProgress::Decode(encoded) != value)
        std::abort();
    return 0;
}
