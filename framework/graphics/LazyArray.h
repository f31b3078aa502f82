#pragma once

#include <atomic>
#include <memory>
#include <mutex>

namespace Quillo
{

// An array worked out from an image on first use and kept until the image
// changes. Drawing may read an image from several threads at once, so the
// first use builds under the owner's lock while later uses read without
// one. Reset and Assign are changes to the image, made by its one owner
// while nothing draws from it.
template <typename T> class LazyArray
{
public:
    LazyArray() = default;
    LazyArray(const LazyArray&) = delete;
    LazyArray& operator=(const LazyArray&) = delete;

    // The array, or null while it has not been built.
    const T* Get() const { return m_ready.load(std::memory_order_acquire); }

    // The array, built by build() (returning std::unique_ptr<T[]>) unless
    // another use has built it already.
    template <typename Build> const T* GetOrBuild(std::mutex& lock, Build build)
    {
        if (const T* ready = Get())
            return ready;
        std::lock_guard<std::mutex> guard(lock);
        if (!m_array)
        {
            m_array = build();
            m_ready.store(m_array.get(), std::memory_order_release);
        }
        return m_array.get();
    }

    void Assign(std::unique_ptr<T[]> array)
    {
        m_array = std::move(array);
        m_ready.store(m_array.get(), std::memory_order_release);
    }

    void Reset() { Assign(nullptr); }

private:
    std::unique_ptr<T[]> m_array;
    std::atomic<const T*> m_ready{nullptr};
};

} // namespace Quillo
