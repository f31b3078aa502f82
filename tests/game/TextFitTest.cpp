// Every screen and dialog of the real game drawn in every language it
// ships, with a player name of 15 wide letters: each text drawn must lie
// inside the widget that draws it (a button, a dialog's box, a full-window
// screen) and on the screen. A text that does not fit is named with its
// language, its number in the text table and its widget. (A widget may
// draw a text again under a narrower clip of its own, as the edit field
// does for its caret; only the widget's bounds count.)
#include "Journey.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/TextObserver.h"
#include "game/app/LanguageChoice.h"
#include "game/app/TextTable.h"
#include "game/screens/AskDeletePlayerDialog.h"
#include "game/screens/AskDialog.h"
#include "game/screens/GameCompleteDialog.h"
#include "game/screens/HelpWidget.h"
#include "game/screens/HighscoresDialog.h"
#include "game/screens/SelectPlayerDialog.h"

#include <cxxabi.h>

#include <typeinfo>

using namespace Spindrel;

namespace
{

// The widest a name can be: 15 of the widest letter.
constexpr const char* kWideName = "WWWWWWWWWWWWWWW";
constexpr int kTableDialog = 1;

std::string TypeName(const Quillo::Widget& widget)
{
    int status = 0;
    char* name = abi::__cxa_demangle(typeid(widget).name(), nullptr, nullptr, &status);
    std::string out = status == 0 && name ? name : typeid(widget).name();
    std::free(name);
    return out;
}

bool Inside(const Quillo::Rect& inner, const Quillo::Rect& outer)
{
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

std::string Describe(const Quillo::Rect& r)
{
    return "(" + std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.width) + "x" +
           std::to_string(r.height) + ")";
}

// The number of the table's text that the drawn text was made from: the
// text itself, or a text whose words around its conversions it holds in
// order; -1 for none (a name or a number).
int TextNumber(TextTable& texts, const std::string& drawn)
{
    for (int i = 0; i < texts.Count(); ++i)
    {
        const std::string& entry = texts.GetText(i);
        if (entry == drawn)
            return i;
        if (entry.find('%') == std::string::npos)
            continue;
        size_t from = 0, at = 0;
        bool found = true;
        while (found && from <= entry.size())
        {
            const size_t conversion = entry.find('%', from);
            const std::string words = entry.substr(from, conversion == std::string::npos ? std::string::npos
                                                                                         : conversion - from);
            const size_t where = drawn.find(words, at);
            found = where != std::string::npos && (from > 0 || where == 0);
            at = where + words.size();
            from = conversion == std::string::npos ? entry.size() + 1 : conversion + 2;
        }
        if (found)
            return i;
    }
    return -1;
}

// Draws every visible widget as the widget manager does, into a picture of
// its own, and notes each text that leaves its widget or its clip.
class FitCheck : public Quillo::TextObserver
{
public:
    FitCheck(JourneyApp& app, std::string language) : m_app(app), m_language(std::move(language)) {}

    void Screen(const std::string& screen)
    {
        m_screen = screen;
        Quillo::MemoryImage canvas;
        canvas.Create(m_app.width, m_app.height);
        Quillo::Graphics root(&canvas);
        root.SetTextObserver(this);
        ++screens;
        for (Quillo::Widget* widget : m_app.widgetManager->Widgets())
        {
            if (!widget->visible)
                continue;
            m_widget = widget;
            Quillo::Graphics local(root);
            if (widget->clips)
                local.IntersectClip(widget->x, widget->y, widget->width, widget->height);
            local.Translate(widget->x, widget->y);
            widget->Draw(&local);
        }
        m_widget = nullptr;
    }

    void OnText(const std::string& text, const Quillo::Rect& box, const Quillo::Rect&) override
    {
        if (text.empty() || box.width == 0 || !m_widget)
            return;
        ++texts;
        const Quillo::Rect widget{m_widget->x, m_widget->y, m_widget->width, m_widget->height};
        if (Inside(box, widget) && Inside(box, {0, 0, m_app.width, m_app.height}))
            return;
        failures.push_back(m_language + ", " + m_screen + ": text " +
                           std::to_string(TextNumber(m_app.Texts(), text)) + " \"" + text + "\" " + Describe(box) +
                           " leaves " + TypeName(*m_widget) + " " + Describe(widget));
    }

