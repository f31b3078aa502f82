#include "framework/diagnostics/CrashFilter.h"
#include "framework/platform/FileSystem.h"
#include "framework/platform/PosixCrashHandler.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <utility>
#include <csignal>
#include <dlfcn.h>
#include <cstdlib>
#include <functional>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace Quillo;

// Outside any anonymous namespace, so that the report can name them; left
// alone by the undefined-behaviour checker, whose stop would come before
// the crash filter's.
__attribute__((noinline, no_sanitize("undefined"))) void WriteThroughNull()
{
    volatile int* volatile p = nullptr;
    *p = 1;
}

__attribute__((noinline, no_sanitize("undefined"))) void CallThroughNull()
{
    void (*volatile nowhere)() = nullptr;
    nowhere();
    asm volatile("" ::: "memory"); // a call, not a jump: the return address is here
}

__attribute__((noinline, no_sanitize("undefined"))) void DivideByZero()
{
    volatile int zero = 0;
    volatile int x = 10 / zero;
    (void)x;
}

// Frames with names of some 1500 characters, so that a report of 64 of them
// is larger than a pipe holds.
template <typename Long> __attribute__((noinline)) void Deep(int depth)
{
    if (depth == 0)
        WriteThroughNull();
    else
        Deep<Long>(depth - 1);
    asm volatile("" ::: "memory"); // no tail call: every level keeps its frame
}

