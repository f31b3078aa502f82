#pragma once

#include <cstdint>

namespace Quillo
{

// Value type codes of the settings store. The numbers are the ones stored
// in demo files (settings-read records), so they must not change.
enum class SettingsType : uint32_t
{
    String = 1,
    Binary = 3,
    Integer = 4,
};

} // namespace Quillo
