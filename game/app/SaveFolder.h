#pragma once

#include "framework/app/FileGateway.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace Spindrel
{

// The folder the game writes its profiles, progress, saved games, records
// and log into. Every write creates the folder first and goes to a
// temporary file that is renamed over the old one, so a crash or a full
// disk leaves the previous file whole. Names are plain file names inside
// the folder; a name with a path separator, an empty name or "." / ".."
// is refused by every operation. Every call goes through a file gateway:
// the application's keeps a demo's playback away from the real files.
class SaveFolder
{
public:
    enum class ReadStatus
    {
        Missing,  // absent or unreadable
        Read,     // bytes hold the whole file
        TooLarge, // bytes hold the first maxBytes bytes
    };

    struct FileBytes
    {
        ReadStatus status = ReadStatus::Missing;
        std::vector<uint8_t> bytes;
    };

    static constexpr const char* kFolderName = "_save";

    // "_save" in the working directory (beside the program and its data)
    // when it is a writable folder or can be created there; otherwise
    // $XDG_DATA_HOME/spindrel/_save (or ~/.local/share/spindrel/_save).
    // An installed game always uses the latter: its data folder belongs to
    // the system, even when the player (root, say) could write there.
    static SaveFolder Locate(bool installed, Quillo::FileGateway& files = Quillo::FileGateway::Direct());

    // "_save" inside root (empty: the working directory); the gateway
    // must outlive the folder.
    explicit SaveFolder(std::string root, Quillo::FileGateway& files = Quillo::FileGateway::Direct());

    // The directory that holds "_save": empty, or a prefix ending in "/".
    const std::string& Root() const { return m_root; }
    // The folder itself, without a trailing slash.
    const std::string& Directory() const { return m_directory; }
    // The path of a file in the folder (for the start-up log).
    std::string FilePath(std::string_view name) const;

    static bool IsPlainName(std::string_view name);

    // Reads at most maxBytes.
    FileBytes Read(std::string_view name, size_t maxBytes) const;
    // Creates the folder, then writes atomically. False when any step failed;
    // the old file is then unchanged.
    bool Write(std::string_view name, std::span<const uint8_t> bytes) const;
    bool Write(std::string_view name, std::string_view text) const;

    bool Exists(std::string_view name) const;
    // True when the file is gone afterwards (also when it never existed).
    bool Remove(std::string_view name) const;
    // Moves a damaged file out of the way so that it is never overwritten:
    // "name.bad", or "name.bad2" to "name.bad9" when those are taken (the
    // last one is replaced when all are). Returns the new name, or empty
    // when the file could not be moved.
    std::string KeepAside(std::string_view name) const;
    // The names KeepAside may give the file, in the order it tries them.
    static std::vector<std::string> AsideNames(std::string_view name);

    // Removes the temporary files of writes that were cut off (the game was
    // killed between writing one and renaming it); for the start.
    int RemoveLeftovers() const;

    // Called after every write with the file name and whether it was
    // written, so that the player can be told when saving stops working
    // (the old file is kept either way).
    using WriteObserver = std::function<void(std::string_view name, bool written)>;
    void ObserveWrites(WriteObserver observer) { m_writeObserver = std::move(observer); }

private:
    bool WriteFile(std::string_view name, std::span<const uint8_t> bytes) const;

    Quillo::FileGateway* m_files;
    std::string m_root;
    std::string m_directory;
    WriteObserver m_writeObserver;
};

} // namespace Spindrel
