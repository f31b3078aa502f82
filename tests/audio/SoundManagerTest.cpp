#include "AudioFixtures.h"
#include "framework/audio/MixerSoundInstance.h"
#include "framework/audio/MixerSoundManager.h"
#include "framework/audio/SoundFile.h"
#include "framework/audio/SoundInstance.h"
#include "framework/platform/FileSystem.h"

#include <chrono>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

using namespace Quillo;
using namespace AudioFixtures;

namespace
{

constexpr int kSilent = 1; // no level at all, in the table below

struct Fixture : OfflineTest
{
    uint32_t now = 5000;
    MixerSoundManager manager{output, [this] { return now; }};

    // A constant mono sound, so that the rendered level shows the gain.
    std::string WriteConstant(const std::string& name, int16_t value, int frames = 4410)
    {
        Write(dir / (name + ".wav"),
              Wave16(1, 44100, std::vector<int16_t>(static_cast<size_t>(frames), value)));
        return dir / name;
    }

    std::optional<SoundFile::WaveContents> ReadCache(const std::string& name)
    {
        auto bytes = FileSystem::ReadFile(dir / ("cached_" + name + ".wav"));
        std::string error;
        return bytes ? SoundFile::DecodeWave(*bytes, error) : std::nullopt;
    }
};

void Age(const std::string& path, int seconds)
{
    std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) -
                                               std::chrono::seconds(seconds));
}

} // namespace

using SoundManagerLoading = Fixture;
using SoundManagerInstances = Fixture;

TEST_F(SoundManagerLoading, LoadsWaveAndRefusesBadIds)
{
    const std::string path = WriteConstant("click", 1000);
    EXPECT_TRUE(manager.HasDevice());
    EXPECT_TRUE(manager.LoadEffect(7, path));
    ASSERT_TRUE(manager.Effect(7));
    EXPECT_EQ(manager.Effect(7)->Frames(), 4410u);
    EXPECT_FALSE(manager.LoadEffect(256, path));
    EXPECT_FALSE(manager.LoadEffect(-1, path));
    EXPECT_FALSE(manager.SetEffectBaseVolume(256, 0.5));
    EXPECT_FALSE(manager.SetEffectBasePan(300, 1));
    EXPECT_TRUE(manager.SetEffectBaseVolume(255, 0.5));
    manager.UnloadEffect(7);
    EXPECT_FALSE(manager.Effect(7));
}

// A name without its extension finds the file it stands for, and a decoded
// file is cached in its own depth.
TEST_F(SoundManagerLoading, NamesResolveToTheirFiles)
{
    FileSystem::MakeDirectories(dir / "Sounds");
    // clang-format off
    const struct
    {
        const char* file;
        Bytes bytes;
        std::string name;
        int rate;
        std::vector<int16_t> samples;
        int cachedBits; // 0: no cache is made
    } cases[] = {
        // Windows-style paths and case differences resolve.
        {"Sounds/Pop.WAV", Wave16(1, 22050, {1, 2, 3}), dir.Path() + "\\sounds\\pop", 22050,
         {1, 2, 3}, 0},
        {"beep.au", Snd(2, 8000, 1, {0x10, 0xF0, 0x7F}), dir / "beep", 8000,
         {0x1000, -0x1000, 0x7F00}, 8},
        {"law.au", Snd(1, 8000, 1, {0x80, 0x00}), dir / "law", 8000, {32124, -32124}, 16},
        // A wave is preferred to an Ogg file of the same name.
        {"both.ogg", Ogg(1, 22050, Sine(1, 22050, 3000)), dir / "both", 0, {}, 0},
        {"both.wav", Wave16(1, 44100, {3, 3}), dir / "both", 44100, {3, 3}, 0},
    };
    // clang-format on
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.file);
        Write(dir / c.file, c.bytes);
        if (!c.rate)
            continue;
        ASSERT_TRUE(manager.LoadEffect(1, c.name)) << manager.LastError();
        EXPECT_EQ(manager.Effect(1)->sampleRate, c.rate);
        EXPECT_EQ(manager.Effect(1)->samples, c.samples);
        const std::string base = std::filesystem::path(c.file).stem().string();
        const auto cache = ReadCache(base);
        EXPECT_EQ(cache ? cache->sound.bitsPerSample : 0, c.cachedBits);
        EXPECT_EQ(cache ? cache->sound.samples : c.samples, c.samples);
    }
}

