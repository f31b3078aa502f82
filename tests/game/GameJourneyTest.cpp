// A player's whole journey through the real game on the fake platform:
// title screen, a new player, the stage selection, a level won by clicks,
// the statistics, leaving with a saved game and continuing it, the high
// scores and quitting. Every screen is compared with a golden picture,
// pixel for pixel, and written beside the test for review.
#include "Journey.h"
#include "ScreenGolden.h"

#include "framework/app/RandomGenerator.h"
#include "framework/app/RandomInt.h"
#include "framework/platform/FileSystem.h"
#include "framework/widgets/Slider.h"

#include <optional>
#include <set>

namespace fs = std::filesystem;
using namespace Spindrel;

namespace
{

// The statistics and the high scores share the id.
constexpr int kTableDialog = 1;

} // namespace

using GameJourney = JourneyWorld;

TEST_F(GameJourney, FromTheTitleScreenToQuitting)
{
    JourneyApp app;
    Journey journey(app);
    ScreenGolden golden(app, (m_old / "journey").string());
    std::set<int> barWidths;
    // A while on a screen, the screen compared, then what the player does.
    const auto look = [&](double ms, const std::string& screen, Journey::Action then = nullptr) {
        journey.Wait(ms);
        journey.Do(screen, [&golden, screen, then](JourneyApp& a) {
            golden.Check(screen);
            if (then)
                then(a);
        });
    };

    journey.Then("the loading bar fills", [&](JourneyApp& a) {
        barWidths.insert(static_cast<int>(a.GetLoadingProgress() * 100));
        return a.Loaded();
    });
    look(200, "title");
    journey.ClickTitleLink();
    journey.Then("the main menu asks for a name", [](JourneyApp& a) {
        return a.GetMainMenu() != nullptr && a.FindDialog(Journey::kNameDialog) != nullptr;
    });
    look(300, "new-player", [](JourneyApp& a) {
        a.player->Type("Ann Lee");
        a.player->Key(13);
    });
    journey.Closes("the profile is made", Journey::kNameDialog);
    look(300, "main-menu", [](JourneyApp& a) { ClickBall(a, MainMenuWidget::kOptionsId); });
    // Behind the menu the board is idle: after the options, Escape and
    // Space must not open its in-game menu (nor save and fake a game).
    journey.Opens("the menu's options open", Journey::kOptionsDialog);
    journey.Answer("OK", Journey::kOptionsDialog);
    journey.Closes("the options close", Journey::kOptionsDialog);
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
        ClickBall(a, MainMenuWidget::kStartId);
    });
    journey.Then("the stage selection opens", [](JourneyApp& a) { return a.GetSelectStage() != nullptr; });
    look(300, "select-stage", [](JourneyApp& a) {
        // How long the loading thread took moves the clock the generators
        // were seeded from; the level itself is dealt the same every run.
        Quillo::SeedRandomInt(7);
        Quillo::RandomGenerator::Framework().Seed(7);
        a.ClearTimeBacklog();
        a.updateFractionAccumulator = 0.0;
        ClickStageSlot(a, 0);
    });
    journey.Then("level 1 starts", Playing);
    look(1500, "level-1");
    journey.Then("level 1 is won", [](JourneyApp& a) {
        if (a.FindDialog(kTableDialog) != nullptr)
            return true;
        ClickAPair(a);
        return false;
    });
    look(500, "statistics", [](JourneyApp& a) { a.player->Key(32); });
    journey.Then("level 2 starts", [](JourneyApp& a) {
        return a.FindDialog(kTableDialog) == nullptr && a.GetBoard()->Logic().State().level == 2 &&
               !a.GetBoard()->Logic().State().intro;
    });
    journey.LeaveTheGame(300, [&](JourneyApp&) { golden.Check("options-in-game"); });
    journey.Then("back in the main menu", [](JourneyApp& a) {
        return a.GetMainMenu() != nullptr && a.FindDialog(Journey::kAskDialog) == nullptr;
    });
    journey.Wait(300);
    journey.ClickBall("start again", MainMenuWidget::kStartId);
    journey.Opens("the continue question opens", Journey::kAskDialog);
    look(300, "continue-question",
         [](JourneyApp& a) { ClickWidget(a, a.FindDialog(Journey::kAskDialog)->FirstButton()); });
    journey.Then("the saved game goes on at level 2", [](JourneyApp& a) {
        return a.GetMainMenu() == nullptr && a.GetBoard()->Logic().IsActive() &&
               a.GetBoard()->Logic().State().level == 2;
    });
    journey.Wait(1000);
    journey.LeaveTheGame();
    journey.Then("menu", [](JourneyApp& a) { return a.GetMainMenu() != nullptr; });
    journey.Wait(300);
    journey.ClickBall("high scores", MainMenuWidget::kHighScoresId);
    journey.Opens("the table opens", kTableDialog);
    look(300, "high-scores", [](JourneyApp& a) { ClickWidget(a, a.FindDialog(kTableDialog)->FirstButton()); });
    journey.Closes("the table closes", kTableDialog);
    journey.ClickBall("quit", MainMenuWidget::kQuitId);

    app.Init();
    app.Start();

    EXPECT_EQ(journey.Result(), "");
    // How many steps of the bar the player sees depends on the loading
    // thread's share of a busy machine: it may load everything between two
    // frames. The bar ends full when the game is loaded.
    ASSERT_FALSE(barWidths.empty());
    EXPECT_EQ(*barWidths.rbegin(), 100);
    app.ExpectNoMessageBoxes();
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
        journey.ArriveAsNewPlayer("Bo");
        journey.ClickBall("options", MainMenuWidget::kOptionsId);
        journey.Opens("the options open", Journey::kOptionsDialog);
        journey.Do("turn the music down", [](JourneyApp& a) {
            for (Quillo::Widget* w : a.widgetManager->Widgets())
                if (auto* s = dynamic_cast<Quillo::Slider*>(w); s && s->id == 0)
                {
                    const int thumbX = s->x + s->ThumbX() + 4;
                    a.player->Drag(thumbX, s->y + s->height / 2, thumbX - s->width / 2, s->y + s->height / 2);
                }
        });
        journey.Wait(100);
        journey.Do("note the volume", [&chosen](JourneyApp& a) { chosen = a.GetMusicVolume(); });
        journey.Answer("OK", Journey::kOptionsDialog);
        journey.Closes("closed", Journey::kOptionsDialog);
        journey.ClickBall("quit", MainMenuWidget::kQuitId);
        app.Init();
        app.Start();
        ASSERT_EQ(journey.Result(), "");
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
        journey.ArriveAsNewPlayer("Cy");
        journey.ClickBall("start", MainMenuWidget::kStartId);
        journey.Then("stages", [](JourneyApp& a) { return a.GetSelectStage() != nullptr; });
        journey.Do("stage 1", [](JourneyApp& a) { ClickStageSlot(a, 0); });
        journey.Then("playing", Playing);
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
        ASSERT_EQ(journey.Result(), "");
        app.ExpectNoMessageBoxes();
    }
    ASSERT_EQ(level, 1);
    ASSERT_TRUE(fs::exists(SaveFile("Cy.sav"))) << "the game is suspended";

    JourneyApp again;
    Journey journey(again);
    journey.Then("loaded", [](JourneyApp& a) { return a.Loaded(); });
    journey.ClickTitleLink();
    journey.Then("the main menu greets Cy", [](JourneyApp& a) {
        return a.GetMainMenu() != nullptr && a.FindDialog(Journey::kNameDialog) == nullptr;
    });
    journey.ClickBall("start", MainMenuWidget::kStartId);
    journey.Opens("the continue question", Journey::kAskDialog);
    journey.Answer("continue", Journey::kAskDialog);
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
    EXPECT_EQ(journey.Result(), "");
    EXPECT_TRUE(fs::exists(SaveFile("Cy.sav"))) << "closing again suspends the game again";
}
