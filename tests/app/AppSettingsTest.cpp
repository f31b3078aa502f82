#include "TestApp.h"
#include "support/TempDir.h"

#include "framework/platform/FileSettingsStore.h"
#include "framework/platform/FileSystem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>

using namespace Quillo;

namespace
{

class SettingsApp : public TestApp
{
public:
    SettingsApp() { registryKey = "Quillo\\SettingsTest"; }
};

class AppSettingsFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* old = std::getenv("XDG_CONFIG_HOME");
        oldConfig = old ? std::optional<std::string>(old) : std::nullopt;
        setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    }
    void TearDown() override
    {
        if (oldConfig)
            setenv("XDG_CONFIG_HOME", oldConfig->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }

    std::string Text() const
    {
        const auto bytes = FileSystem::ReadFile(FileSettingsStore("Quillo\\SettingsTest").FilePath());
        return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
    }

    TempDir dir;
    std::optional<std::string> oldConfig;
};

} // namespace

// Init reads the settings and marks the run as in progress; an orderly end
// writes them with the mark cleared, and the next run reads them back. (How
// each value is stored is the settings tests' business.)
TEST_F(AppSettingsFile, ValuesRoundTripThroughTheFileWithTheExitMarker)
{
    {
        SettingsApp app;
        app.Init();
        EXPECT_TRUE(app.PreviousExitClean());
        EXPECT_NE(Text().find("InProgress=dword:1"), std::string::npos) << Text();
        app.SetMusicVolume(0.855);
        app.SetSfxVolume(0.29);
        app.preferredX = 120;
        app.preferredY = -7;
        app.Mute(false);
        app.Mute(true);
        EXPECT_TRUE(app.WriteInteger("Sub\\Level", 12));
        app.Shutdown();
        EXPECT_NE(Text().find("InProgress=dword:0"), std::string::npos) << Text();
    }
    SettingsApp app;
    app.Init();
    EXPECT_TRUE(app.PreviousExitClean());
    EXPECT_DOUBLE_EQ(app.GetMusicVolume(), 0.85);
    EXPECT_DOUBLE_EQ(app.GetSfxVolume(), 0.29);
    EXPECT_EQ(app.preferredX, 120);
    EXPECT_EQ(app.preferredY, -7);
    EXPECT_EQ(app.muteCount, 1) << "only the user's mute is stored";
    int level = 0;
    EXPECT_TRUE(app.ReadInteger("Sub\\Level", level));
    EXPECT_EQ(level, 12);

    // A run that never ends cleanly leaves the mark for the next one.
    SettingsApp next;
    next.Init();
    EXPECT_FALSE(next.PreviousExitClean());
}

namespace
{

int g_renamed = 0;
int g_folderSynced = 0;

void CountWrites(FileSystem::WriteStep step, size_t)
{
    g_renamed += step == FileSystem::WriteStep::Renamed ? 1 : 0;
    g_folderSynced += step == FileSystem::WriteStep::FolderSynced ? 1 : 0;
}

} // namespace

// Saving writes the file once for all its values, and not at all when they
// are as stored (the end of the run saves twice); each rename is made
// lasting by flushing the folder.
TEST_F(AppSettingsFile, EachSaveRewritesTheFileOnceAndOnlyWhenSomethingChanged)
{
    SettingsApp app;
    app.Init();
    app.SetMusicVolume(0.5);
    g_renamed = g_folderSynced = 0;
    FileSystem::SetWriteObserver(CountWrites, SIZE_MAX);
    app.Shutdown();
    const int atShutdown = g_renamed;
    app.SaveSettings();
    FileSystem::SetWriteObserver(nullptr);
    EXPECT_EQ(atShutdown, 1);
    EXPECT_EQ(g_renamed, 1) << "the second save found nothing to change";
    EXPECT_EQ(g_folderSynced, g_renamed);
    EXPECT_NE(Text().find("MusicVolume=dword:50"), std::string::npos) << Text();
}

TEST_F(AppSettingsFile, NoKeyMeansNoFileAndTheStringTableCanNameTheKey)
{
    TempDir other;
    setenv("XDG_CONFIG_HOME", other.Path().c_str(), 1);
    TestApp keyless;
    keyless.Init();
    keyless.Shutdown();
    int v = 0;
    EXPECT_FALSE(keyless.WriteInteger("MusicVolume", 5));
    EXPECT_FALSE(keyless.ReadInteger("MusicVolume", v));
    EXPECT_TRUE(std::filesystem::is_empty(other.Path()));

    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    TestApp named;
    named.stringTable["RegistryKey"] = "Quillo\\SettingsTest";
    named.Init();
    EXPECT_EQ(named.registryKey, "Quillo\\SettingsTest");
    EXPECT_NE(Text().find("InProgress=dword:1"), std::string::npos);
}

TEST(AppCommandLine, FrameworkParametersChooseTheDemo)
{
    TestApp app;
    const char* argv[] = {"/opt/a b/quillo_demo", "-demofile=my run.dmo", "-record"};
    app.SetCommandLine(3, argv);
    app.ParseCommandLine();
    EXPECT_EQ(app.GetDemoMode(), QuilloAppBase::DemoMode::Record);
    EXPECT_EQ(app.demoFileName, "my run.dmo");

    TestApp playing;
    playing.ParseParams("-play -screensaver");
    EXPECT_EQ(playing.GetDemoMode(), QuilloAppBase::DemoMode::Play);
    EXPECT_TRUE(playing.screenSaverMode);
    playing.SetDemoMode(QuilloAppBase::DemoMode::None, "");
    EXPECT_EQ(playing.GetDemoMode(), QuilloAppBase::DemoMode::None);
    EXPECT_EQ(playing.demoFileName, "quilloapp.dmo");
}
