#include "framework/audio/SoundFile.h"

#include "AudioFixtures.h"

#include <gtest/gtest.h>

using namespace Quillo;
using namespace AudioFixtures;

TEST(WaveDecoding, SixteenBitStereoKeepsEverySample)
{
    const std::vector<int16_t> samples = {0, -1, 32767, -32768, 1234, -4321};
    std::string error;
    auto wave = SoundFile::DecodeWave(Wave16(2, 44100, samples), error);
    ASSERT_TRUE(wave) << error;
    EXPECT_EQ(wave->sound.channels, 2);
    EXPECT_EQ(wave->sound.sampleRate, 44100);
    EXPECT_EQ(wave->sound.bitsPerSample, 16);
    EXPECT_EQ(wave->sound.samples, samples);
    EXPECT_FALSE(wave->dependency);
}

TEST(WaveDecoding, EightBitDataIsUnsigned)
{
    std::string error;
    auto wave = SoundFile::DecodeWave(Wave8(1, 8000, {0, 128, 255, 127}), error);
    ASSERT_TRUE(wave) << error;
    EXPECT_EQ(wave->sound.bitsPerSample, 8);
    EXPECT_EQ(wave->sound.samples, (std::vector<int16_t>{-32768, 0, 32512, -256}));
}

TEST(WaveDecoding, SkipsUnknownChunksWithTheirPadByte)
{
    Bytes chunks;
    Chunk(chunks, "LIST", {'a', 'b', 'c'}); // odd size: one pad byte follows
    Chunk(chunks, "fmt ", FmtBody(1, 11025, 16));
    Chunk(chunks, "junk", {1});
    Bytes data;
    Le16(data, 0x1234);
    Le16(data, 0xFEDC);
    Chunk(chunks, "data", data);
    std::string error;
    auto wave = SoundFile::DecodeWave(Riff(chunks), error);
    ASSERT_TRUE(wave) << error;
    EXPECT_EQ(wave->sound.sampleRate, 11025);
    EXPECT_EQ(wave->sound.samples, (std::vector<int16_t>{0x1234, static_cast<int16_t>(0xFEDC)}));
}

namespace
{

// The extensible format chunk: the plain 16 bytes, then the extension size,
// valid bits, channel mask and the sub-format GUID.
Bytes ExtensibleFmt(int channels, int rate, int bits, uint16_t subFormat)
{
    Bytes f = FmtBody(channels, rate, bits, 0xFFFE);
    Le16(f, 22);
    Le16(f, static_cast<uint32_t>(bits));
    Le32(f, channels == 2 ? 3 : 4);
    Le16(f, subFormat);
    for (uint8_t b : {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71})
        f.push_back(b);
    return f;
}

} // namespace

TEST(WaveDecoding, ExtensibleFormatWithPcmIsRead)
{
    Bytes chunks;
    Chunk(chunks, "fmt ", ExtensibleFmt(2, 48000, 16, 1));
    Bytes data;
    for (uint32_t v : {0x0102u, 0xFFFEu, 0x7FFFu, 0x8000u})
        Le16(data, v);
    Chunk(chunks, "data", data);
    std::string error;
    auto wave = SoundFile::DecodeWave(Riff(chunks), error);
    ASSERT_TRUE(wave) << error;
    EXPECT_EQ(wave->sound.channels, 2);
    EXPECT_EQ(wave->sound.sampleRate, 48000);
    EXPECT_EQ(wave->sound.samples, (std::vector<int16_t>{0x0102, -2, 32767, -32768}));

    Bytes floats;
    Chunk(floats, "fmt ", ExtensibleFmt(1, 48000, 32, 3));
    Chunk(floats, "data", {0, 0, 0, 0});
    EXPECT_FALSE(SoundFile::DecodeWave(Riff(floats), error));
    EXPECT_EQ(error, "not PCM data (extensible sub-format 3)");

    Bytes shortExt;
    Chunk(shortExt, "fmt ", FmtBody(1, 48000, 16, 0xFFFE));
    Chunk(shortExt, "data", {0, 0});
    EXPECT_FALSE(SoundFile::DecodeWave(Riff(shortExt), error));
    EXPECT_EQ(error, "the extensible format chunk is too short");
}

TEST(WaveDecoding, DataBeforeAFormatChunkUsesTheDefaults)
{
    Bytes chunks;
    Chunk(chunks, "data", {1, 0, 2, 0});
    std::string error;
    auto wave = SoundFile::DecodeWave(Riff(chunks), error);
    ASSERT_TRUE(wave) << error;
    EXPECT_EQ(wave->sound.channels, 1);
    EXPECT_EQ(wave->sound.sampleRate, 22050);
    EXPECT_EQ(wave->sound.samples, (std::vector<int16_t>{1, 2}));
}

