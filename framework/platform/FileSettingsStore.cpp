#include "framework/platform/FileSettingsStore.h"

#include "framework/platform/FileSystem.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace Quillo
{

namespace
{

// Closes the lock file (and so drops the lock) on every path out.
class LockFile
{
public:
    explicit LockFile(const std::string& path)
    {
        m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd < 0)
            return;
        int rc;
        do
            rc = ::flock(m_fd, LOCK_EX);
        while (rc != 0 && errno == EINTR);
        if (rc != 0)
        {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~LockFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;

    bool Locked() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

bool IsKeyChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ' || c == '.' ||
           c == '_' || c == '-';
}

} // namespace

class FileSettingsStore::Key : public SettingsKey
{
public:
    Key(FileSettingsStore& store, std::string path, bool writable)
        : m_store(store), m_path(std::move(path)), m_writable(writable)
    {
    }

    bool SetValue(std::string_view name, SettingsType type, const uint8_t* data, size_t length) override
    {
        if (!m_writable)
            return false;
        return m_store.Modify([&](SettingsDocument& doc) {
            doc.Set(m_path, name, type, data, length);
            return true;
        });
    }

    bool QueryValue(std::string_view name, SettingsType& type, uint8_t* buffer, size_t capacity,
                    size_t& length) override
    {
        const SettingsDocument doc = m_store.Load();
        const SettingsValue* v = doc.Find(m_path, name);
        if (!v)
            return false;
        type = v->type;
        length = v->data.size();
        if (length > capacity)
            return false;
        std::copy(v->data.begin(), v->data.end(), buffer);
        return true;
    }

    bool DeleteValue(std::string_view name) override
    {
        if (!m_writable)
            return false;
        bool found = false;
        const bool written = m_store.Modify([&](SettingsDocument& doc) {
            found = doc.Erase(m_path, name);
            return found;
        });
        return found && written;
    }

private:
    FileSettingsStore& m_store;
    std::string m_path;
    bool m_writable;
};

FileSettingsStore::FileSettingsStore(std::string_view registryKey)
    : FileSettingsStore(registryKey, FileSystem::ConfigHome())
{
}

FileSettingsStore::FileSettingsStore(std::string_view registryKey, std::string_view configHome)
{
    if (!IsValidRegistryKey(registryKey) || configHome.empty())
        return;
    m_directory = FileSystem::NormalizePath(std::string(configHome) + "/" + std::string(registryKey));
    m_filePath = m_directory + "/settings.reg";
    m_lockPath = m_directory + "/settings.lock";
    // A program killed in the middle of a save leaves its temporary file.
    FileSystem::RemoveStaleTemporaries(m_directory);
}

bool FileSettingsStore::IsValidRegistryKey(std::string_view registryKey)
{
    if (registryKey.empty())
        return false;
    size_t pos = 0;
    while (pos <= registryKey.size())
    {
        size_t next = registryKey.find('\\', pos);
        if (next == std::string_view::npos)
            next = registryKey.size();
        const std::string_view part = registryKey.substr(pos, next - pos);
        if (part.empty() || part == "." || part == "..")
            return false;
        for (char c : part)
            if (!IsKeyChar(c))
                return false;
        pos = next + 1;
    }
    return true;
}

SettingsDocument FileSettingsStore::Load() const
{
    if (!Enabled())
        return SettingsDocument::Parse("");
    auto text = FileSystem::ReadFile(m_filePath);
    if (!text)
        return SettingsDocument::Parse("");
    return SettingsDocument::Parse(std::string_view(reinterpret_cast<const char*>(text->data()), text->size()));
}

bool FileSettingsStore::Modify(const std::function<bool(SettingsDocument&)>& change)
{
    if (!Enabled() || !FileSystem::MakeDirectories(m_directory, true))
        return false;
    LockFile lock(m_lockPath);
    if (!lock.Locked())
        return false;
    // Read again under the lock: another copy of the program (or the
    // display code through another key) may have written since.
    SettingsDocument doc = Load();
    if (!change(doc))
        return true;
    return FileSystem::WriteFileAtomic(m_filePath, doc.Serialize());
}

std::unique_ptr<SettingsKey> FileSettingsStore::OpenKey(std::string_view path, bool forWriting)
{
    if (!Enabled() || !Load().HasKey(path))
        return nullptr;
    return std::make_unique<Key>(*this, SettingsDocument::CanonicalPath(path), forWriting);
}

std::unique_ptr<SettingsKey> FileSettingsStore::CreateKey(std::string_view path)
{
    if (!Enabled())
        return nullptr;
    const bool ok = Modify([&](SettingsDocument& doc) {
        if (doc.HasKey(path))
            return false;
        doc.CreateKey(path);
        return true;
    });
    if (!ok)
        return nullptr;
    return std::make_unique<Key>(*this, SettingsDocument::CanonicalPath(path), true);
}

} // namespace Quillo
