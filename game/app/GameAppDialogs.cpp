#include "game/app/GameApp.h"

#include "framework/graphics/ImageFont.h"
#include "framework/widgets/WidgetManager.h"
#include "game/board/Board.h"
#include "game/screens/AskDialog.h"
#include "game/screens/DarkenWidget.h"
#include "game/screens/GameCompleteDialog.h"
#include "game/screens/GameOverDialog.h"
#include "game/screens/OptionsDialog.h"
#include "game/screens/StatDialog.h"

namespace Spindrel
{

namespace
{

constexpr int kAskX = 190;
constexpr int kAskY = 150;
constexpr int kAskWidth = 420;
constexpr int kAskHeight = 300;
constexpr int kOptionsWidth = 400;
constexpr int kOptionsHeight = 450;

} // namespace

void GameApp::ShowAskDialog(int kind)
{
    bool pausedHere = false;
    if (board && board->Logic().State().pauseDepth <= 0)
    {
        board->SetPaused(true);
        pausedHere = true;
    }
    AddDialogAt(AskDialog::kDialogId, std::make_unique<AskDialog>(*this, kind, pausedHere), kAskX,
                kAskY, kAskWidth, kAskHeight);
}

void GameApp::ShowDialog(BoardDialog dialog)
{
    switch (dialog)
    {
    case BoardDialog::Options:
        AddCentredDialog(OptionsDialog::kDialogId, std::make_unique<OptionsDialog>(*this, true),
                         kOptionsWidth, kOptionsHeight);
        break;
    case BoardDialog::GameOver:
        AddCentredDialog(GameOverDialog::kDialogId, std::make_unique<GameOverDialog>(*this),
                         GameOverDialog::kWidth, GameOverDialog::kHeight);
        break;
    case BoardDialog::Stat:
        AddCentredDialog(StatDialog::kDialogId, std::make_unique<StatDialog>(*this),
                         StatDialog::kWidth, StatDialog::kHeight);
        break;
    case BoardDialog::GameComplete:
        AddCentredDialog(GameCompleteDialog::kRegisteredId,
                         std::make_unique<GameCompleteDialog>(*this), GameCompleteDialog::kWidth,
                         GameCompleteDialog::kHeight);
        break;
    }
}

void GameApp::ShowPauseOverlay(bool show)
{
    if (show)
    {
        if (pauseOverlay || !widgetManager)
            return;
        pauseOverlay = std::make_unique<DarkenWidget>(GetText(DarkenWidget::kPausedText),
                                                      resources.FONT_DEFAULT);
        if (board)
            pauseOverlay->Resize(board->x, board->y, board->width, board->height);
        else
            pauseOverlay->Resize(0, 0, width, height);
        widgetManager->AddWidget(pauseOverlay.get());
        return;
    }
    if (!pauseOverlay)
        return;
    if (pauseOverlay->manager != nullptr)
        pauseOverlay->manager->RemoveWidget(pauseOverlay.get());
    // Deferred: the pause may be lifted from inside a pass over the widgets.
    DeleteLater(pauseOverlay.release());
}

} // namespace Spindrel
