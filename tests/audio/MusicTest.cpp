#include "AudioFixtures.h"
#include "framework/audio/OpenMptMusicInterface.h"

#include <gtest/gtest.h>

using namespace Quillo;
using namespace AudioFixtures;

namespace
{

constexpr int kRate = 44100;

struct Music : OfflineTest
{
    OpenMptMusicInterface music{output};
    Bytes module = Mod(4, {0, 1, 2, 3});

    void SetUp() override
    {
        Write(dir / "music.mod", module);
        ASSERT_TRUE(music.LoadTrack(0, dir / "music.mod")) << music.LastError();
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
    for (int order : {0, 2, 3})
    {
        SCOPED_TRACE(order);
        music.PlayTrack(0, order, false);
        const auto ours = Render(20000);
        EXPECT_GT(Peak(ours), 1000);
        EXPECT_LE(MaxDifference(ours, DirectRender(module, order, 20000)), 1);
        // And it is plainly not what another position sounds like.
        EXPECT_GT(MaxDifference(ours, DirectRender(module, (order + 1) % 4, 20000)), 1000);
    }
}

TEST_F(Music, TwoTracksOfOneModuleMixAndStopIndependently)
{
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
    music.PlayTrack(0, 2, false);
    const auto first = Render(3000);
    music.PauseAllTracks();
    EXPECT_FALSE(music.IsTrackPlaying(0));
    EXPECT_EQ(Peak(Render(2000)), 0);
    music.ResumeAllTracks();
    EXPECT_TRUE(music.IsTrackPlaying(0));
    auto joined = first;
    const auto second = Render(3000);
    joined.insert(joined.end(), second.begin(), second.end());
    EXPECT_LE(MaxDifference(joined, DirectRender(module, 2, 6000)), 1);
    // -1 continues from where a stopped track is.
    music.StopTrack(0);
    music.PlayTrack(0, -1, false);
    const auto longer = DirectRender(module, 2, 6010);
    EXPECT_LE(MaxDifference(Render(10), std::vector<int16_t>(longer.end() - 20, longer.end())), 1);
}

TEST_F(Music, FadeInReachesTheCapInTheStepsItShould)
{
    // 0.2 is the title music's speed.
    for (auto [speed, steps] : {std::pair{0.01, 100}, {0.2, 5}})
    {
        SCOPED_TRACE(speed);
        music.StopTrack(0);
        music.FadeInTrack(0, 0, speed, false);
        EXPECT_EQ(music.TrackVolume(0), 0.0);
        Steps(steps - 1);
        EXPECT_LT(*music.TrackVolume(0), 1.0);
        EXPECT_NEAR(*music.TrackVolume(0), 1.0 - speed, 1e-9);
        Steps(1);
        EXPECT_EQ(music.TrackVolume(0), 1.0);
        Steps(50);
        EXPECT_EQ(music.TrackVolume(0), 1.0);
    }
}

TEST_F(Music, TheCapIsNeverPassed)
{
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
    EXPECT_LE(MaxDifference(Render(6000), DirectRender(module, 0, 6000, 0.2)), 1);
}

TEST_F(Music, FadeOutStopsAtSilenceWhenAsked)
{
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
    // Fading out a track already at zero does nothing.
    music.FadeInTrack(0, 0, 0.0, false);
    music.FadeOutTrack(0, true, 0.01);
    music.SetTrackVolume(0, 0.5);
    Steps(10);
    EXPECT_EQ(music.TrackVolume(0), 0.5);
    EXPECT_TRUE(music.IsTrackPlaying(0));
}

TEST_F(Music, MasterVolumeAndAmplifyScaleEveryTrack)
{
    // Volumes count in whole hundredths, truncated; the unity amplify is 0.5.
    const struct
    {
        double master, amplify, volume, gain;
    } cases[] = {{0.5, 0.5, 1.0, 0.5}, {1.0, 0.25, 1.0, 0.5}, {1.0, 0.5, 0.259, 0.25}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.gain);
        music.PlayTrack(0, 1, false);
        music.SetMasterMusicVolume(c.master);
        music.SetTrackAmplify(0, c.amplify);
        music.SetTrackVolume(0, c.volume);
        EXPECT_LE(MaxDifference(Render(4000), DirectRender(module, 1, 4000, c.gain)), 1);
    }
    music.SetMasterMusicVolume(0.0);
    EXPECT_EQ(Peak(Render(2000)), 0);
}

TEST_F(Music, LoadingUnderAnIdInUseReplacesTheOldTrack)
{
    const Bytes other = Mod(3, {2, 1, 0});
    Write(dir / "other.MOD", other);
    music.PlayTrack(0, 0, false);
    ASSERT_TRUE(music.LoadTrack(0, dir / "other.MOD"));
    EXPECT_FALSE(music.IsTrackPlaying(0));
    music.PlayTrack(0, 0, false);
    EXPECT_LE(MaxDifference(Render(5000), DirectRender(other, 0, 5000)), 1);
}

TEST_F(Music, UnknownIdsAndBadFilesAreHarmless)
{
    EXPECT_FALSE(music.LoadTrack(1, dir / "missing.mod"));
    for (const char* name : {"junk.it", "song.MP3", "bad.ogg"})
    {
        Write(dir / name, Bytes(300, 0x42));
        EXPECT_FALSE(music.LoadTrack(1, dir / name)) << name;
        EXPECT_FALSE(music.LastError().empty());
    }
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
    EXPECT_NEAR(Peak(Render(4000)), 16384, 1500);
}
