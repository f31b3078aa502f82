#include "framework/audio/AttenuationScale.h"
#include "framework/audio/SoftwareMixer.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace Quillo;

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

TEST(AttenuationScale, VolumeToAttenuation)
{
    using namespace AttenuationScale;
    EXPECT_EQ(VolumeToAttenuation(1.0), 0);
    EXPECT_EQ(VolumeToAttenuation(0.5), -605);
    EXPECT_EQ(VolumeToAttenuation(0.1), -1682);
    EXPECT_EQ(VolumeToAttenuation(0.05), -1956);
    // Below about 0.04 the result falls under -2000 and becomes silence.
    EXPECT_EQ(VolumeToAttenuation(0.04), kSilence);
    EXPECT_EQ(VolumeToAttenuation(0.0), kSilence);
    EXPECT_EQ(VolumeToAttenuation(-3.0), kSilence);
    EXPECT_EQ(VolumeToAttenuation(std::nan("")), kSilence);
    EXPECT_EQ(VolumeToAttenuation(2.0), 0);
    // Monotonic: a louder volume never attenuates more.
    for (int i = 1; i <= 100; ++i)
        EXPECT_GE(VolumeToAttenuation(i / 100.0), VolumeToAttenuation((i - 1) / 100.0));
}

TEST(AttenuationScale, GainIsTenToTheAttenuationOverTwoThousand)
{
    using namespace AttenuationScale;
    EXPECT_FLOAT_EQ(AttenuationToGain(0), 1.0f);
    EXPECT_FLOAT_EQ(AttenuationToGain(-2000), 0.1f);
    EXPECT_FLOAT_EQ(AttenuationToGain(-600), static_cast<float>(std::pow(10.0, -0.3)));
    EXPECT_EQ(AttenuationToGain(kSilence), 0.0f);
    EXPECT_EQ(AttenuationToGain(-20000), 0.0f);
    EXPECT_FLOAT_EQ(AttenuationToGain(500), 1.0f); // never amplifies
}

TEST(AttenuationScale, PanAttenuatesTheFarSide)
{
    using namespace AttenuationScale;
    auto right = PanGains(0.5f, 2000);
    EXPECT_FLOAT_EQ(right.right, 0.5f);
    EXPECT_FLOAT_EQ(right.left, 0.05f);
    auto left = PanGains(1.0f, -4000);
    EXPECT_FLOAT_EQ(left.left, 1.0f);
    EXPECT_FLOAT_EQ(left.right, 0.01f);
    auto centre = PanGains(0.7f, 0);
    EXPECT_FLOAT_EQ(centre.left, 0.7f);
    EXPECT_FLOAT_EQ(centre.right, 0.7f);
    // Fully to one side silences the other; beyond that is clamped.
    EXPECT_EQ(PanGains(1.0f, kPanRight).left, 0.0f);
    EXPECT_EQ(PanGains(1.0f, 30000).left, 0.0f);
    EXPECT_EQ(PanGains(1.0f, -30000).right, 0.0f);
    EXPECT_FLOAT_EQ(PanGains(1.0f, -30000).left, 1.0f);
}

TEST(SoftwareMixer, SilenceWhenNothingPlays)
{
    SoftwareMixer mixer;
    for (int16_t s : Render(mixer, 3000))
        ASSERT_EQ(s, 0);
}

TEST(SoftwareMixer, MonoVoiceReachesBothSidesWithItsGains)
{
    SoftwareMixer mixer;
    mixer.AttachVoice(0, Sound(1, 44100, {1000, -2000, 30000}));
    mixer.SetVoiceGain(0, 1.0f, 0.5f);
    mixer.PlayVoice(0, false);
    const auto out = Render(mixer, 4);
    EXPECT_EQ(out, (std::vector<int16_t>{1000, 500, -2000, -1000, 30000, 15000, 0, 0}));
    EXPECT_FALSE(mixer.IsVoicePlaying(0));
}

