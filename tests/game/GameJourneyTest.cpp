// A player's whole journey through the real game on the fake platform:
// title screen, a new player, the stage selection, a level won by clicks,
// the statistics, leaving with a saved game and continuing it, the high
// scores and quitting. Every screen is compared with a golden picture,
// pixel for pixel, and written beside the test for review.
#include "JourneyPlatform.h"
#include "ScreenGolden.h"

#include "../support/TempDir.h"

#include "framework/app/RandomGenerator.h"
#include "framework/app/RandomInt.h"
#include "framework/audio/MusicInterface.h"
#include "framework/audio/SoundManager.h"
#include "framework/platform/FileSystem.h"
#include "framework/graphics/NativeDisplay.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/HyperlinkWidget.h"
#include "framework/widgets/Slider.h"
#include "framework/widgets/WidgetManager.h"
#include "game/app/GameApp.h"
#include "game/app/PlayerProfiles.h"
#include "game/board/Board.h"
#include "game/screens/MainMenuWidget.h"
#include "game/screens/SelectStageWidget.h"
#include "game/screens/TitleScreen.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <thread>

namespace fs = std::filesystem;
using namespace Spindrel;

namespace
{

class JourneyApp : public GameApp
{
public:
    JourneyApp()
    {
        auto fake = std::make_unique<JourneyPlatform>();
        player = fake.get();
        SetPlatform(std::move(fake));
        singleInstance = false;
        player->beforeTimePasses = [this] { HoldClockForLoading(); };
    }

    // Sound and music are the real ones, on SDL's silent audio driver.
    bool KeepWorkingDirectory(const std::string&) override { return true; }

    bool Loaded() const { return loadingHandled; }

    JourneyPlatform* player = nullptr;

private:
    // The fake clock runs as fast as the main thread can draw, and on a
    // busy machine the loading thread may get no time at all for a while:
    // while it loads, the game's clock moves on by one frame per resource
    // loaded, so every wait for loading sees about the same game time
    // however slow the machine.
    void HoldClockForLoading()
    {
        if (!loadingThreadStarted)
            return;
        while (!loadingThreadDone && loadingTasksDone == m_tasksSeen)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        m_tasksSeen = loadingTasksDone;
    }

    int m_tasksSeen = 0;
};

// One thing the player does or waits for; done() is asked at every poll
// until it says the step is over.
struct Step
{
    std::string what;
    std::function<bool(JourneyApp&)> done;
};

// Runs the steps in order from the platform's event polls. A step that
// waits too long (in game time) fails the journey with its name.
class Journey
{
public:
    explicit Journey(JourneyApp& app) : m_app(app)
    {
        app.player->script = [this] { Poll(); };
    }

    void Then(std::string what, std::function<bool(JourneyApp&)> done)
    {
        m_steps.push_back({std::move(what), std::move(done)});
    }
    void Do(std::string what, std::function<void(JourneyApp&)> action)
    {
        Then(std::move(what), [action](JourneyApp& a) {
            action(a);
            return true;
        });
    }
    // Lets the game run for a while (game time) before the next step.
    void Wait(double ms)
    {
        auto until = std::make_shared<double>(-1.0);
        Then("wait", [until, ms](JourneyApp& a) {
            if (*until < 0)
                *until = a.player->now + ms;
            return a.player->now >= *until;
        });
    }

    std::string failure;
    std::vector<std::string> finished;

private:
    void Poll()
    {
        if (m_steps.empty())
            return;
        if (m_stepStart < 0)
            m_stepStart = m_app.player->now;
        Step& step = m_steps.front();
        if (step.done(m_app))
        {
            finished.push_back(step.what);
            std::fprintf(stderr, "journey: %s (%.0f ms)\n", step.what.c_str(), m_app.player->now);
            m_steps.pop_front();
            m_stepStart = -1;
            return;
        }
        if (m_app.player->now - m_stepStart > kStepLimitMs)
        {
            failure = "timed out: " + step.what;
            m_steps.clear();
            m_app.Shutdown();
        }
    }

    static constexpr double kStepLimitMs = 240000.0;
    JourneyApp& m_app;
    std::deque<Step> m_steps;
    double m_stepStart = -1;
};

// The world of a journey: a folder with the generated data linked in and
// an empty "_save", as on a first run.
class GameJourney : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* data = std::getenv("QUILLO_DATA_DIR");
        if (!data || !fs::exists(fs::path(data) / "properties" / "resources.xml"))
            GTEST_SKIP() << "the generated game data is not built";
        m_old = fs::current_path();
        for (const char* sub : {"bin", "gfx", "levels", "music", "properties"})
            fs::create_directory_symlink(fs::path(data) / sub, fs::path(m_dir.Path()) / sub);
        fs::current_path(fs::path(m_dir.Path()));
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        setenv("XDG_CONFIG_HOME", (fs::path(m_dir.Path()) / "config").c_str(), 1);
    }
    void TearDown() override
    {
        if (!m_old.empty())
            fs::current_path(m_old);
    }

    fs::path SaveFile(const std::string& name) const { return fs::path(m_dir.Path()) / "_save" / name; }

    TempDir m_dir;
    fs::path m_old;
};

