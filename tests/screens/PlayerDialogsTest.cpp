#include "DatalessGameApp.h"

#include "framework/widgets/DialogButton.h"
#include "framework/widgets/EditWidget.h"
#include "framework/widgets/KeyCode.h"
#include "framework/widgets/ListWidget.h"
#include "framework/widgets/ScrollbarWidget.h"
#include "game/app/PlayerProfiles.h"
#include "game/screens/AskDeletePlayerDialog.h"
#include "game/screens/NewPlayerDialog.h"
#include "game/screens/SelectPlayerDialog.h"

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace Spindrel;
namespace fs = std::filesystem;

namespace
{

class PlayerDialogs : public ::testing::Test
{
protected:
    void AddProfiles(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            app.Profiles().ChooseByName(name);
    }
    void Click(const Quillo::ButtonWidget& button) { ClickButton(*app.widgetManager, button); }

    SelectPlayerDialog& OpenSelectPlayer()
    {
        app.AddCentredDialog(SelectPlayerDialog::kDialogId, std::make_unique<SelectPlayerDialog>(app), 400, 400);
        return *static_cast<SelectPlayerDialog*>(app.FindDialog(SelectPlayerDialog::kDialogId));
    }
    // A click on the row where it shows, as the mouse gives it; a double
    // click is a first click and a second that counts two.
    void ClickRow(SelectPlayerDialog& select, int row, int clicks = 1)
    {
        const Quillo::ListWidget& list = select.List();
        int top = 0;
        while (top < list.height && list.LineAt(top) != row)
            ++top;
        ASSERT_LT(top, list.height) << "row " << row << " is not shown";
        const int x = list.x + list.width / 2;
        const int y = list.y + top + list.LineHeight() / 2;
        Quillo::WidgetManager& wm = *app.widgetManager;
        wm.MouseMove(x, y);
        for (int click = 1; click <= clicks; ++click)
        {
            wm.MouseDown(x, y, click);
            wm.MouseUp(x, y, click);
        }
    }
    Quillo::Dialog* AskDelete() { return app.FindDialog(AskDeletePlayerDialog::kDialogId); }
    // Delete on the list, then yes or no to the question.
    void Delete(SelectPlayerDialog& select, bool yes)
    {
        Click(select.DeleteButton());
        ASSERT_NE(AskDelete(), nullptr);
        Click(yes ? *AskDelete()->FirstButton() : *AskDelete()->SecondButton());
    }
    NewPlayerDialog* NewPlayer() { return static_cast<NewPlayerDialog*>(app.FindDialog(NewPlayerDialog::kDialogId)); }

