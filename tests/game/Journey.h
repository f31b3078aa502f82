#pragma once

// The real game on the journey platform, played by a script of steps, in a
// folder of its own with the generated data linked in and an empty "_save",
// as on a first run.
#include "JourneyPlatform.h"

#include "../support/GameData.h"
#include "../support/TempDir.h"

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

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>

class JourneyApp : public Spindrel::GameApp
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

    void ExpectNoMessageBoxes() const
    {
        for (const std::string& box : player->boxes)
            ADD_FAILURE() << "message box: " << box;
    }

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

inline void ClickWidget(JourneyApp& app, const Quillo::Widget* w)
{
    app.player->Click(w->x + w->width / 2, w->y + w->height / 2);
}

inline Quillo::ButtonWidget* ButtonById(JourneyApp& app, int id)
{
    for (Quillo::Widget* w : app.widgetManager->Widgets())
        if (auto* b = dynamic_cast<Quillo::ButtonWidget*>(w); b && b->id == id)
            return b;
    return nullptr;
}

// A press on a main-menu button's ball, where a press counts.
inline void ClickBall(JourneyApp& app, int id)
{
    Quillo::ButtonWidget* b = app.GetMainMenu()->Button(id - Spindrel::MainMenuWidget::kStartId);
    app.player->Click(b->x + b->width / 2, b->y + 82);
}

inline void ClickStageSlot(JourneyApp& app, int slot)
{
    const Quillo::Rect& r = app.GetSelectStage()->Slot(slot);
    app.player->Click(r.x + r.width / 2, r.y + r.height / 2);
}

inline bool Playing(JourneyApp& app)
{
    return app.GetSelectStage() == nullptr && app.GetBoard()->Logic().IsActive() &&
           !app.GetBoard()->Logic().State().intro;
}

// Clicks two face-down balls of the same picture that are in view. The
// pictures are read from the game, as a player with a perfect memory.
inline void ClickAPair(JourneyApp& app)
{
    Spindrel::BoardLogic& logic = app.GetBoard()->Logic();
    const Spindrel::GameState& s = logic.State();
    if (s.intro || s.pairPending || s.levelComplete || logic.OpenCount() != 0)
        return;
    // A click near the menu button would take the button instead.
    const Quillo::Widget* menu = app.GetBoard()->MenuButton();
    const auto underMenu = [menu](const Spindrel::Ball& b) {
        return menu && b.x > menu->x - 30 && b.x < menu->x + menu->width + 30 && b.y > menu->y - 30 &&
               b.y < menu->y + menu->height + 30;
    };
    std::map<int, const Spindrel::Ball*> firstOfType;
    for (const auto& ball : logic.Balls())
    {
        const Spindrel::Ball& b = *ball;
        if (!b.alive || b.open || b.flipping || b.segment == 0 || b.x < 20 || b.x > 780 || b.y < 20 ||
            b.y > 580 || underMenu(b))
            continue;
        auto [first, isNew] = firstOfType.emplace(b.type, &b);
        if (isNew)
            continue;
        app.player->Click(int(std::lround(first->second->x)), int(std::lround(first->second->y)));
        app.player->Click(int(std::lround(b.x)), int(std::lround(b.y)));
        return;
    }
}

// Runs the steps in order from the platform's event polls, one step a
// moment of the clock; done() is asked at every poll until it says the step
// is over. A step that waits too long (in game time) fails the journey.
class Journey
{
public:
    using Check = std::function<bool(JourneyApp&)>;
    using Action = std::function<void(JourneyApp&)>;

    explicit Journey(JourneyApp& app) : m_app(app)
    {
        app.player->script = [this] { Poll(); };
    }

