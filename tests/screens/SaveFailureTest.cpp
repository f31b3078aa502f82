// Saving when the disk is full, the save folder has become read-only or the
// device fails: every file keeps its old bytes, the player is told once in
// the game's own notice, which holds the game until it is answered, and is
// asked every time before leaving a game that could not be saved.
#include "GameDialogsFixture.h"

#include "framework/platform/FileSystem.h"
#include "game/app/GameRecords.h"
#include "game/app/PlayerProfiles.h"
#include "game/app/SavedGameFiles.h"
#include "game/screens/AskDialog.h"
#include "game/screens/GameOverDialog.h"
#include "game/screens/HelpWidget.h"
#include "game/screens/MainMenuWidget.h"
#include "game/screens/StatDialog.h"
#include "game/screens/TitleScreen.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>

using namespace Spindrel;
namespace fs = std::filesystem;

namespace
{

constexpr int kSaveFailedDialog = 8;
constexpr int kSpace = 32;
constexpr int kEscape = 27;

using Files = std::map<std::string, std::vector<uint8_t>>;

class SaveFailureTest : public GameDialogsTest
{
protected:
    void TearDown() override
    {
        Quillo::FileSystem::SetWriteFault(Quillo::FileSystem::WriteFault::None);
        GameDialogsTest::TearDown();
    }

    // Every file in "_save" with its bytes.
    Files Snapshot() const
    {
        Files files;
        // The start-up log is no save: it goes on recording, the failed
        // writes among other things, wherever the disk still lets it.
        for (const auto& entry : fs::directory_iterator(m_dir / "_save"))
            if (entry.path().filename() != "log.txt")
                files[entry.path().filename().string()] =
                    Quillo::FileSystem::ReadFile(entry.path().string()).value_or(std::vector<uint8_t>{});
        return files;
    }

    // Every kind of file the game writes but the suspended game: the
    // profile list, the records and the progress (through the board's host).
    void SaveFiles()
    {
        EXPECT_EQ(app->Profiles().Save(app->Saves()), ExpectWritten());
        EXPECT_EQ(app->Records().Save(app->Saves()), ExpectWritten());
        app->SaveHighestStageStart(7);
    }
    // Menu, Leave Game, OK.
    void Leave()
    {
        TheBoard().SetPaused(true);
        Answer(AskDialog::kLeaveGame);
    }
    // A write that works ends the streak of failures; then the fault again.
    void Rearm()
    {
        Quillo::FileSystem::SetWriteFault(Quillo::FileSystem::WriteFault::None);
        ASSERT_TRUE(app->Records().Save(app->Saves()));
        Quillo::FileSystem::SetWriteFault(m_fault);
    }
    // Whether the game moves on over a few update steps.
    bool Runs()
    {
        const auto before = TheBoard().Logic().SaveState();
        for (int i = 0; i < 20; ++i)
            TheBoard().Logic().Tick();
        return TheBoard().Logic().SaveState() != before;
    }
    template <typename D>
    D* TickUntilOpen(int id)
    {
        for (int i = 0; i < 100000 && !Open<D>(id); ++i)
            TheBoard().Logic().Tick();
        return Open<D>(id);
    }

    bool ExpectWritten() const { return m_fault == Quillo::FileSystem::WriteFault::None; }

    void SetFault(Quillo::FileSystem::WriteFault fault)
    {
        m_fault = fault;
        Quillo::FileSystem::SetWriteFault(fault);
    }

    Quillo::Dialog* Told() { return app->FindDialog(kSaveFailedDialog); }

