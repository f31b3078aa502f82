#include "framework/audio/SoundManager.h"
#include "framework/graphics/ImageLib.h"
#include "framework/resources/ResourceHost.h"
#include "framework/resources/ResourceManager.h"
#include "game/board/GameResources.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace Spindrel;

namespace
{

class AnySound : public Quillo::SoundManager
{
public:
    bool HasDevice() override { return true; }
    bool LoadEffect(int, const std::string&) override { return true; }
    void UnloadEffect(int) override {}
    void SetEffectsVolume(double) override {}
    bool SetEffectBaseVolume(int, double) override { return true; }
    bool SetEffectBasePan(int, int) override { return true; }
    Quillo::SoundInstance* NewInstance(int) override { return nullptr; }
    void UnloadAllEffects() override {}
    void DeleteAllInstances() override {}
    double GetSystemVolume() override { return 1.0; }
    void SetSystemVolume(double) override {}
    void AttachToWindow(void*, bool) override {}
    void StopAllInstances() override {}
};

class Host : public Quillo::ResourceHost
{
public:
    Quillo::SoundManager* GetSoundManager() override { return &sounds; }
    void ShowFatalError(const std::string&) override {}
    AnySound sounds;
};

const char* const kGameImages[] = {
    "IMAGE_BAR_DOWN", "IMAGE_BAR_UP", "IMAGE_BOMB_BLAST", "IMAGE_CHECKBOX", "IMAGE_CHIPS",
    "IMAGE_DIALOG_BOX", "IMAGE_DIALOG_BUTTON", "IMAGE_INGAME_DOWN", "IMAGE_INGAME_UP",
    "IMAGE_MENUBUTTON_DOWN", "IMAGE_MENUBUTTON_NORMAL", "IMAGE_MENUBUTTON_OVER",
    "IMAGE_SLIDER_THUMB", "IMAGE_SLIDER_TRACK", "IMAGE_WARNING_POINT", "spr_gate_bord",
    "spr_light_big_bar", "spr_light_small_bar", "spr_picBack", "spr_picBigGlow", "spr_picGlow",
    "spr_picRot"};
const char* const kGameSounds[] = {
    "SOUND_BALLS_ROLLING", "SOUND_BONUS_ARRIVED", "SOUND_CLOSE_BALL", "SOUND_COLLECT_PAIR",
    "SOUND_COMBO2", "SOUND_COMBO3", "SOUND_COMBO4", "SOUND_COMBO5", "SOUND_COMBO6", "SOUND_COMBO7",
    "SOUND_COMBO8", "SOUND_COMBO9", "SOUND_COMBO_OPEN", "SOUND_COMPLETE_CHIP", "SOUND_EXPLODE",
    "SOUND_HEARTBEAT", "SOUND_LOSE_LIFE", "SOUND_OPEN_BALL", "SOUND_ROLLBACK",
    "SOUND_SCORE_REACHED"};

} // namespace

TEST(GameResources, AMissingSoundStopsTheGameGroupAfterTheHandlesBeforeIt)
{
    TempDir dir;
    ASSERT_TRUE(Quillo::ImageLib::WritePNG(dir / "pixel.png", Quillo::ImageLib::Image(2, 2)));
    std::string manifest = "<?xml version=\"1.0\"?>\n<ResourceManifest>\n<Resources id=\"Game\">\n"
                           "<SetDefaults path=\"" + dir.Path() + "\"/>\n";
    for (const char* id : kGameImages)
        manifest += std::string("<Image id=\"") + id + "\" path=\"pixel\"/>\n";
    for (const char* id : kGameSounds)
        manifest += std::string("<Sound id=\"") + id + "\" path=\"beep\"/>\n";
    manifest += "</Resources>\n<Resources id=\"TitleScreen\">\n<SetDefaults path=\"" + dir.Path() +
                "\"/>\n<Image id=\"IMAGE_LOADING_BAR\" path=\"pixel\"/>\n"
                "<Image id=\"IMAGE_LOADING_SCREEN\" path=\"pixel\"/>\n</Resources>\n</ResourceManifest>\n";
    std::ofstream(dir / "resources.xml") << manifest;

    Host host;
    Quillo::ResourceManager manager(&host);
    ASSERT_TRUE(manager.ParseResourcesFile(dir / "resources.xml")) << manager.GetErrorText();
    ASSERT_TRUE(manager.LoadResources("Game")) << manager.GetErrorText();
    ASSERT_TRUE(manager.LoadResources("TitleScreen")) << manager.GetErrorText();

    GameResources res;
    EXPECT_TRUE(res.BindGroupTitleScreen(manager));
    EXPECT_NE(res.IMAGE_LOADING_SCREEN, nullptr);

    EXPECT_FALSE(res.BindGroupGame(manager));
    EXPECT_TRUE(res.IMAGE_WARNING_POINT && res.IMAGE_BAR_DOWN);
    EXPECT_GE(res.SOUND_SCORE_REACHED, 0);
    EXPECT_GE(SoundHandle(res, BoardSound::BallsRolling), 0);
    EXPECT_EQ(res.SOUND_STOP, -1);
    // The sprites come after the sounds and stay unbound.
    EXPECT_EQ(res.spr_picRot, nullptr);
    EXPECT_NE(manager.GetErrorText().find("SOUND_STOP"), std::string::npos);
}
