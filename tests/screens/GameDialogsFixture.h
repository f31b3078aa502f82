#pragma once

// The real game on the fake platform, loaded and past the title screen,
// in a folder of its own with the generated data linked in and an empty
// "_save". The language is replaced by texts that name their number, so
// that a test can tell which text a dialog chose.
#include "../app/FakePlatform.h"
#include "../support/GameData.h"
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
#include "game/screens/AskDialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
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

// A folder of the test's own with the generated data's folders linked in,
// those that Copied() names as folders of links (so that a test can take a
// file away), and an empty "_save"; the test runs inside it.
class GameWorldTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        namespace fs = std::filesystem;
        const char* data = std::getenv("QUILLO_DATA_DIR");
        if (!data || !fs::exists(fs::path(data) / "properties" / "resources.xml"))
            QUILLO_WITHOUT_GAME_DATA("the generated game data is not built");
        const fs::path root = m_dir.Path();
        const auto copied = Copied();
        m_old = fs::current_path();
        for (const char* sub : {"bin", "gfx", "levels", "music", "properties"})
        {
            if (std::find(copied.begin(), copied.end(), std::string_view(sub)) == copied.end())
            {
                fs::create_directory_symlink(fs::path(data) / sub, root / sub);
                continue;
            }
            fs::create_directory(root / sub);
            for (const auto& entry : fs::directory_iterator(fs::path(data) / sub))
                fs::create_symlink(entry.path(), root / sub / entry.path().filename());
        }
        fs::current_path(root);
        setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    }
    void TearDown() override
    {
        if (!m_old.empty())
            std::filesystem::current_path(m_old);
    }
    virtual std::vector<std::string_view> Copied() const { return {}; }

    std::string SaveFile(const std::string& name) const { return m_dir / ("_save/" + name); }

    TempDir m_dir;
    std::filesystem::path m_old;
};

class GameDialogsTest : public GameWorldTest
{
protected:
    void SetUp() override
    {
        GameWorldTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
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
        GameWorldTest::TearDown();
    }

    // Text n of the test language: "t<n>", with the placeholders the game
    // fills in for the texts that take them.
    static std::string NumberedText(int n)
    {
        static const std::map<int, std::string> placeholders = {
            {31, " %d"}, {33, " %d"}, {34, " %d-%d"}, {41, " %d"}, {52, " %s"}, {57, " %d"}, {58, " %d"}, {75, " %s"}, {79, " %s"}};
        const auto it = placeholders.find(n);
        return "t" + std::to_string(n) + (it == placeholders.end() ? "" : it->second);
    }

    Spindrel::Board& TheBoard() { return *app->GetBoard(); }
    // From the main menu through the stage selection into a stage.
    void StartPlaying(int stageIndex)
    {
        app->ShowSelectStage();
        app->StartStage(stageIndex);
    }
    Spindrel::GameState& State() { return app->GetBoard()->Logic().State(); }
    // A real click: the mouse moves there, goes down and up.
    void ClickAt(int x, int y)
    {
        Quillo::WidgetManager& wm = *app->widgetManager;
        wm.MouseMove(x, y);
        wm.MouseDown(x, y, 1);
        wm.MouseUp(x, y, 1);
    }
    void Click(const Quillo::Widget& w) { ClickAt(w.x + w.width / 2, w.y + w.height / 2); }

    template <typename T = Quillo::Dialog>
    T* Open(int id)
    {
        return dynamic_cast<T*>(app->FindDialog(id));
    }
    // The first widget of the kind on screen that `is` accepts.
    template <typename W>
    W* Find(const std::function<bool(const W&)>& is = nullptr)
    {
        for (Quillo::Widget* w : app->widgetManager->Widgets())
            if (auto* found = dynamic_cast<W*>(w); found && (!is || is(*found)))
                return found;
        return nullptr;
    }
    // The question of the kind asked, answered with its first or second button.
    void Answer(int askKind, bool first = true)
    {
        app->ShowAskDialog(askKind);
        Quillo::Dialog* ask = Open(Spindrel::AskDialog::kDialogId);
        ASSERT_NE(ask, nullptr);
        ASSERT_NE(first ? ask->FirstButton() : ask->SecondButton(), nullptr);
        Click(first ? *ask->FirstButton() : *ask->SecondButton());
    }

    std::unique_ptr<GameDialogsApp> app;
};
