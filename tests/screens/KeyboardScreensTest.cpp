// Every screen and dialog of the game by keys pressed through the widget
// manager: the mark reaches each control, Enter and Space press it, the
// screens' own keys do their part.
#include "GameDialogsFixture.h"

#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/Checkbox.h"
#include "framework/widgets/HyperlinkWidget.h"
#include "framework/widgets/KeyCode.h"
#include "framework/widgets/ListWidget.h"
#include "framework/widgets/Slider.h"
#include "game/board/LevelData.h"
#include "game/screens/AskDeletePlayerDialog.h"
#include "game/screens/HelpWidget.h"
#include "game/screens/HighscoresDialog.h"
#include "game/screens/MainMenuWidget.h"
#include "game/screens/NewPlayerDialog.h"
#include "game/screens/OptionsDialog.h"
#include "game/screens/SelectPlayerDialog.h"
#include "game/screens/SelectStageWidget.h"

#include <set>

namespace Key = Quillo::KeyCode;
using namespace Spindrel;

class KeyboardScreensTest : public GameDialogsTest
{
protected:
    void Press(int key)
    {
        app->widgetManager->KeyDown(key);
        app->widgetManager->KeyUp(key);
        app->DeleteQueuedWidgets();
    }
    // Marks the control and presses Enter on it, with the mark shown.
    void PressOn(Quillo::Widget* control)
    {
        app->widgetManager->ShowKeyMark(true);
        app->widgetManager->SetKeyMark(control);
        ASSERT_EQ(app->widgetManager->KeyMark(), control);
        Press(Key::Enter);
    }
    // Tab until the mark is on the control; false when it never gets there.
    bool TabTo(const Quillo::Widget* control)
    {
        for (int i = 0; i < 12 && app->widgetManager->KeyMark() != control; ++i)
            Press(Key::Tab);
        return app->widgetManager->KeyMark() == control;
    }
};

TEST_F(KeyboardScreensTest, TheMainMenuAndItsDialogs)
{
    Quillo::WidgetManager& wm = *app->widgetManager;
    MainMenuWidget& menu = *app->GetMainMenu();
    auto* link = Find<Quillo::HyperlinkWidget>();
    ASSERT_NE(link, nullptr);
    // The first arrow shows the mark on Play; the arrows lead from there to
    // every ball and the player link.
    Press(Key::Down);
    ASSERT_EQ(wm.KeyMark(), menu.Button(0));
    EXPECT_TRUE(menu.Button(0)->keyMarked);
    std::set<Quillo::Widget*> reached{menu.Button(0)};
    std::vector<Quillo::Widget*> todo{menu.Button(0)};
    while (!todo.empty())
    {
        Quillo::Widget* from = todo.back();
        todo.pop_back();
        for (int arrow : {Key::Left, Key::Right, Key::Up, Key::Down})
        {
            wm.SetKeyMark(from);
            Press(arrow);
            if (reached.insert(wm.KeyMark()).second)
                todo.push_back(wm.KeyMark());
        }
    }
    EXPECT_EQ(reached.size(), 6u);
    EXPECT_TRUE(reached.contains(link));
    wm.SetKeyMark(menu.Button(0));
    Press(Key::Right);
    EXPECT_EQ(wm.KeyMark(), menu.Button(1)) << "Right follows the curve of the balls";
    EXPECT_EQ(app->DialogCount(), 0) << "an arrow pressed something";

    // Options: a slider by the arrows, a checkbox by Space, Escape closes.
    PressOn(menu.Button(1));
    auto* options = Open<OptionsDialog>(OptionsDialog::kDialogId);
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(wm.KeyMark(), options->FirstButton()) << "Enter's button is marked first";
    ASSERT_TRUE(TabTo(&options->MusicSlider()));
    const double music = options->MusicSlider().value;
    Press(music > 0.5 ? Key::Left : Key::Right);
    EXPECT_NE(options->MusicSlider().value, music);
    EXPECT_DOUBLE_EQ(app->GetMusicVolume(), options->MusicSlider().value);
    ASSERT_TRUE(TabTo(&options->CursorCheckbox()));
    const bool cursors = options->CursorCheckbox().IsChecked();
    Press(Key::Space);
    EXPECT_NE(options->CursorCheckbox().IsChecked(), cursors);
    Press(Key::Escape);
    EXPECT_EQ(Open(OptionsDialog::kDialogId), nullptr);
    EXPECT_EQ(wm.KeyMark(), menu.Button(1)) << "the mark comes back to its ball";

    PressOn(menu.Button(2));
    ASSERT_NE(menu.Help(), nullptr);
    EXPECT_EQ(wm.KeyMark(), menu.Help()->BackButton()) << "the menu behind the help is out of reach";
    Press(Key::Enter);
    EXPECT_EQ(menu.Help(), nullptr);

    PressOn(menu.Button(3));
    ASSERT_NE(Open<HighscoresDialog>(HighscoresDialog::kDialogId), nullptr);
    Press(Key::Enter);
    EXPECT_EQ(Open(HighscoresDialog::kDialogId), nullptr);

    // The player list: Up and Down choose, Delete asks, New names one more.
    PressOn(link);
    auto* players = Open<SelectPlayerDialog>(SelectPlayerDialog::kDialogId);
    ASSERT_NE(players, nullptr);
    EXPECT_EQ(wm.KeyMark(), &players->List());
    Press(Key::Delete);
    ASSERT_NE(Open(AskDeletePlayerDialog::kDialogId), nullptr);
    Press(Key::Escape);
    EXPECT_EQ(Open(AskDeletePlayerDialog::kDialogId), nullptr);
    EXPECT_EQ(app->Profiles().Count(), 1);
    ASSERT_TRUE(TabTo(Find<Quillo::ButtonWidget>(
        [](const Quillo::ButtonWidget& b) { return b.id == SelectPlayerDialog::kNewButtonId; })));
    Press(Key::Enter);
    ASSERT_NE(Open(NewPlayerDialog::kDialogId), nullptr);
    Press(Key::Right); // the name field's own
    for (char ch : std::string("Bo"))
        app->widgetManager->KeyChar(ch);
    Press(Key::Enter);
    EXPECT_EQ(Open(NewPlayerDialog::kDialogId), nullptr);
    EXPECT_EQ(app->Profiles().CurrentName(), "Bo");
    PressOn(link);
    ASSERT_NE(Open(SelectPlayerDialog::kDialogId), nullptr);
    Press(Key::Up);
    Press(Key::Down);
    const int chosen = Open<SelectPlayerDialog>(SelectPlayerDialog::kDialogId)->List().GetSelect();
    Press(Key::Enter);
    EXPECT_EQ(Open(SelectPlayerDialog::kDialogId), nullptr);
    EXPECT_EQ(app->Profiles().CurrentId(), chosen);
}

