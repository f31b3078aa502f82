#include "framework/graphics/ImageReadFile.h"

#include "framework/platform/FileSystem.h"

namespace Quillo::ImageLib
{

std::optional<std::vector<uint8_t>> ReadImageFile(const std::string& fileName)
{
    if (fileName.empty())
        return std::nullopt;
    const std::string path = FileSystem::ResolvePath(FileSystem::NormalizePath(fileName));
    if (FileSystem::IsDirectory(path))
        return std::nullopt;
    return FileSystem::ReadFile(path);
}

} // namespace Quillo::ImageLib
