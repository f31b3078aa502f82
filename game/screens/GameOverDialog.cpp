#include "game/screens/GameOverDialog.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"
#include "game/app/GameApp.h"
#include "game/app/GameRecords.h"
#include "game/board/Board.h"
#include "game/board/LevelData.h"
#include "game/board/TextFormat.h"
#include "game/screens/HighScoreRow.h"

namespace Spindrel
{

namespace
{

constexpr int kSpaceKey = 32;
constexpr int kFirstRowY = 100;
constexpr int kRowStep = 25;
constexpr int kPlaceX = 150;
constexpr int kNameX = 180;
constexpr int kScoreX = 390;
constexpr int kTextX = 50;
constexpr int kResultY = 340;
constexpr int kNextStartY = 385;
constexpr int kTextHeight = 80;
constexpr int kTextSpacing = 20;
constexpr int kLeftAligned = -1;
const Quillo::Color kWonRowColor(255, 155, 155);
const Quillo::Color kTextColor(190, 255, 190);

} // namespace

GameOverDialog::GameOverDialog(GameApp& app)
    : GameDialog(app, kDialogId, app.GetText(kHeaderText), "", app.GetText(kButtonText),
                 kButtonFooter)
{
}

std::string GameOverDialog::ResultText(GameApp& app, int place, int score)
{
    if (place >= 0 && place < int(std::tuple_size_v<HighScoreTable>))
        return FormatInt(app.GetText(kPlaceText), place + 1);
    if (score != 0)
        return FormatInt(app.GetText(kScoreText), score);
    return app.GetText(kNoScoreText);
}

void GameOverDialog::Draw(Quillo::Graphics* g)
{
    Dialog::Draw(g);
    const int place = m_app.LastHighScorePlace();
    const HighScoreTable& table = m_app.Records().HighScores();
    g->SetFont(m_app.Res().FONT_DEFAULT);
    const HighScoreRow row{kPlaceX, kNameX, kScoreX};
    for (int i = 0; i < int(table.size()); ++i)
    {
        g->SetColor(i == place ? kWonRowColor : Quillo::Color::White);
        row.Draw(*g, kFirstRowY + kRowStep * i, i + 1, table[size_t(i)].name, table[size_t(i)].score);
    }

    const Board* board = m_app.GetBoard();
    const int score = board ? board->Logic().State().score : 0;
    const int nextStart = board ? board->Logic().State().checkpointLevel : 1;
    const int textWidth = width - kTextX;
    g->SetColor(kTextColor);
    g->WriteWrappedText({kTextX, kResultY, textWidth, kTextHeight}, ResultText(m_app, place, score),
                        kTextSpacing, kLeftAligned);
    g->WriteWrappedText({kTextX, kNextStartY, textWidth, kTextHeight},
                        FormatInts(m_app.GetText(kNextStartText),
                                   {StageOf(nextStart), LevelInStage(nextStart)}),
                        kTextSpacing, kLeftAligned);
}

void GameOverDialog::OnKeyDown(int key)
{
    if (key == kSpaceKey && !IsKeyRepeat())
        OnButtonClicked(id + kFirstButtonOffset);
    else
        GameDialog::OnKeyDown(key);
}

void GameOverDialog::OnButtonClicked(int buttonId)
{
    Dialog::OnButtonClicked(buttonId);
    if (buttonId != id + kFirstButtonOffset)
        return;
    Board* board = m_app.GetBoard();
    if (board)
        board->SetPaused(false);
    m_app.CloseDialogById(kDialogId);
    if (board)
        board->NewGame();
}

} // namespace Spindrel
