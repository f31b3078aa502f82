// Files of the save folder that will not go away: declining the saved game,
// continuing it and deleting a player tell the player, and a player whose
// files stay is not deleted.
#include "GameDialogsFixture.h"
#include "framework/app/FileGateway.h"
#include "framework/widgets/ListWidget.h"
#include "game/app/SavedGameFiles.h"
#include "game/screens/AskDeletePlayerDialog.h"
#include "game/screens/GameCompleteDialog.h"
#include "game/screens/SelectPlayerDialog.h"
#include "game/screens/SelectStageWidget.h"

#include <algorithm>
#include <set>

using namespace Spindrel;
namespace fs = std::filesystem;

namespace
{

// The real files, except that those named cannot be removed, as in a
// folder the player may no longer change.
class StuckFiles : public Quillo::FileGateway
{
public:
    bool Exists(const std::string& path) override { return Direct().Exists(path); }
    std::optional<std::vector<uint8_t>> Read(const std::string& path, size_t maxBytes,
                                             bool& truncated) override
    {
        return Direct().Read(path, maxBytes, truncated);
    }
    bool Write(const std::string& path, const uint8_t* data, size_t size) override
    {
        return Direct().Write(path, data, size);
    }
    bool Append(const std::string& path, std::string_view text) override
    {
        return Direct().Append(path, text);
    }
    bool Remove(const std::string& path) override
    {
        return stuck.count(fs::path(path).filename().string()) == 0 && Direct().Remove(path);
    }
    bool Rename(const std::string& from, const std::string& to) override
    {
        return Direct().Rename(from, to);
    }
    bool MakeDirectories(const std::string& path) override
    {
        return Direct().MakeDirectories(path);
    }

    std::set<std::string> stuck;
};

constexpr int kNotice = 8;

} // namespace

class StuckFilesTest : public GameDialogsTest
{
protected:
    void SetUp() override
    {
        GameDialogsTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        app->Saves() = SaveFolder(app->Saves().Root(), m_files);
        app->Profiles().ChooseByName("Ann");
    }
    void SaveTheGame()
    {
        ASSERT_TRUE(SavedGameFiles::SaveGame(app->Saves(), "Ann", TheBoard().Logic().SaveState()));
    }
    // The notice naming the file that stayed, in front of every other widget
    // but the cursor, and the one that takes the input.
    void ExpectToldAbout(const std::string& file)
    {
        Quillo::Dialog* notice = Open(kNotice);
        ASSERT_NE(notice, nullptr);
        EXPECT_EQ(notice->header, "t78");
        EXPECT_EQ(notice->body, "t79 " + file);
        EXPECT_EQ(app->widgetManager->GetBaseModal(), notice);
        for (Quillo::Widget* w : app->widgetManager->Widgets())
            EXPECT_TRUE(w->width < 800 || w->height < 600 ||
                        app->widgetManager->IsBehind(w, notice))
                << "a screen covers the notice";
    }
    int Row(const std::string& name) const
    {
        const auto& names = app->Profiles().Names();
        const auto it = std::find(names.begin(), names.end(), name);
        return it == names.end() ? -1 : static_cast<int>(it - names.begin());
    }
    void DeletePlayer(const std::string& name)
    {
        app->PauseBoardForDialog();
        app->AddCentredDialog(SelectPlayerDialog::kDialogId,
                              std::make_unique<SelectPlayerDialog>(*app), 400, 400);
        auto* select = Open<SelectPlayerDialog>(SelectPlayerDialog::kDialogId);
        ASSERT_NE(select, nullptr);
        select->List().SetSelect(Row(name));
        Click(select->DeleteButton());
        auto* ask = Open<AskDeletePlayerDialog>(AskDeletePlayerDialog::kDialogId);
        ASSERT_NE(ask, nullptr);
        Click(*ask->FirstButton());
    }

    StuckFiles m_files;
};

