#pragma once

// The real game on the fake platform, loaded and past the title screen,
// in a folder of its own with the generated data linked in and an empty
// "_save". The language is replaced by texts that name their number, so
// that a test can tell which text a dialog chose.
#include "../app/FakePlatform.h"
#include "../support/TempDir.h"

#include "framework/audio/MusicInterface.h"
#include "framework/audio/SoundManager.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/WidgetManager.h"
#include "game/app/GameApp.h"
#include "game/app/PlayerProfiles.h"
#include "game/app/SaveFolder.h"
#include "game/app/TextTable.h"
#include "game/board/Board.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class GameDialogsApp : public Spindrel::GameApp
{
public:
    GameDialogsApp()
    {
        auto fake = std::make_unique<FakePlatform>();
        platformFake = fake.get();
        SetPlatform(std::move(fake));
        singleInstance = false;
        automaticLoading = false;
    }

    bool KeepWorkingDirectory(const std::string&) override { return true; }
    // Sounds are the real ones on SDL's silent audio driver: the "Game"
    // group cannot load without them. Music is left out.
    std::unique_ptr<Quillo::MusicInterface> CreateMusicPlayer() override { return nullptr; }

    // Start-up as the program runs it, with the loading pass run here
    // instead of on its thread, up to the title screen's link.
    bool Load()
    {
        Init();
        if (IsShuttingDown())
            return false;
        LoadingThreadBody();
        loadingThreadDone = true;
        TryUpdate();
        return loadingHandled && GetTitleScreen() != nullptr && !closePending && !IsShuttingDown();
    }

    // The music the game fades in, as (channel, position).
    void FadeInMusic(int channel, int position, double speed, bool noLoop) override
    {
        fadeIns.emplace_back(channel, position);
        GameApp::FadeInMusic(channel, position, speed, noLoop);
    }

    bool ClosePending() const { return closePending; }
    using GameApp::DeleteQueuedWidgets;
    using GameApp::OnBeforeExit;
    FakePlatform* platformFake = nullptr;
    std::vector<std::pair<int, int>> fadeIns;
};

class GameDialogsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        namespace fs = std::filesystem;
        const char* data = std::getenv("QUILLO_DATA_DIR");
        if (!data || !fs::exists(fs::path(data) / "properties" / "resources.xml"))
            GTEST_SKIP() << "the generated game data is not built";
        m_old = fs::current_path();
        for (const char* sub : {"bin", "gfx", "levels", "music", "properties"})
            fs::create_directory_symlink(fs::path(data) / sub, fs::path(m_dir.Path()) / sub);
        fs::current_path(fs::path(m_dir.Path()));
        setenv("XDG_CONFIG_HOME", (fs::path(m_dir.Path()) / "config").c_str(), 1);

        app = std::make_unique<GameDialogsApp>();
        ASSERT_TRUE(app->Load());
        std::string language;
        for (int i = 0; i < Spindrel::TextTable::kTextCount; ++i)
            language += NumberedText(i) + "\n";
        app->Texts().LoadLanguage(language, [](const std::string&) {});
        // Without a player the main menu would ask for a name first.
        ASSERT_EQ(app->Profiles().ChooseByName("Tester"),
                  Spindrel::PlayerProfiles::ChooseResult::Created);
        app->LeaveTitleScreen();
        ASSERT_NE(app->GetBoard(), nullptr);
        ASSERT_NE(app->GetMainMenu(), nullptr);
        ASSERT_EQ(app->DialogCount(), 0);
    }

    void TearDown() override
    {
        app.reset();
        if (!m_old.empty())
            std::filesystem::current_path(m_old);
    }

    // Text n of the test language: "t<n>", with the placeholders the game
    // fills in for the texts that take them.
    static std::string NumberedText(int n)
    {
        switch (n)
        {
        case 31:
        case 33:
        case 41:
        case 57:
        case 58:
            return "t" + std::to_string(n) + " %d";
        case 34:
            return "t34 %d-%d";
        case 52:
            return "t52 %s";
        case 75:
            return "t75 %s";
        default:
            return "t" + std::to_string(n);
        }
    }

    Spindrel::Board& TheBoard() { return *app->GetBoard(); }
    // From the main menu through the stage selection into a stage.
    void StartPlaying(int stageIndex)
    {
        app->ShowSelectStage();
        app->StartStage(stageIndex);
    }
    Spindrel::GameState& State() { return app->GetBoard()->Logic().State(); }
    std::string SaveFile(const std::string& name) const { return m_dir / ("_save/" + name); }

    // A real click: the mouse moves there, goes down and up.
    void ClickAt(int x, int y)
    {
        Quillo::WidgetManager& wm = *app->widgetManager;
        wm.MouseMove(x, y);
        wm.MouseDown(x, y, 1);
        wm.MouseUp(x, y, 1);
    }
    void Click(const Quillo::Widget& w) { ClickAt(w.x + w.width / 2, w.y + w.height / 2); }

    TempDir m_dir;
    std::filesystem::path m_old;
    std::unique_ptr<GameDialogsApp> app;
};
