#include "game/screens/GameCompleteDialog.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"
#include "game/app/GameApp.h"
#include "game/board/Board.h"
#include "game/board/HighScoreTable.h"
#include "game/board/TextFormat.h"

namespace Spindrel
{

namespace
{

constexpr int kTextX = 50;
constexpr int kScoreY = 75;
constexpr int kScoreRightMargin = 70;
constexpr int kTextHeight = 80;
constexpr int kTextSpacing = 24;
constexpr int kLeftAligned = -1;
constexpr int kMenuTrack = 0;
constexpr int kGameTrack = 1;
constexpr double kMenuMusicFadeSpeed = 0.2;
const Quillo::Color kTextColor(190, 255, 190);

} // namespace

GameCompleteDialog::GameCompleteDialog(GameApp& app)
    : GameDialog(app, kDialogId, app.GetText(kHeaderText), "", app.GetText(kButtonText),
                 kButtonFooter)
{
}

void GameCompleteDialog::Draw(Quillo::Graphics* g)
{
    Dialog::Draw(g);
    const Board* board = m_app.GetBoard();
    const int score = board ? board->Logic().State().score : 0;
    g->SetFont(m_app.Res().FONT_BUTTON);
    g->SetColor(kTextColor);
    const int used = g->WriteWrappedText({kTextX, kScoreY, width - kScoreRightMargin, kTextHeight},
                                         FormatInt(m_app.GetText(kScoreText), score), kTextSpacing,
                                         kLeftAligned);
    const int place = m_app.LastHighScorePlace();
    if (place >= 0 && place < int(std::tuple_size_v<HighScoreTable>))
        g->WriteWrappedText({kTextX, kScoreY + used, width - kTextX, kTextHeight},
                            FormatInt(m_app.GetText(kPlaceText), place + 1), kTextSpacing,
                            kLeftAligned);
}

void GameCompleteDialog::OnButtonClicked(int buttonId)
{
    Dialog::OnButtonClicked(buttonId);
    if (buttonId != id + kFirstButtonOffset)
        return;
    m_app.CloseDialogById(kRegisteredId);
    m_app.StopMusic(kMenuTrack);
    m_app.StopMusic(kGameTrack);
    m_app.FadeInMusic(kMenuTrack, 0, kMenuMusicFadeSpeed, false);
    // The pause the end of the game took; its last release removes the
    // pause overlay.
    Board* board = m_app.GetBoard();
    if (board && board->Logic().State().pauseDepth > 0)
        board->SetPaused(false);
    m_app.ShowMainMenu();
    // After the menu, so that a notice of a game file that stayed lies in
    // front of it.
    m_app.DeleteSavedGame();
}

} // namespace Spindrel
