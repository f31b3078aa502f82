#pragma once

#include <cstdint>
#include <vector>

namespace Spindrel::Datagen
{

// A canonical PCM WAV file: RIFF, "fmt " (mono, 16 bit) and "data".
std::vector<uint8_t> EncodeWav(const std::vector<int16_t>& samples, int sampleRate);

} // namespace Spindrel::Datagen
