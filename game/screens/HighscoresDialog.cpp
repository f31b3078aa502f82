#include "game/screens/HighscoresDialog.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"
#include "game/app/GameApp.h"
#include "game/app/GameRecords.h"
#include "game/board/Board.h"
#include "game/screens/HighScoreRow.h"

namespace Spindrel
{

namespace
{

constexpr int kSpaceKey = 32;
constexpr int kFirstRowY = 100;
constexpr int kRowStep = 30;
constexpr int kPlaceX = 50;
constexpr int kNameX = 80;
constexpr int kScoreX = 290;

} // namespace

HighscoresDialog::HighscoresDialog(GameApp& app)
    : GameDialog(app, kDialogId, app.GetText(kHeaderText), "", app.GetText(kButtonText),
                 kButtonFooter)
{
    // Its one button only closes the table.
    SetEscapeButton(EscapeButton::First);
}

void HighscoresDialog::Draw(Quillo::Graphics* g)
{
    Dialog::Draw(g);
    const HighScoreTable& table = m_app.Records().HighScores();
    g->SetFont(m_app.Res().FONT_DEFAULT);
    g->SetColor(Quillo::Color::White);
    const HighScoreRow row{kPlaceX, kNameX, kScoreX};
    for (int i = 0; i < int(table.size()); ++i)
        row.Draw(*g, kFirstRowY + kRowStep * i, i + 1, table[size_t(i)].name, table[size_t(i)].score);
}

void HighscoresDialog::OnKeyDown(int key)
{
    if (key == kSpaceKey && !IsKeyRepeat())
        OnButtonClicked(id + kFirstButtonOffset);
    else
        GameDialog::OnKeyDown(key);
}

void HighscoresDialog::OnButtonClicked(int buttonId)
{
    Dialog::OnButtonClicked(buttonId);
    if (buttonId != id + kFirstButtonOffset)
        return;
    if (Board* board = m_app.GetBoard())
        board->SetPaused(false);
    m_app.CloseDialogById(kDialogId);
}

} // namespace Spindrel