TEST_F(KeyboardScreensTest, StagesAndAQuestion)
{
    Quillo::WidgetManager& wm = *app->widgetManager;
    // Stages 1 to 11 open: the selection starts on stage 11, page 2.
    SelectStageWidget stages(*app, kStageStarts[10]);
    stages.Resize(0, 0, 800, 600);
    wm.AddWidget(&stages);
    wm.SetFocus(&stages);
    ASSERT_EQ(stages.SelectedStage(), 10);
    Press(Key::Left);
    EXPECT_EQ(stages.SelectedStage(), 9);
    Press(Key::Left); // past the edge: the last column of page 1
    EXPECT_EQ(stages.Page(), 0);
    EXPECT_EQ(stages.SelectedStage(), 2);
    Press(Key::Down);
    EXPECT_EQ(stages.SelectedStage(), 5);
    Press(Key::PageDown); // stage 15 is closed: the last open one of page 2
    EXPECT_EQ(stages.Page(), 1);
    EXPECT_EQ(stages.SelectedStage(), 10);
    Press(Key::Right);
    EXPECT_EQ(stages.SelectedStage(), 10) << "a closed stage is not chosen";
    Press(Key::PageUp);
    EXPECT_EQ(stages.SelectedStage(), 1);
    wm.RemoveWidget(&stages);

    // The continue question's second button is an arrow away.
    app->ShowAskDialog(AskDialog::kContinueGame);
    Quillo::Dialog* ask = Open(AskDialog::kDialogId);
    ASSERT_NE(ask, nullptr);
    ASSERT_NE(ask->SecondButton(), nullptr);
    Press(Key::Right);
    EXPECT_TRUE(ask->FirstButton()->keyMarked) << "the first arrow shows the mark where Enter is";
    Press(Key::Right);
    EXPECT_TRUE(ask->SecondButton()->keyMarked);
    Press(Key::Enter);
    EXPECT_EQ(Open(AskDialog::kDialogId), nullptr);
    EXPECT_NE(app->GetSelectStage(), nullptr) << "No starts anew";
}
