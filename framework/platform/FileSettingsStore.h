#pragma once

#include "framework/platform/SettingsDocument.h"
#include "framework/platform/SettingsStore.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Quillo
{

// The settings store kept in a text file,
// $XDG_CONFIG_HOME/<registry key with "\" as "/">/settings.reg.
//
// Every change is written through at once: under an exclusive lock on a
// lock file beside it, the file is read again, changed, written to a
// temporary file, flushed and renamed over the old one. So a value such as
// the unclean-exit marker survives a crash right after it was set, and a
// process killed in the middle of a save leaves the previous file. The
// changes of a batch are written as one; a change that leaves the file as
// it was writes nothing.
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
    void BeginBatch() override;
    bool EndBatch() override;

    // The file as it is now (an empty document when it is missing), with
    // the changes of an open batch.
    SettingsDocument Load() const;

    static bool IsValidRegistryKey(std::string_view registryKey);

private:
    class Key;

    struct Change
    {
        enum class Kind
        {
            CreateKey,
            Set,
            Erase,
        };
        Kind kind = Kind::Set;
        std::string path;
        std::string name;
        SettingsType type = SettingsType::Integer;
        std::vector<uint8_t> data;
    };

    // Whether the change found something to do in the document.
    static bool Apply(SettingsDocument& doc, const Change& change);
    // Makes a change: queued in an open batch, else written through.
    // `applied` tells whether it found something to do.
    bool Submit(Change change, bool& applied);
    // Applies the changes to the file read afresh under the lock and writes
    // it when that changed it; `applied` tells whether any found something
    // to do. False when the file cannot be locked or written; the old file
    // then stays as it was.
    bool Write(const std::vector<Change>& changes, bool& applied);
    SettingsDocument LoadFile() const;

    std::string m_directory;
    std::string m_filePath;
    std::string m_lockPath;
    int m_batchDepth = 0;
    std::optional<SettingsDocument> m_batchView; // the file with the batch's changes
    std::vector<Change> m_batch;
};

} // namespace Quillo
