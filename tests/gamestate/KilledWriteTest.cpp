// Every file the game writes, written in a loop by a child that is killed
// with SIGKILL 200 times per file, each time stopped first at a chosen
// moment of its writes (a temporary just made, cut off at some byte,
// flushed but not renamed, renamed). After each kill the file holds the
// version written last or the one being written, whole, and the next start
// reads it without keeping anything aside and removes the temporary file a
// cut-off write left behind.
#include "GameStateFiles.h"

#include "framework/app/SettingsAccess.h"
#include "framework/platform/FileSystem.h"
#include "framework/platform/FileSettingsStore.h"
#include "game/app/GameRecords.h"
#include "game/app/PlayerProfiles.h"
#include "game/app/PlayerProgress.h"
#include "game/app/SaveFolder.h"
#include "game/app/SavedGameFiles.h"
#include "game/app/StartupLog.h"
#include "game/board/LevelData.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <new>
#include <random>

using namespace Spindrel;
namespace fs = std::filesystem;
using Quillo::FileSystem::WriteStep;

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

void ExpectOldOrNew(int found, int last)
{
    EXPECT_TRUE(found == last || found == last + 1) << "version " << found << " after " << last;
}

// Where the child stops: at the `stopAt`-th moment of kind `step` it tells
// the parent the moment's offset through `pipe`, then waits to be killed.
// Counting moments of one kind lets every kind be tried equally often,
// however many bytes a file has.
struct StopPoint
{
    std::array<int, 5> moments{}; // seen so far, per WriteStep
    WriteStep step = WriteStep::Opened;
    int stopAt = -1;
    int pipe = -1;
};
StopPoint g_stop;

void StopHere(WriteStep step, size_t offset)
{
    if (step != g_stop.step || g_stop.moments[static_cast<size_t>(step)]++ != g_stop.stopAt)
        return;
    const uint64_t report = offset;
    if (::write(g_stop.pipe, &report, sizeof report) != sizeof report)
        _exit(1);
    for (;;)
        pause();
}

void CountMoment(WriteStep step, size_t)
{
    ++g_stop.moments[static_cast<size_t>(step)];
}

