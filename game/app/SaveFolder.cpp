#include "game/app/SaveFolder.h"

#include "framework/platform/FileSystem.h"

#include <iterator>
#include <utility>

namespace Spindrel
{

namespace FS = Quillo::FileSystem;

SaveFolder SaveFolder::Locate(bool installed, Quillo::FileGateway& files)
{
    if (installed)
        return SaveFolder(FS::DataHome() + "/spindrel/", files);
    if (FS::IsWritableDirectory(kFolderName))
        return SaveFolder(std::string(), files);
    if (!FS::EntryExists(kFolderName) && FS::IsWritableDirectory("."))
        return SaveFolder(std::string(), files);
    return SaveFolder(FS::DataHome() + "/spindrel/", files);
}

SaveFolder::SaveFolder(std::string root, Quillo::FileGateway& files)
    : m_files(&files), m_root(FS::NormalizePath(root))
{
    if (!m_root.empty() && m_root.back() != '/')
        m_root += '/';
    m_directory = m_root + kFolderName;
}

std::string SaveFolder::FilePath(std::string_view name) const
{
    return m_directory + "/" + std::string(name);
}

bool SaveFolder::IsPlainName(std::string_view name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    for (char c : name)
    {
        if (c == '/' || c == '\\' || c == '\0')
            return false;
    }
    return true;
}

SaveFolder::FileBytes SaveFolder::Read(std::string_view name, size_t maxBytes) const
{
    FileBytes result;
    if (!IsPlainName(name))
        return result;
    // The exact name only: the data reader's case-insensitive lookup would
    // let "ann" read the files of "Ann".
    if (!m_files->Exists(FilePath(name)))
        return result;
    bool truncated = false;
    auto bytes = m_files->Read(FilePath(name), maxBytes, truncated);
    if (!bytes)
        return result;
    result.status = truncated ? ReadStatus::TooLarge : ReadStatus::Read;
    result.bytes = std::move(*bytes);
    return result;
}

bool SaveFolder::Write(std::string_view name, std::span<const uint8_t> bytes) const
{
    if (!IsPlainName(name))
        return false;
    const bool written = WriteFile(name, bytes);
    if (m_writeObserver)
        m_writeObserver(name, written);
    return written;
}

bool SaveFolder::WriteFile(std::string_view name, std::span<const uint8_t> bytes) const
{
    return m_files->MakeDirectories(m_directory) && m_files->Write(FilePath(name), bytes.data(), bytes.size());
}

bool SaveFolder::Write(std::string_view name, std::string_view text) const
{
    return Write(name, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

bool SaveFolder::Exists(std::string_view name) const
{
    return IsPlainName(name) && m_files->Exists(FilePath(name));
}

bool SaveFolder::Remove(std::string_view name) const
{
    if (!IsPlainName(name))
        return false;
    const std::string path = FilePath(name);
    return m_files->Remove(path) || !m_files->Exists(path);
}

int SaveFolder::RemoveLeftovers() const
{
    return FS::RemoveStaleTemporaries(m_directory);
}

std::string SaveFolder::KeepAside(std::string_view name) const
{
    if (!IsPlainName(name) || !Exists(name))
        return {};
    const std::vector<std::string> names = AsideNames(name);
    auto target = names.begin();
    while (std::next(target) != names.end() && Exists(*target))
        ++target;
    return m_files->Rename(FilePath(name), FilePath(*target)) ? *target : std::string();
}

std::vector<std::string> SaveFolder::AsideNames(std::string_view name)
{
    const std::string base = std::string(name) + ".bad";
    std::vector<std::string> names = {base};
    for (int n = 2; n <= 9; ++n)
        names.push_back(base + std::to_string(n));
    return names;
}

} // namespace Spindrel