Quillo::Dialog* OpenDialog(JourneyApp& app, int id)
{
    return app.FindDialog(id);
}

// The centre of a main-menu button's ball, where a press counts.
Quillo::Point BallCentre(JourneyApp& app, int id)
{
    Quillo::ButtonWidget* b = app.GetMainMenu()->Button(id - MainMenuWidget::kStartId);
    return {b->x + b->width / 2, b->y + 82};
}

void ClickButton(JourneyApp& app, Quillo::Widget* w)
{
    app.player->Click(w->x + w->width / 2, w->y + w->height / 2);
}

// Clicks two face-down balls of the same picture that are in view. The
// pictures are read from the game, as a player with a perfect memory.
bool ClickAPair(JourneyApp& app)
{
    BoardLogic& logic = app.GetBoard()->Logic();
    const GameState& s = logic.State();
    if (s.intro || s.pairPending || s.levelComplete || logic.OpenCount() != 0)
        return false;
    // A click near the menu button would take the button instead.
    const Quillo::Widget* menu = app.GetBoard()->MenuButton();
    const auto underMenu = [menu](const Ball& b) {
        return menu && b.x > menu->x - 30 && b.x < menu->x + menu->width + 30 &&
               b.y > menu->y - 30 && b.y < menu->y + menu->height + 30;
    };
    std::map<int, const Ball*> firstOfType;
    for (const auto& ball : logic.Balls())
    {
        const Ball& b = *ball;
        if (!b.alive || b.open || b.flipping || b.segment == 0 || b.x < 20 || b.x > 780 ||
            b.y < 20 || b.y > 580 || underMenu(b))
            continue;
        auto it = firstOfType.find(b.type);
        if (it == firstOfType.end())
        {
            firstOfType[b.type] = &b;
            continue;
        }
        const Ball& a = *it->second;
        app.player->Click(static_cast<int>(std::lround(a.x)), static_cast<int>(std::lround(a.y)));
        app.player->Click(static_cast<int>(std::lround(b.x)), static_cast<int>(std::lround(b.y)));
        return true;
    }
    return false;
}

} // namespace

