#include "framework/platform/FileSystem.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <fcntl.h>
#include <signal.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Quillo::FileSystem
{

std::string NormalizePath(std::string_view path)
{
    std::string out;
    out.reserve(path.size());
    for (char c : path)
    {
        if (c == '\\')
            c = '/';
        if (c == '/' && !out.empty() && out.back() == '/')
            continue;
        out.push_back(c);
    }
    return out;
}

namespace
{

bool PathExists(const std::string& p)
{
    struct stat st;
    return ::stat(p.c_str(), &st) == 0;
}

std::optional<std::string> FindCaseInsensitive(const std::string& dir, const std::string& name)
{
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d)
        return std::nullopt;
    std::optional<std::string> found;
    while (dirent* e = ::readdir(d))
    {
        if (::strcasecmp(e->d_name, name.c_str()) == 0)
        {
            found = e->d_name;
            break;
        }
    }
    ::closedir(d);
    return found;
}

} // namespace

std::string ResolvePath(std::string_view path)
{
    std::string norm = NormalizePath(path);
    if (norm.empty() || PathExists(norm))
        return norm;

    std::string result;
    size_t pos = 0;
    if (norm[0] == '/')
    {
        result = "/";
        pos = 1;
    }
    while (pos <= norm.size())
    {
        size_t next = norm.find('/', pos);
        if (next == std::string::npos)
            next = norm.size();
        std::string part = norm.substr(pos, next - pos);
        pos = next + 1;
        if (part.empty())
            continue;
        std::string candidate = result.empty() || result.back() == '/' ? result + part : result + "/" + part;
        if (!PathExists(candidate))
        {
            std::string dir = result.empty() ? "" : result;
            auto match = FindCaseInsensitive(dir, part);
            if (!match)
                return norm;
            candidate = result.empty() || result.back() == '/' ? result + *match : result + "/" + *match;
        }
        result = candidate;
    }
    return result;
}

std::optional<std::vector<uint8_t>> ReadFile(std::string_view path)
{
    return ReadFile(path, SIZE_MAX, nullptr);
}

std::optional<std::vector<uint8_t>> ReadFile(std::string_view path, size_t maxBytes,
                                             bool* truncated)
{
    if (truncated)
        *truncated = false;
    const std::string p = ResolvePath(path);
    int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::vector<uint8_t> data;
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        data.reserve(std::min(static_cast<size_t>(st.st_size), maxBytes));
    else if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode))
    {
        ::close(fd);
        return std::nullopt;
    }
    uint8_t buf[65536];
    for (;;)
    {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        const size_t room = maxBytes - data.size();
        if (static_cast<size_t>(n) > room)
        {
            data.insert(data.end(), buf, buf + room);
            if (truncated)
                *truncated = true;
            break;
        }
        data.insert(data.end(), buf, buf + n);
    }
    ::close(fd);
    return data;
}

std::optional<std::string> ReadTextFile(std::string_view path)
{
    auto bytes = ReadFile(path);
    if (!bytes)
        return std::nullopt;
    std::string text;
    text.reserve(bytes->size());
    for (size_t i = 0; i < bytes->size(); ++i)
    {
        const char c = static_cast<char>((*bytes)[i]);
        if (c == '\r' && (i + 1 == bytes->size() || (*bytes)[i + 1] == '\n'))
            continue;
        text.push_back(c);
    }
    return text;
}

