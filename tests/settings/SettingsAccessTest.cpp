#include "framework/app/AppSettings.h"
#include "framework/app/SettingsAccess.h"
#include "framework/platform/FileSettingsStore.h"
#include "framework/platform/FileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace Quillo;

class SettingsAccessTest : public ::testing::Test
{
protected:
    void SetUp() override { settings.SetStore(std::make_unique<FileSettingsStore>("Tolvane\\Spindrel", dir.Path())); }
    std::string FileText() const
    {
        return FileSystem::ReadTextFile(dir.Path() + "/Tolvane/Spindrel/settings.reg").value_or("");
    }

    TempDir dir;
    SettingsAccess settings;
};

TEST_F(SettingsAccessTest, ABackslashInTheNamePutsTheValueUnderASubkey)
{
    ASSERT_TRUE(settings.WriteString("Test3D\\FailureReason", "No hardware 3D path"));
    ASSERT_TRUE(settings.WriteInteger("A\\B\\Deep", 5));
    EXPECT_NE(FileText().find("[Test3D]\nFailureReason=sz:No%20hardware%203D%20path\n"), std::string::npos);
    EXPECT_NE(FileText().find("[A\\B]\nDeep=dword:5\n"), std::string::npos);
    std::string text;
    EXPECT_FALSE(settings.ReadString("FailureReason", text)) << "not in the product key";
    EXPECT_TRUE(settings.ReadString("test3d\\failurereason", text));
    EXPECT_EQ(text, "No hardware 3D path");
}

TEST_F(SettingsAccessTest, WrongTypesLeaveTheCallersValue)
{
    ASSERT_TRUE(settings.WriteString("Str", "12"));
    ASSERT_TRUE(settings.WriteBinary("Bin", {1, 2, 3, 4}));
    ASSERT_TRUE(settings.WriteInteger("Int", 9));
    int i = -7;
    bool b = true;
    std::string s = "keep";
    EXPECT_FALSE(settings.ReadInteger("Str", i));
    EXPECT_FALSE(settings.ReadInteger("Bin", i));
    EXPECT_FALSE(settings.ReadBoolean("Str", b));
    EXPECT_FALSE(settings.ReadString("Int", s));
    EXPECT_EQ(i, -7);
    EXPECT_TRUE(b);
    EXPECT_EQ(s, "keep");
    EXPECT_TRUE(settings.ReadBoolean("Int", b));
    EXPECT_TRUE(b);
}

TEST_F(SettingsAccessTest, EraseNegativeIntegersAndNoStore)
{
    ASSERT_TRUE(settings.WriteInteger("PreferredX", -1));
    EXPECT_NE(FileText().find("PreferredX=dword:4294967295"), std::string::npos);
    int v = 0;
    ASSERT_TRUE(settings.ReadInteger("PreferredX", v));
    EXPECT_EQ(v, -1);
    EXPECT_TRUE(settings.EraseValue("preferredx"));
    EXPECT_FALSE(settings.ReadInteger("PreferredX", v));
    EXPECT_FALSE(settings.EraseValue("NoSuchValue"));

    SettingsAccess noStore;
    v = 3;
    EXPECT_FALSE(noStore.WriteInteger("A", 1));
    EXPECT_FALSE(noStore.ReadInteger("A", v));
    EXPECT_EQ(v, 3);
}

TEST_F(SettingsAccessTest, FrameworkValuesRoundTripThroughTheFile)
{
    AppSettingsValues out{.musicVolume = 0.855, .sfxVolume = 0.3, .muteCount = 3, .autoMuteCount = 2,
                          .windowed = false, .preferredX = 120, .preferredY = -1, .customCursors = true,
                          .waitForVSync = true};
    AppSettings::Save(settings, out);
    EXPECT_NE(FileText().find("MusicVolume=dword:85\n"), std::string::npos);
    EXPECT_NE(FileText().find("Muted=dword:1\n"), std::string::npos);
    EXPECT_NE(FileText().find("InProgress=dword:0\n"), std::string::npos);

    AppSettingsValues in;
    AppSettings::Load(settings, in, false);
    EXPECT_DOUBLE_EQ(in.musicVolume, 0.85);
    EXPECT_DOUBLE_EQ(in.sfxVolume, 0.3);
    EXPECT_EQ(in.muteCount, 1) << "only the user's mute is stored";
    EXPECT_FALSE(in.windowed);
    EXPECT_EQ(in.preferredX, 120);
    EXPECT_EQ(in.preferredY, -1);
    EXPECT_TRUE(in.customCursors);
    EXPECT_TRUE(in.waitForVSync);
    EXPECT_TRUE(in.previousExitClean);
    EXPECT_NE(FileText().find("InProgress=dword:1\n"), std::string::npos) << "marked at once";

    AppSettingsValues again;
    AppSettings::Load(settings, again, true);
    EXPECT_FALSE(again.previousExitClean) << "the run before did not save";

    // Only automatic mutes are stored as unmuted.
    out.muteCount = 2;
    AppSettings::Save(settings, out);
    EXPECT_NE(FileText().find("Muted=dword:0\n"), std::string::npos);
}

TEST_F(SettingsAccessTest, StoredValuesOutOfRangeAreTamed)
{
    ASSERT_TRUE(settings.WriteInteger("MusicVolume", 250));
    ASSERT_TRUE(settings.WriteInteger("SfxVolume", -20));
    ASSERT_TRUE(settings.WriteInteger("Muted", 7));
    ASSERT_TRUE(settings.WriteString("ScreenMode", "1"));
    AppSettingsValues v;
    AppSettings::Load(settings, v, false);
    EXPECT_DOUBLE_EQ(v.musicVolume, 1.0);
    EXPECT_DOUBLE_EQ(v.sfxVolume, 0.0);
    EXPECT_EQ(v.muteCount, 1);
    EXPECT_TRUE(v.windowed) << "a string is the wrong type";
}

TEST(AppSettingsVolumes, EveryStoredVolumeSurvivesARoundTrip)
{
    EXPECT_EQ(AppSettings::VolumeToStored(0.855), 85);
    for (int stored = 0; stored <= 100; ++stored)
        EXPECT_EQ(AppSettings::VolumeToStored(AppSettings::StoredToVolume(stored)), stored);
    EXPECT_EQ(AppSettings::VolumeToStored(1.7), 100);
    EXPECT_EQ(AppSettings::VolumeToStored(-0.2), 0);
}