TEST_F(GameJourney, FromTheTitleScreenToQuitting)
{
    JourneyApp app;
    Journey journey(app);
    ScreenGolden golden(app, (m_old / "journey").string());
    std::set<int> barWidths;

    journey.Then("the loading bar fills", [&](JourneyApp& a) {
        barWidths.insert(static_cast<int>(a.GetLoadingProgress() * 100));
        return a.Loaded();
    });
    journey.Wait(200);
    journey.Do("title screen", [&](JourneyApp&) { golden.Check("title"); });
    journey.Do("click the link", [&](JourneyApp& a) { ClickButton(a, a.GetTitleScreen()->Link()); });
    journey.Then("the main menu asks for a name", [](JourneyApp& a) {
        return a.GetMainMenu() != nullptr && OpenDialog(a, 100) != nullptr;
    });
    journey.Wait(300);
    journey.Do("new player", [&](JourneyApp& a) {
        golden.Check("new-player");
        a.player->Type("Ann Lee");
        a.player->Key(13);
    });
    journey.Then("the profile is made", [](JourneyApp& a) { return OpenDialog(a, 100) == nullptr; });
    journey.Wait(300);
    journey.Do("main menu", [&](JourneyApp& a) {
        golden.Check("main-menu");
        const Quillo::Point p = BallCentre(a, MainMenuWidget::kOptionsId);
        a.player->Click(p.x, p.y);
    });
    // Behind the menu the board is idle: after the options, Escape and
    // Space must not open its in-game menu (nor save and fake a game).
    journey.Then("the menu's options open", [](JourneyApp& a) { return a.FindDialog(7) != nullptr; });
    journey.Do("OK", [](JourneyApp& a) { ClickButton(a, a.FindDialog(7)->FirstButton()); });
    journey.Then("the options close", [](JourneyApp& a) { return a.FindDialog(7) == nullptr; });
    std::optional<std::vector<uint8_t>> records;
    journey.Do("Escape and Space in the main menu", [&](JourneyApp& a) {
        records = Quillo::FileSystem::ReadFile(SaveFile("spindrel.rec").string());
        a.player->Key(27);
        a.player->Key(32);
    });
    journey.Wait(500);
    journey.Do("nothing opened, nothing saved", [&](JourneyApp& a) {
        EXPECT_EQ(a.DialogCount(), 0);
        EXPECT_FALSE(fs::exists(SaveFile("Ann_Lee.sav")));
        EXPECT_TRUE(records.has_value());
        EXPECT_EQ(Quillo::FileSystem::ReadFile(SaveFile("spindrel.rec").string()), records);
        const Quillo::Point p = BallCentre(a, MainMenuWidget::kStartId);
        a.player->Click(p.x, p.y);
    });
    journey.Then("the stage selection opens", [](JourneyApp& a) { return a.GetSelectStage() != nullptr; });
    journey.Wait(300);
    journey.Do("stage selection", [&](JourneyApp& a) {
        golden.Check("select-stage");
        // How long the loading thread took moves the clock the generators
        // were seeded from; the level itself is dealt the same every run.
        Quillo::SeedRandomInt(7);
        Quillo::RandomGenerator::Framework().Seed(7);
        a.ClearTimeBacklog();
        a.updateFractionAccumulator = 0.0;
        const Quillo::Rect& r = a.GetSelectStage()->Slot(0);
        a.player->Click(r.x + r.width / 2, r.y + r.height / 2);
    });
    journey.Then("level 1 starts", [](JourneyApp& a) {
        return a.GetSelectStage() == nullptr && a.GetBoard()->Logic().IsActive() &&
               !a.GetBoard()->Logic().State().intro;
    });
    journey.Wait(1500);
    journey.Do("playing", [&](JourneyApp&) { golden.Check("level-1"); });
    double lastTrace = 0;
    journey.Then("level 1 is won", [&lastTrace](JourneyApp& a) {
        if (a.FindDialog(1) != nullptr)
            return true;
        ClickAPair(a);
        if (a.player->now - lastTrace > 5000)
        {
            lastTrace = a.player->now;
            const GameState& s = a.GetBoard()->Logic().State();
            std::fprintf(stderr, "journey: level %d score %d of %d, %zu balls, lives %d, paused %d\n",
                         s.level, s.score, s.targetScore, a.GetBoard()->Logic().Balls().size(), s.lives,
                         s.pauseDepth);
        }
        return false;
    });
    journey.Wait(500);
    journey.Do("statistics", [&](JourneyApp& a) {
        golden.Check("statistics");
        a.player->Key(32);
    });
    journey.Then("level 2 starts", [](JourneyApp& a) {
        return a.FindDialog(1) == nullptr && a.GetBoard()->Logic().State().level == 2 &&
               !a.GetBoard()->Logic().State().intro;
    });
    journey.Do("open the in-game options", [](JourneyApp& a) { ClickButton(a, a.GetBoard()->MenuButton()); });
    journey.Then("the options open", [](JourneyApp& a) { return a.FindDialog(7) != nullptr; });
    journey.Wait(300);
    journey.Do("in-game options", [&](JourneyApp& a) {
        golden.Check("options-in-game");
        Quillo::Widget* menu = nullptr;
        for (Quillo::Widget* w : a.widgetManager->Widgets())
            if (auto* b = dynamic_cast<Quillo::ButtonWidget*>(w); b && b->id == 2)
                menu = b;
        ASSERT_NE(menu, nullptr);
        ClickButton(a, menu);
    });
    journey.Then("the leave question opens", [](JourneyApp& a) { return a.FindDialog(500) != nullptr; });
    journey.Do("leave and save", [](JourneyApp& a) { ClickButton(a, a.FindDialog(500)->FirstButton()); });
    journey.Then("back in the main menu", [](JourneyApp& a) {
        return a.GetMainMenu() != nullptr && a.FindDialog(500) == nullptr;
    });
    journey.Wait(300);
    journey.Do("start again", [](JourneyApp& a) {
        const Quillo::Point p = BallCentre(a, MainMenuWidget::kStartId);
        a.player->Click(p.x, p.y);
    });
    journey.Then("the continue question opens", [](JourneyApp& a) { return a.FindDialog(500) != nullptr; });
    journey.Wait(300);
    journey.Do("continue", [&](JourneyApp& a) {
        golden.Check("continue-question");
        ClickButton(a, a.FindDialog(500)->FirstButton());
    });
    journey.Then("the saved game goes on at level 2", [](JourneyApp& a) {
        return a.GetMainMenu() == nullptr && a.GetBoard()->Logic().IsActive() &&
               a.GetBoard()->Logic().State().level == 2;
    });
    journey.Wait(1000);
    journey.Do("leave again", [](JourneyApp& a) { ClickButton(a, a.GetBoard()->MenuButton()); });
    journey.Then("options", [](JourneyApp& a) { return a.FindDialog(7) != nullptr; });
    journey.Do("to the leave question", [](JourneyApp& a) {
        for (Quillo::Widget* w : a.widgetManager->Widgets())
            if (auto* b = dynamic_cast<Quillo::ButtonWidget*>(w); b && b->id == 2)
                ClickButton(a, b);
    });
    journey.Then("question", [](JourneyApp& a) { return a.FindDialog(500) != nullptr; });
    journey.Do("leave", [](JourneyApp& a) { ClickButton(a, a.FindDialog(500)->FirstButton()); });
    journey.Then("menu", [](JourneyApp& a) { return a.GetMainMenu() != nullptr; });
    journey.Wait(300);
    journey.Do("high scores", [](JourneyApp& a) {
        const Quillo::Point p = BallCentre(a, MainMenuWidget::kHighScoresId);
        a.player->Click(p.x, p.y);
    });
    journey.Then("the table opens", [](JourneyApp& a) { return a.FindDialog(1) != nullptr; });
    journey.Wait(300);
    journey.Do("high-score table", [&](JourneyApp& a) {
        golden.Check("high-scores");
        ClickButton(a, a.FindDialog(1)->FirstButton());
    });
    journey.Then("the table closes", [](JourneyApp& a) { return a.FindDialog(1) == nullptr; });
    journey.Do("quit", [](JourneyApp& a) {
        const Quillo::Point p = BallCentre(a, MainMenuWidget::kQuitId);
        a.player->Click(p.x, p.y);
    });

    app.Init();
    app.Start();

    EXPECT_EQ(journey.failure, "") << "after: " << (journey.finished.empty() ? "" : journey.finished.back());
    // How many steps of the bar the player sees depends on the loading
    // thread's share of a busy machine: it may load everything between two
    // frames. The bar ends full when the game is loaded.
    ASSERT_FALSE(barWidths.empty());
    EXPECT_EQ(*barWidths.rbegin(), 100);
    for (const std::string& box : app.player->boxes)
        ADD_FAILURE() << "message box: " << box;
    golden.ExpectAllMatched();

    EXPECT_EQ(fs::file_size(SaveFile("spindrel.rec")), 15120u);
    // Only a stage start above the stored one is written: levels 1 and 2 are not.
    EXPECT_FALSE(fs::exists(SaveFile("Ann_Lee.sta")));
    EXPECT_TRUE(fs::exists(SaveFile("Ann_Lee.sav"))) << "the second leave saves the game again";
    EXPECT_TRUE(fs::exists(SaveFile("options.cfg")));
}

