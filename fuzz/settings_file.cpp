// Parses arbitrary text as a settings file; what it writes back must parse
// to the same document.
#include "framework/platform/SettingsDocument.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto doc = Quillo::SettingsDocument::Parse(text);
    const std::string once = doc.Serialize();
    const std::string twice = Quillo::SettingsDocument::Parse(once).Serialize();
    if (once != twice)
        __builtin_trap();
    return 0;
}