namespace
{

struct Outcome
{
    int signal = 0;
    std::string report;
};

std::string ReadAll(const std::string& path)
{
    const auto bytes = FileSystem::ReadFile(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

// Runs `crash` in a child that has the filter installed, in `dir`; the
// report is what it wrote there as crash.txt.
Outcome CrashChild(const std::string& dir, const std::function<void()>& crash, const char* viewer = nullptr,
                   bool withApp = true)
{
    const pid_t pid = fork();
    if (pid == 0)
    {
        if (chdir(dir.c_str()) != 0)
            _exit(2);
        if (viewer)
            setenv("QUILLO_CRASHVIEW", viewer, 1), unsetenv("QUILLO_NO_CRASHVIEW");
        else
            setenv("QUILLO_NO_CRASHVIEW", "1", 1);
        InstallCrashFilter();
        if (withApp)
            SetCrashApplicationInfo("CrashTest", "9.9", "none", 0x1234);
        crash();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    Outcome out{WIFSIGNALED(status) ? WTERMSIG(status) : 0, ReadAll(dir + "/crash.txt")};
    if (WIFEXITED(status))
        out.report += "[exit " + std::to_string(WEXITSTATUS(status)) + "]";
    return out;
}

} // namespace

TEST(CrashHandler, EachFaultIsReportedWithItsNameModuleAndRun)
{
    struct Case
    {
        const char* what;
        std::function<void()> crash;
        int signal;
        const char* firstLine;
        std::vector<const char*> present, absent;
        bool withApp = true;
    };
    const Case cases[] = {
        {"null write", WriteThroughNull, SIGSEGV, "Exception: Access Violation (code 0xc0000005) at address ",
         {"\r\nModule: test_diagnostics\r\nLogical Address: ", "WriteThroughNull" /* the stack names it */,
          "\r\nRAX:", "\r\nRIP:", "\r\nOS Ver: Linux ", "\r\nAudio Ver: none\r\n",
          "\r\nProduct: CrashTest\r\nVersion: 9.9\r\nTime Loaded: 00:00:0", "\r\nPrimary ThreadId: 1234\r\n"},
         {}},
        {"divide", DivideByZero, SIGFPE, "Exception: Integer Divide by Zero (code 0xc0000094) at address ", {}, {}},
        {"another thread", [] { std::thread([] { WriteThroughNull(); }).join(); }, SIGSEGV,
         "Exception: Access Violation", {}, {}},
        // Without an application, no run description.
        {"abort", [] { std::abort(); }, SIGABRT, "Unknown exception: (code 0x6) at address ", {},
         {"Product: ", "SDL Ver: "}, false},
        {"a library loaded after the filter",
         [] {
             void* library = dlopen(QUILLO_LATE_MODULE, RTLD_NOW);
             auto fault = library ? reinterpret_cast<void (*)()>(dlsym(library, "LateModuleFault")) : nullptr;
             if (!fault)
                 _exit(3);
             fault();
         },
         SIGSEGV, "Exception: Access Violation", {"\r\nModule: libquillo_late_module.so\r\nLogical Address: 0002:"},
         {"(unknown)"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const Outcome out = CrashChild(dir.Path(), c.crash, nullptr, c.withApp);
        EXPECT_EQ(out.signal, c.signal);
        EXPECT_TRUE(out.report.starts_with(c.firstLine)) << out.report;
        for (const char* part : c.present)
            EXPECT_NE(out.report.find(part), std::string::npos) << part << "\n" << out.report;
        for (const char* part : c.absent)
            EXPECT_EQ(out.report.find(part), std::string::npos) << part << "\n" << out.report;
    }
}

// A jump to address 0 leaves no unwinding tables to follow: the frame
// pointer walk still names the caller, by the return address the call left.
TEST(CrashHandler, ACallThroughANullPointerShowsItsCaller)
{
    TempDir dir;
    const Outcome out = CrashChild(dir.Path(), CallThroughNull);
    EXPECT_EQ(out.signal, SIGSEGV);
    EXPECT_TRUE(out.report.starts_with("Exception: Access Violation")) << out.report;
    EXPECT_TRUE(out.report.ends_with("Primary ThreadId: 1234\r\n")) << out.report;
    const auto caller = reinterpret_cast<uint64_t>(&CallThroughNull);
    bool callerSeen = false;
    for (size_t pos = out.report.find("\r\n\r\n") + 4; pos < out.report.size();)
    {
        const size_t end = out.report.find("\r\n", pos);
        const std::string line = out.report.substr(pos, end - pos);
        if (line.empty())
            break;
        EXPECT_NE(line.find("  "), std::string::npos) << "the frame pointer walk's layout: " << line;
        const uint64_t address = std::stoull(line, nullptr, 16);
        // Within the caller's few instructions (many more under the
        // address checker's instrumentation).
        callerSeen = callerSeen || (address > caller && address < caller + 1024);
        pos = end + 2;
    }
    EXPECT_TRUE(callerSeen) << out.report;
}

// The main thread fails; a second thread fails while the report is being
// written, which waits (the report goes into a pipe that is read only once
// the second thread's fault has been taken).
TEST(CrashHandler, AFaultOnAnotherThreadWaitsForTheReport)
{
    TempDir dir;
    const std::string fifo = dir / "crash.txt";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    int tidPipe[2];
    ASSERT_EQ(pipe(tidPipe), 0);
    const pid_t pid = fork();
    if (pid == 0)
    {
        if (chdir(dir.Path().c_str()) != 0)
            _exit(2);
        setenv("QUILLO_NO_CRASHVIEW", "1", 1);
        InstallCrashFilter();
        SetCrashApplicationInfo("CrashTest", "9.9", "none", 0x1234);
        std::thread([&] {
            const uint64_t tid = CrashThreadId();
            if (write(tidPipe[1], &tid, sizeof tid) != sizeof tid)
                _exit(3);
            while (!PosixCrashHandler::CrashMuted())
            {
            }
            WriteThroughNull();
        }).detach();
        WriteThroughNull();
        _exit(0);
    }
    close(tidPipe[1]);
    uint64_t tid = 0;
    ASSERT_EQ(read(tidPipe[0], &tid, sizeof tid), ssize_t(sizeof tid));
    close(tidPipe[0]);
    // The second thread sleeps once its fault is taken; the process is
    // gone if that fault ended it.
    const std::string stat = "/proc/" + std::to_string(pid) + "/task/" + std::to_string(tid) + "/stat";
    int status = 0;
    bool ended = false;
    for (;;)
    {
        if (waitpid(pid, &status, WNOHANG) == pid)
        {
            ended = true;
            break;
        }
        std::ifstream in(stat);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const size_t close = text.rfind(')');
        if (close != std::string::npos && text.compare(close, 4, ") S ") == 0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::string report;
    if (!ended)
    {
        const int fd = open(fifo.c_str(), O_RDONLY);
        ASSERT_GE(fd, 0);
        char buffer[4096];
        for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
            report.append(buffer, size_t(n));
        close(fd);
        waitpid(pid, &status, 0);
    }
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGSEGV);
    EXPECT_TRUE(report.starts_with("Exception: Access Violation")) << report;
    EXPECT_TRUE(report.ends_with("Primary ThreadId: 1234\r\n")) << report;
}

// Neither the file nor the viewer takes the report: the process still ends
// by the fault's own signal, not by the broken pipe.
TEST(CrashHandler, AViewerThatCannotStartLeavesTheFaultsSignal)
{
    TempDir dir;
    ASSERT_TRUE(FileSystem::MakeDirectories(dir / "crash.txt"));
    const Outcome out = CrashChild(dir.Path(), [] { Deep<std::make_integer_sequence<unsigned char, 255>>(80); },
                                   (dir / "no-viewer").c_str());
    EXPECT_EQ(out.signal, SIGSEGV);
}

TEST(CrashHandler, TheViewerGetsTheReportFileOrAPipeAndAReportFolderTakesTheReport)
{
    // The viewer records its argument and the report it was given.
    TempDir dir;
    const std::string viewer = dir / "viewer.sh";
    const std::string seen = dir / "seen.txt";
    ASSERT_TRUE(FileSystem::WriteFileAtomic(
        viewer, "#!/bin/sh\n{ printf '%s\\n' \"$1\"; if [ \"$1\" = - ]; then cat; else cat \"$1\"; fi; } > \"" + seen +
                    ".tmp\"\nmv \"" + seen + ".tmp\" \"" + seen + "\"\n"));
    ASSERT_EQ(chmod(viewer.c_str(), 0755), 0);
    auto viewed = [&] {
        for (int i = 0; i < 200 && !FileSystem::Exists(seen); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        const std::string text = ReadAll(seen);
        FileSystem::RemoveFile(seen);
        return text;
    };
    const std::string work = dir / "work";
    const std::string reports = dir / "reports";
    const std::string locked = dir / "locked";
    ASSERT_TRUE(FileSystem::MakeDirectories(work));
    ASSERT_TRUE(FileSystem::MakeDirectories(reports));
    // Here "crash.txt" is a directory: the report cannot be written.
    ASSERT_TRUE(FileSystem::MakeDirectories(locked + "/crash.txt"));

    const Outcome out = CrashChild(work, WriteThroughNull, viewer.c_str());
    EXPECT_EQ(out.signal, SIGSEGV);
    EXPECT_TRUE(out.report.starts_with("Exception: Access Violation")) << out.report;
    EXPECT_EQ(viewed(), "crash.txt\n" + out.report);

    // A report that cannot be written still reaches the viewer, through its
    // standard input.
    const Outcome piped = CrashChild(locked, WriteThroughNull, viewer.c_str());
    EXPECT_EQ(piped.signal, SIGSEGV);
    EXPECT_EQ(piped.report, "");
    EXPECT_TRUE(viewed().starts_with("-\nException: Access Violation"));

    // An installed program works in its read-only data folder and writes
    // the report where the player's files are; the viewer is told where.
    ASSERT_TRUE(FileSystem::RemoveFile(work + "/crash.txt"));
    const Outcome away = CrashChild(work, [&reports] {
        SetCrashReportFolder(reports);
        WriteThroughNull();
    }, viewer.c_str());
    EXPECT_EQ(away.signal, SIGSEGV);
    EXPECT_EQ(away.report, "") << "nothing is written into the working directory";
    const std::string report = ReadAll(reports + "/crash.txt");
    EXPECT_TRUE(report.starts_with("Exception: Access Violation")) << report;
    EXPECT_EQ(viewed(), reports + "/crash.txt\n" + report);

    // Back to the working directory when the folder is cleared.
    const Outcome back = CrashChild(work, [] {
        SetCrashReportFolder("");
        WriteThroughNull();
    });
    EXPECT_TRUE(back.report.starts_with("Exception: Access Violation")) << back.report;
}

TEST(CrashHandler, TheViewerIsFoundBesideTheProgramOrWhereItIsInstalled)
{
    TempDir dir;
    const std::string program = dir / "usr/games";
    const std::string installed = dir / "usr/libexec/spindrel/crashview";
    const std::string beside = program + "/crashview";
    auto script = [](const std::string& path, mode_t mode) {
        ASSERT_TRUE(FileSystem::MakeDirectories(std::filesystem::path(path).parent_path().string()));
        ASSERT_TRUE(FileSystem::WriteFileAtomic(path, "#!/bin/sh\n"));
        ASSERT_EQ(chmod(path.c_str(), mode), 0);
    };
    script(installed, 0755);
    ASSERT_TRUE(FileSystem::MakeDirectories(program));
    const char* relative = "../libexec/spindrel/crashview";
    EXPECT_EQ(PosixCrashHandler::FindViewer(program, relative), installed);
    // Without an installed layout the program's own folder is all there is.
    EXPECT_EQ(PosixCrashHandler::FindViewer(program, nullptr), beside);

    // A build tree has the viewer beside the program; a file there that
    // cannot run does not count.
    script(beside, 0644);
    EXPECT_EQ(PosixCrashHandler::FindViewer(program, relative), installed);
    script(beside, 0755);
    EXPECT_EQ(PosixCrashHandler::FindViewer(program, relative), beside);
}

TEST(CrashHandler, ViewerSetToOffIsSwitchedOff)
{
    TempDir dir;
    auto enabled = [&](const char* setting) {
        const auto exit = [] { _exit(PosixCrashHandler::ViewerEnabled() ? 1 : 0); };
        return CrashChild(dir.Path(), exit, setting).report == "[exit 1]";
    };
    EXPECT_FALSE(enabled("off"));
    EXPECT_TRUE(enabled("/usr/bin/true"));
}

// The viewer makes the names readable in the file itself, so that the file
// and the window agree, and draws the window (dummy video driver here).
TEST(CrashView, DemanglesTheReportFileAndDrawsTheWindow)
{
    // The program folder of the build: $QUILLO_DATA_DIR, else "bin" beside
    // the tests' folder.
    const char* data = std::getenv("QUILLO_DATA_DIR");
    const std::string viewer =
        (data && *data ? std::string(data) : FileSystem::ExecutableDirectory() + "/../bin") + "/crashview";
    if (!FileSystem::Exists(viewer))
        GTEST_SKIP() << "crashview is not built";
    TempDir dir;
    const std::string report = dir / "crash.txt";
    ASSERT_TRUE(FileSystem::WriteFileAtomic(report, "Exception: Access Violation (code 0xc0000005) at address 1 in "
                                                    "thread 2\r\n00000000 00000001 _ZN6Quillo14CrashOnPurposeEv+14\r\n"
                                                    "00000000 00000002 _Znot_a_name+1\r\n"));
    const std::string shot = dir / "shot.bmp";
    const std::string command = "SDL_VIDEODRIVER=dummy SDL_RENDER_DRIVER=software '" + viewer + "' '" + report +
                                "' --auto-close=100 --screenshot='" + shot + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string after = ReadAll(report);
    EXPECT_NE(after.find("\r\n00000000 00000001 Quillo::CrashOnPurpose()+14\r\n"), std::string::npos) << after;
    EXPECT_NE(after.find("_Znot_a_name+1"), std::string::npos) << "what is not a name stays";
    EXPECT_TRUE(after.starts_with("Exception: Access Violation (code 0xc0000005)"));

    const std::string bmp = ReadAll(shot);
    ASSERT_GT(bmp.size(), 400u * 300u * 4u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    // Not one flat colour: the fields, the text and the button were drawn.
    const size_t pixels = bmp.size() - 400 * 300 * 4;
    size_t differing = 0;
    for (size_t i = pixels + 4; i < bmp.size(); i += 4)
        differing += bmp.compare(i, 4, bmp, pixels, 4) != 0;
    EXPECT_GT(differing, 10000u);
}