    Quillo::FileSystem::WriteFault m_fault = Quillo::FileSystem::WriteFault::None;
};

TEST_F(SaveFailureTest, EveryFaultKeepsTheOldFilesAndTellsThePlayer)
{
    using Quillo::FileSystem::WriteFault;
    app->Profiles().ChooseByName("Ann Lee");
    StartPlaying(1);
    State().score = 1234;
    SaveFiles();
    Leave();
    ASSERT_NE(app->GetMainMenu(), nullptr) << "a working save leaves the game";
    for (const char* name : {"options.cfg", "spindrel.rec", "Ann_Lee.sta", "Ann_Lee.sav"})
        ASSERT_TRUE(Snapshot().count(name)) << name;
    ASSERT_EQ(Told(), nullptr);

    for (WriteFault fault : {WriteFault::DiskFull, WriteFault::ReadOnly, WriteFault::DeviceError})
    {
        SCOPED_TRACE(static_cast<int>(fault));
        StartPlaying(2);
        State().score = 99;
        const Files before = Snapshot();
        SetFault(fault);
        SaveFiles();

        EXPECT_TRUE(app->platformFake->boxes.empty());
        Quillo::Dialog* told = Told();
        ASSERT_NE(told, nullptr);
        EXPECT_EQ(told->header, "t74");
        EXPECT_EQ(told->body.rfind("t75 ", 0), 0u);
        EXPECT_FALSE(Runs()) << "the game holds still while the player reads";
        ASSERT_NE(told->FirstButton(), nullptr);
        Click(*told->FirstButton());
        EXPECT_EQ(Told(), nullptr);
        EXPECT_TRUE(Runs());

        // Once a streak: files written on while it fails tell nothing more,
        // but leaving asks every time whether to leave the game unsaved.
        SaveFiles();
        EXPECT_EQ(Told(), nullptr);
        for (bool leave : {false, true})
        {
            Leave();
            auto* ask = Open<AskDialog>(AskDialog::kDialogId);
            ASSERT_NE(ask, nullptr);
            EXPECT_EQ(ask->Kind(), AskDialog::kLeaveUnsaved);
            EXPECT_EQ(ask->header, "t74");
            EXPECT_EQ(ask->body, "t76");
            EXPECT_EQ(Told(), nullptr);
            EXPECT_FALSE(Runs());
            Click(leave ? *ask->FirstButton() : *ask->SecondButton());
            EXPECT_EQ(app->GetMainMenu() != nullptr, leave);
            EXPECT_EQ(State().pauseDepth, 0);
        }
        EXPECT_EQ(Snapshot(), before) << "a failed save changes nothing, leaves no temporary file";

        // A save that works again rearms the notice.
        SetFault(WriteFault::None);
        ASSERT_TRUE(app->Records().Save(app->Saves()));
        EXPECT_EQ(Told(), nullptr);
    }
}

// A notice raised as a level starts, as its statistics open or at game over
// is answered first, and the game holds still until it is.
TEST_F(SaveFailureTest, ANoticeIsAnsweredBeforeTheGameGoesOn)
{
    SetFault(Quillo::FileSystem::WriteFault::DiskFull);
    StartPlaying(1); // its progress is written
    ASSERT_NE(Told(), nullptr);
    EXPECT_FALSE(Runs());
    Click(*Told()->FirstButton());
    EXPECT_TRUE(Runs());
    Rearm();

    // The statistics of a won level write its record.
    State().intro = State().introSweep = State().rushing = false;
    State().score = State().targetScore;
    TheBoard().Logic().ClearBalls();
    auto* stat = TickUntilOpen<StatDialog>(StatDialog::kDialogId);
    ASSERT_NE(stat, nullptr);
    ASSERT_NE(Told(), nullptr);
    Click(*stat->FirstButton());
    EXPECT_EQ(Open<StatDialog>(StatDialog::kDialogId), stat) << "the notice is in front";
    Click(*Told()->FirstButton());
    EXPECT_FALSE(Runs()) << "the statistics still hold the board";
    Click(*stat->FirstButton());
    EXPECT_TRUE(Runs());
    Rearm();

    // Game over writes the high score.
    State().lives = 1;
    State().losing = true;
    TheBoard().Logic().ClearBalls();
    auto* over = TickUntilOpen<GameOverDialog>(GameOverDialog::kDialogId);
    ASSERT_NE(over, nullptr);
    ASSERT_NE(Told(), nullptr);
    Click(*over->FirstButton());
    EXPECT_EQ(Open<GameOverDialog>(GameOverDialog::kDialogId), over) << "the notice is in front";
    Click(*Told()->FirstButton());
    EXPECT_FALSE(Runs());
    Click(*over->FirstButton());
    EXPECT_TRUE(Runs());
}

// After a notice the keys go back to the screen on top: the title screen
// (records written at the end of loading) and the help.
TEST_F(SaveFailureTest, TheScreenOnTopTakesTheKeysAfterANotice)
{
    app.reset();
    SetFault(Quillo::FileSystem::WriteFault::ReadOnly);
    app = std::make_unique<GameDialogsApp>();
    ASSERT_TRUE(app->Load());
    app->Profiles().ChooseByName("Tester");
    ASSERT_NE(Told(), nullptr);
    Click(*Told()->FirstButton());
    EXPECT_EQ(app->widgetManager->focusWidget, app->GetTitleScreen());
    app->widgetManager->KeyDown(kSpace);
    ASSERT_EQ(app->GetTitleScreen(), nullptr) << "Space leaves the title screen";
    ASSERT_NE(app->GetMainMenu(), nullptr);

    Rearm();
    app->GetMainMenu()->OnButtonClicked(MainMenuWidget::kHelpId);
    HelpWidget* help = Find<HelpWidget>();
    ASSERT_NE(help, nullptr);
    EXPECT_FALSE(app->Profiles().Save(app->Saves()));
    ASSERT_NE(Told(), nullptr);
    Click(*Told()->FirstButton());
    EXPECT_EQ(app->widgetManager->focusWidget, help);
    app->widgetManager->KeyDown(kEscape);
    EXPECT_EQ(Find<HelpWidget>(), nullptr) << "Escape leaves the help";
}

// The same with a folder that really is read-only (not for root, whom the
// permissions do not stop).
TEST_F(SaveFailureTest, AReallyReadOnlyFolderKeepsItsFiles)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    app->Profiles().ChooseByName("Ann Lee");
    ASSERT_TRUE(app->Profiles().Save(app->Saves()));
    const Files before = Snapshot();
    ASSERT_EQ(chmod((m_dir / "_save").c_str(), 0500), 0);
    StartPlaying(1);
    m_fault = Quillo::FileSystem::WriteFault::ReadOnly; // by the folder, not the seam
    SaveFiles();
    ASSERT_NE(Told(), nullptr);
    Click(*Told()->FirstButton());
    Leave();
    auto* ask = Open<AskDialog>(AskDialog::kDialogId);
    chmod((m_dir / "_save").c_str(), 0700);
    EXPECT_EQ(Snapshot(), before);
    ASSERT_NE(ask, nullptr);
    EXPECT_EQ(ask->Kind(), AskDialog::kLeaveUnsaved);
}

} // namespace
