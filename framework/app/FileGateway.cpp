#include "framework/app/FileGateway.h"

#include "framework/platform/FileSystem.h"

namespace Quillo
{

namespace
{

class DirectGateway final : public FileGateway
{
public:
    bool Exists(const std::string& path) override { return FileSystem::EntryExists(path); }
    std::optional<std::vector<uint8_t>> Read(const std::string& path, size_t maxBytes, bool& truncated) override
    {
        truncated = false;
        return FileSystem::ReadFile(path, maxBytes, &truncated);
    }
    bool Write(const std::string& path, const uint8_t* data, size_t size) override
    {
        return FileSystem::WriteFileAtomic(path, data, size);
    }
    bool Append(const std::string& path, std::string_view text) override { return FileSystem::AppendFile(path, text); }
    bool Remove(const std::string& path) override { return FileSystem::RemoveFile(path); }
    bool Rename(const std::string& from, const std::string& to) override { return FileSystem::RenameFile(from, to); }
    bool MakeDirectories(const std::string& path) override { return FileSystem::MakeDirectories(path); }
};

} // namespace

FileGateway& FileGateway::Direct()
{
    static DirectGateway direct;
    return direct;
}

} // namespace Quillo
