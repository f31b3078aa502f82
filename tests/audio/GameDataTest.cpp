// Checks against the generated game data, when the build made it.
#include "AudioFixtures.h"
#include "framework/audio/AudioOutput.h"
#include "framework/audio/MixerSoundManager.h"
#include "framework/audio/OpenMptMusicInterface.h"
#include "framework/audio/PcmSound.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

using namespace Quillo;

namespace
{

std::string DataPath(const std::string& name)
{
    const char* dir = std::getenv("QUILLO_DATA_DIR");
    return dir ? std::string(dir) + "/" + name : std::string();
}

} // namespace

TEST(GameData, EveryMusicPositionTheBoardAsksForIsAudible)
{
    const std::string path = DataPath("music/music.mo3");
    if (path.empty() || !std::filesystem::exists(path))
        GTEST_SKIP() << "no generated music";
    auto output = AudioOutput::CreateOffline();
    OpenMptMusicInterface music(output);
    ASSERT_TRUE(music.LoadTrack(0, path)) << music.LastError();
    ASSERT_TRUE(music.LoadTrack(1, path)) << music.LastError();
    std::vector<int16_t> out(2 * 22050);
    // Title and menu from 0; themes 2/9, danger 7/15; level complete 16; game over 17.
    for (int position : {0, 2, 7, 9, 15, 16, 17})
    {
        music.StopAllTracks();
        music.PlayTrack(1, position, false);
        output->Render(out.data(), 22050);
        EXPECT_GT(AudioFixtures::Peak(out), 1000) << "position " << position;
    }
}

TEST(GameData, EverySoundEffectLoads)
{
    const std::string dir = DataPath("music/sfx");
    if (dir.empty() || !std::filesystem::is_directory(dir))
        GTEST_SKIP() << "no generated sounds";
    MixerSoundManager sounds(AudioOutput::CreateOffline());
    int id = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
    {
        if (entry.path().extension() != ".wav" || id >= SoundManager::kMaxEffects)
            continue;
        const std::string base = (entry.path().parent_path() / entry.path().stem()).string();
        EXPECT_TRUE(sounds.LoadEffect(id, base)) << base << ": " << sounds.LastError();
        ASSERT_TRUE(sounds.Effect(id));
        EXPECT_GT(sounds.Effect(id)->Frames(), 0u) << base;
        ++id;
    }
    EXPECT_GT(id, 0);
}
