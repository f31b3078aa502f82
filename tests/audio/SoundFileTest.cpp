#include "framework/audio/SoundFile.h"

#include "AudioFixtures.h"

#include <gtest/gtest.h>

using namespace Quillo;
using namespace AudioFixtures;

namespace
{

enum class Format
{
    Wave,
    Snd
};

std::optional<PcmSound> Decode(Format format, const Bytes& bytes, std::string& error)
{
    if (format == Format::Snd)
        return SoundFile::DecodeSnd(bytes, error);
    auto wave = SoundFile::DecodeWave(bytes, error);
    return wave ? std::optional<PcmSound>(wave->sound) : std::nullopt;
}

// The extensible format chunk: the plain 16 bytes, then the extension size,
// valid bits, channel mask and the sub-format GUID.
Bytes ExtensibleFmt(int channels, int rate, int bits, uint16_t subFormat)
{
    Bytes f = FmtBody(channels, rate, bits, 0xFFFE);
    Put(f, 22, 2);
    Put(f, static_cast<uint32_t>(bits), 2);
    Put(f, channels == 2 ? 3 : 4, 4);
    Put(f, subFormat, 2);
    for (uint8_t b :
         {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71})
        f.push_back(b);
    return f;
}

} // namespace

TEST(SoundDecoding, EveryLayoutKeepsItsSamples)
{
    // clang-format off
    const struct
    {
        const char* name;
        Format format;
        Bytes file;
        int channels, rate, bits;
        std::vector<int16_t> samples;
    } cases[] = {
        {"16-bit stereo", Format::Wave, Wave16(2, 44100, {0, -1, 32767, -32768, 1234, -4321}),
         2, 44100, 16, {0, -1, 32767, -32768, 1234, -4321}},
        {"8-bit data is unsigned", Format::Wave,
         Wave({{"fmt ", FmtBody(1, 8000, 8)}, {"data", {0, 128, 255, 127}}}),
         1, 8000, 8, {-32768, 0, 32512, -256}},
        // An odd-sized chunk is followed by one pad byte.
        {"unknown chunks are skipped", Format::Wave,
         Wave({{"LIST", {'a', 'b', 'c'}}, {"fmt ", FmtBody(1, 11025, 16)}, {"junk", {1}},
               {"data", {0x34, 0x12, 0xDC, 0xFE}}}),
         1, 11025, 16, {0x1234, static_cast<int16_t>(0xFEDC)}},
        {"extensible PCM", Format::Wave,
         Wave({{"fmt ", ExtensibleFmt(2, 48000, 16, 1)},
               {"data", {2, 1, 0xFE, 0xFF, 0xFF, 0x7F, 0, 0x80}}}),
         2, 48000, 16, {0x0102, -2, 32767, -32768}},
        {"data before a format uses the defaults", Format::Wave, Wave({{"data", {1, 0, 2, 0}}}),
         1, 22050, 16, {1, 2}},
        {"a partial frame is dropped", Format::Wave,
         Wave({{"fmt ", FmtBody(2, 22050, 16)}, {"data", {1, 0, 2, 0, 3, 0}}}),
         2, 22050, 16, {1, 2}},
        {"mu-law", Format::Snd, Snd(1, 8000, 1, {0xFF, 0x7F, 0x80, 0x00}),
         1, 8000, 16, {0, 0, 32124, -32124}},
        {"8-bit linear is signed", Format::Snd, Snd(2, 22050, 2, {0x00, 0x7F, 0x80, 0xFF}),
         2, 22050, 8, {0, 32512, -32768, -256}},
        // G.711's table: 0xD5 and 0x55 are the smallest steps either side of zero.
        {"A-law", Format::Snd, Snd(27, 8000, 1, {0xD5, 0x55, 0xAA, 0x2A}),
         1, 8000, 16, {8, -8, 32256, -32256}},
        // The encoding sox writes by default; it was refused before. The odd
        // byte at the end is no whole sample.
        {"16-bit linear is big-endian", Format::Snd,
         Snd(3, 11025, 2, {0x12, 0x34, 0xFE, 0xDC, 0x80, 0x00, 0x7F, 0xFF, 0x01}),
         2, 11025, 16, {0x1234, static_cast<int16_t>(0xFEDC), -32768, 32767}},
        {"a lone sample of a frame is dropped", Format::Snd, Snd(3, 11025, 2, {0, 1, 0, 2, 0, 3}),
         2, 11025, 16, {1, 2}},
        // "Unknown size" runs to the end; a larger offset skips the annotation.
        {"unknown size and an annotation", Format::Snd, Snd(2, 8000, 1, {1, 2, 3}, 32, 0xFFFFFFFF),
         1, 8000, 8, {256, 512, 768}},
    };
    // clang-format on
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::string error;
        const auto sound = Decode(c.format, c.file, error);
        ASSERT_TRUE(sound) << error;
        EXPECT_EQ(sound->channels, c.channels);
        EXPECT_EQ(sound->sampleRate, c.rate);
        EXPECT_EQ(sound->bitsPerSample, c.bits);
        EXPECT_EQ(sound->samples, c.samples);
    }
    std::string error;
    EXPECT_FALSE(SoundFile::DecodeWave(Wave16(1, 8000, {1}), error)->dependency);
    // Monotonic over each half of the code space.
    for (int c = 0x81; c <= 0xFF; ++c)
        EXPECT_LT(SoundFile::MuLawToLinear(static_cast<uint8_t>(c)),
                  SoundFile::MuLawToLinear(static_cast<uint8_t>(c - 1)));
}

