#include "framework/diagnostics/CrashFilter.h"
#include "framework/platform/FileSystem.h"
#include "framework/platform/PosixCrashHandler.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <dlfcn.h>
#include <cstdlib>
#include <functional>
#include <sys/stat.h>
#include <sys/types.h>
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

__attribute__((noinline, no_sanitize("undefined"))) void DivideByZero()
{
    volatile int zero = 0;
    volatile int x = 10 / zero;
    (void)x;
}

namespace
{

struct Outcome
{
    int signal = 0;
    std::string report;
};

// Runs `crash` in a child that has the filter installed, in `dir`.
Outcome CrashChild(const std::string& dir, const std::function<void()>& crash, const char* viewer = nullptr,
                   bool withApp = true)
{
    const pid_t pid = fork();
    if (pid == 0)
    {
        if (chdir(dir.c_str()) != 0)
            _exit(2);
        if (viewer)
        {
            setenv("QUILLO_CRASHVIEW", viewer, 1);
            unsetenv("QUILLO_NO_CRASHVIEW");
        }
        else
        {
            setenv("QUILLO_NO_CRASHVIEW", "1", 1);
        }
        InstallCrashFilter();
        if (withApp)
            SetCrashApplicationInfo("CrashTest", "9.9", "none", 0x1234);
        crash();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    Outcome out;
    if (WIFSIGNALED(status))
        out.signal = WTERMSIG(status);
    const auto bytes = FileSystem::ReadFile(dir + "/crash.txt");
    if (bytes)
        out.report.assign(bytes->begin(), bytes->end());
    if (WIFEXITED(status))
        out.report += "[exit " + std::to_string(WEXITSTATUS(status)) + "]";
    return out;
}

std::string ReadAll(const std::string& path)
{
    const auto bytes = FileSystem::ReadFile(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

std::string FirstLine(const std::string& text)
{
    return text.substr(0, text.find("\r\n"));
}

bool WaitForFile(const std::string& path)
{
    for (int i = 0; i < 200; ++i)
    {
        if (FileSystem::Exists(path))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
}

} // namespace

TEST(CrashHandler, NullPointerWriteIsAnAccessViolation)
{
    TempDir dir;
    const Outcome out = CrashChild(dir.Path(), WriteThroughNull);
    EXPECT_EQ(out.signal, SIGSEGV);
    EXPECT_EQ(FirstLine(out.report).rfind("Exception: Access Violation (code 0xc0000005) at address ", 0), 0u)
        << out.report;
    EXPECT_NE(out.report.find("\r\nModule: test_diagnostics\r\nLogical Address: "), std::string::npos) << out.report;
    EXPECT_NE(out.report.find("WriteThroughNull"), std::string::npos) << "the stack names the function";
    EXPECT_NE(out.report.find("\r\nRAX:"), std::string::npos);
    EXPECT_NE(out.report.find("\r\nRIP:"), std::string::npos);
    EXPECT_NE(out.report.find("\r\nOS Ver: Linux "), std::string::npos);
    EXPECT_NE(out.report.find("\r\nAudio Ver: none\r\n"), std::string::npos);
    EXPECT_NE(out.report.find("\r\nProduct: CrashTest\r\nVersion: 9.9\r\nTime Loaded: 00:00:0"), std::string::npos);
    EXPECT_NE(out.report.find("\r\nPrimary ThreadId: 1234\r\n"), std::string::npos);
}

TEST(CrashHandler, DivideByZeroAndAbort)
{
    TempDir dir;
    Outcome out = CrashChild(dir.Path(), DivideByZero);
    EXPECT_EQ(out.signal, SIGFPE);
    EXPECT_EQ(FirstLine(out.report).rfind("Exception: Integer Divide by Zero (code 0xc0000094) at address ", 0), 0u)
        << out.report;

    out = CrashChild(dir.Path(), [] { std::abort(); }, nullptr, false);
    EXPECT_EQ(out.signal, SIGABRT);
    EXPECT_EQ(FirstLine(out.report).rfind("Unknown exception: (code 0x6) at address ", 0), 0u) << out.report;
    EXPECT_EQ(out.report.find("Product: "), std::string::npos) << "no application, no run description";
    EXPECT_EQ(out.report.find("SDL Ver: "), std::string::npos);
}

TEST(CrashHandler, AnotherThreadsFaultIsReportedToo)
{
    TempDir dir;
    const Outcome out = CrashChild(dir.Path(), [] {
        std::thread t([] { WriteThroughNull(); });
        t.join();
    });
    EXPECT_EQ(out.signal, SIGSEGV);
    EXPECT_EQ(FirstLine(out.report).rfind("Exception: Access Violation", 0), 0u);
}

TEST(CrashHandler, TheViewerGetsTheReportFileOrAPipe)
{
    TempDir dir;
    const std::string viewer = dir / "viewer.sh";
    const std::string seen = dir / "seen.txt";
    ASSERT_TRUE(FileSystem::WriteFileAtomic(
        viewer, "#!/bin/sh\nif [ \"$1\" = - ]; then cat > \"" + seen + ".tmp\"; else cp \"$1\" \"" + seen +
                    ".tmp\"; fi\nmv \"" + seen + ".tmp\" \"" + seen + "\"\n"));
    ASSERT_EQ(chmod(viewer.c_str(), 0755), 0);

    const std::string work = dir / "work";
    ASSERT_TRUE(FileSystem::MakeDirectories(work));
    const Outcome out = CrashChild(work, WriteThroughNull, viewer.c_str());
    EXPECT_EQ(out.signal, SIGSEGV);
    ASSERT_TRUE(WaitForFile(seen));
    EXPECT_EQ(ReadAll(seen), out.report);

    // A report that cannot be written (here "crash.txt" is a directory):
    // the viewer still gets it, through its standard input.
    ASSERT_TRUE(FileSystem::RemoveFile(seen));
    const std::string locked = dir / "locked";
    ASSERT_TRUE(FileSystem::MakeDirectories(locked + "/crash.txt"));
    const Outcome piped = CrashChild(locked, WriteThroughNull, viewer.c_str());
    EXPECT_EQ(piped.signal, SIGSEGV);
    EXPECT_EQ(piped.report, "");
    ASSERT_TRUE(WaitForFile(seen));
    EXPECT_EQ(FirstLine(ReadAll(seen)).rfind("Exception: Access Violation", 0), 0u);
}

TEST(CrashHandler, AReportFolderTakesTheReportAwayFromTheWorkingDirectory)
{
    // An installed program works in its read-only data folder and writes
    // the report where the player's files are; the viewer is told where.
    TempDir dir;
    const std::string viewer = dir / "viewer.sh";
    const std::string seen = dir / "seen.txt";
    ASSERT_TRUE(FileSystem::WriteFileAtomic(
        viewer, "#!/bin/sh\nprintf '%s' \"$1\" > \"" + seen + ".tmp\"\nmv \"" + seen + ".tmp\" \"" + seen + "\"\n"));
    ASSERT_EQ(chmod(viewer.c_str(), 0755), 0);
    const std::string work = dir / "work";
    const std::string reports = dir / "reports";
    ASSERT_TRUE(FileSystem::MakeDirectories(work));
    ASSERT_TRUE(FileSystem::MakeDirectories(reports));

    const Outcome out = CrashChild(work, [&reports] {
        SetCrashReportFolder(reports);
        WriteThroughNull();
    }, viewer.c_str());
    EXPECT_EQ(out.signal, SIGSEGV);
    EXPECT_EQ(out.report, "") << "nothing is written into the working directory";
    const std::string report = ReadAll(reports + "/crash.txt");
    EXPECT_EQ(FirstLine(report).rfind("Exception: Access Violation", 0), 0u) << report;
    ASSERT_TRUE(WaitForFile(seen));
    EXPECT_EQ(ReadAll(seen), reports + "/crash.txt");

    // Back to the working directory when the folder is cleared.
    const Outcome back = CrashChild(work, [] {
        SetCrashReportFolder("");
        WriteThroughNull();
    });
    EXPECT_EQ(FirstLine(back.report).rfind("Exception: Access Violation", 0), 0u) << back.report;
}

TEST(CrashHandler, TheViewerIsFoundBesideTheProgramOrWhereItIsInstalled)
{
    TempDir dir;
    const std::string program = dir / "usr/games";
    const std::string installed = dir / "usr/libexec/spindrel/crashview";
    ASSERT_TRUE(FileSystem::MakeDirectories(program));
    ASSERT_TRUE(FileSystem::MakeDirectories(dir / "usr/libexec/spindrel"));
    ASSERT_TRUE(FileSystem::WriteFileAtomic(installed, "#!/bin/sh\n"));
    ASSERT_EQ(chmod(installed.c_str(), 0755), 0);
    const char* relative = "../libexec/spindrel/crashview";

    EXPECT_EQ(PosixCrashHandler::FindViewer(program, relative), installed);
    // Without an installed layout the program's own folder is all there is.
    EXPECT_EQ(PosixCrashHandler::FindViewer(program, nullptr), program + "/crashview");

    // A build tree has the viewer beside the program; a file there that
    // cannot run does not count.
    const std::string beside = program + "/crashview";
    ASSERT_TRUE(FileSystem::WriteFileAtomic(beside, "#!/bin/sh\n"));
    ASSERT_EQ(chmod(beside.c_str(), 0644), 0);
    EXPECT_EQ(PosixCrashHandler::FindViewer(program, relative), installed);
    ASSERT_EQ(chmod(beside.c_str(), 0755), 0);
    EXPECT_EQ(PosixCrashHandler::FindViewer(program, relative), beside);
}

TEST(CrashHandler, AModuleLoadedAfterInstallIsNamed)
{
    TempDir dir;
    const Outcome out = CrashChild(dir.Path(), [] {
        void* library = dlopen(QUILLO_LATE_MODULE, RTLD_NOW);
        if (!library)
            _exit(3);
        auto fault = reinterpret_cast<void (*)()>(dlsym(library, "LateModuleFault"));
        if (!fault)
            _exit(4);
        fault();
    });
    EXPECT_EQ(out.signal, SIGSEGV) << out.report;
    EXPECT_NE(out.report.find("\r\nModule: libquillo_late_module.so\r\nLogical Address: 0002:"),
              std::string::npos)
        << out.report;
    EXPECT_EQ(out.report.find("(unknown)"), std::string::npos) << out.report;
}

TEST(CrashHandler, ViewerSetToOffIsSwitchedOff)
{
    auto viewerEnabled = [](const char* setting) {
        const pid_t pid = fork();
        if (pid == 0)
        {
            unsetenv("QUILLO_NO_CRASHVIEW");
            setenv("QUILLO_CRASHVIEW", setting, 1);
            InstallCrashFilter();
            _exit(PosixCrashHandler::ViewerEnabled() ? 1 : 0);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 1;
    };
    EXPECT_FALSE(viewerEnabled("off"));
    EXPECT_TRUE(viewerEnabled("/usr/bin/true"));
}
