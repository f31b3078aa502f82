#include "game/screens/StatDialog.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"
#include "game/app/GameApp.h"
#include "game/app/GameRecords.h"
#include "game/app/PlayerProfiles.h"
#include "game/board/Board.h"
#include "game/board/TextFormat.h"

#include <cstdio>

namespace Spindrel
{

namespace
{

constexpr int kSpaceKey = 32;
constexpr int kLabelX = 50;
constexpr int kValueX = 345;
constexpr int kFirstRowY = 100;
constexpr int kRowStep = 28;
constexpr int kFirstLabelText = 42;
constexpr int kHolderX = 60;
constexpr int kHolderY = 347;
const Quillo::Color kRecordColor(255, 200, 200);

} // namespace

StatDialog::StatDialog(GameApp& app)
    : GameDialog(app, kDialogId, "", "", app.GetText(kButtonText), kButtonFooter)
{
    const Board* board = app.GetBoard();
    if (!board)
        return;
    const GameState& s = board->Logic().State();
    header = FormatInt(app.GetText(kHeaderText), s.level);
    m_newRecord = app.Records().UpdateLevelRecord(s.level, s.levelTime, app.Profiles().CurrentName());
    if (m_newRecord)
        app.Records().Save(app.Saves());
}

std::string StatDialog::FormatTime(int seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

void StatDialog::Draw(Quillo::Graphics* g)
{
    Dialog::Draw(g);
    const Board* board = m_app.GetBoard();
    if (!board)
        return;
    const GameState& s = board->Logic().State();
    const auto& record = m_app.Records().Level(s.level);

    g->SetFont(m_app.Res().FONT_BUTTON);
    g->SetColor(Quillo::Color::White);
    const int counts[] = {s.level,         s.levelScore, s.score,           s.comboCount,
                          s.revealedComboCount, s.maxCombo, s.maxRevealedCombo};
    int y = kFirstRowY;
    for (int i = 0; i < int(std::size(counts)); ++i, y += kRowStep)
    {
        g->DrawString(m_app.GetText(kFirstLabelText + i), kLabelX, y);
        g->DrawString(std::to_string(counts[i]), kValueX, y);
    }

    g->SetColor(m_newRecord ? kRecordColor : Quillo::Color::White);
    g->DrawString(m_app.GetText(m_newRecord ? kNewRecordTimeText : kTimeText), kLabelX, y);
    g->SetColor(Quillo::Color::White);
    g->DrawString(FormatTime(static_cast<int>(s.levelTime)), kValueX, y);
    y += kRowStep;
    g->DrawString(m_app.GetText(kRecordTimeText), kLabelX, y);
    g->DrawString(FormatTime(record.bestTime), kValueX, y);

    if (!record.holder.empty())
    {
        g->SetColor(kRecordColor);
        g->DrawString(FormatString(m_app.GetText(kHolderText), record.holder), kHolderX, kHolderY);
    }
}

void StatDialog::OnKeyDown(int key)
{
    if (key == kSpaceKey && !IsKeyRepeat())
        OnButtonClicked(id + kFirstButtonOffset);
    else
        GameDialog::OnKeyDown(key);
}

void StatDialog::OnButtonClicked(int buttonId)
{
    Dialog::OnButtonClicked(buttonId);
    if (buttonId == id + kFirstButtonOffset)
        GoToNextLevel();
}

void StatDialog::GoToNextLevel()
{
    m_app.CloseDialogById(kDialogId);
    if (Board* board = m_app.GetBoard())
        board->StartNextLevel();
}

} // namespace Spindrel