TEST(SoundDecoding, BrokenFilesAreRefusedWithAReason)
{
    const Bytes good = Wave16(1, 22050, {1, 2, 3, 4});
    Bytes notRiff = good;
    notRiff[0] = 'X';
    Bytes huge = good; // a data size far beyond the file
    std::fill(huge.end() - 12, huge.end() - 9, 0xFF);
    huge[huge.size() - 9] = 0x7F;
    Bytes farOffset = Snd(2, 8000, 1, {1, 2, 3});
    farOffset[4] = 0x7F;
    // clang-format off
    const struct
    {
        const char* name;
        Format format;
        Bytes file;
        const char* error;
    } cases[] = {
        {"not RIFF", Format::Wave, notRiff, "not a RIFF WAVE file"},
        {"data past the end", Format::Wave, huge,
         "the \"data\" chunk runs past the end of the file"},
        {"float", Format::Wave, Wave({{"fmt ", FmtBody(1, 22050, 16, 3)}, {"data", {0, 0, 0, 0}}}),
         "not PCM data (format 3)"},
        {"extensible float", Format::Wave,
         Wave({{"fmt ", ExtensibleFmt(1, 48000, 32, 3)}, {"data", {0, 0, 0, 0}}}),
         "not PCM data (extensible sub-format 3)"},
        {"short extensible", Format::Wave,
         Wave({{"fmt ", FmtBody(1, 48000, 16, 0xFFFE)}, {"data", {0, 0}}}),
         "the extensible format chunk is too short"},
        {"six channels", Format::Wave,
         Wave({{"fmt ", FmtBody(6, 22050, 16)}, {"data", Bytes(12, 0)}}),
         "unsupported channel count 6"},
        {"24 bits", Format::Wave, Wave({{"fmt ", FmtBody(1, 22050, 24)}, {"data", Bytes(6, 0)}}),
         "unsupported sample size 24 bits"},
        {"no rate", Format::Wave, Wave({{"fmt ", FmtBody(1, 0, 16)}, {"data", Bytes(2, 0)}}),
         "unsupported sample rate 0"},
        {"format too short", Format::Wave, Wave({{"fmt ", Bytes(8, 0)}}),
         "the format chunk is too short"},
        {"no data", Format::Wave, Wave({{"fmt ", FmtBody(1, 22050, 16)}}),
         "the file has no data chunk"},
        // The source names more than the chunk holds.
        {"bad source", Format::Wave, Wave({{"dep ", {200, 0, 'a'}}, {"data", Bytes(2, 0)}}),
         "the source chunk is malformed"},
        {"size past the end", Format::Snd, Snd(2, 8000, 1, {1, 2, 3}, 24, 4),
         "the sound data is truncated"},
        {"offset past the end", Format::Snd, farOffset, "the data offset lies outside the file"},
        {"offset inside the header", Format::Snd, Snd(2, 8000, 1, {1, 2, 3}, 8),
         "the data offset lies outside the file"},
        {"24-bit linear", Format::Snd, Snd(4, 8000, 1, {1, 2, 3}), "unsupported encoding 4"},
        {"no channels", Format::Snd, Snd(1, 8000, 0, {1, 2}), "unsupported channel count 0"},
        {"three channels", Format::Snd, Snd(1, 8000, 3, {1, 2, 3}), "unsupported channel count 3"},
        {"no rate", Format::Snd, Snd(1, 0, 1, {1, 2}), "unsupported sample rate 0"},
    };
    // clang-format on
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::string error;
        EXPECT_FALSE(Decode(c.format, c.file, error));
        EXPECT_EQ(error, c.error);
    }
    // Every truncation of a good file (of a .snd file's header) fails cleanly.
    const Bytes snd = Snd(1, 8000, 1, {1, 2});
    for (auto [format, file, cuts] :
         {std::tuple{Format::Wave, good, good.size()}, {Format::Snd, snd, 24}})
        for (size_t n = 0; n < cuts; ++n)
        {
            std::string error;
            EXPECT_FALSE(
                Decode(format, Bytes(file.begin(), file.begin() + static_cast<long>(n)), error));
            EXPECT_FALSE(error.empty()) << "cut at " << n;
        }
}