TEST(WaveDecoding, RejectsBrokenFiles)
{
    auto fails = [](const Bytes& bytes)
    {
        std::string error;
        const bool failed = !SoundFile::DecodeWave(bytes, error);
        return failed && !error.empty();
    };
    const Bytes good = Wave16(1, 22050, {1, 2, 3, 4});
    // Every truncation of a good file fails cleanly.
    for (size_t n = 0; n < good.size(); ++n)
        EXPECT_TRUE(fails(Bytes(good.begin(), good.begin() + static_cast<long>(n))))
            << "cut at " << n;

    Bytes notRiff = good;
    notRiff[0] = 'X';
    EXPECT_TRUE(fails(notRiff));

    Bytes huge = good; // a data size far beyond the file
    huge[huge.size() - 12] = 0xFF;
    huge[huge.size() - 11] = 0xFF;
    huge[huge.size() - 10] = 0xFF;
    huge[huge.size() - 9] = 0x7F;
    EXPECT_TRUE(fails(huge));

    Bytes chunks;
    Chunk(chunks, "fmt ", FmtBody(1, 22050, 16, 3)); // float, not PCM
    Chunk(chunks, "data", {0, 0, 0, 0});
    EXPECT_TRUE(fails(Riff(chunks)));

    chunks.clear();
    Chunk(chunks, "fmt ", FmtBody(6, 22050, 16));
    Chunk(chunks, "data", Bytes(12, 0));
    EXPECT_TRUE(fails(Riff(chunks)));

    chunks.clear();
    Chunk(chunks, "fmt ", FmtBody(1, 22050, 24));
    Chunk(chunks, "data", Bytes(6, 0));
    EXPECT_TRUE(fails(Riff(chunks)));

    chunks.clear();
    Chunk(chunks, "fmt ", FmtBody(1, 0, 16));
    Chunk(chunks, "data", Bytes(2, 0));
    EXPECT_TRUE(fails(Riff(chunks)));

    chunks.clear();
    Chunk(chunks, "fmt ", Bytes(8, 0)); // too short to hold a format
    EXPECT_TRUE(fails(Riff(chunks)));

    chunks.clear();
    Chunk(chunks, "fmt ", FmtBody(1, 22050, 16));
    EXPECT_TRUE(fails(Riff(chunks))); // no data at all

    chunks.clear();
    Chunk(chunks, "dep ", {200, 0, 'a'}); // names more than the chunk holds
    Chunk(chunks, "data", Bytes(2, 0));
    EXPECT_TRUE(fails(Riff(chunks)));
}

TEST(WaveDecoding, ExtraBytesOfAPartialFrameAreDropped)
{
    Bytes chunks;
    Chunk(chunks, "fmt ", FmtBody(2, 22050, 16));
    Chunk(chunks, "data", {1, 0, 2, 0, 3, 0});
    std::string error;
    auto wave = SoundFile::DecodeWave(Riff(chunks), error);
    ASSERT_TRUE(wave) << error;
    EXPECT_EQ(wave->sound.samples, (std::vector<int16_t>{1, 2}));
}

TEST(SndDecoding, MuLawExpandsToSixteenBits)
{
    EXPECT_EQ(SoundFile::MuLawToLinear(0xFF), 0);
    EXPECT_EQ(SoundFile::MuLawToLinear(0x7F), 0);
    EXPECT_EQ(SoundFile::MuLawToLinear(0x00), -32124);
    EXPECT_EQ(SoundFile::MuLawToLinear(0x80), 32124);
    // Monotonic over each half of the code space.
    for (int c = 0x81; c <= 0xFF; ++c)
        EXPECT_LT(SoundFile::MuLawToLinear(static_cast<uint8_t>(c)),
                  SoundFile::MuLawToLinear(static_cast<uint8_t>(c - 1)));

    std::string error;
    auto snd = SoundFile::DecodeSnd(Snd(1, 8000, 1, {0xFF, 0x80, 0x00}), error);
    ASSERT_TRUE(snd) << error;
    EXPECT_EQ(snd->bitsPerSample, 16);
    EXPECT_EQ(snd->sampleRate, 8000);
    EXPECT_EQ(snd->samples, (std::vector<int16_t>{0, 32124, -32124}));
}

TEST(SndDecoding, EightBitLinearIsSigned)
{
    std::string error;
    auto snd = SoundFile::DecodeSnd(Snd(2, 22050, 2, {0x00, 0x7F, 0x80, 0xFF}), error);
    ASSERT_TRUE(snd) << error;
    EXPECT_EQ(snd->bitsPerSample, 8);
    EXPECT_EQ(snd->channels, 2);
    EXPECT_EQ(snd->samples, (std::vector<int16_t>{0, 32512, -32768, -256}));
}

TEST(SndDecoding, ALawExpandsToSixteenBits)
{
    // G.711's table: 0xD5 and 0x55 are the smallest steps either side of zero.
    EXPECT_EQ(SoundFile::ALawToLinear(0xD5), 8);
    EXPECT_EQ(SoundFile::ALawToLinear(0x55), -8);
    EXPECT_EQ(SoundFile::ALawToLinear(0xAA), 32256);
    EXPECT_EQ(SoundFile::ALawToLinear(0x2A), -32256);
    std::string error;
    auto snd = SoundFile::DecodeSnd(Snd(27, 8000, 1, {0xD5, 0xAA, 0x2A}), error);
    ASSERT_TRUE(snd) << error;
    EXPECT_EQ(snd->bitsPerSample, 16);
    EXPECT_EQ(snd->samples, (std::vector<int16_t>{8, 32256, -32256}));
}

