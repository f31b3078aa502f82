// Every file of the generated data, damaged one at a time (cut to half, to
// one byte, emptied, or zero-filled), under the real game on the fake
// platform with sound and music: the game never crashes, and it either
// goes on (to a level on the file's own track) or stops with a message box
// that names the file; a warning it goes on after names the file too. No
// message box may say only "error".
#include "../app/FakePlatform.h"
#include "../support/GameData.h"
#include "../support/TempDir.h"

#include "framework/platform/FileSystem.h"
#include "game/app/GameApp.h"
#include "game/app/LevelTables.h"
#include "game/app/PlayerProfiles.h"
#include "game/board/Board.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string_view>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <utility>

namespace fs = std::filesystem;
using namespace Spindrel;

namespace
{

// What the child tells by its exit code.
constexpr int kWentOn = 42;
// Ends each message box in the pipe (a box may hold several lines).
constexpr char kBoxEnd = '\x1e';

const char* DataDir()
{
    const char* dir = std::getenv("QUILLO_DATA_DIR");
    return dir && *dir ? dir : nullptr;
}

// The data files, relative to the program folder (the programs beside
// them and the game's own save folder are not data).
std::vector<std::string> DataFiles()
{
    std::vector<std::string> files;
    const char* dir = DataDir();
    if (!dir)
        return files;
    for (const char* sub : {"bin", "gfx", "levels", "music", "properties"})
    {
        std::error_code error;
        for (auto it = fs::recursive_directory_iterator(fs::path(dir) / sub, error);
             !error && it != fs::recursive_directory_iterator(); ++it)
        {
            if (it->is_regular_file())
                files.push_back(fs::relative(it->path(), dir).string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

using Bytes = std::vector<char>;

struct Damage
{
    const char* key; // in QUILLO_DAMAGES
    const char* name;
    Bytes (*apply)(const Bytes&);
};
constexpr Damage kDamages[] = {
    {"half", "cut to half", [](const Bytes& b) { return Bytes(b.begin(), b.begin() + long(b.size() / 2)); }},
    {"byte", "cut to one byte", [](const Bytes& b) { return Bytes(b.begin(), b.begin() + long(std::min<size_t>(b.size(), 1))); }},
    {"empty", "empty", [](const Bytes&) { return Bytes(); }},
    {"zeros", "zero-filled", [](const Bytes& b) { return Bytes(b.size(), 0); }}};

// Every damage, or those QUILLO_DAMAGES lists ("half,zeros": the sanitizer
// build, where the shallow ones are left to the fuzz targets).
std::vector<Damage> Damages()
{
    const char* only = std::getenv("QUILLO_DAMAGES");
    std::vector<Damage> damages;
    for (const Damage& d : kDamages)
        if (!only || !*only || std::string_view(only).find(d.key) != std::string_view::npos)
            damages.push_back(d);
    return damages;
}

// The game as the program runs it, on the fake platform with every message
// box passed at once to the parent (a fatal one ends the process).
class DamagedGame : public GameApp
{
public:
    explicit DamagedGame(int boxPipe)
    {
        auto fake = std::make_unique<BoxPlatform>(boxPipe);
        SetPlatform(std::move(fake));
        singleInstance = false;
        automaticLoading = false;
    }

    bool KeepWorkingDirectory(const std::string&) override { return true; }
    bool Stopped() const { return shutdownStarted || closePending; }

    // Start-up with the loading pass run here, then the main menu, the
    // stage selection and the given level; false where the game stopped.
    bool PlayTo(int level)
    {
        Init();
        if (Stopped())
            return false;
        LoadingThreadBody();
        loadingThreadDone = true;
        // What the loading pass asked of the main thread (a resource error,
        // a warning) happens before the next update, as in the loop.
        RunMainThreadTasks();
        if (Stopped())
            return false;
        TryUpdate();
        if (Stopped() || !loadingHandled || !GetTitleScreen())
            return false;
        Profiles().ChooseByName("Tester");
        LeaveTitleScreen();
        if (Stopped() || !GetBoard() || !GetMainMenu())
            return false;
        ShowSelectStage();
        if (Stopped())
            return false;
        StartStage(0);
        Board* board = GetBoard();
        if (level > 1)
        {
            board->Logic().State().level = level;
            board->Logic().StartLevel();
        }
        for (int i = 0; i < 300 && !Stopped(); ++i)
            board->Logic().Tick();
        TryUpdate();
        return !Stopped();
    }

private:
    class BoxPlatform : public FakePlatform
    {
    public:
        explicit BoxPlatform(int fd) : m_fd(fd) {}
        int ShowMessageBox(const std::string& text, const std::string& title, Quillo::MessageBoxKind kind) override
        {
            const std::string line = title + ": " + text + kBoxEnd;
            (void)!write(m_fd, line.data(), line.size());
            return FakePlatform::ShowMessageBox(text, title, kind);
        }

    private:
        int m_fd;
    };
};

// The first level that runs on the track of a "levels/NN.path" file, or 1.
int LevelOnTrack(const std::string& file)
{
    const std::string name = fs::path(file).filename().string();
    if (fs::path(file).parent_path() != "levels" || name.size() != 7 || name.substr(2) != ".path")
        return 1;
    LevelTables tables(std::string(DataDir()) + "/");
    if (!tables.LoadLevelOrder())
        return 1;
    const int track = std::atoi(name.substr(0, 2).c_str());
    for (int level = 1; level <= kLevelCount; ++level)
    {
        if (tables.Data().trackOfLevel[static_cast<size_t>(level)] == track)
            return level;
    }
    return 1;
}

// A folder of links to the data with real folders along the way to one
// file, which is a copy of its own.
void MakeWorld(const fs::path& world, const fs::path& data, const fs::path& file)
{
    for (const char* sub : {"bin", "gfx", "levels", "music", "properties"})
    {
        if (*file.begin() != sub)
            fs::create_directory_symlink(data / sub, world / sub);
    }
    fs::path inside;
    for (auto part = file.begin(); part != file.end(); ++part)
    {
        const fs::path next = inside / *part;
        if (std::next(part) == file.end())
            break;
        fs::create_directory(world / next);
        for (const auto& entry : fs::directory_iterator(data / next))
        {
            const fs::path name = entry.path().filename();
            if (name == std::next(part)->filename())
                continue;
            if (entry.is_directory())
                fs::create_directory_symlink(entry.path(), world / next / name);
            else
                fs::create_symlink(entry.path(), world / next / name);
        }
        inside = next;
    }
}

struct Outcome
{
    bool crashed = false;
    int exitCode = 0;
    std::string boxes;
};

Outcome RunGame(const fs::path& world, int level)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {true, -1, "pipe failed"};
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0)
    {
        close(fds[0]);
        fs::current_path(world);
        setenv("XDG_CONFIG_HOME", (world / "config").c_str(), 1);
        bool wentOn = false;
        {
            DamagedGame game(fds[1]);
            wentOn = game.PlayTo(level);
        }
        std::_Exit(wentOn ? kWentOn : 0);
    }
    close(fds[1]);
    Outcome outcome;
    char buffer[4096];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
        outcome.boxes.append(buffer, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    outcome.crashed = !WIFEXITED(status);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status);
    return outcome;
}

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A box names the file with its folder (with or without its extension),
// or by its own name as the file that refers to it writes it; in either
// slash and any case (the game's names come from data written on a
// case-insensitive system).
bool NamesFile(const std::string& box, const std::string& file)
{
    std::string wanted = Lower(file);
    std::string text = Lower(box);
    std::replace(text.begin(), text.end(), '\\', '/');
    for (size_t at; (at = text.find("//")) != std::string::npos;)
        text.erase(at, 1);
    const std::string stem = fs::path(wanted).replace_extension().string();
    const std::string name = fs::path(wanted).filename().string();
    return text.find(wanted) != std::string::npos || text.find(stem) != std::string::npos ||
           text.find("'" + name + "'") != std::string::npos;
}

class DamagedDataTest : public ::testing::TestWithParam<std::string>
{
};

TEST_P(DamagedDataTest, TheGameGoesOnOrStopsNamingTheFile)
{
    const char* data = DataDir();
    if (!data || !fs::exists(fs::path(data) / "properties" / "resources.xml"))
        QUILLO_WITHOUT_GAME_DATA("the generated game data is not built");
    const std::string file = GetParam();
    std::ifstream in(fs::path(data) / file, std::ios::binary);
    const Bytes bytes((std::istreambuf_iterator<char>(in)), {});
    const int level = LevelOnTrack(file);

    for (const Damage& damage : Damages())
    {
        SCOPED_TRACE(file + " " + damage.name);
        TempDir dir;
        const fs::path world = dir.Path();
        MakeWorld(world, data, file);
        const Bytes copy = damage.apply(bytes);
        std::ofstream(world / file, std::ios::binary).write(copy.data(), static_cast<std::streamsize>(copy.size()));

        const Outcome outcome = RunGame(world, level);
        ASSERT_FALSE(outcome.crashed) << "signal " << outcome.exitCode << "\n" << outcome.boxes;
        ASSERT_TRUE(outcome.exitCode == kWentOn || outcome.exitCode == 0) << outcome.exitCode;
        const bool stopped = outcome.exitCode != kWentOn;
        EXPECT_TRUE(!stopped || !outcome.boxes.empty()) << "stopped without a word";
        bool named = outcome.boxes.empty();
        size_t begin = 0;
        while (begin < outcome.boxes.size())
        {
            const size_t end = outcome.boxes.find(kBoxEnd, begin);
            const std::string box = outcome.boxes.substr(begin, end - begin);
            begin = end == std::string::npos ? outcome.boxes.size() : end + 1;
            named = named || NamesFile(box, file);
            const std::string text = box.substr(box.find(": ") + 2);
            EXPECT_NE(Lower(text), "error") << box;
        }
        EXPECT_TRUE(named) << "no message names the file:\n" << outcome.boxes;
    }
}

std::string TestName(const ::testing::TestParamInfo<std::string>& info)
{
    std::string name;
    for (char c : info.param)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(EveryFile, DamagedDataTest, ::testing::ValuesIn(DataFiles()), TestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(DamagedDataTest);

} // namespace
