#include "tools/datagen/DataWriter.h"

#include "framework/platform/FileSystem.h"

#include <stdexcept>

namespace Spindrel::Datagen
{

DataWriter::DataWriter(std::string root)
    : m_root(std::move(root))
{
}

void DataWriter::Write(std::string_view relativePath, const std::vector<uint8_t>& bytes) const
{
    Write(relativePath, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void DataWriter::Write(std::string_view relativePath, std::string_view text) const
{
    std::string path = m_root + "/" + std::string(relativePath);
    std::string folder = path.substr(0, path.rfind('/'));
    if (!Quillo::FileSystem::MakeDirectories(folder) && !Quillo::FileSystem::IsDirectory(folder))
        throw std::runtime_error("cannot create folder " + folder);
    if (!Quillo::FileSystem::WriteFileAtomic(path, text))
        throw std::runtime_error("cannot write " + path);
}

} // namespace Spindrel::Datagen
