// The game's dialogs in the running game: which texts they choose, the
// level records they set, where their buttons sit and what answering
// them does to the board, the files and the screens.
#include "GameDialogsFixture.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/platform/FileSystem.h"
#include "framework/widgets/KeyCode.h"
#include "game/app/GameRecords.h"
#include "game/app/PlayerProfiles.h"
#include "game/app/SavedGameFiles.h"
#include "game/board/TextFormat.h"
#include "game/screens/AskDeletePlayerDialog.h"
#include "game/screens/AskDialog.h"
#include "game/screens/DarkenWidget.h"
#include "game/screens/GameCompleteDialog.h"
#include "game/screens/GameOverDialog.h"
#include "game/screens/HighscoresDialog.h"
#include "game/screens/SelectPlayerDialog.h"
#include "game/screens/StatDialog.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

using namespace Spindrel;
namespace fs = std::filesystem;

namespace
{

constexpr int kSpace = 32;

GameRecords RecordsOnDisk(const std::string& path)
{
    const auto bytes = Quillo::FileSystem::ReadFile(path);
    EXPECT_TRUE(bytes.has_value()) << path;
    auto records = bytes ? GameRecords::Decode(*bytes) : std::nullopt;
    EXPECT_TRUE(records.has_value()) << "records file unreadable";
    return records.value_or(GameRecords());
}

// The widget drawn on its own.
std::unique_ptr<Quillo::MemoryImage> Drawn(Quillo::Widget& w)
{
    auto image = std::make_unique<Quillo::MemoryImage>();
    image->Create(w.width, w.height);
    Quillo::Graphics g(image.get());
    w.Draw(&g);
    return image;
}

// Whether the pixel is white or near it (the text on the dark boxes).
bool Light(uint32_t p, uint32_t above)
{
    return std::min({p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF}) > above;
}

// How many pixels of the band of rows [top, bottom) are tinted like the
// colour: the glyphs are shaded, so the text's colour shows as the
// proportions of the channels, not as exact values.
int CountTinted(Quillo::MemoryImage& image, int top, int bottom, Quillo::Color c)
{
    const uint32_t* bits = image.GetBits();
    int n = 0;
    for (int y = std::max(top, 0); y < std::min(bottom, image.GetHeight()); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
        {
            const uint32_t p = bits[y * image.GetWidth() + x];
            const int r = int(p >> 16 & 0xFF), g = int(p >> 8 & 0xFF), b = int(p & 0xFF);
            const int top = std::max({r, g, b});
            if (top < 96)
                continue;
            // Each channel within 12% of the colour's proportion.
            const int peak = std::max({c.red, c.green, c.blue});
            auto near = [&](int v, int want) { return std::abs(v * peak - want * top) <= 31 * top; };
            n += near(r, c.red) && near(g, c.green) && near(b, c.blue) ? 1 : 0;
        }
    return n;
}

} // namespace

TEST(GameDialogsTextFormat, PlaceholdersTakeOnlyTheArgumentsGiven)
{
    EXPECT_EQ(FormatInts("Stage %d-%d", {3, 1}), "Stage 3-1");
    // A third conversion has no value: it stays as written.
    EXPECT_EQ(FormatInts("%d/%d/%d", {1, 2}), "1/2/%d");
    EXPECT_EQ(FormatInts("100%% of %d", {7}), "100% of 7");
    EXPECT_EQ(FormatString("Record by %s!", "Ann Lee"), "Record by Ann Lee!");
    // Only the first %s takes the name; other conversions are not read.
    EXPECT_EQ(FormatString("%s %s %d %n", "Bo"), "Bo %s %d %n");
    EXPECT_EQ(FormatString("%%s %s", "Bo"), "%s Bo");
}

TEST(GameDialogsStatTime, TimesShowAsMinutesAndSeconds)
{
    EXPECT_EQ(StatDialog::FormatTime(0), "0:00");
    EXPECT_EQ(StatDialog::FormatTime(95), "1:35");
    EXPECT_EQ(StatDialog::FormatTime(12000), "200:00");
}

TEST_F(GameDialogsTest, GameOverTextFollowsPlaceAndScore)
{
    EXPECT_EQ(GameOverDialog::ResultText(*app, 1000, 0), "t32");
    EXPECT_EQ(GameOverDialog::ResultText(*app, 1000, 4200), "t33 4200");
    // Places are shown from 1; a place wins over the score.
    EXPECT_EQ(GameOverDialog::ResultText(*app, 0, 0), "t31 1");
    EXPECT_EQ(GameOverDialog::ResultText(*app, 9, 3100), "t31 10");
}

TEST_F(GameDialogsTest, OnlyAFasterFinishIsARecordAndTheRecordsFileFollows)
{
    // The statistics of a level finished by the player in the time: whether
    // they show a new record.
    const auto finish = [&](const char* who, float seconds) {
        app->Profiles().ChooseByName(who);
        State().levelTime = seconds;
        app->ShowDialog(BoardDialog::Stat);
        StatDialog* stat = Open<StatDialog>(StatDialog::kDialogId);
        EXPECT_NE(stat, nullptr);
        return stat && stat->NewRecord();
    };
    State().level = 5;
    EXPECT_TRUE(finish("Ann Lee", 95.7f));
    EXPECT_EQ(Open(StatDialog::kDialogId)->header, "t41 5");
    EXPECT_EQ(app->Records().Level(5).bestTime, 95);
    EXPECT_EQ(app->Records().Level(5).holder, "Ann Lee");
    EXPECT_EQ(fs::file_size(SaveFile("spindrel.rec")), GameRecords::kFileBytes);

    for (float same : {95.0f, 95.9f})
        EXPECT_FALSE(finish("Bo", same)) << same;
    EXPECT_EQ(app->Records().Level(5).holder, "Ann Lee");
    const GameRecords first = RecordsOnDisk(SaveFile("spindrel.rec"));
    EXPECT_EQ(first.Level(5).bestTime, 95);
    EXPECT_EQ(first.Level(5).holder, "Ann Lee");

    EXPECT_TRUE(finish("Bo", 94.6f));
    const GameRecords faster = RecordsOnDisk(SaveFile("spindrel.rec"));
    EXPECT_EQ(faster.Level(5).bestTime, 94);
    EXPECT_EQ(faster.Level(5).holder, "Bo");
}

TEST_F(GameDialogsTest, SpaceInTheStatisticsGoesOnToTheNextLevel)
{
    StartPlaying(0);
    State().level = 3;
    // As the board does at the end of a level.
    TheBoard().SetPaused(true);
    app->ShowDialog(BoardDialog::Stat);
    ASSERT_NE(Open<StatDialog>(StatDialog::kDialogId), nullptr);
    ASSERT_NE(Find<DarkenWidget>(), nullptr);

    app->widgetManager->KeyDown(kSpace);

    EXPECT_EQ(app->FindDialog(StatDialog::kDialogId), nullptr);
    EXPECT_EQ(State().level, 4);
    EXPECT_EQ(State().pauseDepth, 0);
    EXPECT_EQ(Find<DarkenWidget>(), nullptr);
    EXPECT_EQ(app->widgetManager->focusWidget, app->GetBoard());
}

// A held key answers one dialog: its auto-repeat neither opens the game's
// menu behind it nor answers the next dialog.
TEST_F(GameDialogsTest, AHeldKeyAnswersOnlyTheDialogItWasPressedIn)
{
    StartPlaying(0);
    State().level = 3;
    TheBoard().SetPaused(true);
    app->ShowDialog(BoardDialog::Stat);
    app->widgetManager->KeyDown(kSpace);
    ASSERT_EQ(State().level, 4);
    ASSERT_EQ(app->widgetManager->focusWidget, app->GetBoard());
    app->widgetManager->KeyDown(kSpace);
    EXPECT_EQ(app->DialogCount(), 0) << "the repeat opened the menu";

    // Space is still held, and Enter is held down on the board.
    app->widgetManager->KeyDown(Quillo::KeyCode::Enter);
    for (int key : {kSpace, Quillo::KeyCode::Enter})
    {
        TheBoard().SetPaused(true);
        app->ShowDialog(BoardDialog::Stat);
        app->widgetManager->KeyDown(key);
        EXPECT_NE(app->FindDialog(StatDialog::kDialogId), nullptr) << key << " answered by a repeat";
        app->widgetManager->KeyUp(key);
        app->widgetManager->KeyDown(key);
        EXPECT_EQ(app->FindDialog(StatDialog::kDialogId), nullptr) << key << " pressed afresh";
    }
    EXPECT_EQ(State().level, 6);
}

TEST_F(GameDialogsTest, HighScoresCloseAndReleaseTheMenuPause)
{
    app->PauseBoardForDialog();
    app->AddCentredDialog(HighscoresDialog::kDialogId, std::make_unique<HighscoresDialog>(*app),
                          HighscoresDialog::kWidth, HighscoresDialog::kHeight);
    ASSERT_EQ(State().pauseDepth, 1);

    app->widgetManager->KeyDown(kSpace);

    EXPECT_EQ(app->FindDialog(HighscoresDialog::kDialogId), nullptr);
    EXPECT_EQ(State().pauseDepth, 0);
    EXPECT_NE(app->GetMainMenu(), nullptr);
}

TEST_F(GameDialogsTest, GameCompleteDropsTheSavedGameAndReturnsToTheMenu)
{
    app->Profiles().ChooseByName("Ann Lee");
    StartPlaying(0);
    ASSERT_TRUE(SavedGameFiles::SaveGame(app->Saves(), app->PlayerFileName(), TheBoard().Logic().SaveState()));
    ASSERT_TRUE(fs::exists(SaveFile("Ann_Lee.sav")));
    ASSERT_EQ(app->GetMainMenu(), nullptr);
    TheBoard().SetPaused(true);
    app->ShowDialog(BoardDialog::GameComplete);
    GameCompleteDialog* done = Open<GameCompleteDialog>(GameCompleteDialog::kRegisteredId);
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(app->FindDialog(1), nullptr);

    Click(*done->FirstButton());

    EXPECT_EQ(app->FindDialog(GameCompleteDialog::kRegisteredId), nullptr);
    EXPECT_FALSE(fs::exists(SaveFile("Ann_Lee.sav")));
    EXPECT_EQ(State().pauseDepth, 0);
    EXPECT_EQ(Find<DarkenWidget>(), nullptr);
    EXPECT_NE(app->GetMainMenu(), nullptr);
    EXPECT_FALSE(TheBoard().Logic().IsActive());
}

TEST_F(GameDialogsTest, ButtonsAreHalvedAndCentredInTheirPlace)
{
    // The two-button question at 190,150, 420 x 300, insets 30: the base
    // layout gives two buttons of (420 - 60 - 8) / 2 = 176 from x 220 and
    // 404; each keeps half of its width, moved right by that half.
    app->ShowAskDialog(AskDialog::kContinueGame);
    auto* ask = Open<AskDialog>(AskDialog::kDialogId);
    ASSERT_NE(ask, nullptr);
    ASSERT_NE(ask->SecondButton(), nullptr);
    Quillo::DialogButton& yes = *ask->FirstButton();
    const Quillo::DialogButton& no = *ask->SecondButton();
    EXPECT_EQ(yes.GetRect(), (Quillo::Rect{220 + 88, 150 + 300 - 30 - 44, 88, 44}));
    EXPECT_EQ(no.x, 404 + 88);
    EXPECT_EQ(no.width, 88);
    EXPECT_EQ(yes.label, "t27");
    EXPECT_EQ(no.label, "t26");
    // A click left of the halved yes button, inside the base layout's one,
    // misses it.
    ClickAt(230, 376 + 22);
    EXPECT_EQ(app->FindDialog(AskDialog::kDialogId), ask);
    EXPECT_NE(app->GetMainMenu(), nullptr);

    // One button spans 360 from x 220 before it is halved.
    app->ShowAskDialog(AskDialog::kQuit);
    auto* quit = Open<AskDialog>(AskDialog::kDialogId);
    ASSERT_NE(quit, nullptr);
    EXPECT_EQ(quit->Kind(), AskDialog::kQuit);
    EXPECT_EQ(quit->FirstButton()->x, 400);
    EXPECT_EQ(quit->FirstButton()->width, 180);
    EXPECT_EQ(quit->SecondButton(), nullptr);
    EXPECT_EQ(quit->header, "t28");
    EXPECT_EQ(quit->body, "t29");
}

TEST_F(GameDialogsTest, AGameThatCannotBeSavedIsLeftOnlyWhenThePlayerSaysSo)
{
    app->Profiles().ChooseByName("Ann Lee");
    StartPlaying(1);
    // A folder where the saved game should go: the file cannot be written.
    fs::create_directories(SaveFile("Ann_Lee.sav"));
    for (bool leave : {false, false, true})
    {
        TheBoard().SetPaused(true);
        Answer(AskDialog::kLeaveGame);

        // Asked in the game's own dialog every time, with no notice besides.
        EXPECT_TRUE(app->platformFake->boxes.empty());
        EXPECT_EQ(Open(8), nullptr);
        auto* ask = Open<AskDialog>(AskDialog::kDialogId);
        ASSERT_NE(ask, nullptr);
        EXPECT_EQ(ask->Kind(), AskDialog::kLeaveUnsaved);
        EXPECT_EQ(ask->body, "t76");
        EXPECT_GT(State().pauseDepth, 0);
        Click(leave ? *ask->FirstButton() : *ask->SecondButton());

        EXPECT_EQ(app->FindDialog(AskDialog::kDialogId), nullptr);
        EXPECT_EQ(app->GetMainMenu() != nullptr, leave);
        EXPECT_EQ(TheBoard().Logic().IsActive(), !leave);
        EXPECT_EQ(State().pauseDepth, 0);
    }
    // Closing the window says so too, in the player's language.
    StartPlaying(1);
    app->OnBeforeExit();
    EXPECT_EQ(app->platformFake->boxes, std::vector<std::string>{"Message: t77"});
}

TEST_F(GameDialogsTest, StartingAnewDeletesTheSavedGame)
{
    app->Profiles().ChooseByName("Ann Lee");
    ASSERT_TRUE(SavedGameFiles::SaveGame(app->Saves(), app->PlayerFileName(), TheBoard().Logic().SaveState()));
    Answer(AskDialog::kContinueGame, false);

    EXPECT_EQ(app->FindDialog(AskDialog::kDialogId), nullptr);
    EXPECT_FALSE(fs::exists(SaveFile("Ann_Lee.sav")));
    EXPECT_NE(app->GetSelectStage(), nullptr);
    EXPECT_EQ(app->GetMainMenu(), nullptr);
    EXPECT_EQ(State().pauseDepth, 0);
}

TEST_F(GameDialogsTest, ADamagedSavedGameLeadsToTheStagesAndIsKeptAside)
{
    app->Profiles().ChooseByName("Ann");
    ASSERT_TRUE(app->Saves().Write("Ann.sav", std::string_view("not a game")));
    Answer(AskDialog::kContinueGame);

    EXPECT_NE(app->GetSelectStage(), nullptr);
    EXPECT_FALSE(TheBoard().Logic().IsActive());
    EXPECT_FALSE(app->HasSavedGame());
    EXPECT_TRUE(fs::exists(SaveFile("Ann.sav.bad")));
    EXPECT_EQ(State().pauseDepth, 0);
}

TEST_F(GameDialogsTest, PauseOverlayCoversTheBoardWhilePaused)
{
    TheBoard().SetPaused(true);
    TheBoard().SetPaused(true);
    const DarkenWidget* overlay = Find<DarkenWidget>();
    ASSERT_NE(overlay, nullptr);
    EXPECT_EQ(overlay->width, TheBoard().width);
    EXPECT_EQ(overlay->height, TheBoard().height);
    EXPECT_TRUE(app->widgetManager->IsBehind(app->GetBoard(), overlay));

    TheBoard().SetPaused(false);
    EXPECT_EQ(Find<DarkenWidget>(), overlay);
    TheBoard().SetPaused(false);
    EXPECT_EQ(Find<DarkenWidget>(), nullptr);
}

TEST_F(GameDialogsTest, GameOverMarksTheRowJustWonAndPlaysOnFromTheLatestStageReached)
{
    StartPlaying(0);
    State().checkpointLevel = 11;
    State().level = 13;
    State().score = 28000;
    State().lives = 0;
    // As the board does at game over: the score enters the table at place 2.
    ASSERT_EQ(app->EnterHighScore(State().score), 1);
    TheBoard().SetPaused(true);
    app->ShowDialog(BoardDialog::GameOver);
    GameOverDialog* over = Open<GameOverDialog>(GameOverDialog::kDialogId);
    ASSERT_NE(over, nullptr);
    EXPECT_EQ(over->width, GameOverDialog::kWidth);
    EXPECT_EQ(over->x, (800 - GameOverDialog::kWidth) / 2);
    const auto image = Drawn(*over);

    // Rows are 25 pixels apart with their baselines from y 100; row i's
    // glyphs lie in the band from 80 + 25 i.
    const Quillo::Color won(255, 155, 155);
    for (int row = 0; row < 10; ++row)
    {
        const int top = 80 + 25 * row;
        const int wonPixels = CountTinted(*image, top, top + 25, won);
        const int whitePixels = CountTinted(*image, top, top + 25, Quillo::Color::White);
        EXPECT_EQ(wonPixels > 0, row == 1) << "row " << row << ": " << wonPixels;
        EXPECT_EQ(whitePixels > 0, row != 1) << "row " << row << ": " << whitePixels;
    }
    // The result and next-start lines in their green below the table.
    EXPECT_GT(CountTinted(*image, 330, 420, Quillo::Color(190, 255, 190)), 0);

    Click(*over->FirstButton());

    EXPECT_EQ(app->FindDialog(GameOverDialog::kDialogId), nullptr);
    EXPECT_EQ(State().pauseDepth, 0);
    EXPECT_EQ(State().level, 11);
    EXPECT_EQ(State().lives, 3);
    EXPECT_EQ(State().score, 0);
}

TEST_F(GameDialogsTest, HighScoreColumnsStayApartForTheLongestNames)
{
    // Ten rows of the widest name the name field takes, so that "10." and
    // every name meet their neighbours' columns if anything does.
    const std::string widest(PlayerProfiles::kMaxNameLength, 'W');
    for (int i = 0; i < 10; ++i)
        app->Records().EnterHighScore(widest, 9999999 - i);

    struct Table
    {
        std::unique_ptr<Quillo::Dialog> dialog;
        int firstBaseline, rowStep, nameX, scoreX;
    };
    Table tables[] = {
        {std::make_unique<HighscoresDialog>(*app), 100, 30, 80, 290},
        {std::make_unique<GameOverDialog>(*app), 100, 25, 180, 390},
    };
    tables[0].dialog->Resize(0, 0, HighscoresDialog::kWidth, HighscoresDialog::kHeight);
    tables[1].dialog->Resize(0, 0, GameOverDialog::kWidth, GameOverDialog::kHeight);
    const int ascent = app->Res().FONT_DEFAULT->Ascent();
    for (Table& t : tables)
    {
        const auto image = Drawn(*t.dialog);
        // Whether the columns [from, to) of the row's band hold part of a
        // glyph (the box behind is dark; the glyphs are white).
        const auto ink = [&](int row, int from, int to) {
            const int baseline = t.firstBaseline + t.rowStep * row;
            for (int y = baseline - ascent; y < baseline + 4; ++y)
                for (int x = from; x < to; ++x)
                    if (Light(image->GetBits()[y * image->GetWidth() + x], 180))
                        return true;
            return false;
        };
        for (int row = 0; row < 10; ++row)
        {
            SCOPED_TRACE("row " + std::to_string(row + 1));
            EXPECT_FALSE(ink(row, t.nameX - 4, t.nameX)) << "place runs into the name";
            EXPECT_FALSE(ink(row, t.scoreX - 4, t.scoreX)) << "name runs into the score";
            EXPECT_TRUE(ink(row, t.nameX, t.nameX + 20) && ink(row, t.scoreX, t.scoreX + 20)) << "the row is drawn";
        }
    }
}

TEST_F(GameDialogsTest, TheDeleteQuestionWrapsInsideItsDialog)
{
    std::string language;
    for (int i = 0; i < TextTable::kTextCount; ++i)
        language += (i == 69 ? "Are you sure you want to delete this player and all of their progress and the saved game?"
                             : NumberedText(i)) +
                    "\n";
    app->Texts().LoadLanguage(language, [](const std::string&) {});
    app->PauseBoardForDialog();
    app->AddCentredDialog(SelectPlayerDialog::kDialogId, std::make_unique<SelectPlayerDialog>(*app), 400, 400);
    auto* select = Open<SelectPlayerDialog>(SelectPlayerDialog::kDialogId);
    ASSERT_NE(select, nullptr);
    Click(select->DeleteButton());
    Quillo::Dialog* ask = Open(AskDeletePlayerDialog::kDialogId);
    ASSERT_NE(ask, nullptr);

    const auto image = Drawn(*ask);
    // White text in the rows below the header and above the buttons: on two
    // lines at least, and never in the box's right-hand border.
    int inkRows = 0;
    int rightmost = 0;
    for (int y = 80; y < ask->FirstButton()->y - ask->y; ++y)
    {
        bool row = false;
        for (int x = 0; x < image->GetWidth(); ++x)
            if (Light(image->GetBits()[y * image->GetWidth() + x], 200))
            {
                row = true;
                rightmost = std::max(rightmost, x);
            }
        inkRows += row ? 1 : 0;
    }
    EXPECT_GT(inkRows, app->Res().FONT_BUTTON->Height() + 2) << "the question takes more than one line";
    EXPECT_LT(rightmost, ask->width - 27);
}
