#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Quillo::FileSystem
{

// Turns a path as the data and the game write it ("levels\\01.path",
// "_save//options.cfg") into a Linux path: backslashes become slashes and
// repeated slashes collapse. An empty path stays empty.
std::string NormalizePath(std::string_view path);

// Resolves a normalised path for reading: when the exact name does not
// exist, each component is looked up case-insensitively, as the data's
// names were written on a case-insensitive file system. Returns the
// normalised path unchanged when nothing matches.
std::string ResolvePath(std::string_view path);

// Reads a whole file. Returns nothing when it cannot be opened or read.
std::optional<std::vector<uint8_t>> ReadFile(std::string_view path);
// Reads at most maxBytes of a file, so that a huge or endless file cannot
// exhaust memory; truncated (when given) tells whether it held more.
std::optional<std::vector<uint8_t>> ReadFile(std::string_view path, size_t maxBytes,
                                             bool* truncated);

// Reads a whole text file; a trailing "\r" on each line is removed.
std::optional<std::string> ReadTextFile(std::string_view path);

// Writes a file so that a crash or a full disk never leaves it half-written:
// the bytes go to a temporary file beside it, which is flushed to disk and
// then renamed over the target, and the folder is flushed so that the
// rename itself survives a power cut. Returns false (leaving any old file
// intact) when any step fails.
[[nodiscard]] bool WriteFileAtomic(std::string_view path, const void* data, size_t size);
[[nodiscard]] bool WriteFileAtomic(std::string_view path, std::string_view text);

// Appends text to a file (created when missing) in one write, so that a
// process killed meanwhile leaves whole appends only. False when it fails.
bool AppendFile(std::string_view path, std::string_view text);

// Removes the temporary files WriteFileAtomic leaves in `directory` when
// its process is killed between creating and renaming one ("<name>.tmp.<pid>"
// whose process no longer runs). Returns how many were removed.
int RemoveStaleTemporaries(std::string_view directory);

// How writes fail, for tests that show what the game does on a full disk,
// a folder that has become read-only or a failing device.
enum class WriteFault
{
    None,
    DiskFull,    // ENOSPC once the first bytes are written
    ReadOnly,    // EROFS when the temporary file is created
    DeviceError, // EIO when the file is flushed
};
// Makes every WriteFileAtomic and AppendFile fail that way from now on
// (None: writes work again). Process-wide; meant for tests only.
void SetWriteFault(WriteFault fault);

// The moments of a write at which a test may stop the writing process, so
// that a kill lands exactly there rather than wherever a timer happens to
// fall.
enum class WriteStep
{
    Opened,    // the temporary file exists, nothing written yet
    Writing,   // `offset` bytes of the temporary (or of an append) written
    Flushed,   // everything written and flushed, not yet renamed
    Renamed,   // the new file is in place
    FolderSynced, // the folder's new entry is on disk too
};
// Called at each of those moments (nullptr: no observer). With an observer
// set, the temporary file is written in pieces of `pieceBytes`, so that it
// sees the file grow; an append stays one write. Process-wide; meant for
// tests only.
using WriteObserver = void (*)(WriteStep step, size_t offset);
void SetWriteObserver(WriteObserver observer, size_t pieceBytes = 1);

bool Exists(std::string_view path);
// The exact name only, without the case-insensitive lookup; a dangling
// link counts as there.
bool EntryExists(std::string_view path);
bool IsDirectory(std::string_view path);
bool IsWritableDirectory(std::string_view path);

// Creates a directory and its parents (mode 0755, or 0700 when private).
bool MakeDirectories(std::string_view path, bool privateDir = false);

bool RemoveFile(std::string_view path);
bool RenameFile(std::string_view from, std::string_view to);
// The entry names in a directory ("." and ".." left out), unsorted; empty
// when it cannot be read.
std::vector<std::string> ListDirectory(std::string_view path);
// The path made absolute against the working directory.
std::string AbsolutePath(std::string_view path);
// "/usr/bin/../share/x/" as "/usr/share/x": "." and ".." folded away by
// name alone (no look-up), without a trailing slash; "." for nothing left.
std::string TidyPath(std::string_view path);

// Modification time of a file in 100 ns units since 1601 (the timestamp
// stored in sound caches), or 0 when the file does not exist.
uint64_t ModificationTime(std::string_view path);

// The running program's path, and the directory that holds it without a
// trailing slash.
std::string ExecutablePath();
std::string ExecutableDirectory();

std::string CurrentDirectory();
bool SetCurrentDirectory(std::string_view path);

// $XDG_CONFIG_HOME or ~/.config; $XDG_DATA_HOME or ~/.local/share;
// $XDG_CACHE_HOME or ~/.cache; $XDG_RUNTIME_DIR or /tmp.
std::string ConfigHome();
std::string DataHome();
std::string CacheHome();
std::string RuntimeDirectory();

} // namespace Quillo::FileSystem