namespace
{

std::atomic<WriteFault> g_writeFault{WriteFault::None};
std::atomic<WriteObserver> g_writeObserver{nullptr};
std::atomic<size_t> g_writePiece{SIZE_MAX};

void Observe(WriteStep step, size_t offset)
{
    if (const WriteObserver observer = g_writeObserver.load(std::memory_order_relaxed))
        observer(step, offset);
}

// The injected fault for one step of a write: the errno it fails with, or 0.
int InjectedError(WriteFault step)
{
    if (g_writeFault.load(std::memory_order_relaxed) != step)
        return 0;
    switch (step)
    {
    case WriteFault::DiskFull:
        return ENOSPC;
    case WriteFault::ReadOnly:
        return EROFS;
    case WriteFault::DeviceError:
        return EIO;
    case WriteFault::None:
        break;
    }
    return 0;
}

int OpenForWriting(const std::string& path, int flags)
{
    if (const int error = InjectedError(WriteFault::ReadOnly))
    {
        errno = error;
        return -1;
    }
    return ::open(path.c_str(), flags | O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
}

// Writes everything, retrying short writes; false with errno set on failure.
// An observer sees it in pieces of `piece` bytes.
bool WriteAll(int fd, const void* data, size_t size, size_t piece)
{
    const auto* p = static_cast<const uint8_t*>(data);
    size_t left = size;
    // A full disk takes the first half and refuses the rest.
    size_t room = InjectedError(WriteFault::DiskFull) != 0 ? size / 2 : size;
    while (left > 0)
    {
        if (room == 0)
        {
            errno = ENOSPC;
            return false;
        }
        Observe(WriteStep::Writing, size - left);
        const ssize_t n = ::write(fd, p, std::min({left, room, piece}));
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
        room -= static_cast<size_t>(n);
    }
    return true;
}

bool Sync(int fd)
{
    if (const int error = InjectedError(WriteFault::DeviceError))
    {
        errno = error;
        return false;
    }
    return ::fsync(fd) == 0;
}

// The new file is in place whatever this gives: a folder that cannot be
// flushed (some file systems refuse) leaves the rename to the system's own
// write-back, as without it.
void SyncFolderOf(const std::string& file)
{
    const size_t cut = file.rfind('/');
    const std::string folder = cut == std::string::npos ? "." : cut == 0 ? "/" : file.substr(0, cut);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    (void)::fsync(fd);
    ::close(fd);
}

} // namespace

void SetWriteFault(WriteFault fault)
{
    g_writeFault.store(fault, std::memory_order_relaxed);
}

void SetWriteObserver(WriteObserver observer, size_t pieceBytes)
{
    g_writePiece.store(observer ? std::max<size_t>(pieceBytes, 1) : SIZE_MAX, std::memory_order_relaxed);
    g_writeObserver.store(observer, std::memory_order_relaxed);
}

bool WriteFileAtomic(std::string_view path, const void* data, size_t size)
{
    const std::string target = NormalizePath(path);
    if (target.empty())
        return false;
    const std::string tmp = target + ".tmp." + std::to_string(::getpid());
    const int fd = OpenForWriting(tmp, O_TRUNC);
    if (fd < 0)
        return false;
    Observe(WriteStep::Opened, 0);
    if (!WriteAll(fd, data, size, g_writePiece.load(std::memory_order_relaxed)) || !Sync(fd))
    {
        ::close(fd);
        ::unlink(tmp.c_str());
        return false;
    }
    Observe(WriteStep::Flushed, size);
    if (::close(fd) != 0 || ::rename(tmp.c_str(), target.c_str()) != 0)
    {
        ::unlink(tmp.c_str());
        return false;
    }
    Observe(WriteStep::Renamed, size);
    SyncFolderOf(target);
    Observe(WriteStep::FolderSynced, size);
    return true;
}

bool WriteFileAtomic(std::string_view path, std::string_view text)
{
    return WriteFileAtomic(path, text.data(), text.size());
}

bool AppendFile(std::string_view path, std::string_view text)
{
    const std::string target = NormalizePath(path);
    if (target.empty())
        return false;
    const int fd = OpenForWriting(target, O_APPEND);
    if (fd < 0)
        return false;
    struct stat before;
    const bool sized = ::fstat(fd, &before) == 0;
    // One write, as an append is one step for an observer too.
    const bool written = WriteAll(fd, text.data(), text.size(), SIZE_MAX);
    // A full disk may take part of the text: cut it off again, so the file
    // holds whole appends only.
    if (!written && sized)
        (void)::ftruncate(fd, before.st_size);
    return ::close(fd) == 0 && written;
}

int RemoveStaleTemporaries(std::string_view directory)
{
    const std::string dir = NormalizePath(directory);
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (d == nullptr)
        return 0;
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(d))
    {
        const std::string_view name = entry->d_name;
        const size_t mark = name.rfind(".tmp.");
        if (mark == std::string_view::npos || mark == 0)
            continue;
        const std::string_view digits = name.substr(mark + 5);
        if (digits.empty() || digits.size() > 9 ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        const pid_t pid = static_cast<pid_t>(std::stol(std::string(digits)));
        // A writer that still runs may be about to rename its file.
        if (pid > 0 && (::kill(pid, 0) == 0 || errno != ESRCH))
            continue;
        stale.emplace_back(name);
    }
    ::closedir(d);
    int removed = 0;
    for (const std::string& name : stale)
        removed += ::unlink((dir + "/" + name).c_str()) == 0 ? 1 : 0;
    return removed;
}

bool Exists(std::string_view path)
{
    return PathExists(ResolvePath(path));
}

bool IsDirectory(std::string_view path)
{
    struct stat st;
    return ::stat(ResolvePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsWritableDirectory(std::string_view path)
{
    const std::string p = NormalizePath(path);
    return IsDirectory(p) && ::access(p.c_str(), W_OK | X_OK) == 0;
}

bool MakeDirectories(std::string_view path, bool privateDir)
{
    std::string p = NormalizePath(path);
    if (p.empty())
        return false;
    const mode_t mode = privateDir ? 0700 : 0755;
    for (size_t i = 1; i <= p.size(); ++i)
    {
        if (i == p.size() || p[i] == '/')
        {
            std::string part = p.substr(0, i);
            if (::mkdir(part.c_str(), mode) != 0 && errno != EEXIST)
                return false;
        }
    }
    return IsDirectory(p);
}

bool EntryExists(std::string_view path)
{
    struct stat st;
    return ::lstat(NormalizePath(path).c_str(), &st) == 0;
}

std::vector<std::string> ListDirectory(std::string_view path)
{
    std::vector<std::string> names;
    const std::string dir = NormalizePath(path);
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d)
        return names;
    while (dirent* e = ::readdir(d))
    {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            names.emplace_back(e->d_name);
    }
    ::closedir(d);
    return names;
}

std::string TidyPath(std::string_view path)
{
    std::string text = std::filesystem::path(NormalizePath(path)).lexically_normal().string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text.empty() ? std::string(".") : text;
}

std::string AbsolutePath(std::string_view path)
{
    const std::string p = NormalizePath(path);
    if (!p.empty() && p.front() == '/')
        return p;
    return NormalizePath(CurrentDirectory() + "/" + p);
}

bool RemoveFile(std::string_view path)
{
    return ::unlink(NormalizePath(path).c_str()) == 0;
}

bool RenameFile(std::string_view from, std::string_view to)
{
    return ::rename(NormalizePath(from).c_str(), NormalizePath(to).c_str()) == 0;
}

uint64_t ModificationTime(std::string_view path)
{
    struct stat st;
    if (::stat(ResolvePath(path).c_str(), &st) != 0)
        return 0;
    // 11644473600 s lie between 1601-01-01 and 1970-01-01.
    const uint64_t seconds = static_cast<uint64_t>(st.st_mtim.tv_sec) + 11644473600ULL;
    return seconds * 10000000ULL + static_cast<uint64_t>(st.st_mtim.tv_nsec) / 100;
}

std::string ExecutablePath()
{
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

std::string ExecutableDirectory()
{
    const std::string exe = ExecutablePath();
    if (exe.empty())
        return CurrentDirectory();
    const size_t slash = exe.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : exe.substr(0, slash == 0 ? 1 : slash);
}

std::string CurrentDirectory()
{
    char buf[PATH_MAX];
    return ::getcwd(buf, sizeof buf) ? std::string(buf) : std::string(".");
}

bool SetCurrentDirectory(std::string_view path)
{
    return ::chdir(NormalizePath(path).c_str()) == 0;
}

namespace
{

std::string EnvOr(const char* name, const std::string& fallback)
{
    const char* v = std::getenv(name);
    return v && *v ? std::string(v) : fallback;
}

std::string Home()
{
    return EnvOr("HOME", "/tmp");
}

} // namespace

std::string ConfigHome()
{
    return EnvOr("XDG_CONFIG_HOME", Home() + "/.config");
}

std::string DataHome()
{
    return EnvOr("XDG_DATA_HOME", Home() + "/.local/share");
}

std::string CacheHome()
{
    return EnvOr("XDG_CACHE_HOME", Home() + "/.cache");
}

std::string RuntimeDirectory()
{
    return EnvOr("XDG_RUNTIME_DIR", "/tmp");
}

} // namespace Quillo::FileSystem
