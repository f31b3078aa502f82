// A real game recorded as a demo and played back: the generated data, the
// title screen, a new player, stage 1 played for a while and left with a
// saved game. Playback must go through the very same states and end on
// the same picture, and must leave every file in "_save" as it was.
#include "JourneyPlatform.h"

#include "../support/TempDir.h"

#include "framework/graphics/DisplayImage.h"
#include "framework/graphics/NativeDisplay.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/HyperlinkWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/app/GameApp.h"
#include "game/board/Board.h"
#include "game/screens/MainMenuWidget.h"
#include "game/screens/SelectStageWidget.h"
#include "game/screens/TitleScreen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>

namespace fs = std::filesystem;
using namespace Spindrel;

namespace
{

// The game on the fake platform, keeping a checksum of its state after
// every update step.
class DemoGameApp : public GameApp
{
public:
    DemoGameApp()
    {
        auto fake = std::make_unique<JourneyPlatform>();
        player = fake.get();
        SetPlatform(std::move(fake));
        singleInstance = false;
    }
    bool KeepWorkingDirectory(const std::string&) override { return true; }

    // Loads the resources before the loop starts, so that the hand-over
    // comes at the same update in both runs whatever the machine's load.
    void LoadBeforeStart()
    {
        automaticLoading = false;
        loadingThreadStarted = true;
        LoadingThreadBody();
        loadingThreadDone = true;
    }

    void RunOneUpdate() override
    {
        GameApp::RunOneUpdate();
        checksums.push_back(Checksum());
    }

    // What the player sees and what the game holds: the screen in front,
    // the open dialogs, the pointer and the whole board.
    uint64_t Checksum()
    {
        uint64_t h = 1469598103934665603ull;
        auto mix = [&h](const void* data, size_t size) {
            for (size_t i = 0; i < size; ++i)
                h = (h ^ static_cast<const uint8_t*>(data)[i]) * 1099511628211ull;
        };
        const int values[] = {updateCount,
                              GetTitleScreen() != nullptr,
                              GetMainMenu() != nullptr,
                              GetSelectStage() != nullptr,
                              widgetManager->lastMouseX,
                              widgetManager->lastMouseY};
        mix(values, sizeof values);
        for (const auto& [id, dialog] : dialogMap)
            mix(&id, sizeof id);
        if (Board* b = GetBoard(); b != nullptr && b->Logic().IsActive())
        {
            const auto state = b->Logic().SaveState();
            mix(state.data(), state.size());
        }
        return h;
    }

    // The whole picture, redrawn from the state the run ended in.
    std::vector<uint32_t> Picture()
    {
        widgetManager->MarkAllDirty();
        widgetManager->DrawPass();
        const uint32_t* bits = display->GetScreenImage()->GetBits();
        return std::vector<uint32_t>(bits, bits + size_t(width) * size_t(height));
    }

    bool Loaded() const { return loadingHandled; }
    // A run that goes astray ends here (game time) instead of never.
    void QuitBy(double ms) { autoQuitAtMs = ms; }

    JourneyPlatform* player = nullptr;
    std::vector<uint64_t> checksums;
};

void ClickWidget(DemoGameApp& app, const Quillo::Widget* w)
{
    app.player->Click(w->x + w->width / 2, w->y + w->height / 2);
}

Quillo::ButtonWidget* ButtonById(DemoGameApp& app, int id)
{
    for (Quillo::Widget* w : app.widgetManager->Widgets())
        if (auto* b = dynamic_cast<Quillo::ButtonWidget*>(w); b && b->id == id)
            return b;
    return nullptr;
}

// Clicks two face-down balls of one picture, as a player who remembers them.
void ClickAPair(DemoGameApp& app)
{
    BoardLogic& logic = app.GetBoard()->Logic();
    const GameState& s = logic.State();
    if (s.intro || s.pairPending || logic.OpenCount() != 0)
        return;
    const Quillo::Widget* menu = app.GetBoard()->MenuButton();
    std::map<int, const Ball*> seen;
    for (const auto& ball : logic.Balls())
    {
        const Ball& b = *ball;
        if (!b.alive || b.open || b.flipping || b.segment == 0 || b.x < 20 || b.x > 780 || b.y < 20 ||
            b.y > 580 || (menu && b.x > menu->x - 30 && b.y > menu->y - 30))
            continue;
        auto [it, first] = seen.emplace(b.type, &b);
        if (first)
            continue;
        app.player->Click(int(std::lround(it->second->x)), int(std::lround(it->second->y)));
        app.player->Click(int(std::lround(b.x)), int(std::lround(b.y)));
        return;
    }
}

// The player's steps, each asked at every poll until it is over.
using Step = std::function<bool(DemoGameApp&)>;

void Script(DemoGameApp& app, std::deque<Step>& steps)
{
    app.player->script = [&app, &steps] {
        while (!steps.empty() && steps.front()(app))
            steps.pop_front();
    };
}

Step Wait(double ms)
{
    auto until = std::make_shared<double>(-1.0);
    return [until, ms](DemoGameApp& a) {
        if (*until < 0)
            *until = a.player->now + ms;
        return a.player->now >= *until;
    };
}

Step Do(std::function<void(DemoGameApp&)> action)
{
    return [action](DemoGameApp& a) {
        action(a);
        return true;
    };
}

struct FileFacts
{
    std::vector<char> bytes;
    fs::file_time_type written;
    bool operator==(const FileFacts&) const = default;
};

std::map<std::string, FileFacts> SaveFolderFacts(const fs::path& dir)
{
    std::map<std::string, FileFacts> facts;
    for (const auto& entry : fs::directory_iterator(dir))
    {
        const auto size = entry.file_size();
        std::vector<char> bytes(size);
        std::FILE* f = std::fopen(entry.path().c_str(), "rb");
        if (f)
        {
            bytes.resize(std::fread(bytes.data(), 1, size, f));
            std::fclose(f);
        }
        facts[entry.path().filename().string()] = {bytes, entry.last_write_time()};
    }
    return facts;
}

} // namespace

