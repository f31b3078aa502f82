#include "TestApp.h"

#include "framework/diagnostics/CrashFilter.h"
#include "framework/platform/FileSystem.h"
#include "support/TempDir.h"

#include <csignal>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace Quillo;

// Outside any anonymous namespace, so that the report can name it.
__attribute__((noinline, no_sanitize("undefined"))) int RecurseForever(int depth)
{
    volatile char frame[4096];
    frame[0] = static_cast<char>(depth);
    return RecurseForever(depth + 1) + frame[0];
}

__attribute__((noinline, no_sanitize("undefined"))) void FaultNow()
{
    volatile int* volatile p = nullptr;
    *p = 1;
}

namespace
{

// An application whose loading thread overflows its stack.
class OverflowingLoader : public TestApp
{
public:
    OverflowingLoader() : TestApp(false) { automaticLoading = true; }
    void LoadingThreadBody() override { RecurseForever(0); }
};

// Runs body in a child with the crash filter installed, in dir; returns
// the report (empty when none was written) and the ending signal.
std::pair<std::string, int> CrashChild(const std::string& dir, const std::function<void()>& body)
{
    const pid_t pid = fork();
    if (pid == 0)
    {
        if (chdir(dir.c_str()) != 0)
            _exit(2);
        setenv("QUILLO_NO_CRASHVIEW", "1", 1);
        InstallCrashFilter();
        body();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const auto bytes = FileSystem::ReadFile(dir + "/crash.txt");
    return {bytes ? std::string(bytes->begin(), bytes->end()) : std::string(),
            WIFSIGNALED(status) ? WTERMSIG(status) : 0};
}

} // namespace

TEST(AppCrashReport, TheLoadingThreadsStackOverflowIsReported)
{
    TempDir dir;
    const auto [report, signal] = CrashChild(dir.Path(), [] {
        OverflowingLoader app;
        app.Init();
        app.Start();
    });
    EXPECT_EQ(signal, SIGSEGV);
    EXPECT_EQ(report.rfind("Exception: Stack Overflow (code 0xc00000fd)", 0), 0u) << report;
}

TEST(AppCrashReport, TheFullscreenLineSaysTheModeAtTheFault)
{
    TempDir dir;
    for (bool backToWindow : {false, true})
    {
        const auto [report, signal] = CrashChild(dir.Path(), [backToWindow] {
            TestApp app;
            app.Init();
            app.SetWindowed(false);
            if (backToWindow)
                app.SetWindowed(true);
            FaultNow();
        });
        EXPECT_EQ(signal, SIGSEGV);
        const char* line = backToWindow ? "\r\nFullscreen: No\r\n" : "\r\nFullscreen: Yes\r\n";
        EXPECT_NE(report.find(line), std::string::npos) << report;
    }
}
