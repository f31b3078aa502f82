#include "framework/graphics/ImageLib.h"

#include "framework/platform/FileSystem.h"

#include <algorithm>
#include <cctype>

namespace Quillo::ImageLib
{
namespace
{

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

using Reader = std::unique_ptr<Image> (*)(const std::string&);

struct Decoder
{
    const char* extension;
    Reader read;
};

// The order in which a name without extension is tried.
constexpr Decoder kDecoders[] = {
    {".tga", ReadTGA},
    {".jpg", ReadJPEG},
    {".png", ReadPNG},
    {".gif", ReadGIF},
};

} // namespace

Image::Image(int w, int h)
    : width(w), height(h), bits(std::make_unique<uint32_t[]>(size_t(w) * size_t(h)))
{
}

std::unique_ptr<Image> GetImage(const std::string& fileName, bool lookForAlpha)
{
    const size_t slash = fileName.find_last_of("/\\");
    const size_t dot = fileName.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    const std::string extension = hasExtension ? fileName.substr(dot) : std::string();
    const std::string stem = hasExtension ? fileName.substr(0, dot) : fileName;

    std::unique_ptr<Image> image;
    for (const Decoder& d : kDecoders)
    {
        if (!extension.empty() && Lower(extension) != d.extension)
            continue;
        image = d.read(stem + d.extension);
        if (image)
            break;
    }
    if (!lookForAlpha)
        return image;

    const size_t fileStart = slash == std::string::npos ? 0 : slash + 1;
    std::unique_ptr<Image> alpha =
        GetImage(fileName.substr(0, fileStart) + "_" + fileName.substr(fileStart), false);
    if (!alpha)
        alpha = GetImage(fileName + "_", false);
    if (!alpha)
        return image;

    const size_t n = size_t(alpha->width) * size_t(alpha->height);
    if (!image)
    {
        for (size_t i = 0; i < n; ++i)
            alpha->bits[i] = (alpha->bits[i] << 24) | 0x00FFFFFFu;
        return alpha;
    }
    if (image->width == alpha->width && image->height == alpha->height)
        for (size_t i = 0; i < n; ++i)
            image->bits[i] = (image->bits[i] & 0x00FFFFFFu) | (alpha->bits[i] << 24);
    return image;
}

} // namespace Quillo::ImageLib
