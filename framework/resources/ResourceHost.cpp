#include "framework/resources/ResourceHost.h"

#include "framework/graphics/MemoryImage.h"

namespace Quillo
{

std::unique_ptr<MemoryImage> ResourceHost::CreateDisplayImage()
{
    return std::make_unique<MemoryImage>();
}

ResourceHost& ResourceHost::Default()
{
    static ResourceHost host;
    return host;
}

} // namespace Quillo
