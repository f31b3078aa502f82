// Feeds arbitrary bytes to every sound file reader. Whatever decodes must
// also survive the cache round trip unchanged.
#include "framework/audio/SoundFile.h"

#include <cstdlib>

using namespace Quillo;

namespace
{

void CheckCacheRoundTrip(const PcmSound& sound)
{
    std::string error;
    const auto back =
        SoundFile::DecodeWave(SoundFile::EncodeWaveCache(sound, {"fuzz.ogg", 1}), error);
    if (!back || back->sound.samples != sound.samples || back->sound.channels != sound.channels ||
        back->sound.sampleRate != sound.sampleRate)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> bytes(data, size);
    std::string error;
    if (auto wave = SoundFile::DecodeWave(bytes, error))
        CheckCacheRoundTrip(wave->sound);
    if (auto snd = SoundFile::DecodeSnd(bytes, error))
        CheckCacheRoundTrip(*snd);
    // A small limit keeps a tiny file that claims hours of sound cheap.
    if (auto ogg = SoundFile::DecodeOgg(bytes, error, size_t{1} << 22))
        CheckCacheRoundTrip(*ogg);
    return 0;
}
