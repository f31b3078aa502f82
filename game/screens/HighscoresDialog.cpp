#include "game/screens/HighscoresDialog.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"
#include "game/app/GameApp.h"
#include "game/app/GameRecords.h"
#include "game/board/Board.h"

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
}

void HighscoresDialog::Draw(Quillo::Graphics* g)
{
    Dialog::Draw(g);
    const HighScoreTable& table = m_app.Records().HighScores();
    g->SetFont(m_app.Res().FONT_DEFAULT);
    g->SetColor(Quillo::Color::White);
    for (int i = 0; i < int(table.size()); ++i)
    {
        const int y = kFirstRowY + kRowStep * i;
        g->DrawString(std::to_string(i + 1) + ".", kPlaceX, y);
        g->DrawString(table[size_t(i)].name, kNameX, y);
        g->DrawString(std::to_string(table[size_t(i)].score), kScoreX, y);
    }
}

void HighscoresDialog::OnKeyDown(int key)
{
    if (key == kSpaceKey)
        OnButtonClicked(id + kFirstButtonOffset);
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
