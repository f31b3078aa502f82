#include "framework/audio/AttenuationScale.h"
#include "framework/audio/SoftwareMixer.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace Quillo;
using namespace Quillo::AttenuationScale;

namespace
{

std::shared_ptr<const PcmSound> Sound(int channels, int rate, std::vector<int16_t> samples)
{
    auto s = std::make_shared<PcmSound>();
    s->channels = channels;
    s->sampleRate = rate;
    s->samples = std::move(samples);
    return s;
}

std::vector<int16_t> Render(SoftwareMixer& mixer, int frames)
{
    std::vector<int16_t> out(static_cast<size_t>(frames) * 2, 12345);
    mixer.Mix(out.data(), frames);
    return out;
}

} // namespace

TEST(AttenuationScale, VolumeGainAndPan)
{
    // Below about 0.04 the attenuation falls under -2000 and becomes silence.
    const std::pair<double, int> volumes[] = {
        {1.0, 0},         {0.5, -605},     {0.1, -1682},     {0.05, -1956},
        {0.04, kSilence}, {0.0, kSilence}, {-3.0, kSilence}, {std::nan(""), kSilence},
        {2.0, 0}};
    for (auto [volume, attenuation] : volumes)
        EXPECT_EQ(VolumeToAttenuation(volume), attenuation) << volume;
    // Monotonic: a louder volume never attenuates more.
    for (int i = 1; i <= 100; ++i)
        EXPECT_GE(VolumeToAttenuation(i / 100.0), VolumeToAttenuation((i - 1) / 100.0));

    // Ten to the attenuation over 2000, never amplifying.
    const std::pair<int, float> gains[] = {
        {0, 1.0f},      {-2000, 0.1f}, {kSilence, 0.0f},
        {-20000, 0.0f}, {500, 1.0f},   {-600, static_cast<float>(std::pow(10.0, -0.3))}};
    for (auto [attenuation, gain] : gains)
        EXPECT_FLOAT_EQ(AttenuationToGain(attenuation), gain) << attenuation;

    // The far side is attenuated; fully to one side silences the other and
    // beyond that is clamped.
    const struct
    {
        float volume;
        int pan;
        float left, right;
    } pans[] = {{0.5f, 2000, 0.05f, 0.5f}, {1.0f, -4000, 1.0f, 0.01f},
                {0.7f, 0, 0.7f, 0.7f},     {1.0f, kPanRight, 0.0f, 1.0f},
                {1.0f, 30000, 0.0f, 1.0f}, {1.0f, -30000, 1.0f, 0.0f}};
    for (const auto& p : pans)
    {
        SCOPED_TRACE(p.pan);
        EXPECT_FLOAT_EQ(PanGains(p.volume, p.pan).left, p.left);
        EXPECT_FLOAT_EQ(PanGains(p.volume, p.pan).right, p.right);
    }
}

TEST(SoftwareMixer, MonoVoiceReachesBothSidesWithItsGains)
{
    SoftwareMixer mixer;
    mixer.AttachVoice(0, Sound(1, 44100, {1000, -2000, 30000}));
    mixer.SetVoiceGain(0, 1.0f, 0.5f);
    mixer.PlayVoice(0, false);
    EXPECT_EQ(Render(mixer, 4),
              (std::vector<int16_t>{1000, 500, -2000, -1000, 30000, 15000, 0, 0}));
    EXPECT_FALSE(mixer.IsVoicePlaying(0));
}

TEST(SoftwareMixer, ManyVoicesSaturateInsteadOfWrapping)
{
    SoftwareMixer mixer;
    for (int v = 0; v < SoftwareMixer::kVoiceCount; ++v)
    {
        mixer.AttachVoice(v, Sound(2, 44100, {20000, -20000}));
        mixer.PlayVoice(v, true);
    }
    for (int16_t s : Render(mixer, 2500))
        ASSERT_TRUE(s == 32767 || s == -32768) << s;
    // Two voices just over full scale clip, two that cancel do not.
    SoftwareMixer pair;
    pair.AttachVoice(0, Sound(1, 44100, {20000}));
    pair.AttachVoice(1, Sound(1, 44100, {-19000}));
    pair.PlayVoice(0, true);
    pair.PlayVoice(1, true);
    EXPECT_EQ(Render(pair, 1), (std::vector<int16_t>{1000, 1000}));
}