class KilledWriteTest : public ::testing::Test
{
protected:
    // Writes version 1 here, then kills a writer of versions 2, 3, ...
    // kKills times. After each kill `restart` does what the next start does
    // to `dir` (by default: remove what cut-off writes left) and `check(last)`
    // sees the folder, `last` being the version the child had finished.
    void KillWhileWriting(const std::string& dir, unsigned seed, const std::function<void(int)>& write,
                          const std::function<void(int last)>& check, std::function<void()> restart = {})
    {
        if (!restart)
            restart = [this] { m_folder.RemoveLeftovers(); };
        // The version the child wrote last, shared across fork.
        void* shared = mmap(nullptr, sizeof(std::atomic<int>), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
        ASSERT_NE(shared, MAP_FAILED);
        auto unmap = [](std::atomic<int>* p) { munmap(p, sizeof *p); };
        const std::unique_ptr<std::atomic<int>, decltype(unmap)> written(new (shared) std::atomic<int>(1), unmap);

        // The moments one version's write passes through. Kill by kill the
        // child stops at each kind of moment in turn, at one of those of
        // its next two versions.
        g_stop = {};
        Quillo::FileSystem::SetWriteObserver(CountMoment, m_piece);
        write(1);
        Quillo::FileSystem::SetWriteObserver(nullptr);
        const std::array<int, 5> perVersion = g_stop.moments;
        std::mt19937 random(seed);

        int cutOffMidFile = 0; // kills inside the bytes of a temporary file
        for (int kill = 0; kill < kKills && !HasFailure(); ++kill)
        {
            SCOPED_TRACE("kill " + std::to_string(kill));
            const auto step = static_cast<WriteStep>(kill % 4);
            const int moments = perVersion[static_cast<size_t>(step)];
            ASSERT_GT(moments, 0) << "a write never passes moment " << kill % 4;
            const int first = *written + 1;
            int fds[2];
            ASSERT_EQ(pipe(fds), 0);
            g_stop = {};
            g_stop.step = step;
            g_stop.stopAt = std::uniform_int_distribution<int>(0, 2 * moments - 1)(random);
            g_stop.pipe = fds[1];
            const pid_t child = fork();
            ASSERT_GE(child, 0) << "fork failed";
            if (child == 0)
            {
                Quillo::FileSystem::SetWriteObserver(StopHere, m_piece);
                for (int version = first;; ++version)
                {
                    write(version);
                    *written = version;
                }
            }
            uint64_t offset = 0;
            pollfd ready{fds[0], POLLIN, 0};
            const bool stopped = poll(&ready, 1, 60000) == 1 && read(fds[0], &offset, sizeof offset) == sizeof offset;
            ::kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
            close(fds[0]);
            close(fds[1]);
            ASSERT_TRUE(stopped) << "the writer never reached its moment " << g_stop.stopAt << " of kind " << kill % 4;
            cutOffMidFile += step == WriteStep::Writing && offset > 0 ? 1 : 0;
            restart();
            EXPECT_EQ(CountMatching(dir, ".tmp."), 0) << "a temporary file stayed";
            check(*written);
            EXPECT_EQ(CountMatching(dir, ".bad"), 0) << "a file was kept aside";
        }
        EXPECT_GT(cutOffMidFile, 0);
    }

    // Bytes per write while the child is watched: the settings file is
    // long, so it is stopped at every 512th byte only.
    size_t m_piece = 1;
    TempDir m_dir;
    SaveFolder m_folder{m_dir.Path()};
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
        ASSERT_EQ(profiles.Count(), 2);
        const int version = std::stoi(profiles.Name(0).substr(1));
        EXPECT_EQ(profiles.Name(1), "B" + std::to_string(version));
        ExpectOldOrNew(version, last);
    };
    KillWhileWriting(m_folder.Directory(), 1, write, check);
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
    };
    KillWhileWriting(m_folder.Directory(), 2, write, check);
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
        ASSERT_TRUE(bytes);
        const auto game = SavedGame::Decode(*bytes);
        ASSERT_TRUE(game);
        const int version = game->state.score;
        EXPECT_EQ(game->balls.size(), static_cast<size_t>(version % 50 + 1));
        for (const Ball& ball : game->balls)
            EXPECT_EQ(ball.distance, static_cast<float>(version));
        ExpectOldOrNew(version, last);
    };
    KillWhileWriting(m_folder.Directory(), 3, write, check);
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
        ASSERT_GT(holder.size(), 1u);
        const int version = std::stoi(holder.substr(1));
        EXPECT_EQ(records.Level(GameRecords::kLastLevel).holder, holder);
        EXPECT_EQ(records.HighScores()[0].score, 1000000 + version);
        ExpectOldOrNew(version, last);
    };
    KillWhileWriting(m_folder.Directory(), 4, write, check);
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
    const auto whole = GameStateTest::ReadTextFile(path);
    ASSERT_TRUE(whole && whole->size() > 40);
    auto check = [&](int) {
        const auto text = GameStateTest::ReadTextFile(path);
        ASSERT_TRUE(text);
        EXPECT_EQ(whole->compare(0, text->size(), *text), 0) << *text;
        EXPECT_EQ(text->rfind("Log File: ", 0), 0u);
        EXPECT_EQ(text->back(), '\n');
    };
    KillWhileWriting(m_folder.Directory(), 5, write, check);
}

// Two values in one file, written one after the other: after a kill both
// read, the long one whole, and neither is ahead of the other.
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
    auto write = [&](int version) {
        const auto access = open();
        (void)access->WriteString("Text", value(version));
        (void)access->WriteInteger("Counter", version);
    };
    auto check = [&](int last) {
        const auto access = open();
        std::string text;
        int counter = 0;
        ASSERT_TRUE(access->ReadString("Text", text));
        ASSERT_TRUE(access->ReadInteger("Counter", counter));
        const size_t colon = text.find(':');
        ASSERT_NE(colon, std::string::npos);
        const int version = std::stoi(text.substr(colon + 1));
        EXPECT_EQ(text, value(version));
        EXPECT_TRUE(counter == version || counter == version - 1) << counter << " beside text " << version;
        ExpectOldOrNew(version, last);
    };
    m_piece = 512;
    // Making the store is what the next start does first.
    KillWhileWriting(config + "/T/P", 6, write, check, [&] { open(); });
}

} // namespace