TEST(OggDecoding, DecodesWhatTheEncoderWrote)
{
    const int frames = 22050;
    const auto pcm = Sine(2, 22050, frames);
    const Bytes ogg = Ogg(2, 22050, pcm);
    ASSERT_FALSE(ogg.empty());
    std::string error;
    auto sound = SoundFile::DecodeOgg(ogg, error);
    ASSERT_TRUE(sound) << error;
    EXPECT_EQ(sound->channels, 2);
    EXPECT_EQ(sound->sampleRate, 22050);
    EXPECT_EQ(sound->bitsPerSample, 16);
    ASSERT_EQ(sound->Frames(), static_cast<size_t>(frames));
    // Lossy, but the waveform is plainly the one encoded.
    double error2 = 0.0, signal2 = 0.0;
    for (size_t i = 0; i < pcm.size(); ++i)
    {
        const double want = pcm[i] * 32767.0;
        error2 += (sound->samples[i] - want) * (sound->samples[i] - want);
        signal2 += want * want;
    }
    EXPECT_LT(error2, signal2 * 0.01);
}

TEST(OggDecoding, RejectsDamagedStreams)
{
    const Bytes ogg = Ogg(1, 44100, Sine(1, 44100, 44100));
    std::string error;
    // Cut short: the recorded length cannot be filled (or no length at all).
    for (size_t keep : {size_t{0}, size_t{30}, ogg.size() / 3, ogg.size() / 2, ogg.size() - 200})
    {
        error.clear();
        EXPECT_FALSE(
            SoundFile::DecodeOgg(Bytes(ogg.begin(), ogg.begin() + static_cast<long>(keep)), error))
            << "kept " << keep;
        EXPECT_FALSE(error.empty());
    }
    Bytes garbage(4096);
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<uint8_t>(i * 7919 >> 3);
    EXPECT_FALSE(SoundFile::DecodeOgg(garbage, error));
    // A claimed length beyond the limit is refused before decoding.
    EXPECT_FALSE(SoundFile::DecodeOgg(ogg, error, 1000));
}

TEST(WaveCache, RoundTripsSamplesAndSource)
{
    PcmSound sound;
    sound.channels = 2;
    sound.sampleRate = 32000;
    sound.bitsPerSample = 16;
    sound.samples = {1, -2, 300, -32768, 32767, 0};
    // An odd-length name makes an odd-sized chunk, which must be padded; a
    // long one is cut when read.
    const std::string longName(300, 'n');
    for (const SoundFile::Dependency& source :
         {SoundFile::Dependency{"sounds/abc.ogg", 0x0123456789ABCDEFull}, {longName, 42}})
    {
        std::string error;
        auto wave = SoundFile::DecodeWave(SoundFile::EncodeWaveCache(sound, source), error);
        ASSERT_TRUE(wave) << error;
        EXPECT_EQ(wave->sound.samples, sound.samples);
        EXPECT_EQ(wave->sound.sampleRate, 32000);
        ASSERT_TRUE(wave->dependency);
        EXPECT_EQ(wave->dependency->path, source.path.substr(0, 255));
        EXPECT_EQ(wave->dependency->time, source.time);
    }
}

TEST(WaveCache, EightBitSoundsAreStoredUnsigned)
{
    std::string error;
    auto snd = SoundFile::DecodeSnd(Snd(2, 8000, 1, {0x00, 0x7F, 0x80, 0xFF}), error);
    ASSERT_TRUE(snd);
    const Bytes cache = SoundFile::EncodeWaveCache(*snd, {"a.au", 1});
    // The data bytes are the signed ones with the top bit flipped.
    EXPECT_EQ(Bytes(cache.end() - 4, cache.end()), (Bytes{0x80, 0xFF, 0x00, 0x7F}));
    auto wave = SoundFile::DecodeWave(cache, error);
    ASSERT_TRUE(wave) << error;
    EXPECT_EQ(wave->sound.bitsPerSample, 8);
    EXPECT_EQ(wave->sound.samples, snd->samples);
}