TEST_F(GameJourney, VolumesChosenInTheOptionsSurviveARestart)
{
    double chosen = -1.0;
    {
        JourneyApp app;
        Journey journey(app);
        journey.Then("loaded", [](JourneyApp& a) { return a.Loaded(); });
        journey.Do("click the link", [](JourneyApp& a) { ClickButton(a, a.GetTitleScreen()->Link()); });
        journey.Then("asked for a name", [](JourneyApp& a) { return a.FindDialog(100) != nullptr; });
        journey.Do("name", [](JourneyApp& a) {
            a.player->Type("Bo");
            a.player->Key(13);
        });
        journey.Then("named", [](JourneyApp& a) { return a.FindDialog(100) == nullptr; });
        journey.Do("options", [](JourneyApp& a) {
            const Quillo::Point p = BallCentre(a, MainMenuWidget::kOptionsId);
            a.player->Click(p.x, p.y);
        });
        journey.Then("the options open", [](JourneyApp& a) { return a.FindDialog(7) != nullptr; });
        journey.Do("turn the music down", [](JourneyApp& a) {
            for (Quillo::Widget* w : a.widgetManager->Widgets())
                if (auto* s = dynamic_cast<Quillo::Slider*>(w); s && s->id == 0)
                {
                    const int thumbX = s->x + s->ThumbX() + 4;
                    a.player->Drag(thumbX, s->y + s->height / 2, thumbX - s->width / 2, s->y + s->height / 2);
                }
        });
        journey.Wait(100);
        journey.Do("OK", [&chosen](JourneyApp& a) {
            chosen = a.GetMusicVolume();
            ClickButton(a, a.FindDialog(7)->FirstButton());
        });
        journey.Then("closed", [](JourneyApp& a) { return a.FindDialog(7) == nullptr; });
        journey.Do("quit", [](JourneyApp& a) {
            const Quillo::Point p = BallCentre(a, MainMenuWidget::kQuitId);
            a.player->Click(p.x, p.y);
        });
        app.Init();
        app.Start();
        ASSERT_EQ(journey.failure, "");
    }
    ASSERT_GT(chosen, 0.0);
    ASSERT_LT(chosen, 0.6) << "dragging the thumb to the left turns the music down";

    JourneyApp again;
    again.Init();
    // Volumes are kept in hundredths.
    EXPECT_NEAR(again.GetMusicVolume(), chosen, 0.01);
    EXPECT_NEAR(again.GetSfxVolume(), 0.85, 0.01);
}