TEST_F(SoundManagerLoading, MissingOrBrokenFilesFailWithAReason)
{
    EXPECT_FALSE(manager.LoadEffect(2, dir / "nothing"));
    EXPECT_NE(manager.LastError().find("no .wav, .ogg or .au file"), std::string::npos);
    Write(dir / "broken.wav", Bytes{'R', 'I', 'F', 'F', 1,   0,   0,  0, 'W', 'A',
                                    'V', 'E', 'd', 'a', 't', 'a', 99, 0, 0,   0});
    EXPECT_FALSE(manager.LoadEffect(2, dir / "broken"));
    EXPECT_NE(manager.LastError().find("broken.wav"), std::string::npos);
    EXPECT_FALSE(manager.Effect(2));
    // A failed load leaves the id empty, even if it held a sound before.
    EXPECT_TRUE(manager.LoadEffect(3, WriteConstant("ok", 5)));
    EXPECT_FALSE(manager.LoadEffect(3, dir / "nothing"));
    EXPECT_FALSE(manager.Effect(3));
}

TEST_F(SoundManagerLoading, OggIsDecodedOnceIntoACacheThatFollowsItsSource)
{
    Write(dir / "song.ogg", Ogg(1, 22050, Sine(1, 22050, 5000)));
    ASSERT_TRUE(manager.LoadEffect(4, dir / "song"));
    EXPECT_EQ(manager.Effect(4)->Frames(), 5000u);
    auto cache = ReadCache("song");
    ASSERT_TRUE(cache);
    ASSERT_TRUE(cache->dependency);
    EXPECT_EQ(cache->dependency->path, dir / "song.ogg");
    EXPECT_EQ(cache->dependency->time, FileSystem::ModificationTime(dir / "song.ogg"));
    EXPECT_EQ(cache->sound.samples, manager.Effect(4)->samples);

    // The next load takes the cache: prove it by giving the cache other samples.
    PcmSound marked = cache->sound;
    marked.samples.assign(marked.samples.size(), 77);
    const auto bytes = SoundFile::EncodeWaveCache(marked, *cache->dependency);
    ASSERT_TRUE(FileSystem::WriteFileAtomic(dir / "cached_song.wav", bytes.data(), bytes.size()));
    ASSERT_TRUE(manager.LoadEffect(4, dir / "song"));
    EXPECT_EQ(manager.Effect(4)->samples[0], 77);

    // Once the source has changed the cache is ignored and rewritten.
    Age(dir / "song.ogg", 100);
    ASSERT_TRUE(manager.LoadEffect(4, dir / "song"));
    EXPECT_NE(manager.Effect(4)->samples[0], 77);
    auto rewritten = ReadCache("song");
    ASSERT_TRUE(rewritten);
    EXPECT_EQ(rewritten->dependency->time, FileSystem::ModificationTime(dir / "song.ogg"));

    // A cache whose source has gone is not used either.
    std::filesystem::remove(dir / "song.ogg");
    EXPECT_FALSE(manager.LoadEffect(4, dir / "song"));
}

TEST(SoundManagerSilent, WithoutADeviceEverythingSucceedsQuietly)
{
    MixerSoundManager manager(AudioOutput::CreateSilent());
    EXPECT_FALSE(manager.HasDevice());
    EXPECT_TRUE(manager.LoadEffect(1, "/nonexistent/sound"));
    EXPECT_FALSE(manager.LoadEffect(999, "/nonexistent/sound"));
    SoundInstance* instance = manager.NewInstance(1);
    ASSERT_NE(instance, nullptr);
    EXPECT_TRUE(instance->Play(false, true));
    EXPECT_FALSE(instance->IsPlaying());
    EXPECT_TRUE(instance->IsReleased());
    EXPECT_EQ(manager.GetSystemVolume(), 1.0);
    manager.SetSystemVolume(0.2);
    EXPECT_EQ(manager.GetSystemVolume(), 1.0);
}

