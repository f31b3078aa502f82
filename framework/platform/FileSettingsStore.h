#pragma once

#include "framework/platform/SettingsDocument.h"
#include "framework/platform/SettingsStore.h"

#include <functional>
#include <string>
#include <string_view>

namespace Quillo
{

// The settings store kept in a text file,
// $XDG_CONFIG_HOME/<registry key with "\" as "/">/settings.reg.
//
// Every change is written through at once: under an exclusive lock on a
// lock file beside it, the file is read again, changed, written to a
// temporary file, flushed and renamed over the old one. So a value such as
// the unclean-exit marker survives a crash right after it was set, and a
// process killed in the middle of a save leaves the previous file.
//
// A registry key that is empty, has an empty part, a part "." or "..", or
// a character outside [A-Za-z0-9 ._-] switches the store off: every open
// fails.
class FileSettingsStore : public SettingsStore
{
public:
    explicit FileSettingsStore(std::string_view registryKey);
    FileSettingsStore(std::string_view registryKey, std::string_view configHome);

    bool Enabled() const { return !m_filePath.empty(); }
    const std::string& FilePath() const { return m_filePath; }

    std::unique_ptr<SettingsKey> OpenKey(std::string_view path, bool forWriting) override;
    std::unique_ptr<SettingsKey> CreateKey(std::string_view path) override;

    // The file as it is now (an empty document when it is missing).
    SettingsDocument Load() const;

    // Runs `change` on the freshly read document under the lock and writes
    // the result when it returns true. False when the file cannot be
    // locked or written; the old file then stays as it was.
    bool Modify(const std::function<bool(SettingsDocument&)>& change);

    static bool IsValidRegistryKey(std::string_view registryKey);

private:
    class Key;

    std::string m_directory;
    std::string m_filePath;
    std::string m_lockPath;
};

} // namespace Quillo
