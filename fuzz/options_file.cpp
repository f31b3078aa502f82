// Profile lists: any text gives a mended list that is written and read back
// unchanged.
#include "game/app/PlayerProfiles.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using Spindrel::PlayerProfiles;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const PlayerProfiles profiles = PlayerProfiles::Parse(text);
    if (profiles.Count() > PlayerProfiles::kMaxProfiles)
        std::abort();
    for (const std::string& name : profiles.Names())
    {
        if (!PlayerProfiles::IsValidName(name))
            std::abort();
    }
    if (profiles.Count() > 0 && (profiles.CurrentId() < 0 || profiles.CurrentId() >= profiles.Count()))
        std::abort();
    if (profiles.Count() == 0 && profiles.CurrentId() != -1)
        std::abort();

    bool mended = true;
    const PlayerProfiles again = PlayerProfiles::Parse(profiles.Format(), &mended);
    if (mended || again.Names() != profiles.Names() || again.CurrentId() != profiles.CurrentId())
        std::abort();
    return 0;
}
