#include "AudioFixtures.h"
#include "framework/audio/AudioOutput.h"
#include "framework/audio/OpenMptMusicInterface.h"
#include "support/TempDir.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

using namespace Quillo;
using namespace AudioFixtures;

namespace
{

constexpr int kRate = 44100;

// What libopenmpt itself renders for a module started at an order, as
// 16-bit samples the way a full-scale float mix is converted.
std::vector<int16_t> DirectRender(const Bytes& module, int order, int frames, double gain = 1.0)
{
    openmpt_module* mod =
        openmpt_module_create_from_memory2(module.data(), module.size(), openmpt_log_func_silent,
                                           nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_NE(mod, nullptr);
    if (!mod)
        return {};
    openmpt_module_set_repeat_count(mod, -1);
    openmpt_module_set_position_order_row(mod, order, 0);
    std::vector<float> f(static_cast<size_t>(frames) * 2);
    size_t done = 0;
    while (done < static_cast<size_t>(frames))
    {
        const size_t got = openmpt_module_read_interleaved_float_stereo(
            mod, kRate, std::min<size_t>(777, frames - done), f.data() + 2 * done);
        if (got == 0)
            break;
        done += got;
    }
    openmpt_module_destroy(mod);
    std::vector<int16_t> out(f.size());
    for (size_t i = 0; i < f.size(); ++i)
        out[i] = static_cast<int16_t>(std::lrint(
            std::clamp(static_cast<float>(f[i] * gain) * 32768.0f, -32768.0f, 32767.0f)));
    return out;
}

int MaxDifference(const std::vector<int16_t>& a, const std::vector<int16_t>& b)
{
    EXPECT_EQ(a.size(), b.size());
    int worst = 0;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        worst = std::max(worst, std::abs(a[i] - b[i]));
    return worst;
}

int Peak(const std::vector<int16_t>& a)
{
    int peak = 0;
    for (int16_t s : a)
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
}

struct Music : ::testing::Test
{
    TempDir dir;
    std::shared_ptr<AudioOutput> output = AudioOutput::CreateOffline();
    OpenMptMusicInterface music{output};
    Bytes module = Mod(4, {0, 1, 2, 3});

    void SetUp() override { Write(dir / "music.mod", module); }

    std::vector<int16_t> Render(int frames)
    {
        std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
        output->Render(out.data(), frames);
        return out;
    }

    void Steps(int n)
    {
        for (int i = 0; i < n; ++i)
            music.UpdateFades();
    }
};

} // namespace

TEST_F(Music, StartsAtAnOrderPositionLikeTheLibraryItself)
{
    ASSERT_TRUE(music.LoadTrack(0, dir / "music.mod")) << music.LastError();
    for (int order : {0, 2, 3})
    {
        music.PlayTrack(0, order, false);
        const auto ours = Render(20000);
        EXPECT_GT(Peak(ours), 1000) << "order " << order;
        EXPECT_LE(MaxDifference(ours, DirectRender(module, order, 20000)), 1) << "order " << order;
        // And it is plainly not what another position sounds like.
        EXPECT_GT(MaxDifference(ours, DirectRender(module, (order + 1) % 4, 20000)), 1000)
            << "order " << order;
    }
}

TEST_F(Music, TwoTracksOfOneModuleMixAndStopIndependently)
{
    ASSERT_TRUE(music.LoadTrack(0, dir / "music.mod"));
    ASSERT_TRUE(music.LoadTrack(1, dir / "music.mod"));
    music.PlayTrack(0, 1, false);
    music.PlayTrack(1, 3, false);
    music.SetTrackVolume(0, 0.5);
    music.SetTrackVolume(1, 0.25);
    const auto both = Render(8000);
    const auto a = DirectRender(module, 1, 8000, 0.5);
    const auto b = DirectRender(module, 3, 8000, 0.25);
    std::vector<int16_t> sum(a.size());
    for (size_t i = 0; i < a.size(); ++i)
        sum[i] = static_cast<int16_t>(a[i] + b[i]);
    EXPECT_LE(MaxDifference(both, sum), 2);
    music.StopTrack(1);
    EXPECT_TRUE(music.IsTrackPlaying(0));
    EXPECT_FALSE(music.IsTrackPlaying(1));
    EXPECT_EQ(music.TrackVolume(1), 0.0);
}

TEST_F(Music, NoLoopEndsTheTrackAndLoopKeepsIt)
{
    ASSERT_TRUE(music.LoadTrack(0, dir / "music.mod"));
    music.PlayTrack(0, 3, true); // the last order: about 7.7 s to go
    EXPECT_TRUE(music.IsTrackPlaying(0));
    Render(kRate * 9);
    EXPECT_FALSE(music.IsTrackPlaying(0));
    EXPECT_EQ(Peak(Render(1000)), 0);

    music.PlayTrack(0, 3, false);
    Render(kRate * 9);
    EXPECT_TRUE(music.IsTrackPlaying(0));
    EXPECT_GT(Peak(Render(4000)), 1000);
}

TEST_F(Music, PauseHoldsThePositionAndResumeGoesOn)
{
    ASSERT_TRUE(music.LoadTrack(0, dir / "music.mod"));
    music.PlayTrack(0, 2, false);
    const auto expected = DirectRender(module, 2, 6000);
    const auto first = Render(3000);
    music.PauseAllTracks();
    EXPECT_FALSE(music.IsTrackPlaying(0));
    EXPECT_EQ(Peak(Render(2000)), 0);
    music.ResumeAllTracks();
    EXPECT_TRUE(music.IsTrackPlaying(0));
    auto joined = first;
    const auto second = Render(3000);
    joined.insert(joined.end(), second.begin(), second.end());
    EXPECT_LE(MaxDifference(joined, expected), 1);
    // -1 continues from where a stopped track is.
    music.StopTrack(0);
    music.PlayTrack(0, -1, false);
    const auto third = Render(10);
    const auto longer = DirectRender(module, 2, 6010);
    EXPECT_LE(MaxDifference(third, std::vector<int16_t>(longer.end() - 20, longer.end())), 1);
}

TEST_F(Music, FadeInReachesTheCapInTheStepsItShould)
{
    ASSERT_TRUE(music.LoadTrack(0, dir / "music.mod"));
    music.FadeInTrack(0, 0, 0.01, false);
    EXPECT_EQ(music.TrackVolume(0), 0.0);
    Steps(99);
    EXPECT_LT(*music.TrackVolume(0), 1.0);
    EXPECT_NEAR(*music.TrackVolume(0), 0.99, 1e-9);
    Steps(1);
    EXPECT_EQ(music.TrackVolume(0), 1.0);
    Steps(50);
    EXPECT_EQ(music.TrackVolume(0), 1.0);

    // Speed 0.2 (the title music) takes five steps.
    music.StopTrack(0);
    music.FadeInTrack(0, 0, 0.2, false);
    Steps(4);
    EXPECT_LT(*music.TrackVolume(0), 1.0);
    Steps(1);
    EXPECT_EQ(music.TrackVolume(0), 1.0);
}

TEST_F(Music, TheCapIsNeverPassed)
{
    ASSERT_TRUE(music.LoadTrack(0, dir / "music.mod"));
    music.SetTrackVolumeCap(0, 0.5);
    music.FadeInTrack(0, 0, 0.03, false);
    double highest = 0.0;
    for (int i = 0; i < 100; ++i)
    {
        music.UpdateFades();
        highest = std::max(highest, *music.TrackVolume(0));
    }
    EXPECT_EQ(highest, 0.5);
    // Lowering the cap below the volume lowers the volume at once.
    music.SetTrackVolumeCap(0, 0.2);
    EXPECT_EQ(music.TrackVolume(0), 0.2);
    // PlayTrack starts at the cap.
    music.PlayTrack(0, 0, false);
    EXPECT_EQ(music.TrackVolume(0), 0.2);
    const auto out = Render(6000);
    EXPECT_LE(MaxDifference(out, DirectRender(module, 0, 6000, 0.2)), 1);
}

TEST_F(Music, FadeOutStopsAtSilenceWhenAsked)
{
    ASSERT_TRUE(music.LoadTrack(0, dir / "music.mod"));
    ASSERT_TRUE(music.LoadTrack(1, dir / "music.mod"));
    music.PlayTrack(0, 0, false);
    music.PlayTrack(1, 1, false);
    music.FadeOutTrack(0, true, 0.004);
    music.FadeOutTrack(1, false, 0.004);
    Steps(250);
    EXPECT_EQ(music.TrackVolume(0), 0.0);
    EXPECT_TRUE(music.IsTrackPlaying(0)); // silent, but the step below zero is still to come
    Steps(1);
    EXPECT_FALSE(music.IsTrackPlaying(0));
    EXPECT_TRUE(music.IsTrackPlaying(1));
    EXPECT_EQ(music.TrackVolume(1), 0.0);
    EXPECT_EQ(Peak(Render(2000)), 0);
}

TEST_F(Music, FadingOutASilentTrackDoesNothing)
{
    ASSERT_TRUE(music.LoadTrack(0, dir / "music.mod"));
    music.FadeInTrack(0, 0, 0.0, false); // playing at volume 0
    music.FadeOutTrack(0, true, 0.01);
    music.SetTrackVolume(0, 0.5);
    Steps(10);
    EXPECT_EQ(music.TrackVolume(0), 0.5);
    EXPECT_TRUE(music.IsTrackPlaying(0));
}

TEST_F(Music, MasterVolumeAndAmplifyScaleEveryTrack)
{
    ASSERT_TRUE(music.LoadTrack(0, dir / "music.mod"));
    music.PlayTrack(0, 1, false);
    music.SetMasterMusicVolume(0.5);
    EXPECT_LE(MaxDifference(Render(4000), DirectRender(module, 1, 4000, 0.5)), 1);
    music.PlayTrack(0, 1, false);
    music.SetMasterMusicVolume(1.0);
    music.SetTrackAmplify(0, 0.25); // half of the unity 0.5
    EXPECT_LE(MaxDifference(Render(4000), DirectRender(module, 1, 4000, 0.5)), 1);
    // Volumes count in whole hundredths, truncated.
    music.PlayTrack(0, 1, false);
    music.SetTrackAmplify(0, 0.5);
    music.SetTrackVolume(0, 0.259);
    EXPECT_LE(MaxDifference(Render(4000), DirectRender(module, 1, 4000, 0.25)), 1);
    music.SetMasterMusicVolume(0.0);
    EXPECT_EQ(Peak(Render(2000)), 0);
}

TEST_F(Music, LoadingUnderAnIdInUseReplacesTheOldTrack)
{
    const Bytes other = Mod(3, {2, 1, 0});
    Write(dir / "other.MOD", other);
    ASSERT_TRUE(music.LoadTrack(0, dir / "music.mod"));
    music.PlayTrack(0, 0, false);
    ASSERT_TRUE(music.LoadTrack(0, dir / "other.MOD"));
    EXPECT_FALSE(music.IsTrackPlaying(0));
    music.PlayTrack(0, 0, false);
    EXPECT_LE(MaxDifference(Render(5000), DirectRender(other, 0, 5000)), 1);
}

TEST_F(Music, UnknownIdsAndBadFilesAreHarmless)
{
    EXPECT_FALSE(music.LoadTrack(0, dir / "missing.mod"));
    Write(dir / "junk.it", Bytes(300, 0x42));
    EXPECT_FALSE(music.LoadTrack(0, dir / "junk.it"));
    EXPECT_FALSE(music.LastError().empty());
    Write(dir / "song.MP3", Bytes(300, 0x42));
    EXPECT_FALSE(music.LoadTrack(0, dir / "song.MP3"));
    Write(dir / "bad.ogg", Bytes(300, 0x42));
    EXPECT_FALSE(music.LoadTrack(0, dir / "bad.ogg"));
    music.PlayTrack(5, 0, false);
    music.FadeInTrack(5, 0, 0.1, false);
    music.FadeOutTrack(5, true, 0.1);
    music.SetTrackVolume(5, 1.0);
    music.UnloadTrack(5);
    EXPECT_FALSE(music.IsTrackPlaying(5));
    EXPECT_FALSE(music.TrackVolume(5));
    EXPECT_EQ(Peak(Render(1000)), 0);
}

TEST_F(Music, StreamsPlayFromAnOffsetInSeconds)
{
    // Two seconds of 22050 Hz: a ramp that tells the position.
    std::vector<int16_t> samples(44100);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(i / 2);
    Write(dir / "voice.WAV", Wave16(1, 22050, samples));
    ASSERT_TRUE(music.LoadTrack(3, dir / "voice.WAV")) << music.LastError();
    music.PlayTrack(3, 1, true);
    auto out = Render(4);
    EXPECT_EQ(out[0], 22050 / 2);
    EXPECT_EQ(out[4], 22051 / 2); // half-speed steps through the samples
    music.PlayTrack(3, 0, true);
    EXPECT_EQ(Render(1)[0], 0);
    // Past the end without looping: the stream stops.
    Render(kRate * 2 + 10);
    EXPECT_FALSE(music.IsTrackPlaying(3));
    music.UnloadAllTracks();
    EXPECT_FALSE(music.TrackVolume(3));
}

TEST_F(Music, OggStreamsDecode)
{
    Write(dir / "theme.ogg", Ogg(2, 44100, Sine(2, 44100, 44100)));
    ASSERT_TRUE(music.LoadTrack(2, dir / "theme.ogg")) << music.LastError();
    music.PlayTrack(2, 0, false);
    const auto out = Render(4000);
    EXPECT_NEAR(Peak(out), 16384, 1500);
}

TEST(MusicSilent, TheBaseAndASilentOutputPlayNothing)
{
    auto silent = OpenMptMusicInterface::Create(AudioOutput::CreateSilent());
    EXPECT_EQ(dynamic_cast<OpenMptMusicInterface*>(silent.get()), nullptr);
    EXPECT_FALSE(silent->LoadTrack(0, "music/music.mo3"));
    silent->PlayTrack(0, 0, false);
    EXPECT_FALSE(silent->IsTrackPlaying(0));
    auto real = OpenMptMusicInterface::Create(AudioOutput::CreateOffline());
    EXPECT_NE(dynamic_cast<OpenMptMusicInterface*>(real.get()), nullptr);
}