TEST(SoftwareMixer, StopRewindsAndDetachHandsTheSoundBack)
{
    SoftwareMixer mixer;
    auto sound = Sound(1, 44100, {10, 20, 30});
    mixer.AttachVoice(1, sound);
    mixer.PlayVoice(1, true);
    EXPECT_EQ(Render(mixer, 2)[2], 20);
    mixer.StopVoice(1);
    EXPECT_FALSE(mixer.IsVoicePlaying(1));
    mixer.PlayVoice(1, false);
    EXPECT_EQ(Render(mixer, 1)[0], 10); // from the start again

    mixer.PlayVoice(1, true);
    EXPECT_EQ(sound.use_count(), 2);
    EXPECT_EQ(mixer.DetachVoice(1), sound);
    EXPECT_FALSE(mixer.IsVoicePlaying(1));
    EXPECT_EQ(Render(mixer, 1)[0], 0);
    // Out-of-range voices are ignored.
    mixer.AttachVoice(SoftwareMixer::kVoiceCount, sound);
    mixer.PlayVoice(-1, true);
    EXPECT_FALSE(mixer.IsVoicePlaying(SoftwareMixer::kVoiceCount));
}

TEST(SoftwareMixer, SourcesAreAddedToTheMix)
{
    struct Constant : MixerSource
    {
        float value;
        explicit Constant(float v) : value(v) {}
        void MixInto(float* mix, int frames) override
        {
            for (int i = 0; i < 2 * frames; ++i)
                mix[i] += value;
        }
    } half(0.5f), quarter(-0.25f);
    SoftwareMixer mixer;
    EXPECT_TRUE(mixer.AddSource(&half));
    EXPECT_TRUE(mixer.AddSource(&quarter));
    EXPECT_EQ(Render(mixer, 1), (std::vector<int16_t>{8192, 8192}));
    mixer.RemoveSource(&quarter);
    EXPECT_EQ(Render(mixer, 1), (std::vector<int16_t>{16384, 16384}));
    // With nothing playing the whole buffer, over several chunks, is silence.
    mixer.RemoveSource(&half);
    for (int16_t s : Render(mixer, 3000))
        ASSERT_EQ(s, 0);
}

// The voice loop skips its end checks inside runs; a plain per-frame model
// must agree with it at any step, looping or not, mono or stereo, over more
// than two mixing chunks. The step comes from the sound's own rate or from
// a frequency set on the voice.
TEST(SoftwareMixer, AgreesWithAPlainInterpolatorAtAnyStep)
{
    const int frames = 2500;
    static_assert(frames > 2 * SoftwareMixer::kChunkFrames);
    for (int channels : {1, 2})
        for (bool looping : {false, true})
            for (double requested : {0.3, 0.5, 0.77, 1.0, 1.5, 2.0, 2.9, 7.3})
            {
                SCOPED_TRACE(testing::Message() << channels << " channels, step " << requested
                                                << (looping ? " looping" : ""));
                std::vector<int16_t> samples;
                for (int i = 0; i < 1100 * channels; ++i)
                    samples.push_back(static_cast<int16_t>((i * 7919) % 20000 - 10000));
                SoftwareMixer mixer;
                const int rate = static_cast<int>(requested * 44100);
                const double step = rate / 44100.0;
                mixer.AttachVoice(0, Sound(channels, looping ? 44100 : rate, samples));
                if (looping)
                    mixer.SetVoiceFrequency(0, rate);
                mixer.PlayVoice(0, looping);
                const auto out = Render(mixer, frames);

                const size_t count = samples.size() / channels;
                double pos = 0.0;
                bool playing = true;
                for (int i = 0; i < frames; ++i)
                {
                    for (int c = 0; c < 2; ++c)
                    {
                        double want = 0.0;
                        if (playing)
                        {
                            const size_t index = static_cast<size_t>(pos);
                            size_t next = index + 1 < count ? index + 1 : (looping ? 0 : index);
                            const int ch = channels == 2 ? c : 0;
                            const double a = samples[index * channels + ch],
                                         b = samples[next * channels + ch];
                            want = a + (b - a) * (pos - static_cast<double>(index));
                        }
                        ASSERT_NEAR(out[2 * i + c], want, 1.0) << "frame " << i;
                    }
                    pos += step;
                    if (pos >= static_cast<double>(count))
                    {
                        if (looping)
                            pos = std::fmod(pos, static_cast<double>(count));
                        else
                            playing = false;
                    }
                }
                EXPECT_EQ(mixer.IsVoicePlaying(0), playing);
            }
}