    void Then(std::string what, Check done) { m_steps.push_back({std::move(what), std::move(done)}); }
    void Do(std::string what, Action action)
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
    void Opens(std::string what, int dialog)
    {
        Then(std::move(what), [dialog](JourneyApp& a) { return a.FindDialog(dialog) != nullptr; });
    }
    void Closes(std::string what, int dialog)
    {
        Then(std::move(what), [dialog](JourneyApp& a) { return a.FindDialog(dialog) == nullptr; });
    }
    void ClickBall(std::string what, int id)
    {
        Do(std::move(what), [id](JourneyApp& a) { ::ClickBall(a, id); });
    }
    // The dialog's first button: OK, yes, continue.
    void Answer(std::string what, int dialog)
    {
        Do(std::move(what), [dialog](JourneyApp& a) { ClickWidget(a, a.FindDialog(dialog)->FirstButton()); });
    }
    void ClickTitleLink()
    {
        Do("click the link", [](JourneyApp& a) { ClickWidget(a, a.GetTitleScreen()->Link()); });
    }
    // From start-up to the main menu of a new player.
    void ArriveAsNewPlayer(const std::string& name)
    {
        Then("loaded", [](JourneyApp& a) { return a.Loaded(); });
        ClickTitleLink();
        Opens("asked for a name", kNameDialog);
        Do("name", [name](JourneyApp& a) {
            a.player->Type(name);
            a.player->Key(13);
        });
        Closes("named", kNameDialog);
    }

    // The in-game menu's way out, saving the game; the options may be
    // looked at for a while on the way.
    void LeaveTheGame(double lookMs = 0, Action look = nullptr)
    {
        Do("open the in-game options", [](JourneyApp& a) { ClickWidget(a, a.GetBoard()->MenuButton()); });
        Opens("the options open", kOptionsDialog);
        if (lookMs > 0)
            Wait(lookMs);
        Do("to the leave question", [look](JourneyApp& a) {
            if (look)
                look(a);
            Quillo::ButtonWidget* menu = ButtonById(a, 2);
            ASSERT_NE(menu, nullptr);
            ClickWidget(a, menu);
        });
        Opens("the leave question opens", kAskDialog);
        Answer("leave and save", kAskDialog);
    }

    // Empty when every step was done; else what went wrong after which step.
    std::string Result() const
    {
        const std::string after = " (after: " + m_lastDone + ")";
        if (!m_failure.empty())
            return m_failure + after;
        return m_steps.empty() ? "" : "never done: " + m_steps.front().what + after;
    }

    static constexpr int kNameDialog = 100;
    static constexpr int kOptionsDialog = 7;
    // The statistics after a level and the high scores.
    static constexpr int kTableDialog = 1;
    static constexpr int kAskDialog = 500;

private:
    struct Step
    {
        std::string what;
        Check done;
    };

    void Poll()
    {
        if (m_steps.empty())
            return;
        if (m_stepStart < 0)
            m_stepStart = m_app.player->now;
        Step& step = m_steps.front();
        if (step.done(m_app))
        {
            m_lastDone = step.what;
            m_steps.pop_front();
            m_stepStart = -1;
            return;
        }
        if (m_app.player->now - m_stepStart > kStepLimitMs)
        {
            m_failure = "timed out: " + step.what;
            m_steps.clear();
            m_app.Shutdown();
        }
    }

    static constexpr double kStepLimitMs = 240000.0;
    JourneyApp& m_app;
    std::deque<Step> m_steps;
    double m_stepStart = -1;
    std::string m_failure;
    std::string m_lastDone;
};

class JourneyWorld : public ::testing::Test
{
protected:
    void SetUp() override
    {
        namespace fs = std::filesystem;
        const char* data = std::getenv("QUILLO_DATA_DIR");
        if (!data || !fs::exists(fs::path(data) / "properties" / "resources.xml"))
            QUILLO_WITHOUT_GAME_DATA("the generated game data is not built");
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
            std::filesystem::current_path(m_old);
    }

    std::filesystem::path SaveFile(const std::string& name) const
    {
        return std::filesystem::path(m_dir.Path()) / "_save" / name;
    }

    TempDir m_dir;
    std::filesystem::path m_old;
};
