#include "framework/platform/RendererChoice.h"

#include "framework/platform/FileSystem.h"
#include "framework/platform/RendererProbe.h"
#include "framework/platform/SdlPresenter.h"
#include "support/TempDir.h"

#include <SDL2/SDL.h>
#include <algorithm>
#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace Quillo;

namespace
{

const char* kLlvmpipe = "made\topengl\tllvmpipe (LLVM 15.0.7, 256 bits)\t1\t1";
const char* kHardware = "made\topengl\tMesa Intel(R) UHD Graphics 620 (KBL GT2)\t0\t1";

// A child that writes text, and then ends as shell asks.
std::vector<std::string> Shell(const std::string& script)
{
    return {"/bin/sh", "-c", script};
}

std::optional<RendererReport> Probe(const std::vector<std::string>& command, int timeoutMs,
                                    std::string& failure)
{
    RendererProbe probe(command);
    return probe.Finish(timeoutMs, failure);
}

} // namespace

TEST(RendererReport, LinesRoundTripAndJunkIsRefused)
{
    const auto soft = RendererReport::FromLine(kLlvmpipe);
    ASSERT_TRUE(soft);
    EXPECT_TRUE(soft->software);
    EXPECT_FALSE(soft->Worthwhile());
    EXPECT_EQ(soft->ToLine(), kLlvmpipe);
    const auto hard = RendererReport::FromLine(kHardware);
    ASSERT_TRUE(hard);
    EXPECT_TRUE(hard->Worthwhile());
    EXPECT_TRUE(hard->vsync);
    const auto none = RendererReport::FromLine("none");
    ASSERT_TRUE(none);
    EXPECT_FALSE(none->made);

    for (const char* junk : {"", "made", "made\topengl\tx\t2\t0", "made\t\tx\t0\t0",
                             "made\topengl\tx\t0\t0\t0", "Segmentation fault"})
        EXPECT_FALSE(RendererReport::FromLine(junk)) << junk;

    // A driver's name with a tab cannot split the line.
    RendererReport odd;
    odd.made = true;
    odd.name = "opengl";
    odd.drawer = "a\tb\nc";
    EXPECT_TRUE(RendererReport::FromLine(odd.ToLine()));

    for (const char* name :
         {"llvmpipe (LLVM 15.0.7, 256 bits)", "softpipe", "Software Rasterizer", "SWRAST"})
        EXPECT_TRUE(RendererReport::IsSoftwareRasteriser(name)) << name;
    EXPECT_FALSE(RendererReport::IsSoftwareRasteriser("AMD Radeon RX 6600 (radeonsi, navi23)"));
}

