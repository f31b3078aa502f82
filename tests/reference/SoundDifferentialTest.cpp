// Sounds made by sox and oggenc in the layouts those tools write, decoded by
// our readers and by sox or oggdec: every sample must agree.
#include "ReferenceTools.h"
#include "audio/AudioFixtures.h"

#include <gtest/gtest.h>

#include <random>

using namespace Quillo;
using namespace ReferenceTools;

namespace
{

// Half a second of a stereo chirp with noise, both ends at full scale.
std::vector<uint8_t> SourceWave()
{
    const int rate = 22050, frames = rate / 2;
    std::mt19937 rng(11);
    std::vector<int16_t> samples;
    for (int i = 0; i < frames; ++i)
    {
        const double t = double(i) / rate;
        const double chirp = std::sin(2 * M_PI * (200 + 1800 * t) * t);
        const int noise = int(rng() % 2001) - 1000;
        samples.push_back(int16_t(std::clamp(int(chirp * 30000) + noise, -32768, 32767)));
        samples.push_back(i % 512 < 256 ? 32767 : -32768);
    }
    return AudioFixtures::Wave16(2, rate, samples);
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

} // namespace

TEST(SoundDifferential, EveryCommonLayoutDecodesLikeTheReferenceTools)
{
    if (!HaveSoundTools())
        GTEST_SKIP() << "sox or the Vorbis tools are not installed (scripts/setup installs them)";
    TempDir dir;
    AudioFixtures::Write(dir / "in.wav", SourceWave());
    for (const Variant& v : kVariants)
    {
        SCOPED_TRACE(v.name);
        const std::string file = dir / (std::string("out.") + v.extension);
        ASSERT_TRUE(Shell("cd " + Quoted(dir.Path()) + " && " + v.command));
        const auto bytes = ReadBytes(file);
        ASSERT_TRUE(bytes);
        std::string error;
        const auto ours = DecodeSound(v.extension, *bytes, error);
        if (*v.refusal)
        {
            EXPECT_FALSE(ours);
            EXPECT_EQ(error, v.refusal);
            continue;
        }
        ASSERT_TRUE(ours) << error;
        const auto reference = DecodeWithSoundTools(file, v.extension, dir.Path());
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
