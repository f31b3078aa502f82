// The language chosen in the main menu's options: the menu is made anew in
// it at once, and the choice is kept and comes before the locale at the
// next start.
#include "Journey.h"

#include "framework/resources/ResourceManager.h"
#include "game/screens/OptionsDialog.h"

using namespace Spindrel;

class LanguageSwitch : public JourneyWorld
{
protected:
    void TearDown() override
    {
        unsetenv("LANGUAGE");
        JourneyWorld::TearDown();
    }
};

namespace
{

std::string MenuStartPath(JourneyApp& app)
{
    return app.resourceManager->Images().at("IMAGE_MB_START")->path;
}

} // namespace

TEST_F(LanguageSwitch, TheMenuSpeaksTheChosenLanguageAtOnceAndAfterARestart)
{
    setenv("LANGUAGE", "en", 1);
    {
        JourneyApp app;
        Journey journey(app);
        const MainMenuWidget* firstMenu = nullptr;
        journey.ArriveAsNewPlayer("Bo");
        journey.Do("the English menu", [&firstMenu](JourneyApp& a) {
            EXPECT_EQ(MenuStartPath(a), "gfx/MainMenu/mb_start");
            firstMenu = a.GetMainMenu();
            ClickBall(a, MainMenuWidget::kOptionsId);
        });
        journey.Opens("the options open", Journey::kOptionsDialog);
        const auto languageButton = [](JourneyApp& a) {
            auto* options = dynamic_cast<OptionsDialog*>(a.FindDialog(Journey::kOptionsDialog));
            return options ? options->LanguageButton() : nullptr;
        };
        journey.Do("step to the next language", [&](JourneyApp& a) {
            ASSERT_NE(languageButton(a), nullptr);
            EXPECT_EQ(languageButton(a)->label, "English");
            ClickWidget(a, languageButton(a));
        });
        journey.Then("the button names German",
                     [&](JourneyApp& a) { return languageButton(a)->label == "Deutsch"; });
        journey.Do("nothing changes before OK", [](JourneyApp& a) { EXPECT_EQ(a.Language(), "en"); });
        journey.Answer("OK", Journey::kOptionsDialog);
        journey.Closes("closed", Journey::kOptionsDialog);
        journey.Do("the German menu", [&firstMenu](JourneyApp& a) {
            EXPECT_EQ(a.Language(), "de");
            ASSERT_NE(a.GetMainMenu(), nullptr);
            EXPECT_NE(a.GetMainMenu(), firstMenu) << "the menu is made anew";
            EXPECT_EQ(MenuStartPath(a), "gfx/MainMenu/de/mb_start");
            EXPECT_EQ(a.Res().IMAGE_MB_START, a.resourceManager->Images().at("IMAGE_MB_START")->image.get());
            EXPECT_EQ(Quillo::Dialog::cancelLabel, a.GetText(72));
            EXPECT_NE(a.GetText(72), "Cancel");
        });
        journey.ClickBall("quit", MainMenuWidget::kQuitId);
        app.Init();
        app.Start();
        ASSERT_EQ(journey.Result(), "");
        app.ExpectNoMessageBoxes();
    }

    // The kept choice beats the locale, which still says English.
    JourneyApp again;
    again.Init();
    EXPECT_EQ(again.Language(), "de");
    EXPECT_EQ(MenuStartPath(again), "gfx/MainMenu/de/mb_start");
}