TEST(SoftwareMixer, StereoVoiceKeepsItsChannels)
{
    SoftwareMixer mixer;
    mixer.AttachVoice(3, Sound(2, 44100, {100, -100, 200, -200}));
    mixer.PlayVoice(3, false);
    EXPECT_TRUE(mixer.IsVoicePlaying(3));
    EXPECT_EQ(Render(mixer, 3), (std::vector<int16_t>{100, -100, 200, -200, 0, 0}));
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

TEST(SoftwareMixer, PitchStepsThroughTheSamplesWithInterpolation)
{
    const std::vector<int16_t> ramp = {0, 100, 200, 300, 400, 500, 600, 700};
    SoftwareMixer faster;
    faster.AttachVoice(0, Sound(1, 44100, ramp));
    faster.SetVoiceFrequency(0, 88200); // twice the output rate
    faster.PlayVoice(0, false);
    auto out = Render(faster, 5);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[2], 200);
    EXPECT_EQ(out[4], 400);
    EXPECT_EQ(out[6], 600);
    EXPECT_EQ(out[8], 0); // finished after 4 frames

    // A 22050 Hz sound plays at half speed: midpoints are interpolated.
    SoftwareMixer slower;
    slower.AttachVoice(0, Sound(1, 22050, ramp));
    slower.PlayVoice(0, false);
    out = Render(slower, 6);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[2], 50);
    EXPECT_EQ(out[4], 100);
    EXPECT_EQ(out[6], 150);
    EXPECT_EQ(out[10], 250);
}

TEST(SoftwareMixer, LoopingWrapsAndStopRewinds)
{
    SoftwareMixer mixer;
    mixer.AttachVoice(1, Sound(1, 44100, {10, 20, 30}));
    mixer.PlayVoice(1, true);
    auto out = Render(mixer, 7);
    const std::vector<int16_t> left = {out[0], out[2], out[4], out[6], out[8], out[10], out[12]};
    EXPECT_EQ(left, (std::vector<int16_t>{10, 20, 30, 10, 20, 30, 10}));
    EXPECT_TRUE(mixer.IsVoicePlaying(1));
    mixer.StopVoice(1);
    EXPECT_FALSE(mixer.IsVoicePlaying(1));
    mixer.PlayVoice(1, false);
    EXPECT_EQ(Render(mixer, 1)[0], 10); // from the start again
}

TEST(SoftwareMixer, LongMixesSpanSeveralChunks)
{
    std::vector<int16_t> samples(5000);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(i);
    SoftwareMixer mixer;
    mixer.AttachVoice(0, Sound(1, 44100, samples));
    mixer.PlayVoice(0, false);
    const auto out = Render(mixer, 6000);
    for (size_t i = 0; i < 6000; ++i)
        ASSERT_EQ(out[2 * i], i < 5000 ? static_cast<int16_t>(i) : 0) << i;
}

TEST(SoftwareMixer, DetachHandsTheSoundBackAndSilencesTheVoice)
{
    SoftwareMixer mixer;
    auto sound = Sound(1, 44100, {500, 500});
    mixer.AttachVoice(0, sound);
    mixer.PlayVoice(0, true);
    EXPECT_EQ(sound.use_count(), 2);
    auto back = mixer.DetachVoice(0);
    EXPECT_EQ(back, sound);
    EXPECT_FALSE(mixer.IsVoicePlaying(0));
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
    mixer.RemoveSource(&half);
    EXPECT_EQ(Render(mixer, 1), (std::vector<int16_t>{0, 0}));
}

// The voice loop skips its end checks inside runs; a plain per-frame model
// must agree with it at any step, looping or not, mono or stereo.
TEST(SoftwareMixer, AgreesWithAPlainInterpolatorAtAnyStep)
{
    for (int channels : {1, 2})
    {
        for (bool looping : {false, true})
        {
            for (double step : {0.3, 0.5, 0.77, 1.0, 1.5, 2.9, 7.3})
            {
                std::vector<int16_t> samples;
                for (int i = 0; i < 37 * channels; ++i)
                    samples.push_back(static_cast<int16_t>((i * 7919) % 20000 - 10000));
                SoftwareMixer mixer;
                mixer.AttachVoice(0, Sound(channels, 44100, samples));
                mixer.SetVoiceFrequency(0, step * 44100);
                mixer.PlayVoice(0, looping);
                const int frames = 300;
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
                        ASSERT_NEAR(out[2 * i + c], want, 1.0)
                            << channels << " channels, step " << step << (looping ? " looping" : "")
                            << ", frame " << i;
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
                EXPECT_EQ(mixer.IsVoicePlaying(0), looping);
            }
        }
    }
}
