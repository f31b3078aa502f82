// The whole game, as a player's machine runs it: the real GameApp with the
// generated data, taken from the title screen to stage 1 and played there
// for 10 s of game time by a bot that clicks pairs, drawing every frame and
// presenting it through each present path into SDL's memory-only window.
// The clock is the test platform's (each present takes a 100 Hz frame), so
// only the work itself is measured, as process CPU time.
//
// Prints per path "GamePlayCpu: N ms per second of play" and
// "GameFrame: ours X ms, yardstick Y ms, ratio R", where the yardstick is
// the board's own frame drawn alone: the ratio is what the rest of the
// frame (widgets, present) adds to it.
#include "tests/game/JourneyPlatform.h"

#include "framework/app/RandomGenerator.h"
#include "framework/app/RandomInt.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/platform/SdlPresenter.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/HyperlinkWidget.h"
#include "game/app/GameApp.h"
#include "game/board/Board.h"
#include "game/screens/MainMenuWidget.h"
#include "game/screens/SelectStageWidget.h"
#include "game/screens/TitleScreen.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>

namespace fs = std::filesystem;
using namespace Spindrel;

namespace
{

constexpr double kPlayMs = 10000.0;

double CpuMs() { return 1000.0 * double(std::clock()) / CLOCKS_PER_SEC; }

// The test platform, presenting for real through one path as the game's
// own platform does: the drawn areas, from the window surface itself
// where the frame can be drawn there.
class BenchPlatform : public JourneyPlatform
{
public:
    BenchPlatform(SDL_Window* window, Quillo::PresentPath path) : m_window(window), m_path(path) {}

    int InitPresenter(bool fullScreen, bool vsync) override
    {
        JourneyPlatform::InitPresenter(fullScreen, vsync);
        if (m_lost)
            m_lost();
        int code = 0;
        m_presenter = Quillo::SdlPresenter::CreateWithPath(m_window, m_path, 800, 600, false, code);
        return code;
    }
    bool Present(const uint32_t* argb, int pitch, int w, int h, const Quillo::Rect& dirty) override
    {
        JourneyPlatform::Present(argb, pitch, w, h, dirty);
        return m_presenter && m_presenter->Present(argb, pitch, dirty);
    }
    bool PresentAreas(const uint32_t* argb, int pitch, int w, int h,
                      const std::vector<Quillo::Rect>& areas) override
    {
        JourneyPlatform::Present(argb, pitch, w, h, Quillo::Rect{});
        return m_presenter && m_presenter->Present(argb, pitch, areas);
    }
    uint32_t* FrameMemory(int, int) override { return m_presenter ? m_presenter->FrameMemory() : nullptr; }
    void SetFrameMemoryLost(std::function<void()> lost) override { m_lost = std::move(lost); }

private:
    SDL_Window* m_window;
    Quillo::PresentPath m_path;
    std::unique_ptr<Quillo::SdlPresenter> m_presenter;
    std::function<void()> m_lost;
};

class BenchApp : public GameApp
{
public:
    BenchApp(SDL_Window* window, Quillo::PresentPath path)
    {
        auto platform = std::make_unique<BenchPlatform>(window, path);
        player = platform.get();
        SetPlatform(std::move(platform));
        singleInstance = false;
    }
    bool KeepWorkingDirectory(const std::string&) override { return true; }
    bool Loaded() const { return loadingHandled; }
    int Presents() const { return player->presents; }

