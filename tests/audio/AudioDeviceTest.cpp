#include "framework/audio/AudioOutput.h"
#include "framework/audio/MixerSoundManager.h"
#include "framework/audio/OpenMptMusicInterface.h"
#include "support/TempDir.h"

#include "AudioFixtures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

using namespace Quillo;

namespace
{

class DriverOverride
{
public:
    explicit DriverOverride(const char* driver)
    {
        if (const char* old = std::getenv("SDL_AUDIODRIVER"))
            m_old = old;
        setenv("SDL_AUDIODRIVER", driver, 1);
    }
    ~DriverOverride()
    {
        if (m_old.empty())
            unsetenv("SDL_AUDIODRIVER");
        else
            setenv("SDL_AUDIODRIVER", m_old.c_str(), 1);
    }

private:
    std::string m_old;
};

// Starts a 50 ms sound on voice 0 and waits up to two seconds for the
// device's thread to play it out.
bool VoiceFinishes(AudioOutput& output)
{
    auto sound = std::make_shared<PcmSound>();
    sound->sampleRate = 44100;
    sound->samples.assign(2205, 1000);
    {
        AudioOutput::Lock lock(output);
        output.Mixer().AttachVoice(0, sound);
        output.Mixer().PlayVoice(0, false);
    }
    for (int i = 0; i < 200; ++i)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        AudioOutput::Lock lock(output);
        if (!output.Mixer().IsVoicePlaying(0))
            return true;
    }
    return false;
}

} // namespace

TEST(AudioDevice, TheDummyDriverPullsTheMixOnItsOwnThread)
{
    DriverOverride driver("dummy");
    auto output = AudioOutput::OpenDevice();
    ASSERT_EQ(output->GetKind(), AudioOutput::Kind::Device) << output->DeviceError();
    EXPECT_EQ(output->DriverName(), "dummy");
    EXPECT_TRUE(VoiceFinishes(*output));
    // Managers and music made on it are live, and tear down in any order.
    auto sounds = std::make_unique<MixerSoundManager>(output);
    auto music = OpenMptMusicInterface::Create(output);
    EXPECT_TRUE(sounds->HasDevice());
    EXPECT_NE(dynamic_cast<OpenMptMusicInterface*>(music.get()), nullptr);
    output.reset();
    music.reset();
    sounds.reset();
}

TEST(AudioDevice, NoSoundSystemMeansSilenceNotFailure)
{
    DriverOverride driver("no-such-driver");
    auto output = AudioOutput::OpenDevice();
    EXPECT_EQ(output->GetKind(), AudioOutput::Kind::Silent);
    EXPECT_FALSE(output->DeviceError().empty());
    EXPECT_FALSE(output->IsActive());
    MixerSoundManager sounds(output);
    EXPECT_FALSE(sounds.HasDevice());
    EXPECT_TRUE(sounds.LoadEffect(0, "sounds/anything"));
    auto music = OpenMptMusicInterface::Create(output);
    EXPECT_EQ(dynamic_cast<OpenMptMusicInterface*>(music.get()), nullptr);
}

TEST(AudioDevice, MusicRendersAheadAndPlaysOutOnTheDevice)
{
    DriverOverride driver("dummy");
    auto output = AudioOutput::OpenDevice();
    ASSERT_EQ(output->GetKind(), AudioOutput::Kind::Device) << output->DeviceError();
    TempDir dir;
    // One pattern at one tick per row: the song lasts 64 × 20 ms.
    AudioFixtures::Write(dir / "short.mod", AudioFixtures::Mod(1, {0}, 1));
    OpenMptMusicInterface music(output);
    ASSERT_TRUE(music.LoadTrack(0, dir / "short.mod"));
    ASSERT_TRUE(music.LoadTrack(1, dir / "short.mod"));
    music.PlayTrack(0, 0, true);
    music.PlayTrack(1, 0, false);
    bool ended = false;
    for (int i = 0; i < 400 && !ended; ++i)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ended = !music.IsTrackPlaying(0);
    }
    EXPECT_TRUE(ended);
    EXPECT_TRUE(music.IsTrackPlaying(1)); // the looping one goes on
    // Restarting a finished song from an order plays it again.
    music.PlayTrack(0, 0, true);
    EXPECT_TRUE(music.IsTrackPlaying(0));
    music.UnloadAllTracks();
}