TEST(GameDemo, ARecordedGamePlaysBackExactlyAndLeavesTheSavesAlone)
{
    const char* data = std::getenv("QUILLO_DATA_DIR");
    if (!data || !fs::exists(fs::path(data) / "properties" / "resources.xml"))
        GTEST_SKIP() << "the generated game data is not built";
    TempDir dir;
    const fs::path root(dir.Path());
    struct BackHome
    {
        fs::path dir = fs::current_path();
        ~BackHome() { fs::current_path(dir); }
    } home;
    for (const char* sub : {"bin", "gfx", "levels", "music", "properties"})
        fs::create_directory_symlink(fs::path(data) / sub, root / sub);
    fs::current_path(root);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    const std::string demoFile = (root / "game.dmo").string();

    std::vector<uint64_t> recorded;
    std::vector<uint32_t> recordedPicture;
    {
        DemoGameApp app;
        app.SetDemoMode(Quillo::QuilloAppBase::DemoMode::Record, demoFile);
        std::deque<Step> steps{
            [](DemoGameApp& a) { return a.Loaded(); },
            Wait(200),
            Do([](DemoGameApp& a) { ClickWidget(a, a.GetTitleScreen()->Link()); }),
            [](DemoGameApp& a) { return a.GetMainMenu() != nullptr && a.FindDialog(100) != nullptr; },
            Wait(200),
            Do([](DemoGameApp& a) {
                a.player->Type("Ann Lee");
                a.player->Key(13);
            }),
            [](DemoGameApp& a) { return a.FindDialog(100) == nullptr; },
            Wait(200),
            Do([](DemoGameApp& a) {
                Quillo::ButtonWidget* b = a.GetMainMenu()->Button(0);
                a.player->Click(b->x + b->width / 2, b->y + 82);
            }),
            [](DemoGameApp& a) { return a.GetSelectStage() != nullptr; },
            Wait(200),
            Do([](DemoGameApp& a) {
                const Quillo::Rect& r = a.GetSelectStage()->Slot(0);
                a.player->Click(r.x + r.width / 2, r.y + r.height / 2);
            }),
            [](DemoGameApp& a) {
                return a.GetSelectStage() == nullptr && a.GetBoard()->Logic().IsActive() &&
                       !a.GetBoard()->Logic().State().intro;
            },
        };
        // Some play: a pair every 400 ms for 4 s.
        for (int i = 0; i < 10; ++i)
        {
            steps.push_back(Do(ClickAPair));
            steps.push_back(Wait(400));
        }
        for (Step s : std::initializer_list<Step>{
                 Do([](DemoGameApp& a) { ClickWidget(a, a.GetBoard()->MenuButton()); }),
                 [](DemoGameApp& a) { return a.FindDialog(7) != nullptr; },
                 Wait(200),
                 Do([](DemoGameApp& a) { ClickWidget(a, ButtonById(a, 2)); }),
                 [](DemoGameApp& a) { return a.FindDialog(500) != nullptr; },
                 Do([](DemoGameApp& a) { ClickWidget(a, a.FindDialog(500)->FirstButton()); }),
                 [](DemoGameApp& a) { return a.GetMainMenu() != nullptr && a.FindDialog(500) == nullptr; },
                 Wait(300),
                 Do([](DemoGameApp& a) {
                     Quillo::ButtonWidget* b = a.GetMainMenu()->Button(MainMenuWidget::kQuitId - MainMenuWidget::kStartId);
                     a.player->Click(b->x + b->width / 2, b->y + 82);
                 })})
            steps.push_back(s);
        Script(app, steps);
        app.Init();
        app.LoadBeforeStart();
        app.QuitBy(app.player->now + 120000.0);
        app.Start();
        EXPECT_TRUE(steps.empty()) << steps.size() << " steps left";
        for (const std::string& box : app.player->boxes)
            ADD_FAILURE() << "message box: " << box;
        recorded = app.checksums;
        recordedPicture = app.Picture();
    }
    ASSERT_TRUE(fs::exists(demoFile));
    ASSERT_TRUE(fs::exists(root / "_save" / "Ann_Lee.sav")) << "leaving saved the game";
    const auto before = SaveFolderFacts(root / "_save");

    {
        DemoGameApp app;
        app.SetDemoMode(Quillo::QuilloAppBase::DemoMode::Play, demoFile);
        app.Init();
        app.LoadBeforeStart();
        app.QuitBy(app.player->now + 120000.0);
        app.Start();
        for (const std::string& box : app.player->boxes)
            ADD_FAILURE() << "message box: " << box;
        EXPECT_EQ(app.checksums.size(), recorded.size()) << "updates played";
        const size_t common = std::min(app.checksums.size(), recorded.size());
        size_t firstDifference = common;
        for (size_t i = 0; i < common && firstDifference == common; ++i)
            if (app.checksums[i] != recorded[i])
                firstDifference = i;
        EXPECT_EQ(firstDifference, common) << "the state differs from update " << firstDifference + 1;
        const std::vector<uint32_t> picture = app.Picture();
        EXPECT_TRUE(picture == recordedPicture) << "the final picture differs";
    }
    EXPECT_TRUE(SaveFolderFacts(root / "_save") == before) << "playback changed the player's files";
}
