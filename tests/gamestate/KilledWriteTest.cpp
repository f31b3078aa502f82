// Every file the game writes, written in a loop by a child that is killed
// with SIGKILL at random moments, 200 times per file. After each kill the
// file holds the version written last or the one being written, whole, and
// the next start reads it without keeping anything aside and removes the
// temporary file a cut-off write left behind.
#include "GameStateFiles.h"

#include "framework/app/SettingsAccess.h"
#include "framework/platform/FileSettingsStore.h"
#include "game/app/GameRecords.h"
#include "game/app/PlayerProfiles.h"
#include "game/app/PlayerProgress.h"
#include "game/app/SaveFolder.h"
#include "game/app/SavedGameFiles.h"
#include "game/app/StartupLog.h"
#include "game/board/LevelData.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <new>
#include <random>
#include <thread>

using namespace Spindrel;
namespace fs = std::filesystem;

namespace
{

constexpr int kKills = 200;

int CountMatching(const std::string& dir, const std::string& part)
{
    int n = 0;
    for (const auto& entry : fs::directory_iterator(dir))
        n += entry.path().filename().string().find(part) != std::string::npos ? 1 : 0;
    return n;
}

// The version the child wrote last, shared across fork.
class SharedCounter
{
public:
    SharedCounter()
    {
        void* p = mmap(nullptr, sizeof(std::atomic<int>), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED)
            throw std::runtime_error("mmap failed");
        m_value = new (p) std::atomic<int>(0);
    }
    ~SharedCounter() { munmap(m_value, sizeof(std::atomic<int>)); }
    SharedCounter(const SharedCounter&) = delete;
    SharedCounter& operator=(const SharedCounter&) = delete;

    std::atomic<int>& operator*() { return *m_value; }

private:
    std::atomic<int>* m_value = nullptr;
};

struct KillOutcome
{
    int kills = 0;
    int cutOffWrites = 0; // kills that left a temporary file behind
};

// Writes version 1 in this process, then kills a writer of versions 2, 3,
// ... kKills times. `check(last)` sees the folder after each kill, with
// `last` the version the child had finished; `restart` is what the next
// start does to the folder before anything reads it.
KillOutcome KillWhileWriting(const std::string& dir, unsigned seed, const std::function<void(int)>& write,
                             const std::function<void(int last)>& check, const std::function<void()>& restart)
{
    KillOutcome outcome;
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delay(0, 3000);
    SharedCounter written;
    write(1);
    *written = 1;
    for (int kill = 0; kill < kKills; ++kill)
    {
        const int first = *written + 1;
        const pid_t child = fork();
        if (child < 0)
        {
            ADD_FAILURE() << "fork failed";
            return outcome;
        }
        if (child == 0)
        {
            for (int version = first;; ++version)
            {
                write(version);
                *written = version;
            }
        }
        // A random moment within the next few writes.
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ++outcome.kills;
        outcome.cutOffWrites += CountMatching(dir, ".tmp.") > 0 ? 1 : 0;
        restart();
        EXPECT_EQ(CountMatching(dir, ".tmp."), 0) << "kill " << kill << ": a temporary file stayed";
        check(*written);
        EXPECT_EQ(CountMatching(dir, ".bad"), 0) << "kill " << kill << ": a file was kept aside";
        if (::testing::Test::HasFailure())
            break;
    }
    return outcome;
}

void ExpectOldOrNew(int found, int last, int kill)
{
    EXPECT_TRUE(found == last || found == last + 1) << "version " << found << " after " << last << ", kill " << kill;
}

class KilledWriteTest : public ::testing::Test
{
protected:
    void Report(const char* file, const KillOutcome& outcome)
    {
        EXPECT_EQ(outcome.kills, kKills);
        // The kills must land inside writes, or the test shows nothing.
        EXPECT_GT(outcome.cutOffWrites, 0) << file;
        RecordProperty(file, std::to_string(outcome.kills) + " kills, " + std::to_string(outcome.cutOffWrites) +
                                 " in the middle of a write");
        std::printf("%s: %d kills, %d of them in the middle of a write\n", file, outcome.kills,
                    outcome.cutOffWrites);
    }

