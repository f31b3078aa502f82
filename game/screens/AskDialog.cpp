#include "game/screens/AskDialog.h"

#include "framework/widgets/DialogButton.h"
#include "framework/widgets/WidgetManager.h"
#include "game/app/GameApp.h"
#include "game/app/SavedGameFiles.h"
#include "game/board/Board.h"

namespace Spindrel
{

namespace
{

struct Question
{
    int header;
    int body;
    int mode;
};

// Leaving and quitting only inform (one OK button); the continue question
// is a yes/no choice.
Question QuestionOf(int kind)
{
    switch (kind)
    {
    case AskDialog::kLeaveGame:
        return {22, 23, Quillo::Dialog::kButtonFooter};
    case AskDialog::kContinueGame:
        return {24, 25, Quillo::Dialog::kButtonsYesNo};
    default:
        return {28, 29, Quillo::Dialog::kButtonFooter};
    }
}

constexpr int kYesText = 27;
constexpr int kNoText = 26;

} // namespace

AskDialog::AskDialog(GameApp& app, int kind, bool holdsBoardPause)
    : GameDialog(app, kDialogId, app.GetText(QuestionOf(kind).header),
                 app.GetText(QuestionOf(kind).body),
                 // The footer is the one button's caption; a yes/no question has none.
                 QuestionOf(kind).mode == Quillo::Dialog::kButtonFooter ? "OK" : "",
                 QuestionOf(kind).mode),
      m_kind(kind == kLeaveGame || kind == kContinueGame ? kind : kQuit),
      m_holdsBoardPause(holdsBoardPause)
{
    // Every answer leaves, quits or deletes the saved game: none by Escape.
    SetEscapeButton(EscapeButton::None);
    if (m_kind == kContinueGame)
    {
        firstButton->label = app.GetText(kYesText);
        secondButton->label = app.GetText(kNoText);
    }
}

void AskDialog::ReleaseBoardPause()
{
    if (m_holdsBoardPause && m_app.GetBoard())
        m_app.GetBoard()->SetPaused(false);
    m_holdsBoardPause = false;
}

void AskDialog::ContinueSavedGame()
{
    m_app.CloseMainMenu();
    ReleaseBoardPause();
    Board* board = m_app.GetBoard();
    const std::string player = m_app.PlayerFileName();
    if (board)
    {
        const auto bytes = SavedGameFiles::LoadGame(m_app.Saves(), player);
        if (bytes && board->Logic().LoadState(*bytes))
        {
            // The board has faded the level's theme in itself. The file
            // stands only for a suspended game: once the game goes on it
            // is gone, so a lost game cannot be taken back from it.
            SavedGameFiles::DeleteGame(m_app.Saves(), player);
            board->Invalidate();
            if (board->manager != nullptr)
                board->manager->SetFocus(board);
            return;
        }
        // A game the board cannot continue is kept aside, not offered again.
        if (bytes)
            SavedGameFiles::KeepGameAside(m_app.Saves(), player);
    }
    // The player chooses a stage instead of facing a dead board.
    m_app.ShowSelectStage();
}

void AskDialog::StartAnew()
{
    SavedGameFiles::DeleteGame(m_app.Saves(), m_app.PlayerFileName());
    ReleaseBoardPause();
    m_app.ShowSelectStage();
}

bool AskDialog::SaveRunningGame()
{
    Board* board = m_app.GetBoard();
    // The editor's track has no file, so a game saved on it could never be
    // continued: leaving the editor keeps no game, as closing does.
    if (!board || board->Logic().GetPath().editMode)
        return true;
    return SavedGameFiles::SaveGame(m_app.Saves(), m_app.PlayerFileName(), board->Logic().SaveState());
}

void AskDialog::OnButtonClicked(int id)
{
    Dialog::OnButtonClicked(id);
    const bool first = id == kDialogId + kFirstButtonOffset;
    const bool second = id == kDialogId + kSecondButtonOffset;
    if (!first && !(second && m_kind == kContinueGame))
        return;
    m_app.CloseDialogById(kDialogId);
    switch (m_kind)
    {
    case kLeaveGame:
        if (SaveRunningGame())
        {
            m_app.ReturnToMainMenu();
            break;
        }
        // Leaving now would lose the game: the save folder has told the
        // player, who plays on, free to try again or to quit without saving.
        if (Board* board = m_app.GetBoard())
            board->SetPaused(false);
        break;
    case kContinueGame:
        if (first)
            ContinueSavedGame();
        else
            StartAnew();
        break;
    default:
        m_app.Shutdown();
        break;
    }
}

} // namespace Spindrel
