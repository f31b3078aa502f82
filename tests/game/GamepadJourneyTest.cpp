// A pad that goes away while a level is in play leaves the game waiting in
// its in-game menu, also when it went while the window was behind others;
// outside a level it changes nothing.
#include "Journey.h"

using namespace Spindrel;

using GamepadJourney = JourneyWorld;

TEST_F(GamepadJourney, APadLostInALevelOpensTheMenu)
{
    JourneyApp app;
    Journey journey(app);
    const auto padComesAndGoes = [](JourneyApp& a) {
        a.player->Push(Quillo::EventType::PadAdded, 0, 0, 1);
        a.player->Push(Quillo::EventType::PadRemoved, 0, 0, 0);
    };
    journey.ArriveAsNewPlayer("Pat");
    journey.Do("a pad in the main menu", padComesAndGoes);
    journey.Wait(300);
    journey.Do("nothing opened", [](JourneyApp& a) {
        EXPECT_EQ(a.DialogCount(), 0);
        EXPECT_NE(a.GetMainMenu(), nullptr);
        EXPECT_EQ(a.GamepadCount(), 0);
    });
    journey.ClickBall("start", MainMenuWidget::kStartId);
    journey.Then("stages", [](JourneyApp& a) { return a.GetSelectStage() != nullptr; });
    journey.Do("stage 1", [](JourneyApp& a) { ClickStageSlot(a, 0); });
    journey.Then("playing", Playing);
    journey.Wait(500);
    journey.Do("the pad goes", padComesAndGoes);
    journey.Opens("the menu opens", Journey::kOptionsDialog);
    journey.Do("the game holds still", [](JourneyApp& a) {
        EXPECT_GT(a.GetBoard()->Logic().State().pauseDepth, 0);
        a.player->Key(27);
    });
    journey.Closes("back to the game", Journey::kOptionsDialog);

    journey.Do("the pad goes while the window is behind", [&](JourneyApp& a) {
        a.player->Push(Quillo::EventType::FocusLost);
        padComesAndGoes(a);
    });
    journey.Wait(300);
    journey.Do("the window comes back", [](JourneyApp& a) {
        EXPECT_EQ(a.FindDialog(Journey::kOptionsDialog), nullptr);
        a.player->Push(Quillo::EventType::FocusGained);
    });
    journey.Opens("the menu opens then", Journey::kOptionsDialog);
    journey.Do("close", [](JourneyApp& a) { a.player->Push(Quillo::EventType::Close); });
    app.Init();
    app.Start();
    EXPECT_EQ(journey.Result(), "");
}
