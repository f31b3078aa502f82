#include "framework/graphics/ImageRegistry.h"

#include "framework/graphics/NativeDisplay.h"

#include <vector>

namespace Quillo
{

void ImageRegistry::Add(MemoryImage* image)
{
    std::lock_guard lock(m_mutex);
    m_images.insert(image);
}

void ImageRegistry::Remove(MemoryImage* image)
{
    std::lock_guard lock(m_mutex);
    m_images.erase(image);
}

bool ImageRegistry::Contains(const MemoryImage* image)
{
    std::lock_guard lock(m_mutex);
    return m_images.count(const_cast<MemoryImage*>(image)) != 0;
}

size_t ImageRegistry::Count()
{
    std::lock_guard lock(m_mutex);
    return m_images.size();
}

void ImageRegistry::ForEach(const std::function<void(MemoryImage&)>& fn)
{
    std::lock_guard lock(m_mutex);
    // A snapshot, so that fn may create images (which adds to the set).
    const std::vector<MemoryImage*> images(m_images.begin(), m_images.end());
    for (MemoryImage* image : images)
        if (m_images.count(image))
            fn(*image);
}

void ImageRegistry::SetDisplay(NativeDisplay* display)
{
    std::lock_guard lock(m_mutex);
    m_display = display;
}

NativeDisplay* ImageRegistry::GetDisplay()
{
    std::lock_guard lock(m_mutex);
    return m_display;
}

void ImageRegistry::ReleaseDeviceTexture(MemoryImage& image)
{
    std::lock_guard lock(m_mutex);
    if (m_display)
        m_display->ReleaseImageTexture(image);
}

} // namespace Quillo
