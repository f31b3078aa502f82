#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace Quillo
{

// A lock-free ring of interleaved stereo float frames between one producer
// thread (rendering music) and one consumer (the audio callback). Frame
// counters only grow, so "written - read" is always the fill level.
class StereoRing
{
public:
    explicit StereoRing(size_t frames);
    StereoRing(const StereoRing&) = delete;
    StereoRing& operator=(const StereoRing&) = delete;

    size_t Capacity() const { return m_capacity; }

    // Producer: a contiguous stretch to write into (at most `frames` long,
    // possibly shorter at the wrap or when the ring is nearly full), then
    // Commit of what was actually written.
    float* WriteSpan(size_t& frames);
    void Commit(size_t frames);
    // No frames follow the committed ones (the song has ended).
    void MarkEnd();
    bool HasEnd() const;
    size_t FreeFrames() const;

    // Consumer: adds up to `frames` buffered frames times `gain` to `mix`
    // and returns how many it took.
    size_t MixInto(float* mix, size_t frames, float gain);
    size_t Available() const;
    // Every frame before the end mark has been consumed.
    bool Finished() const;

    // Drops everything buffered and the end mark. Only while neither side
    // runs (both of their locks held).
    void Clear();

private:
    static constexpr uint64_t kNoEnd = UINT64_MAX;

    size_t m_capacity;
    std::vector<float> m_data;
    std::atomic<uint64_t> m_written{0};
    std::atomic<uint64_t> m_read{0};
    std::atomic<uint64_t> m_end{kNoEnd};
};

} // namespace Quillo
