#include "framework/graphics/FontHost.h"

#include "framework/graphics/ImageLib.h"
#include "framework/graphics/MemoryImage.h"

namespace Quillo
{

std::unique_ptr<MemoryImage> FontHost::LoadDisplayImage(const std::string& path)
{
    std::unique_ptr<ImageLib::Image> loaded = ImageLib::GetImage(path, true);
    if (!loaded)
        return nullptr;
    auto image = std::make_unique<MemoryImage>();
    image->SetBits(loaded->bits.get(), loaded->width, loaded->height);
    return image;
}

FontHost& FontHost::Default()
{
    static FontHost host;
    return host;
}

} // namespace Quillo