    static void Type(Quillo::EditWidget& edit, const std::string& text)
    {
        for (size_t pos = 0; pos < text.size();)
            edit.OnKeyChar(Quillo::TextEncoding::Next(text, pos));
    }
    // A file in the game's save folder.
    fs::path Saved(const std::string& name) { return fs::path(app.Saves().Directory()) / name; }
    void Touch(const std::string& name)
    {
        fs::create_directories(Saved(name).parent_path());
        std::ofstream(Saved(name)) << "x";
    }
    std::string ReadFile(const std::string& name)
    {
        std::ifstream in(Saved(name));
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    DatalessGameApp app;
};

TEST_F(PlayerDialogs, ForcedDialogHasOneButtonAndAnEmptyNameBecomesPlayer)
{
    app.OpenNewPlayerDialog(Quillo::Dialog::kButtonFooter);
    NewPlayerDialog* dialog = NewPlayer();
    ASSERT_NE(dialog, nullptr);
    ASSERT_NE(dialog->FirstButton(), nullptr);
    EXPECT_EQ(dialog->SecondButton(), nullptr);
    EXPECT_EQ(dialog->FirstButton()->label, "t16");
    EXPECT_EQ(dialog->header, "t63");
    EXPECT_TRUE(dialog->IsModal());
    EXPECT_EQ(dialog->GetRect(), (Quillo::Rect{190, 172, 420, 255}));
    // The field has the focus and sits where the prompt points at it.
    EXPECT_EQ(app.widgetManager->focusWidget, &dialog->Edit());
    EXPECT_EQ(dialog->Edit().GetRect(), (Quillo::Rect{240, 292, 300, 25}));

    dialog->Edit().OnKeyDown(Quillo::KeyCode::Enter);

    EXPECT_EQ(app.Profiles().Count(), 1);
    EXPECT_EQ(app.Profiles().CurrentName(), "Player");
    EXPECT_EQ(NewPlayer(), nullptr);
    EXPECT_NE(ReadFile("options.cfg").find("Player ; "), std::string::npos);
}

TEST_F(PlayerDialogs, NameFieldTakesFifteenCharactersAndRefusesForbiddenOnes)
{
    app.OpenNewPlayerDialog(Quillo::Dialog::kButtonFooter);
    Quillo::EditWidget& edit = NewPlayer()->Edit();
    for (char c : std::string("#$%&()*+-.:^@"))
    {
        edit.OnKeyChar(c);
        EXPECT_EQ(edit.text, "") << "accepted " << c;
    }
    Type(edit, "Ann Lee 12345678");
    EXPECT_EQ(edit.text, "Ann Lee 1234567");

    Click(*NewPlayer()->FirstButton());
    EXPECT_EQ(app.Profiles().CurrentName(), "Ann Lee 1234567");
    EXPECT_NE(ReadFile("options.cfg").find("Ann_Lee_1234567 ; "), std::string::npos);
}

TEST_F(PlayerDialogs, NewPlayerOverTheListCancelsToItOrSelectsAnExistingName)
{
    AddProfiles({"Ann", "Bob"});
    SelectPlayerDialog& select = OpenSelectPlayer();
    Click(select.NewButton());
    ASSERT_NE(NewPlayer(), nullptr);
    ASSERT_NE(NewPlayer()->SecondButton(), nullptr);
    Type(NewPlayer()->Edit(), "Cy");
    Click(*NewPlayer()->SecondButton());
    EXPECT_EQ(NewPlayer(), nullptr);
    EXPECT_EQ(app.FindDialog(SelectPlayerDialog::kDialogId), &select);
    EXPECT_EQ(app.Profiles().Count(), 2);

    Click(select.NewButton());
    ASSERT_NE(NewPlayer(), nullptr);
    Type(NewPlayer()->Edit(), "Ann");
    Click(*NewPlayer()->FirstButton());
    EXPECT_EQ(app.Profiles().Count(), 2);
    EXPECT_EQ(app.Profiles().CurrentId(), 0);
    EXPECT_EQ(app.Profiles().CurrentName(), "Ann");
    EXPECT_EQ(NewPlayer(), nullptr);
    EXPECT_EQ(app.FindDialog(SelectPlayerDialog::kDialogId), nullptr);
}

TEST_F(PlayerDialogs, PlayerListShowsProfilesAndDoubleClickChooses)
{
    AddProfiles({"Ann", "Bob", "Cy"});
    app.Profiles().Select(1);
    SelectPlayerDialog& select = OpenSelectPlayer();
    EXPECT_EQ(select.header, "t65");
    ASSERT_EQ(select.List().GetLineCount(), 3);
    EXPECT_EQ(select.List().GetLine(2), "Cy");
    EXPECT_EQ(select.List().GetSelect(), 1);

    // A single click only marks the row.
    ClickRow(select, 2);
    EXPECT_EQ(app.Profiles().CurrentId(), 1);
    EXPECT_EQ(app.FindDialog(SelectPlayerDialog::kDialogId), &select);

    ClickRow(select, 0, 2);
    EXPECT_EQ(app.Profiles().CurrentName(), "Ann");
    EXPECT_EQ(app.FindDialog(SelectPlayerDialog::kDialogId), nullptr);
    EXPECT_EQ(ReadFile("options.cfg").substr(0, 2), "0\t");
}

TEST_F(PlayerDialogs, NewAndDeleteStandOnOkAndCancelAndStayInFront)
{
    SelectPlayerDialog& select = OpenSelectPlayer();
    const Quillo::DialogButton& ok = *select.FirstButton();
    const Quillo::DialogButton& cancel = *select.SecondButton();
    EXPECT_EQ(ok.id, 2200);
    EXPECT_EQ(cancel.id, 3200);
    EXPECT_EQ(select.NewButton().GetRect(), (Quillo::Rect{ok.x, ok.y - ok.height, ok.width, ok.height}));
    EXPECT_EQ(select.DeleteButton().GetRect(),
              (Quillo::Rect{cancel.x, cancel.y - cancel.height, cancel.width, cancel.height}));
    EXPECT_EQ(select.List().GetRect(), (Quillo::Rect{select.x + 50, select.y + 80, 300, 185}));
    EXPECT_EQ(select.NewButton().label, "t66");
    EXPECT_EQ(select.DeleteButton().label, "t67");

    // Brought forward, the list keeps its controls in front.
    app.widgetManager->BringToFront(&select);
    for (Quillo::Widget* control : {static_cast<Quillo::Widget*>(&select.List()),
                                    static_cast<Quillo::Widget*>(&select.Scrollbar()),
                                    static_cast<Quillo::Widget*>(&select.NewButton()),
                                    static_cast<Quillo::Widget*>(&select.DeleteButton())})
    {
        EXPECT_TRUE(app.widgetManager->IsBehind(&select, control));
        EXPECT_TRUE(app.widgetManager->IsBehind(select.SecondButton(), control));
    }
}

TEST_F(PlayerDialogs, DeletingTheLastRowMakesTheRowAboveCurrentAndRemovesItsFiles)
{
    AddProfiles({"Ann", "Bob", "Cy Dee"});
    for (const char* file : {"Cy_Dee.sta", "Cy_Dee.sav", "Ann.sta"})
        Touch(file);
    SelectPlayerDialog& select = OpenSelectPlayer();
    ClickRow(select, 2);
    Click(select.DeleteButton());
    Quillo::Dialog* ask = AskDelete();
    ASSERT_NE(ask, nullptr);
    EXPECT_EQ(ask->header, "t68");
    EXPECT_EQ(ask->GetRect(), (Quillo::Rect{160, 190, 480, 220}));

    Click(*ask->FirstButton());

    EXPECT_EQ(app.Profiles().Count(), 2);
    EXPECT_EQ(app.Profiles().CurrentId(), 1);
    EXPECT_EQ(app.Profiles().CurrentName(), "Bob");
    EXPECT_FALSE(fs::exists(Saved("Cy_Dee.sta")));
    EXPECT_FALSE(fs::exists(Saved("Cy_Dee.sav")));
    EXPECT_TRUE(fs::exists(Saved("Ann.sta")));
    ASSERT_EQ(select.List().GetLineCount(), 2);
    EXPECT_EQ(select.List().GetSelect(), 1);
    EXPECT_EQ(AskDelete(), nullptr);
    EXPECT_EQ(app.FindDialog(SelectPlayerDialog::kDialogId), &select);
    EXPECT_EQ(ReadFile("options.cfg").find("Cy_Dee"), std::string::npos);
    EXPECT_EQ(NewPlayer(), nullptr);
}

TEST_F(PlayerDialogs, CancelledDeletionKeepsEverythingAndDeletingAnotherRowMakesTheFollowingCurrent)
{
    AddProfiles({"Ann", "Bob", "Cy"});
    Touch("Ann.sta");
    SelectPlayerDialog& select = OpenSelectPlayer();
    ClickRow(select, 0);
    Delete(select, false);
    EXPECT_EQ(app.Profiles().Count(), 3);
    EXPECT_EQ(app.Profiles().CurrentName(), "Cy");
    EXPECT_TRUE(fs::exists(Saved("Ann.sta")));
    EXPECT_EQ(select.List().GetLineCount(), 3);
    EXPECT_EQ(AskDelete(), nullptr);

    ClickRow(select, 1);
    Delete(select, true);
    EXPECT_EQ(app.Profiles().CurrentId(), 1);
    EXPECT_EQ(app.Profiles().CurrentName(), "Cy");
    EXPECT_EQ(select.List().GetLine(1), "Cy");
    // OK afterwards keeps the profile that became current.
    Click(*select.FirstButton());
    EXPECT_EQ(app.Profiles().CurrentName(), "Cy");
}

TEST_F(PlayerDialogs, DeletingTheOnlyProfileForcesANewPlayer)
{
    AddProfiles({"Ann"});
    Delete(OpenSelectPlayer(), true);
    EXPECT_EQ(app.Profiles().Count(), 0);
    NewPlayerDialog* forced = NewPlayer();
    ASSERT_NE(forced, nullptr);
    EXPECT_EQ(forced->SecondButton(), nullptr);
    EXPECT_EQ(app.widgetManager->GetBaseModal(), forced);

    Type(forced->Edit(), "Dora");
    Click(*forced->FirstButton());
    EXPECT_EQ(app.Profiles().CurrentName(), "Dora");
    EXPECT_EQ(app.FindDialog(SelectPlayerDialog::kDialogId), nullptr);
}

} // namespace