TEST_F(GameJourney, ClosingTheWindowMidLevelKeepsTheGame)
{
    int level = 0;
    int score = -1;
    {
        JourneyApp app;
        Journey journey(app);
        journey.Then("loaded", [](JourneyApp& a) { return a.Loaded(); });
        journey.Do("click the link", [](JourneyApp& a) { ClickButton(a, a.GetTitleScreen()->Link()); });
        journey.Then("asked for a name", [](JourneyApp& a) { return a.FindDialog(100) != nullptr; });
        journey.Do("name", [](JourneyApp& a) {
            a.player->Type("Cy");
            a.player->Key(13);
        });
        journey.Then("named", [](JourneyApp& a) { return a.FindDialog(100) == nullptr; });
        journey.Do("start", [](JourneyApp& a) {
            const Quillo::Point p = BallCentre(a, MainMenuWidget::kStartId);
            a.player->Click(p.x, p.y);
        });
        journey.Then("stages", [](JourneyApp& a) { return a.GetSelectStage() != nullptr; });
        journey.Do("stage 1", [](JourneyApp& a) {
            const Quillo::Rect& r = a.GetSelectStage()->Slot(0);
            a.player->Click(r.x + r.width / 2, r.y + r.height / 2);
        });
        journey.Then("playing", [](JourneyApp& a) {
            return a.GetSelectStage() == nullptr && a.GetBoard()->Logic().IsActive() &&
                   !a.GetBoard()->Logic().State().intro;
        });
        journey.Then("a pair scored", [](JourneyApp& a) {
            if (a.GetBoard()->Logic().State().score > 0)
                return true;
            ClickAPair(a);
            return false;
        });
        journey.Do("close the window", [&](JourneyApp& a) {
            level = a.GetBoard()->Logic().State().level;
            score = a.GetBoard()->Logic().State().score;
            a.player->Push(Quillo::EventType::Close);
        });
        app.Init();
        app.Start();
        ASSERT_EQ(journey.failure, "");
        for (const std::string& box : app.player->boxes)
            ADD_FAILURE() << "message box: " << box;
    }
    ASSERT_EQ(level, 1);
    ASSERT_TRUE(fs::exists(SaveFile("Cy.sav"))) << "the game is suspended";

    JourneyApp again;
    Journey journey(again);
    journey.Then("loaded", [](JourneyApp& a) { return a.Loaded(); });
    journey.Do("click the link", [](JourneyApp& a) { ClickButton(a, a.GetTitleScreen()->Link()); });
    journey.Then("the main menu greets Cy", [](JourneyApp& a) {
        return a.GetMainMenu() != nullptr && a.FindDialog(100) == nullptr;
    });
    journey.Do("start", [](JourneyApp& a) {
        const Quillo::Point p = BallCentre(a, MainMenuWidget::kStartId);
        a.player->Click(p.x, p.y);
    });
    journey.Then("the continue question", [](JourneyApp& a) { return a.FindDialog(500) != nullptr; });
    journey.Do("continue", [](JourneyApp& a) { ClickButton(a, a.FindDialog(500)->FirstButton()); });
    journey.Then("the same level goes on", [&](JourneyApp& a) {
        const GameState& s = a.GetBoard()->Logic().State();
        return a.GetMainMenu() == nullptr && a.GetBoard()->Logic().IsActive() && s.level == level &&
               s.score == score;
    });
    journey.Do("no saved game is left", [this](JourneyApp&) { EXPECT_FALSE(fs::exists(SaveFile("Cy.sav"))); });
    journey.Wait(500);
    journey.Do("close again", [](JourneyApp& a) { a.player->Push(Quillo::EventType::Close); });
    again.Init();
    again.Start();
    EXPECT_EQ(journey.failure, "") << "after: " << (journey.finished.empty() ? "" : journey.finished.back());
    EXPECT_TRUE(fs::exists(SaveFile("Cy.sav"))) << "closing again suspends the game again";
}