    BenchPlatform* player = nullptr;
};

// Clicks two face-down balls of the same picture in view, as a player with
// a perfect memory would.
void ClickAPair(BenchApp& app)
{
    BoardLogic& logic = app.GetBoard()->Logic();
    const GameState& s = logic.State();
    if (s.intro || s.pairPending || s.levelComplete || logic.OpenCount() != 0)
        return;
    const Quillo::Widget* menu = app.GetBoard()->MenuButton();
    std::map<int, const Ball*> firstOfType;
    for (const auto& ball : logic.Balls())
    {
        const Ball& b = *ball;
        if (!b.alive || b.open || b.flipping || b.segment == 0 || b.x < 20 || b.x > 780 || b.y < 20 ||
            b.y > 580 || (menu && b.x > menu->x - 30 && b.y > menu->y - 30))
            continue;
        auto [it, added] = firstOfType.emplace(b.type, &b);
        if (added)
            continue;
        app.player->Click(int(std::lround(it->second->x)), int(std::lround(it->second->y)));
        app.player->Click(int(std::lround(b.x)), int(std::lround(b.y)));
        return;
    }
}

struct PlayResult
{
    bool ok = false;
    double cpuMs = 0.0;
    int frames = 0;
    double boardFrameMs = 0.0;
};

// Title, a new player, the stage selection, stage 1; then 10 s of play.
PlayResult Play(SDL_Window* window, Quillo::PresentPath path)
{
    BenchApp app(window, path);
    PlayResult result;
    int step = 0;
    double stepAt = 0.0, playStart = 0.0, cpuStart = 0.0;
    int framesStart = 0;
    app.player->script = [&] {
        BenchApp& a = app;
        const double now = a.player->now;
        if (now - stepAt > 240000.0)
        {
            std::fprintf(stderr, "bench_game: stuck at step %d\n", step);
            a.Shutdown();
            return;
        }
        auto next = [&] {
            ++step;
            stepAt = now;
        };
        switch (step)
        {
        case 0:
            if (a.Loaded())
                next();
            break;
        case 1:
            if (now - stepAt > 200)
            {
                Quillo::Widget* link = a.GetTitleScreen()->Link();
                a.player->Click(link->x + link->width / 2, link->y + link->height / 2);
                next();
            }
            break;
        case 2:
            if (a.GetMainMenu() && a.FindDialog(100) && now - stepAt > 300)
            {
                a.player->Type("Bench");
                a.player->Key(13);
                next();
            }
            break;
        case 3:
            if (!a.FindDialog(100) && now - stepAt > 300)
            {
                Quillo::ButtonWidget* b = a.GetMainMenu()->Button(0);
                a.player->Click(b->x + b->width / 2, b->y + 82);
                next();
            }
            break;
        case 4:
            if (a.GetSelectStage() && now - stepAt > 300)
            {
                Quillo::SeedRandomInt(7);
                Quillo::RandomGenerator::Framework().Seed(7);
                const Quillo::Rect& r = a.GetSelectStage()->Slot(0);
                a.player->Click(r.x + r.width / 2, r.y + r.height / 2);
                next();
            }
            break;
        case 5:
            if (!a.GetSelectStage() && a.GetBoard()->Logic().IsActive() && !a.GetBoard()->Logic().State().intro)
            {
                playStart = now;
                cpuStart = CpuMs();
                framesStart = a.Presents();
                next();
            }
            break;
        case 6:
            ClickAPair(a);
            if (now - playStart >= kPlayMs)
            {
                result.cpuMs = CpuMs() - cpuStart;
                result.frames = a.Presents() - framesStart;
                result.ok = true;
                // The yardstick: the board's frame alone, in the state play left it.
                Quillo::MemoryImage screen;
                screen.Create(800, 600);
                Quillo::Graphics g(&screen);
                constexpr int kFrames = 300;
                const double start = CpuMs();
                for (int i = 0; i < kFrames; ++i)
                    a.GetBoard()->Draw(&g);
                result.boardFrameMs = (CpuMs() - start) / kFrames;
                a.Shutdown();
            }
            break;
        default:
            break;
        }
    };
    app.Init();
    app.Start();
    return result;
}

// The generated data linked into a fresh folder with an empty "_save".
bool EnterWorld(fs::path& dir)
{
    const char* data = std::getenv("QUILLO_DATA_DIR");
    if (!data || !fs::exists(fs::path(data) / "properties" / "resources.xml"))
        return false;
    dir = fs::temp_directory_path() / "spindrel-bench-game";
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (const char* sub : {"bin", "gfx", "levels", "music", "properties"})
        fs::create_directory_symlink(fs::absolute(fs::path(data) / sub), dir / sub);
    fs::current_path(dir);
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    return true;
}

} // namespace

int main()
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    fs::path world;
    if (!EnterWorld(world))
    {
        std::fprintf(stderr, "bench_game: the game's data is not generated (QUILLO_DATA_DIR)\n");
        return 1;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
    {
        std::fprintf(stderr, "bench_game: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window = SDL_CreateWindow("bench", 0, 0, 800, 600, SDL_WINDOW_HIDDEN);
    int status = 0;
    for (auto [path, name] : {std::pair{Quillo::PresentPath::WindowSurface, "window surface"},
                              std::pair{Quillo::PresentPath::Texture, "texture, software renderer"}})
    {
        fs::remove_all(world / "_save");
        fs::remove_all(world / "config");
        const PlayResult r = Play(window, path);
        if (!r.ok || r.frames == 0)
        {
            std::printf("GameFrame (%s): the bot did not reach stage 1\n", name);
            status = 1;
            continue;
        }
        const double frame = r.cpuMs / r.frames;
        std::printf("GamePlayCpu: %.1f ms per second of play, %d frames (%s)\n", r.cpuMs / (kPlayMs / 1000.0),
                    r.frames, name);
        std::printf("GameFrame: ours %.3f ms, yardstick %.3f ms, ratio %.2f (%s)\n", frame, r.boardFrameMs,
                    frame / r.boardFrameMs, name);
    }
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(world);
    return status;
}
