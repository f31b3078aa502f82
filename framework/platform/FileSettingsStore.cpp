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
        bool applied = false;
        return m_store.Submit({Change::Kind::Set, m_path, std::string(name), type,
                               std::vector<uint8_t>(data, data + length)},
                              applied);
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
        const bool written = m_store.Submit({Change::Kind::Erase, m_path, std::string(name), {}, {}}, found);
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

SettingsDocument FileSettingsStore::LoadFile() const
{
    if (!Enabled())
        return SettingsDocument::Parse("");
    auto text = FileSystem::ReadFile(m_filePath);
    if (!text)
        return SettingsDocument::Parse("");
    return SettingsDocument::Parse(std::string_view(reinterpret_cast<const char*>(text->data()), text->size()));
}

SettingsDocument FileSettingsStore::Load() const
{
    return m_batchView ? *m_batchView : LoadFile();
}

bool FileSettingsStore::Apply(SettingsDocument& doc, const Change& change)
{
    switch (change.kind)
    {
    case Change::Kind::CreateKey:
        if (doc.HasKey(change.path))
            return false;
        doc.CreateKey(change.path);
        return true;
    case Change::Kind::Set:
        doc.Set(change.path, change.name, change.type, change.data.data(), change.data.size());
        return true;
    case Change::Kind::Erase:
        return doc.Erase(change.path, change.name);
    }
    return false;
}

bool FileSettingsStore::Submit(Change change, bool& applied)
{
    if (!Enabled())
        return false;
    if (m_batchView)
    {
        applied = Apply(*m_batchView, change);
        if (applied)
            m_batch.push_back(std::move(change));
        return true;
    }
    return Write({change}, applied);
}

bool FileSettingsStore::Write(const std::vector<Change>& changes, bool& applied)
{
    applied = false;
    if (!Enabled() || !FileSystem::MakeDirectories(m_directory, true))
        return false;
    LockFile lock(m_lockPath);
    if (!lock.Locked())
        return false;
    // Read again under the lock: another copy of the program (or the
    // display code through another key) may have written since.
    const auto bytes = FileSystem::ReadFile(m_filePath);
    const std::string before = bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
    SettingsDocument doc = SettingsDocument::Parse(before);
    for (const Change& change : changes)
        applied = Apply(doc, change) || applied;
    if (!applied)
        return true;
    const std::string after = doc.Serialize();
    if (bytes && after == before)
        return true;
    return FileSystem::WriteFileAtomic(m_filePath, after);
}

void FileSettingsStore::BeginBatch()
{
    if (m_batchDepth++ == 0 && Enabled())
    {
        m_batchView = LoadFile();
        m_batch.clear();
    }
}

bool FileSettingsStore::EndBatch()
{
    if (m_batchDepth == 0 || --m_batchDepth > 0)
        return true;
    m_batchView.reset();
    const std::vector<Change> changes = std::move(m_batch);
    m_batch.clear();
    bool applied = false;
    return changes.empty() || Write(changes, applied);
}

std::unique_ptr<SettingsKey> FileSettingsStore::OpenKey(std::string_view path, bool forWriting)
{
    if (!Enabled() || !Load().HasKey(path))
        return nullptr;
    return std::make_unique<Key>(*this, SettingsDocument::CanonicalPath(path), forWriting);
}

std::unique_ptr<SettingsKey> FileSettingsStore::CreateKey(std::string_view path)
{
    bool created = false;
    const std::string canonical = SettingsDocument::CanonicalPath(path);
    if (!Submit({Change::Kind::CreateKey, canonical, {}, {}, {}}, created))
        return nullptr;
    return std::make_unique<Key>(*this, canonical, true);
}

} // namespace Quillo
