#pragma once

#include "framework/platform/SettingsType.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace Quillo
{

// One open key of a settings store. Value names compare case-insensitively.
class SettingsKey
{
public:
    virtual ~SettingsKey() = default;

    // Stores a value of the given type, replacing any value of that name.
    [[nodiscard]] virtual bool SetValue(std::string_view name, SettingsType type, const uint8_t* data,
                                        size_t length) = 0;

    // Reads a value into the caller's buffer. On return `length` holds the
    // stored length; the query fails when the value is absent or does not
    // fit into `capacity` bytes (nothing is copied then).
    [[nodiscard]] virtual bool QueryValue(std::string_view name, SettingsType& type, uint8_t* buffer,
                                          size_t capacity, size_t& length) = 0;

    [[nodiscard]] virtual bool DeleteValue(std::string_view name) = 0;
};

} // namespace Quillo
