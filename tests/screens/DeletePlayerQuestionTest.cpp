// The delete-player question names the player it deletes, and the longest
// name wraps with the question inside its dialog, above its buttons.
#include "GameDialogsFixture.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/ListWidget.h"
#include "game/screens/AskDeletePlayerDialog.h"
#include "game/screens/SelectPlayerDialog.h"

#include <algorithm>
#include <fstream>
#include <sstream>

using namespace Spindrel;

namespace
{

constexpr int kQuestionText = 69;
constexpr int kMargin = 27;

} // namespace

class DeletePlayerQuestion : public GameDialogsTest
{
protected:
    // Text 69 replaced, the others numbered.
    void Question69(const std::string& text)
    {
        std::string language;
        for (int i = 0; i < TextTable::kTextCount; ++i)
            language += (i == kQuestionText ? text : NumberedText(i)) + "\n";
        app->Texts().LoadLanguage(language, [](const std::string&) {});
    }
    // The player list, row `row` chosen, then Delete.
    AskDeletePlayerDialog* AskAbout(int row)
    {
        if (!app->FindDialog(SelectPlayerDialog::kDialogId))
        {
            app->PauseBoardForDialog();
            app->AddCentredDialog(SelectPlayerDialog::kDialogId, std::make_unique<SelectPlayerDialog>(*app),
                                  400, 400);
        }
        auto* select = dynamic_cast<SelectPlayerDialog*>(app->FindDialog(SelectPlayerDialog::kDialogId));
        EXPECT_NE(select, nullptr);
        if (select == nullptr)
            return nullptr;
        select->List().SetSelect(row);
        Click(select->DeleteButton());
        return dynamic_cast<AskDeletePlayerDialog*>(app->FindDialog(AskDeletePlayerDialog::kDialogId));
    }
    int Row(const std::string& name)
    {
        for (int i = 0; i < app->Profiles().Count(); ++i)
            if (app->Profiles().Name(i) == name)
                return i;
        return -1;
    }
};

TEST_F(DeletePlayerQuestion, TheQuestionNamesThePlayerThatOkDeletes)
{
    for (const char* name : {"Ann Lee", "Bo", "Cy"})
        ASSERT_EQ(app->Profiles().ChooseByName(name), PlayerProfiles::ChooseResult::Created);
    app->Profiles().ChooseByName("Cy");

    // A text that takes the name gets it in its place, once.
    Question69("Delete %s and all of their progress? %s stays.");
    AskDeletePlayerDialog* ask = AskAbout(Row("Bo"));
    ASSERT_NE(ask, nullptr);
    EXPECT_EQ(ask->Question(), "Delete Bo and all of their progress? %s stays.");
    Click(*ask->SecondButton());
    ASSERT_NE(Row("Bo"), -1) << "Cancel keeps the player";

    // A text without a place for it (a language file of an older build)
    // is followed by the name on a line of its own.
    Question69("Do you really want to delete this player?");
    ask = AskAbout(Row("Ann Lee"));
    ASSERT_NE(ask, nullptr);
    EXPECT_EQ(ask->Question(), "Do you really want to delete this player?\nAnn Lee");
    Click(*ask->FirstButton());
    EXPECT_EQ(Row("Ann Lee"), -1) << "the player named is the one deleted";
    EXPECT_EQ(app->Profiles().Count(), 3);

    // Out of the list's range, the first row is both named and deleted.
    ask = AskAbout(99);
    ASSERT_NE(ask, nullptr);
    EXPECT_EQ(ask->Question(), "Do you really want to delete this player?\nTester");
    Click(*ask->FirstButton());
    EXPECT_EQ(Row("Tester"), -1);
}

TEST_F(DeletePlayerQuestion, TheLongestWideNameFitsInsideTheDialog)
{
    // The game's own question, from its language file.
    std::ifstream in(std::string(std::getenv("QUILLO_DATA_DIR")) + "/bin/lang_en.txt");
    std::stringstream file;
    file << in.rdbuf();
    ASSERT_FALSE(file.str().empty());
    app->Texts().LoadLanguage(file.str(), [](const std::string&) {});

    const std::string wide(PlayerProfiles::kMaxNameLength, 'W');
    ASSERT_EQ(app->Profiles().ChooseByName(wide), PlayerProfiles::ChooseResult::Created);
    AskDeletePlayerDialog* ask = AskAbout(Row(wide));
    ASSERT_NE(ask, nullptr);
    ASSERT_NE(ask->Question().find(wide), std::string::npos);

    Quillo::MemoryImage image;
    image.Create(ask->width, ask->height);
    Quillo::Graphics g(&image);
    ask->Draw(&g);
    const uint32_t* bits = image.GetBits();
    // The question's white ink lies between the header and the buttons, and
    // inside the margins.
    const int buttonsTop = ask->FirstButton()->y - ask->y;
    int top = -1, bottom = -1, left = image.GetWidth(), right = 0;
    for (int y = 80; y < buttonsTop; ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
        {
            const uint32_t p = bits[y * image.GetWidth() + x];
            if (std::min({p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF}) <= 200)
                continue;
            top = top < 0 ? y : top;
            bottom = y;
            left = std::min(left, x);
            right = std::max(right, x);
        }
    ASSERT_GE(top, 0) << "the question is drawn";
    EXPECT_GE(left, kMargin);
    EXPECT_LT(right, ask->width - kMargin);

    // All of its lines, the name's too, end above the buttons.
    Quillo::ImageFont* font = app->Res().FONT_BUTTON;
    Quillo::Graphics measure(nullptr);
    measure.SetFont(font);
    int widest = 0;
    const int textHeight =
        measure.MeasureWrappedText(ask->width - 2 * kMargin, ask->Question(), -1, &widest);
    const int textTop = 100 - (font->Ascent() - font->AscentPadding());
    EXPECT_LE(textTop + textHeight, buttonsTop);
    EXPECT_GE(bottom, textTop + textHeight - font->LineSpacing()) << "the last line is drawn";
    // The name is not broken inside: it fits one line.
    EXPECT_LE(measure.MeasureWrappedText(ask->width - 2 * kMargin, wide, -1), font->Height());
}