TEST(RendererProbe, ReadsTheChildsAnswerAndSurvivesEveryFailure)
{
    std::string failure;
    const auto answer = Probe(Shell(std::string("printf '") + kHardware + "\\n'"), 5000, failure);
    ASSERT_TRUE(answer) << failure;
    EXPECT_EQ(answer->drawer, "Mesa Intel(R) UHD Graphics 620 (KBL GT2)");

    struct Case
    {
        std::vector<std::string> command;
        const char* why;
    };
    const Case cases[] = {
        {Shell("kill -SEGV $$"), "signal 11"},
        {Shell(std::string("printf '") + kHardware + "\\n'; exit 3"), "code 3"},
        {Shell("echo 'libGL error: failed to load driver'"), "answered"},
        {Shell("head -c 100000 /dev/zero | tr '\\0' x"), "answered"},
        {{"/nonexistent/renderer-probe"}, "cannot start"},
        {{}, "no command"},
    };
    for (const Case& c : cases)
    {
        failure.clear();
        EXPECT_FALSE(Probe(c.command, 5000, failure)) << c.why;
        EXPECT_NE(failure.find(c.why), std::string::npos) << failure;
    }

    // A child that hangs is killed at the time limit, not waited for; one
    // that answered first keeps its answer.
    const auto start = std::chrono::steady_clock::now();
    failure.clear();
    EXPECT_FALSE(Probe(Shell("exec sleep 30"), 200, failure));
    EXPECT_NE(failure.find("no answer within 200 ms"), std::string::npos) << failure;
    EXPECT_TRUE(
        Probe(Shell(std::string("printf '") + kHardware + "\\n'; exec sleep 30"), 200, failure));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

class RendererChoiceTest : public ::testing::Test
{
protected:
    // A child that counts its runs in a file and answers line.
    RendererChoice::Setup Setup(const std::string& line, const std::string& key = "key 1")
    {
        RendererChoice::Setup s;
        s.probeCommand = Shell("echo run >>'" + runs + "'; printf '%s\\n' '" + line + "'");
        s.keptFile = dir / "cache/renderer.txt";
        s.machineKey = key;
        s.device = true;
        return s;
    }
    int Runs()
    {
        const auto text = FileSystem::ReadTextFile(runs);
        return text ? int(std::count(text->begin(), text->end(), '\n')) : 0;
    }
    TempDir dir;
    std::string runs = dir / "runs";
};

TEST_F(RendererChoiceTest, TheChildsAnswerIsKeptForItsMachineOnly)
{
    {
        RendererChoice choice(Setup(kLlvmpipe));
        ASSERT_TRUE(choice.Answer());
        EXPECT_FALSE(choice.Answer()->Worthwhile());
        EXPECT_EQ(Runs(), 1);
    }
    {
        // The next start reads it without a child.
        RendererChoice choice(Setup(kHardware));
        ASSERT_TRUE(choice.Answer());
        EXPECT_TRUE(choice.Answer()->software);
        EXPECT_EQ(Runs(), 1);
    }
    {
        // Another machine (a driver installed, another display) asks again.
        RendererChoice choice(Setup(kHardware, "key 2"));
        ASSERT_TRUE(choice.Answer());
        EXPECT_TRUE(choice.Answer()->Worthwhile());
        EXPECT_EQ(Runs(), 2);
    }
    {
        // Without a device nothing is asked: there is nothing to draw with.
        auto setup = Setup(kHardware, "key 3");
        setup.device = false;
        RendererChoice choice(setup);
        choice.Begin();
        EXPECT_FALSE(choice.Answer());
        EXPECT_EQ(Runs(), 2);
    }
}

TEST_F(RendererChoiceTest, AFailedChildKeepsNothingAndIsAskedOnce)
{
    auto setup = Setup(kLlvmpipe);
    setup.probeCommand = Shell("echo run >>'" + runs + "'; kill -SEGV $$");
    RendererChoice choice(setup);
    EXPECT_FALSE(choice.Answer());
    EXPECT_FALSE(choice.Answer());
    EXPECT_EQ(Runs(), 1);
    EXPECT_FALSE(FileSystem::Exists(setup.keptFile));

    // What the game then learns itself is kept instead.
    choice.Remember(*RendererReport::FromLine(kHardware));
    RendererChoice next(Setup(kLlvmpipe));
    ASSERT_TRUE(next.Answer());
    EXPECT_TRUE(next.Answer()->Worthwhile());
    EXPECT_EQ(Runs(), 1);
}

class RendererChoicePresenter : public RendererChoiceTest
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        window = SDL_CreateWindow("choice", 0, 0, 64, 48, SDL_WINDOW_HIDDEN);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        // The automatic choice, over the tests' environment.
        SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "", SDL_HINT_OVERRIDE);
    }
    void TearDown() override
    {
        SDL_ResetHint(SDL_HINT_RENDER_DRIVER);
        SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    SDL_Window* window = nullptr;
};

TEST_F(RendererChoicePresenter, ASoftwareAnswerTakesTheWindowSurfaceWithoutOpenGl)
{
    RendererChoice choice(Setup(kLlvmpipe));
    int code = -1;
    SDL_ClearError();
    auto p = SdlPresenter::Create(window, 64, 48, true, code, &choice);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Path(), PresentPath::WindowSurface);
    EXPECT_STREQ(SDL_GetError(), "") << "a renderer was tried in the process";
    EXPECT_EQ(Runs(), 1);
    // Nothing learnt in the process replaced the child's answer.
    EXPECT_EQ(FileSystem::ReadTextFile(dir / "cache/renderer.txt").value_or(""),
              std::string("key 1\n") + kLlvmpipe + "\n");

    std::ifstream maps("/proc/self/maps");
    std::stringstream text;
    text << maps.rdbuf();
    for (const char* library : {"libGL", "libEGL", "libGLX", "libgallium", "_dri.so", "libOpenGL"})
        EXPECT_EQ(text.str().find(library), std::string::npos) << library << " is mapped";
}

TEST_F(RendererChoicePresenter, TheGameAsksItselfOnlyWhenWorthItAndKeepsWhatItLearns)
{
    // The dummy video driver has no accelerated renderer: after an
    // in-process attempt, the window surface, and "none" is kept.
    for (const char* answer : {kHardware, "hang"})
    {
        auto setup = Setup(answer);
        if (std::string(answer) == "hang")
            setup.probeCommand = Shell("exec sleep 30");
        setup.timeoutMs = 2000;
        FileSystem::RemoveFile(setup.keptFile);
        RendererChoice choice(setup);
        int code = -1;
        SDL_ClearError();
        auto p = SdlPresenter::Create(window, 64, 48, true, code, &choice);
        ASSERT_TRUE(p);
        EXPECT_EQ(p->Path(), PresentPath::WindowSurface);
        EXPECT_STRNE(SDL_GetError(), "") << "no renderer was tried in the process";
        const auto kept = FileSystem::ReadTextFile(setup.keptFile);
        ASSERT_TRUE(kept) << answer;
        EXPECT_EQ(*kept, "key 1\nnone\n") << answer;
    }
}