TEST_F(SoundManagerInstances, VolumeAndPanFollowTheAttenuationScale)
{
    ASSERT_TRUE(manager.LoadEffect(1, WriteConstant("tone", 10000)));
    ASSERT_TRUE(manager.SetEffectBasePan(1, 2000));
    SoundInstance* instance = manager.NewInstance(1);
    ASSERT_NE(instance, nullptr);
    ASSERT_TRUE(instance->Play(true, false));
    EXPECT_EQ(Render(1), (std::vector<int16_t>{1000, 10000})); // left down by 20 dB
    instance->SetVolume(0.5);
    EXPECT_DOUBLE_EQ(instance->GetVolume(), 0.5);
    // Master × volume × base volume is what is converted (0.5 is -605
    // hundredths of a dB, 0.05 is -1956, 0.03 is below the audible floor);
    // the pan adds to the base pan.
    const struct
    {
        double master, base, volume;
        int basePan, pan, left, right;
    } cases[] = {
        {1.0, 1.0, 1.0, 0, 0, 0, 0},
        {1.0, 1.0, 0.5, 0, 0, -605, -605},
        {0.5, 1.0, 1.0, 0, 0, -605, -605},
        {0.5, 0.1, 1.0, 0, 0, -1956, -1956},
        {0.0, 1.0, 1.0, 0, 0, kSilent, kSilent},
        {1.0, 1.0, 0.03, 0, 0, kSilent, kSilent},
        {1.0, 1.0, 1.0, 2000, 0, -2000, 0},
        {1.0, 1.0, 1.0, 2000, -4000, 0, -2000},
        {1.0, 1.0, 1.0, 0, -10000, 0, kSilent},
    };
    const auto Level = [](int attenuation)
    {
        const double gain = attenuation == kSilent ? 0.0 : std::pow(10.0, attenuation / 2000.0);
        return static_cast<int16_t>(std::lrint(10000 * gain));
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.master << " " << c.base << " " << c.volume << " pan "
                                        << c.basePan << " + " << c.pan);
        manager.SetEffectsVolume(c.master);
        instance->SetBaseVolume(c.base);
        instance->SetVolume(c.volume);
        instance->SetBasePan(c.basePan);
        instance->SetPan(c.pan);
        const auto out = Render(1);
        EXPECT_EQ(out[0], Level(c.left));
        EXPECT_EQ(out[1], Level(c.right));
    }
}

TEST_F(SoundManagerInstances, PlayRestartsAndShiftPitchMovesByTwelfthRootsOfTwoWithinLimits)
{
    Write(dir / "low.wav", Wave16(1, 22050, {10, 100, 200, 300, 400, 500}));
    ASSERT_TRUE(manager.LoadEffect(1, dir / "low"));
    auto* instance = dynamic_cast<MixerSoundInstance*>(manager.NewInstance(1));
    ASSERT_NE(instance, nullptr);
    EXPECT_FALSE(instance->IsPlaying()); // not before the first Play
    EXPECT_DOUBLE_EQ(instance->Frequency(), 22050.0);
    instance->ShiftPitch(12);
    EXPECT_NEAR(instance->Frequency(), 44100.0, 1e-6);
    instance->Play(false, false);
    auto out = Render(3); // now at the output rate: one sample per frame
    EXPECT_EQ(out[2], 100);
    EXPECT_EQ(out[4], 200);
    instance->Play(false, false);
    EXPECT_EQ(Render(1)[0], 10); // from the start again
    instance->ShiftPitch(-12);
    EXPECT_NEAR(instance->Frequency(), 11025.0, 1e-6);
    instance->ShiftPitch(200);
    EXPECT_EQ(instance->Frequency(), 100000.0);
    instance->ShiftPitch(-200);
    EXPECT_EQ(instance->Frequency(), 100.0);
}