TEST(SndDecoding, SixteenBitLinearIsBigEndian)
{
    // The encoding sox writes by default; it was refused before.
    std::string error;
    auto snd = SoundFile::DecodeSnd(Snd(3, 11025, 2, {0x12, 0x34, 0xFE, 0xDC, 0x80, 0x00, 0x7F, 0xFF, 0x01}),
                                    error);
    ASSERT_TRUE(snd) << error;
    EXPECT_EQ(snd->bitsPerSample, 16);
    EXPECT_EQ(snd->channels, 2);
    // The odd byte at the end is no whole sample.
    EXPECT_EQ(snd->samples, (std::vector<int16_t>{0x1234, static_cast<int16_t>(0xFEDC), -32768, 32767}));
    // Three samples in two channels: the lone left sample is dropped.
    auto odd = SoundFile::DecodeSnd(Snd(3, 11025, 2, {0, 1, 0, 2, 0, 3}), error);
    ASSERT_TRUE(odd) << error;
    EXPECT_EQ(odd->samples, (std::vector<int16_t>{1, 2}));
}

TEST(SndDecoding, HeaderSizesAreBoundByTheFile)
{
    std::string error;
    // "Unknown size" runs to the end; a larger offset skips the annotation.
    auto snd = SoundFile::DecodeSnd(Snd(2, 8000, 1, {1, 2, 3}, 32, 0xFFFFFFFF), error);
    ASSERT_TRUE(snd) << error;
    EXPECT_EQ(snd->samples.size(), 3u);

    EXPECT_FALSE(
        SoundFile::DecodeSnd(Snd(2, 8000, 1, {1, 2, 3}, 24, 4), error)); // size past the end
    Bytes farOffset = Snd(2, 8000, 1, {1, 2, 3});
    farOffset[4] = 0x7F; // offset far beyond the file
    EXPECT_FALSE(SoundFile::DecodeSnd(farOffset, error));
    EXPECT_FALSE(
        SoundFile::DecodeSnd(Snd(2, 8000, 1, {1, 2, 3}, 8), error)); // offset inside the header
    EXPECT_FALSE(SoundFile::DecodeSnd(Snd(4, 8000, 1, {1, 2, 3}), error)); // 24-bit linear
    EXPECT_EQ(error, "unsupported encoding 4");
    EXPECT_FALSE(SoundFile::DecodeSnd(Snd(1, 8000, 0, {1, 2}), error));
    EXPECT_FALSE(SoundFile::DecodeSnd(Snd(1, 8000, 3, {1, 2, 3}), error));
    EXPECT_FALSE(SoundFile::DecodeSnd(Snd(1, 0, 1, {1, 2}), error));
    const Bytes good = Snd(1, 8000, 1, {1, 2});
    for (size_t n = 0; n < 24; ++n)
        EXPECT_FALSE(
            SoundFile::DecodeSnd(Bytes(good.begin(), good.begin() + static_cast<long>(n)), error));
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
    // An odd-length name makes an odd-sized chunk, which must be padded.
    const SoundFile::Dependency source{"sounds/abc.ogg", 0x0123456789ABCDEFull};
    std::string error;
    auto wave = SoundFile::DecodeWave(SoundFile::EncodeWaveCache(sound, source), error);
    ASSERT_TRUE(wave) << error;
    EXPECT_EQ(wave->sound.samples, sound.samples);
    EXPECT_EQ(wave->sound.sampleRate, 32000);
    ASSERT_TRUE(wave->dependency);
    EXPECT_EQ(wave->dependency->path, source.path);
    EXPECT_EQ(wave->dependency->time, source.time);
}

TEST(WaveCache, EightBitSoundsAreStoredUnsigned)
{
    std::string error;
    auto snd = SoundFile::DecodeSnd(Snd(2, 8000, 1, {0x00, 0x7F, 0x80, 0xFF}), error);
    ASSERT_TRUE(snd);
    const Bytes cache = SoundFile::EncodeWaveCache(*snd, {"a.au", 1});
    // The data bytes are the signed ones with the top bit flipped.
    const Bytes tail(cache.end() - 4, cache.end());
    EXPECT_EQ(tail, (Bytes{0x80, 0xFF, 0x00, 0x7F}));
    auto wave = SoundFile::DecodeWave(cache, error);
    ASSERT_TRUE(wave) << error;
    EXPECT_EQ(wave->sound.bitsPerSample, 8);
    EXPECT_EQ(wave->sound.samples, snd->samples);
}

TEST(WaveCache, LongSourceNamesAreCutWhenRead)
{
    PcmSound sound;
    sound.samples = {5};
    const std::string longName(300, 'n');
    std::string error;
    auto wave = SoundFile::DecodeWave(SoundFile::EncodeWaveCache(sound, {longName, 42}), error);
    ASSERT_TRUE(wave) << error;
    EXPECT_EQ(wave->dependency->path, longName.substr(0, 255));
    EXPECT_EQ(wave->dependency->time, 42u);
    EXPECT_EQ(wave->sound.samples, sound.samples);
}