    std::vector<std::string> failures;
    int screens = 0;
    int texts = 0;

private:
    JourneyApp& m_app;
    std::string m_language;
    std::string m_screen;
    const Quillo::Widget* m_widget = nullptr;
};

Quillo::ButtonWidget* ButtonLabelled(JourneyApp& app, const std::string& label)
{
    for (Quillo::Widget* w : app.widgetManager->Widgets())
        if (auto* b = dynamic_cast<Quillo::ButtonWidget*>(w); b && b->label == label)
            return b;
    return nullptr;
}

} // namespace

class TextFit : public JourneyWorld
{
protected:
    void TearDown() override
    {
        unsetenv("LANGUAGE");
        JourneyWorld::TearDown();
    }

    // Walks every screen and dialog in one language.
    void Walk(const std::string& language)
    {
        setenv("LANGUAGE", language.c_str(), 1);
        JourneyApp app;
        Journey journey(app);
        FitCheck fit(app, language);
        const auto look = [&](const std::string& screen) {
            journey.Wait(400);
            journey.Do(screen, [&fit, screen](JourneyApp&) { fit.Screen(screen); });
        };
        const auto dialog = [&](const std::string& screen, int id, Journey::Action open) {
            journey.Do("open " + screen, open);
            journey.Opens(screen + " opens", id);
            look(screen);
            journey.Do("close " + screen, [id](JourneyApp& a) { a.CloseDialogById(id); });
            journey.Closes(screen + " closes", id);
        };

        journey.Then("loaded", [](JourneyApp& a) { return a.Loaded(); });
        // With a pad the title screen names its buttons.
        journey.Do("a pad", [](JourneyApp& a) { a.player->Push(Quillo::EventType::PadAdded, 0, 0, 1); });
        look("title screen");
        journey.ClickTitleLink();
        journey.Opens("asked for a name", Journey::kNameDialog);
        journey.Do("a wide name", [](JourneyApp& a) { a.player->Type(kWideName); });
        look("new player");
        journey.Do("named", [](JourneyApp& a) { a.player->Key(13); });
        journey.Closes("the profile is made", Journey::kNameDialog);
        look("main menu");
        journey.ClickBall("options", MainMenuWidget::kOptionsId);
        journey.Opens("options open", Journey::kOptionsDialog);
        look("options");
        journey.Answer("options closed", Journey::kOptionsDialog);
        journey.Closes("options close", Journey::kOptionsDialog);
        journey.ClickBall("help", MainMenuWidget::kHelpId);
        journey.Then("help shows", [](JourneyApp& a) {
            for (Quillo::Widget* w : a.widgetManager->Widgets())
                if (dynamic_cast<HelpWidget*>(w))
                    return true;
            return false;
        });
        look("help");
        journey.Do("leave help", [](JourneyApp& a) { a.player->Key(27); });
        journey.Then("menu again", [](JourneyApp& a) {
            for (Quillo::Widget* w : a.widgetManager->Widgets())
                if (dynamic_cast<HelpWidget*>(w))
                    return false;
            return a.GetMainMenu() != nullptr;
        });
        dialog("high scores", kTableDialog,
               [](JourneyApp& a) { ClickBall(a, MainMenuWidget::kHighScoresId); });
        dialog("players", SelectPlayerDialog::kDialogId,
               [](JourneyApp& a) { a.GetMainMenu()->OnButtonClicked(MainMenuWidget::kPlayerLinkId); });
        journey.Do("open players", [](JourneyApp& a) {
            a.GetMainMenu()->OnButtonClicked(MainMenuWidget::kPlayerLinkId);
        });
        journey.Opens("players open", SelectPlayerDialog::kDialogId);
        journey.Do("delete", [](JourneyApp& a) {
            Quillo::ButtonWidget* remove = ButtonLabelled(a, a.GetText(67));
            ASSERT_NE(remove, nullptr);
            ClickWidget(a, remove);
        });
        journey.Opens("delete question", AskDeletePlayerDialog::kDialogId);
        look("delete question");
        journey.Do("keep the player", [](JourneyApp& a) {
            a.CloseDialogById(AskDeletePlayerDialog::kDialogId);
            a.CloseDialogById(SelectPlayerDialog::kDialogId);
        });
        journey.Closes("players close", SelectPlayerDialog::kDialogId);
        for (int kind : {501, 502, 503})
            dialog("question " + std::to_string(kind), AskDialog::kDialogId,
                   [kind](JourneyApp& a) { a.ShowAskDialog(kind); });
        // The questions darken the screen and pause the board until they
        // are answered.
        journey.Do("no overlay", [](JourneyApp& a) {
            a.ShowPauseOverlay(false);
            a.GetBoard()->SetPaused(false);
        });

        journey.ClickBall("play", MainMenuWidget::kStartId);
        journey.Then("stage selection", [](JourneyApp& a) { return a.GetSelectStage() != nullptr; });
        look("stage selection");
        journey.Do("stage 1", [](JourneyApp& a) { ClickStageSlot(a, 0); });
        journey.Then("level start", [](JourneyApp& a) {
            return a.GetSelectStage() == nullptr && a.GetBoard()->Logic().IsActive();
        });
        look("level start");
        journey.Then("playing", Playing);
        journey.Do("flying texts at the edge", [](JourneyApp& a) {
            BoardLogic& logic = a.GetBoard()->Logic();
            int color = 0;
            for (const std::string& text : {a.GetText(53), a.GetText(54)})
                logic.SpawnFlyText(790.0f, 300.0f, color++, text);
            char combo[256];
            for (int number : {38, 39})
            {
                std::snprintf(combo, sizeof combo, a.GetText(number).c_str(), 12);
                logic.SpawnFlyText(790.0f, 590.0f, color++, combo);
            }
        });
        journey.Do("flying texts", [&fit](JourneyApp&) { fit.Screen("flying texts"); });
        // The announcements with their widest numbers, once they have slid in.
        journey.Do("sliding texts", [](JourneyApp& a) {
            BoardLogic& logic = a.GetBoard()->Logic();
            logic.SlideGameOverText();
            logic.SlideStageReachedText(18);
            logic.SlideExtraLifeText(99);
        });
        journey.Wait(600);
        journey.Do("slid in", [&fit](JourneyApp&) { fit.Screen("sliding texts"); });
        journey.Do("in-game options", [](JourneyApp& a) { ClickWidget(a, a.GetBoard()->MenuButton()); });
        journey.Opens("in-game options open", Journey::kOptionsDialog);
        look("in-game options");
        journey.Do("close in-game options", [](JourneyApp& a) {
            a.CloseDialogById(Journey::kOptionsDialog);
            a.ShowPauseOverlay(true);
        });
        look("pause overlay");
        journey.Do("no overlay", [](JourneyApp& a) { a.ShowPauseOverlay(false); });
        dialog("game over", kTableDialog, [](JourneyApp& a) { a.ShowDialog(BoardDialog::GameOver); });
        dialog("statistics", kTableDialog, [](JourneyApp& a) { a.ShowDialog(BoardDialog::Stat); });
        dialog("game complete", GameCompleteDialog::kRegisteredId, [](JourneyApp& a) { a.ShowDialog(BoardDialog::GameComplete); });
        journey.Do("quit", [](JourneyApp& a) { a.Shutdown(); });

        app.Init();
        app.Start();
        EXPECT_EQ(journey.Result(), "") << language;
        EXPECT_EQ(app.Language(), language);
        EXPECT_EQ(fit.screens, 20) << language;
        EXPECT_GT(fit.texts, 100) << language;
        for (const std::string& failure : fit.failures)
            ADD_FAILURE() << failure;
    }
};

TEST_F(TextFit, English) { Walk("en"); }
TEST_F(TextFit, German) { Walk("de"); }
TEST_F(TextFit, Spanish) { Walk("es"); }
TEST_F(TextFit, French) { Walk("fr"); }
TEST_F(TextFit, Italian) { Walk("it"); }
TEST_F(TextFit, Polish) { Walk("pl"); }
TEST_F(TextFit, BrazilianPortuguese) { Walk("pt_BR"); }

TEST(TextFitLanguages, EveryShippedLanguageIsWalked)
{
    // The walks above name the languages; a new one needs its walk.
    EXPECT_EQ(LanguageChoice::Languages().size(), 7u);
}