TEST_F(SoundManagerInstances, ThirtyTwoSlotsAndTheReleaseRules)
{
    ASSERT_TRUE(manager.LoadEffect(1, WriteConstant("long", 100, 44100)));
    ASSERT_TRUE(manager.LoadEffect(2, WriteConstant("short", 100, 10)));
    EXPECT_EQ(manager.NewInstance(3), nullptr); // nothing loaded under 3
    EXPECT_EQ(manager.NewInstance(256), nullptr);

    std::vector<SoundInstance*> live;
    for (int i = 0; i < 31; ++i)
    {
        live.push_back(manager.NewInstance(1));
        ASSERT_NE(live.back(), nullptr);
        live.back()->Play(false, true);
    }
    SoundInstance* shortOne = manager.NewInstance(2);
    ASSERT_NE(shortOne, nullptr);
    shortOne->Play(false, true);
    EXPECT_EQ(manager.NewInstance(1), nullptr); // the 33rd gets nothing

    Render(20); // the short one has finished and releases itself
    EXPECT_FALSE(shortOne->IsPlaying());
    SoundInstance* reused = manager.NewInstance(1);
    EXPECT_NE(reused, nullptr);
    EXPECT_EQ(manager.NewInstance(1), nullptr);

    // A finished instance without automatic release keeps its slot.
    reused->Play(false, false);
    reused->Stop();
    EXPECT_FALSE(reused->IsReleased());
    EXPECT_EQ(manager.NewInstance(1), nullptr);
    reused->Release();
    EXPECT_TRUE(reused->IsReleased());
    EXPECT_NE(manager.NewInstance(1), nullptr);
}

TEST_F(SoundManagerInstances, StopAllKeepsTheAutomaticRelease)
{
    ASSERT_TRUE(manager.LoadEffect(1, WriteConstant("long", 100, 44100)));
    SoundInstance* automatic = manager.NewInstance(1);
    SoundInstance* manual = manager.NewInstance(1);
    automatic->Play(true, true);
    manual->Play(true, false);
    Render(10);
    EXPECT_TRUE(automatic->IsPlaying());
    manager.StopAllInstances();
    EXPECT_FALSE(automatic->IsPlaying());
    EXPECT_FALSE(manual->IsPlaying());
    EXPECT_TRUE(automatic->IsReleased());
    EXPECT_FALSE(manual->IsReleased());
    for (int16_t s : Render(100))
        ASSERT_EQ(s, 0);
}

TEST_F(SoundManagerInstances, InstancesOutliveTheirUnloadedSound)
{
    ASSERT_TRUE(manager.LoadEffect(1, WriteConstant("tone", 321)));
    SoundInstance* instance = manager.NewInstance(1);
    instance->Play(true, false);
    manager.UnloadAllEffects();
    EXPECT_EQ(Render(1)[0], 321); // the samples are shared, not freed
    EXPECT_EQ(manager.NewInstance(1), nullptr);
    manager.DeleteAllInstances();
    EXPECT_EQ(Render(1)[0], 0);
}

TEST_F(SoundManagerInstances, TheSweepDeletesReleasedInstancesAtMostOncePerSecond)
{
    ASSERT_TRUE(manager.LoadEffect(1, WriteConstant("tone", 1)));
    SoundInstance* a = manager.NewInstance(1);
    a->Release();
    // Within the second the sweep does not run, but the slot search still
    // reuses the released slot: the same slot is handed out again.
    now += 500;
    SoundInstance* b = manager.NewInstance(1);
    EXPECT_NE(b, nullptr);
    b->Play(true, false);
    now += 2000;
    SoundInstance* c = manager.NewInstance(1);
    ASSERT_NE(c, nullptr);
    EXPECT_NE(c, b);
    EXPECT_TRUE(b->IsPlaying()); // the sweep left the playing one alone
}
