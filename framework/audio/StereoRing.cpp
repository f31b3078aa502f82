#include "framework/audio/StereoRing.h"

#include <algorithm>

namespace Quillo
{

StereoRing::StereoRing(size_t frames)
    : m_capacity(std::max<size_t>(frames, 1)), m_data(m_capacity * 2)
{
}

float* StereoRing::WriteSpan(size_t& frames)
{
    const uint64_t written = m_written.load(std::memory_order_relaxed);
    const size_t offset = static_cast<size_t>(written % m_capacity);
    frames = std::min({frames, FreeFrames(), m_capacity - offset});
    return m_data.data() + 2 * offset;
}

void StereoRing::Commit(size_t frames)
{
    m_written.store(m_written.load(std::memory_order_relaxed) + frames, std::memory_order_release);
}

void StereoRing::MarkEnd()
{
    m_end.store(m_written.load(std::memory_order_relaxed), std::memory_order_release);
}

bool StereoRing::HasEnd() const
{
    return m_end.load(std::memory_order_acquire) != kNoEnd;
}

size_t StereoRing::FreeFrames() const
{
    const uint64_t used =
        m_written.load(std::memory_order_relaxed) - m_read.load(std::memory_order_acquire);
    return m_capacity - static_cast<size_t>(used);
}

size_t StereoRing::Available() const
{
    return static_cast<size_t>(m_written.load(std::memory_order_acquire) -
                               m_read.load(std::memory_order_relaxed));
}

size_t StereoRing::MixInto(float* mix, size_t frames, float gain)
{
    uint64_t read = m_read.load(std::memory_order_relaxed);
    const size_t take = std::min(frames, Available());
    size_t done = 0;
    while (done < take)
    {
        const size_t offset = static_cast<size_t>(read % m_capacity);
        const size_t n = std::min(take - done, m_capacity - offset);
        const float* src = m_data.data() + 2 * offset;
        float* dst = mix + 2 * done;
        for (size_t i = 0; i < 2 * n; ++i)
            dst[i] += src[i] * gain;
        done += n;
        read += n;
    }
    m_read.store(read, std::memory_order_release);
    return take;
}

bool StereoRing::Finished() const
{
    return m_read.load(std::memory_order_relaxed) >= m_end.load(std::memory_order_acquire);
}

void StereoRing::Clear()
{
    m_read.store(m_written.load(std::memory_order_relaxed), std::memory_order_relaxed);
    m_end.store(kNoEnd, std::memory_order_relaxed);
}

} // namespace Quillo
