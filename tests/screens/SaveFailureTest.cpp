// Saving when the disk is full, the save folder has become read-only or the
// device fails: every file keeps its old bytes, the player is told once in
// the game's own dialog and the game goes on.
#include "GameDialogsFixture.h"

#include "framework/platform/FileSystem.h"
#include "game/app/GameRecords.h"
#include "game/app/PlayerProfiles.h"
#include "game/app/SavedGameFiles.h"
#include "game/screens/AskDialog.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>

using namespace Spindrel;
namespace fs = std::filesystem;

namespace
{

constexpr int kSaveFailedDialog = 8;

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

    // Every kind of save the game makes: the profile list, the records, the
    // progress (through the board's host) and the suspended game (by
    // leaving it).
    void SaveEverything()
    {
        EXPECT_EQ(app->Profiles().Save(app->Saves()), ExpectWritten());
        EXPECT_EQ(app->Records().Save(app->Saves()), ExpectWritten());
        app->SaveHighestStageStart(7);
        TheBoard().SetPaused(true);
        Answer(AskDialog::kLeaveGame);
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

TEST_F(SaveFailureTest, EveryFaultKeepsTheOldFilesTellsThePlayerOnceAndPlayGoesOn)
{
    using Quillo::FileSystem::WriteFault;
    app->Profiles().ChooseByName("Ann Lee");
    StartPlaying(1);
    State().score = 1234;
    SaveEverything();
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
        SaveEverything();

        EXPECT_EQ(Snapshot(), before) << "a failed save changes nothing, leaves no temporary file";
        EXPECT_TRUE(app->platformFake->boxes.empty());
        Quillo::Dialog* told = Told();
        ASSERT_NE(told, nullptr);
        EXPECT_EQ(told->header, "t74");
        EXPECT_EQ(told->body.rfind("t75 ", 0), 0u);
        // The game goes on: still on the board, running once the player
        // has read the notice.
        EXPECT_EQ(app->GetMainMenu(), nullptr);
        EXPECT_TRUE(TheBoard().Logic().IsActive());
        ASSERT_NE(told->FirstButton(), nullptr);
        Click(*told->FirstButton());
        EXPECT_EQ(Told(), nullptr);
        EXPECT_EQ(State().pauseDepth, 0);

        // Once: saving on while it still fails asks nothing more.
        SaveEverything();
        EXPECT_EQ(Told(), nullptr);
        EXPECT_EQ(Snapshot(), before);
        EXPECT_EQ(State().score, 99);

        // A save that works again leaves the game and rearms the notice.
        SetFault(WriteFault::None);
        ASSERT_TRUE(app->Records().Save(app->Saves()));
        EXPECT_EQ(Told(), nullptr);
        ASSERT_TRUE(app->Profiles().Save(app->Saves()));
    }
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
    SaveEverything();
    chmod((m_dir / "_save").c_str(), 0700);
    EXPECT_EQ(Snapshot(), before);
    ASSERT_NE(Told(), nullptr);
    EXPECT_EQ(app->GetMainMenu(), nullptr);
}

} // namespace
