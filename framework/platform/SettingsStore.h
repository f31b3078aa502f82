#pragma once

#include "framework/platform/SettingsKey.h"

#include <memory>
#include <string_view>

namespace Quillo
{

// A hierarchical key/value store for one product. Key paths are relative to
// the product's own key: "" is the product key itself, "Test3D" or "A\B" are
// subkeys below it. Closing a key is destroying the returned object.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;

    // Opens an existing key; none when it does not exist or the store is off.
    virtual std::unique_ptr<SettingsKey> OpenKey(std::string_view path, bool forWriting) = 0;

    // Opens a key, creating it and its parents when missing.
    virtual std::unique_ptr<SettingsKey> CreateKey(std::string_view path) = 0;
};

} // namespace Quillo
