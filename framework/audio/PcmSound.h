#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Quillo
{

// A decoded sound, ready for the mixer. Samples are always held as signed
// 16-bit values; `bitsPerSample` remembers the source's depth (8-bit data is
// widened by << 8) so that a cache file can be written back losslessly.
struct PcmSound
{
    int channels = 1;             // 1 or 2
    int sampleRate = 22050;       // Hz
    int bitsPerSample = 16;       // 8 or 16
    std::vector<int16_t> samples; // interleaved

    size_t Frames() const
    {
        return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0;
    }
};

} // namespace Quillo