TEST_F(StuckFilesTest, DecliningTheSavedGameTellsWhenItStays)
{
    SaveTheGame();
    m_files.stuck = {"Ann.sav"};
    Answer(AskDialog::kContinueGame, false);

    ASSERT_NE(app->GetSelectStage(), nullptr);
    ASSERT_NO_FATAL_FAILURE(ExpectToldAbout("Ann.sav"));
    Click(*Open(kNotice)->FirstButton());
    EXPECT_EQ(Open(kNotice), nullptr);
    EXPECT_EQ(app->widgetManager->focusWidget, app->GetSelectStage());
}

TEST_F(StuckFilesTest, ContinuingTellsWhenTheSavedGameStays)
{
    StartPlaying(1);
    SaveTheGame();
    app->ReturnToMainMenu();
    m_files.stuck = {"Ann.sav"};
    Answer(AskDialog::kContinueGame);

    EXPECT_TRUE(TheBoard().Logic().IsActive());
    ASSERT_NO_FATAL_FAILURE(ExpectToldAbout("Ann.sav"));
    EXPECT_GT(State().pauseDepth, 0) << "the game holds still under the notice";
    Click(*Open(kNotice)->FirstButton());
    EXPECT_EQ(State().pauseDepth, 0);
    EXPECT_EQ(app->widgetManager->focusWidget, app->GetBoard());
}

TEST_F(StuckFilesTest, APlayerWhoseFilesStayIsKeptAndDeletedWithItsDamagedCopies)
{
    app->Profiles().ChooseByName("Bo");
    for (const char* file : {"Ann.sta", "Ann.sav.bad", "Ann.sta.bad2", "Bo.sta"})
        ASSERT_TRUE(app->Saves().Write(file, std::string_view("x")));
    m_files.stuck = {"Ann.sta.bad2"};
    DeletePlayer("Ann");
    ASSERT_NO_FATAL_FAILURE(ExpectToldAbout("Ann.sta.bad2"));
    EXPECT_NE(Row("Ann"), -1) << "a player made again under the name would find the file";
    Click(*Open(kNotice)->FirstButton());

    m_files.stuck.clear();
    Click(*Open(SelectPlayerDialog::kDialogId)->SecondButton());
    DeletePlayer("Ann");
    EXPECT_EQ(Open(kNotice), nullptr);
    EXPECT_EQ(Row("Ann"), -1);
    for (const char* file : {"Ann.sta", "Ann.sav.bad", "Ann.sta.bad2"})
        EXPECT_FALSE(fs::exists(SaveFile(file))) << file;
    EXPECT_TRUE(fs::exists(SaveFile("Bo.sta")));
}

TEST_F(StuckFilesTest, APlayerWhoseFilesStayDoesNotBecomeTheCurrentOne)
{
    app->Profiles().ChooseByName("Bo");
    const int bo = Row("Bo");
    ASSERT_TRUE(app->Saves().Write("Ann.sta", std::string_view("x")));
    m_files.stuck = {"Ann.sta"};
    DeletePlayer("Ann");
    ASSERT_NO_FATAL_FAILURE(ExpectToldAbout("Ann.sta"));
    EXPECT_EQ(app->Profiles().CurrentId(), bo);
}

TEST_F(StuckFilesTest, WinningTheLastLevelTellsWhenTheSavedGameStays)
{
    StartPlaying(0);
    SaveTheGame();
    m_files.stuck = {"Ann.sav"};
    TheBoard().SetPaused(true);
    app->ShowDialog(BoardDialog::GameComplete);
    auto* done = Open<GameCompleteDialog>(GameCompleteDialog::kRegisteredId);
    ASSERT_NE(done, nullptr);
    Click(*done->FirstButton());
    EXPECT_NE(app->GetMainMenu(), nullptr);
    ASSERT_NO_FATAL_FAILURE(ExpectToldAbout("Ann.sav"));
}
