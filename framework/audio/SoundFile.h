#pragma once

#include "framework/audio/PcmSound.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Readers and the cache writer for the sound file formats, working on the
// file's bytes so that they never trust a size they have not checked
// against what is actually there.
namespace Quillo::SoundFile
{

// The source a cache file was made from: the named file must still carry
// this last-write time (100 ns units since 1601) for the cache to be valid.
struct Dependency
{
    std::string path;
    uint64_t time = 0;
};

struct WaveContents
{
    PcmSound sound;
    std::optional<Dependency> dependency;
};

// Largest decoded sound accepted by default, in samples (about 6 minutes
// of 44.1 kHz stereo). A small compressed file can claim a vast length.
constexpr size_t kDefaultMaxSamples = size_t{32} << 20;

// RIFF WAVE, PCM only (plain or in the extensible format), 1-2 channels,
// 8 or 16 bits. On failure returns
// nothing and says why in `error`.
std::optional<WaveContents> DecodeWave(std::span<const uint8_t> bytes, std::string& error);

// Ogg Vorbis through libvorbisfile, decoded to 16-bit samples.
std::optional<PcmSound> DecodeOgg(std::span<const uint8_t> bytes, std::string& error,
                                  size_t maxSamples = kDefaultMaxSamples);

// The ".snd" format (big-endian header): encoding 1 (mu-law, expanded to
// 16 bits), 2 (signed 8-bit linear), 3 (signed 16-bit linear, big-endian)
// and 27 (A-law, expanded to 16 bits).
std::optional<PcmSound> DecodeSnd(std::span<const uint8_t> bytes, std::string& error);

// The cache file: a WAVE with a "dep " chunk naming the source and its time.
std::vector<uint8_t> EncodeWaveCache(const PcmSound& sound, const Dependency& source);

// G.711 mu-law and A-law to linear 16-bit.
int16_t MuLawToLinear(uint8_t code);
int16_t ALawToLinear(uint8_t code);

} // namespace Quillo::SoundFile