    TempDir m_dir;
    SaveFolder m_folder{m_dir.Path()};
    int m_kill = 0;
};

TEST_F(KilledWriteTest, TheProfileList)
{
    auto write = [&](int version) {
        PlayerProfiles profiles;
        profiles.ChooseByName("A" + std::to_string(version));
        profiles.ChooseByName("B" + std::to_string(version));
        (void)profiles.Save(m_folder);
    };
    auto check = [&](int last) {
        PlayerProfiles profiles;
        profiles.Load(m_folder);
        ASSERT_EQ(profiles.Count(), 2) << "kill " << m_kill;
        const int version = std::stoi(profiles.Name(0).substr(1));
        EXPECT_EQ(profiles.Name(1), "B" + std::to_string(version));
        ExpectOldOrNew(version, last, m_kill++);
    };
    Report("options.cfg", KillWhileWriting(m_folder.Directory(), 1, write, check, [&] { m_folder.RemoveLeftovers(); }));
}

TEST_F(KilledWriteTest, AProgressFile)
{
    // Stage starts, which read back as they were written.
    auto level = [](int version) { return kStageStarts[static_cast<size_t>(version - 1) % kStageStarts.size()]; };
    auto write = [&](int version) {
        (void)m_folder.Write(SavedGameFiles::ProgressFileName("Ann"), PlayerProgress::Encode(level(version)));
    };
    auto check = [&](int last) {
        const int32_t found = PlayerProgress::Load(m_folder, "Ann");
        EXPECT_TRUE(found == level(last) || found == level(last + 1)) << found << " after " << last;
        ++m_kill;
    };
    Report("Ann.sta", KillWhileWriting(m_folder.Directory(), 2, write, check, [&] { m_folder.RemoveLeftovers(); }));
}

TEST_F(KilledWriteTest, ASavedGame)
{
    // The ball count changes with the version, so a file cut short or
    // mixed from two versions cannot pass for either.
    auto write = [&](int version) {
        SavedGame game;
        game.state.score = version;
        game.balls.resize(static_cast<size_t>(version % 50 + 1));
        for (Ball& ball : game.balls)
            ball.distance = version;
        (void)SavedGameFiles::SaveGame(m_folder, "Ann", game);
    };
    auto check = [&](int last) {
        const auto bytes = SavedGameFiles::LoadGame(m_folder, "Ann");
        ASSERT_TRUE(bytes) << "kill " << m_kill;
        const auto game = SavedGame::Decode(*bytes);
        ASSERT_TRUE(game);
        const int version = game->state.score;
        EXPECT_EQ(game->balls.size(), static_cast<size_t>(version % 50 + 1));
        for (const Ball& ball : game->balls)
            EXPECT_EQ(ball.distance, static_cast<float>(version));
        ExpectOldOrNew(version, last, m_kill++);
    };
    Report("Ann.sav", KillWhileWriting(m_folder.Directory(), 3, write, check, [&] { m_folder.RemoveLeftovers(); }));
}

TEST_F(KilledWriteTest, TheRecords)
{
    auto write = [&](int version) {
        GameRecords records;
        const std::string holder = "h" + std::to_string(version);
        records.UpdateLevelRecord(GameRecords::kFirstLevel, 10.0f, holder);
        records.UpdateLevelRecord(GameRecords::kLastLevel, 10.0f, holder);
        records.EnterHighScore(holder, 1000000 + version);
        (void)records.Save(m_folder);
    };
    auto check = [&](int last) {
        GameRecords records;
        records.Load(m_folder);
        const std::string& holder = records.Level(GameRecords::kFirstLevel).holder;
        ASSERT_GT(holder.size(), 1u) << "kill " << m_kill;
        const int version = std::stoi(holder.substr(1));
        EXPECT_EQ(records.Level(GameRecords::kLastLevel).holder, holder);
        EXPECT_EQ(records.HighScores()[0].score, 1000000 + version);
        ExpectOldOrNew(version, last, m_kill++);
    };
    Report("spindrel.rec",
           KillWhileWriting(m_folder.Directory(), 4, write, check, [&] { m_folder.RemoveLeftovers(); }));
}

// The log is rewritten at every start and then grows line by line: after a
// kill it is the last whole log or the beginning of the next, in whole
// lines.
TEST_F(KilledWriteTest, TheStartupLog)
{
    const std::string path = m_folder.FilePath("log.txt");
    Quillo::OsVersion os;
    os.major = 6;
    os.additionalInfo = "test system";
    std::tm now{};
    now.tm_year = 126;
    auto write = [&](int) { StartupLog::OpenLog(path, os, now); };
    write(0);
    const auto whole = GameStateTest::ReadText(path);
    ASSERT_TRUE(whole && whole->size() > 40);
    auto check = [&](int) {
        const auto text = GameStateTest::ReadText(path);
        ASSERT_TRUE(text) << "kill " << m_kill;
        EXPECT_EQ(whole->compare(0, text->size(), *text), 0) << "kill " << m_kill << ":\n" << *text;
        EXPECT_EQ(text->rfind("Log File: ", 0), 0u);
        EXPECT_EQ(text->back(), '\n');
        ++m_kill;
    };
    Report("log.txt", KillWhileWriting(m_folder.Directory(), 5, write, check, [&] { m_folder.RemoveLeftovers(); }));
}

TEST_F(KilledWriteTest, TheSettingsFile)
{
    const std::string config = m_dir / "config";
    auto open = [&] {
        auto access = std::make_unique<Quillo::SettingsAccess>();
        access->SetStore(std::make_unique<Quillo::FileSettingsStore>("T\\P", config));
        return access;
    };
    // A long value, so that a write takes a while.
    auto value = [](int version) {
        return std::string(20000, static_cast<char>('a' + version % 26)) + ":" + std::to_string(version);
    };
    auto write = [&](int version) { (void)open()->WriteString("Text", value(version)); };
    auto check = [&](int last) {
        std::string text;
        ASSERT_TRUE(open()->ReadString("Text", text)) << "kill " << m_kill;
        const size_t colon = text.find(':');
        ASSERT_NE(colon, std::string::npos);
        const int version = std::stoi(text.substr(colon + 1));
        EXPECT_EQ(text, value(version));
        ExpectOldOrNew(version, last, m_kill++);
    };
    // Making the store is what the next start does first.
    Report("settings.reg", KillWhileWriting(config + "/T/P", 6, write, check, [&] { open(); }));
}

} // namespace
