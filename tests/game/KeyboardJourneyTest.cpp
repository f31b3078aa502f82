// The real game from the first start to a won level and out again with a
// saved game, by keys alone: no mouse event is ever sent.
#include "Journey.h"
#include "KeyPlayer.h"

#include "framework/widgets/KeyCode.h"
#include "game/screens/OptionsDialog.h"

namespace fs = std::filesystem;
namespace Key = Quillo::KeyCode;
using namespace Spindrel;

using KeyboardJourney = JourneyWorld;

TEST_F(KeyboardJourney, FromTheFirstStartToAWonLevelAndOutWithASave)
{
    JourneyApp app;
    Journey journey(app);
    KeyPlayer player([&app](int key) { app.player->Key(key); });
    journey.Then("loaded", [](JourneyApp& a) { return a.Loaded(); });
    journey.Do("Enter on the title", [](JourneyApp& a) { a.player->Key(Key::Enter); });
    journey.Opens("asked for a name", Journey::kNameDialog);
    journey.Do("a name typed", [](JourneyApp& a) {
        a.player->Key(Key::Left); // the name field keeps its arrows
        a.player->Type("Kim");
        a.player->Key(Key::Enter);
    });
    journey.Then("the main menu", [](JourneyApp& a) {
        return a.FindDialog(Journey::kNameDialog) == nullptr && a.GetMainMenu() != nullptr;
    });
    journey.Do("Down shows the mark on Play, Enter presses it", [](JourneyApp& a) {
        a.player->Key(Key::Down);
        a.player->Key(Key::Enter);
    });
    journey.Then("the stage selection", [](JourneyApp& a) { return a.GetSelectStage() != nullptr; });
    journey.Do("the first stage is played", [](JourneyApp& a) {
        // Only the first stage is open: the arrows have nowhere to go.
        a.player->Key(Key::Right);
        a.player->Key(Key::PageDown);
        a.player->Key(Key::PageUp);
        DealTheSameLevel(a);
        a.player->Key(Key::Enter);
    });
    journey.Then("level 1 rolls", Playing);
    journey.Then("level 1 is won", [&player](JourneyApp& a) { return player.WinsLevel(a); });
    journey.Wait(500);
    journey.Do("Enter passes the statistics", [](JourneyApp& a) { a.player->Key(Key::Enter); });
    journey.Then("level 2 rolls", LevelTwoRolls);
    journey.Wait(1000);
    journey.Do("Escape opens the in-game menu", [](JourneyApp& a) { a.player->Key(Key::Escape); });
    journey.Opens("the options", Journey::kOptionsDialog);
    int tabs = 0;
    journey.Then("Tab reaches the menu button", [&tabs](JourneyApp& a) {
        Quillo::ButtonWidget* menu = ButtonById(a, OptionsDialog::kMenuButtonId);
        if (menu != nullptr && menu->keyMarked)
            return true;
        EXPECT_LT(++tabs, 12) << "the menu button is never marked";
        a.player->Key(Key::Tab);
        return false;
    });
    journey.Do("Enter presses it", [](JourneyApp& a) { a.player->Key(Key::Enter); });
    journey.Opens("the leave question", Journey::kAskDialog);
    journey.Do("Enter leaves and saves", [](JourneyApp& a) { a.player->Key(Key::Enter); });
    journey.Then("back in the main menu", [](JourneyApp& a) {
        return a.GetMainMenu() != nullptr && a.FindDialog(Journey::kAskDialog) == nullptr;
    });
    journey.Do("quit", [](JourneyApp& a) {
        EXPECT_FALSE(a.widgetManager->mouseIn) << "the mouse was used";
        a.Shutdown();
    });

    app.Init();
    app.Start();
    EXPECT_EQ(journey.Result(), "");
    EXPECT_TRUE(fs::exists(SaveFile("Kim.sav")));
    app.ExpectNoMessageBoxes();
}
