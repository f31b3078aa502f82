#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <unordered_set>

namespace Quillo
{

class MemoryImage;
class NativeDisplay;

// The set of all live memory images that were made for the application,
// guarded by the display's lock. The application owns one registry for its
// whole lifetime (it must outlive every image registered with it) and hands
// it to its display, whose lock is this registry's mutex. Images add
// themselves on construction and remove themselves on destruction, from any
// thread.
class ImageRegistry
{
public:
    ImageRegistry() = default;
    ImageRegistry(const ImageRegistry&) = delete;
    ImageRegistry& operator=(const ImageRegistry&) = delete;

    // The display's lock. Recursive, because image creation and destruction
    // may happen while a drawing thread already holds it.
    std::recursive_mutex& Mutex() { return m_mutex; }

    void Add(MemoryImage* image);
    void Remove(MemoryImage* image);
    bool Contains(const MemoryImage* image);
    size_t Count();

    // Calls fn on every registered image while holding the lock; images that
    // fn destroys on the way are not visited.
    void ForEach(const std::function<void(MemoryImage&)>& fn);

    // The display that may hold device textures made from images; null when
    // there is none. Set by the display for its own lifetime.
    void SetDisplay(NativeDisplay* display);
    NativeDisplay* GetDisplay();

    // Asks the display, if any, to drop a device texture made from image.
    void ReleaseDeviceTexture(MemoryImage& image);

private:
    std::recursive_mutex m_mutex;
    std::unordered_set<MemoryImage*> m_images;
    NativeDisplay* m_display = nullptr;
};

} // namespace Quillo
