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

    // The changes made between BeginBatch and the matching EndBatch reach
    // the store as one change (batches nest; the outermost one counts).
    // EndBatch returns false when that change failed. Without a batch every
    // change stands alone.
    virtual void BeginBatch() {}
    virtual bool EndBatch() { return true; }
};

} // namespace Quillo
