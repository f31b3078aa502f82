// Sounds made by sox and oggenc in the layouts those tools write, decoded by
// our readers and by sox or oggdec: every sample must agree.
#include "ReferenceTools.h"

#include "framework/audio/SoundFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>

using namespace Quillo;
using namespace ReferenceTools;

namespace
{

void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// Half a second of a stereo chirp with noise, both ends at full scale.
std::vector<uint8_t> SourceWave()
{
    const uint32_t rate = 22050, frames = rate / 2;
    std::mt19937 rng(11);
    std::vector<uint8_t> data;
    for (uint32_t i = 0; i < frames; ++i)
    {
        const double t = double(i) / rate;
        const double chirp = std::sin(2 * M_PI * (200 + 1800 * t) * t);
        const int noise = int(rng() % 2001) - 1000;
        const int left = std::clamp(int(chirp * 30000) + noise, -32768, 32767);
        const int right = i % 512 < 256 ? 32767 : -32768;
        Put16(data, uint32_t(uint16_t(int16_t(left))));
        Put16(data, uint32_t(uint16_t(int16_t(right))));
    }
    std::vector<uint8_t> out{'R', 'I', 'F', 'F'};
    Put32(out, uint32_t(36 + data.size()));
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, 2);
    Put32(out, rate);
    Put32(out, rate * 4);
    Put16(out, 4);
    Put16(out, 16);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    Put32(out, uint32_t(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

struct Variant
{
    const char* name;
    const char* command; // made from "in.wav" into "out.<extension>"
    const char* extension;
    const char* refusal; // empty when the file must decode
};

constexpr Variant kVariants[] = {
    {"WAVE 16-bit stereo", "sox in.wav out.wav", "wav", ""},
    {"WAVE 16-bit mono", "sox in.wav -c 1 out.wav", "wav", ""},
    {"WAVE 8-bit", "sox in.wav -b 8 out.wav", "wav", ""},
    {"WAVE 11025 Hz", "sox in.wav out.wav rate 11025", "wav", ""},
    {"WAVE 24-bit (extensible)", "sox in.wav -b 24 out.wav", "wav", "unsupported sample size 24 bits"},
    {"WAVE float", "sox in.wav -e float out.wav", "wav", "not PCM data (format 3)"},
    {".au 16-bit", "sox in.wav out.au", "au", ""},
    {".au mu-law", "sox in.wav -e mu-law out.au", "au", ""},
    {".au 8-bit", "sox in.wav -b 8 -e signed out.au", "au", ""},
    {".au A-law", "sox in.wav -e a-law out.au", "au", ""},
    {".au 24-bit", "sox in.wav -b 24 out.au", "au", "unsupported encoding 4"},
    {"Ogg Vorbis", "oggenc -Q -q 2 -o out.ogg in.wav", "ogg", ""},
    {"Ogg Vorbis mono", "sox in.wav -c 1 mono.wav && oggenc -Q -q 5 -o out.ogg mono.wav", "ogg", ""},
};

std::optional<PcmSound> Decode(const std::string& extension, const std::vector<uint8_t>& bytes, std::string& error)
{
    if (extension == "wav")
    {
        auto wave = SoundFile::DecodeWave(bytes, error);
        return wave ? std::optional<PcmSound>(std::move(wave->sound)) : std::nullopt;
    }
    return extension == "au" ? SoundFile::DecodeSnd(bytes, error) : SoundFile::DecodeOgg(bytes, error);
}

} // namespace

TEST(SoundDifferential, EveryCommonLayoutDecodesLikeTheReferenceTools)
{
    if (!HaveSox() || !HaveVorbisTools())
        GTEST_SKIP() << "sox or the Vorbis tools are not installed (scripts/setup installs them)";
    TempDir dir;
    {
        const auto wave = SourceWave();
        std::ofstream(dir / "in.wav", std::ios::binary)
            .write(reinterpret_cast<const char*>(wave.data()), std::streamsize(wave.size()));
    }
    for (const Variant& v : kVariants)
    {
        SCOPED_TRACE(v.name);
        const std::string file = dir / (std::string("out.") + v.extension);
        ASSERT_TRUE(Shell("cd " + Quoted(dir.Path()) + " && " + v.command));
        const auto bytes = ReadBytes(file);
        ASSERT_TRUE(bytes);
        std::string error;
        const auto ours = Decode(v.extension, *bytes, error);
        if (*v.refusal)
        {
            EXPECT_FALSE(ours);
            EXPECT_EQ(error, v.refusal);
            continue;
        }
        ASSERT_TRUE(ours) << error;
        const auto reference = std::string(v.extension) == "ogg" ? DecodeWithOggdec(file, dir.Path())
                                                                 : DecodeWithSox(file, dir.Path());
        ASSERT_TRUE(reference);
        EXPECT_EQ(ours->channels, reference->channels);
        EXPECT_EQ(ours->sampleRate, reference->rate);
        ASSERT_EQ(ours->samples.size(), reference->samples.size());
        size_t differing = 0;
        for (size_t i = 0; i < ours->samples.size(); ++i)
            differing += ours->samples[i] != reference->samples[i];
        EXPECT_EQ(differing, 0u) << "of " << ours->samples.size() << " samples";
        std::remove(file.c_str());
    }
}
