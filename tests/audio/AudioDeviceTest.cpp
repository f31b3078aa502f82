#include "AudioFixtures.h"
#include "framework/audio/AudioOutput.h"
#include "framework/audio/MixerSoundManager.h"
#include "framework/audio/OpenMptMusicInterface.h"
#include "framework/platform/SdlAudioDevice.h"

#include <chrono>
#include <cstdlib>
#include <iterator>
#include <thread>

using namespace Quillo;

namespace
{

constexpr const char* kDriver = "SDL_AUDIODRIVER";

// Sets the driver for one test and puts the old choice back.
struct DriverOverride
{
    std::string old = std::getenv(kDriver) ? std::getenv(kDriver) : "";
    explicit DriverOverride(const char* driver) { setenv(kDriver, driver, 1); }
    ~DriverOverride() { old.empty() ? unsetenv(kDriver) : setenv(kDriver, old.c_str(), 1); }
};

// Polls, for up to `ms` milliseconds, until the device's thread has made
// `done` true.
template <typename Done> bool WaitFor(int ms, Done done)
{
    for (int i = 0; i < ms / 10 && !done(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done();
}

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
    return WaitFor(2000,
                   [&]
                   {
                       AudioOutput::Lock lock(output);
                       return !output.Mixer().IsVoicePlaying(0);
                   });
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
    // The music falls back to the base, which plays nothing.
    auto music = OpenMptMusicInterface::Create(output);
    EXPECT_EQ(dynamic_cast<OpenMptMusicInterface*>(music.get()), nullptr);
    EXPECT_FALSE(music->LoadTrack(0, "music/music.mo3"));
    music->PlayTrack(0, 0, false);
    EXPECT_FALSE(music->IsTrackPlaying(0));
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
    EXPECT_TRUE(WaitFor(4000, [&] { return !music.IsTrackPlaying(0); }));
    EXPECT_TRUE(music.IsTrackPlaying(1)); // the looping one goes on
    // Restarting a finished song from an order plays it again.
    music.PlayTrack(0, 0, true);
    EXPECT_TRUE(music.IsTrackPlaying(0));
    music.UnloadAllTracks();
}

// SDL's "disk" driver writes what the device plays to a file: the module
// started at an order must come out exactly as the library renders it,
// from the start of the first buffer after the start.
TEST(AudioDevice, TheDeviceOutputIsTheModuleAtItsOrder)
{
    TempDir dir;
    DriverOverride driver("disk");
    setenv("SDL_DISKAUDIOFILE", (dir / "out.raw").c_str(), 1);
    const auto module = AudioFixtures::Mod(4, {0, 1, 2, 3});
    AudioFixtures::Write(dir / "music.mod", module);
    {
        auto output = AudioOutput::OpenDevice();
        ASSERT_EQ(output->GetKind(), AudioOutput::Kind::Device) << output->DeviceError();
        OpenMptMusicInterface music(output);
        ASSERT_TRUE(music.LoadTrack(0, dir / "music.mod"));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        music.PlayTrack(0, 2, false);
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
    }
    unsetenv("SDL_DISKAUDIOFILE");

    std::ifstream file(dir / "out.raw", std::ios::binary);
    const std::vector<char> raw((std::istreambuf_iterator<char>(file)),
                                std::istreambuf_iterator<char>());
    std::vector<int16_t> played(raw.size() / 2);
    std::memcpy(played.data(), raw.data(), played.size() * 2);
    const auto first = std::find_if(played.begin(), played.end(), [](int16_t s) { return s != 0; });
    ASSERT_NE(first, played.end()) << "nothing was played";
    const size_t frameBytes = 2 * SdlAudioDevice::kBufferFrames;
    const size_t start = static_cast<size_t>(first - played.begin()) / frameBytes * frameBytes;
    const int frames = 8192;
    ASSERT_GE(played.size(), start + 2 * frames) << "too little was played";
    const std::vector<int16_t> window(played.begin() + static_cast<long>(start),
                                      played.begin() + static_cast<long>(start + 2 * frames));
    EXPECT_LE(AudioFixtures::MaxDifference(window, AudioFixtures::DirectRender(module, 2, frames)),
              1);
}
