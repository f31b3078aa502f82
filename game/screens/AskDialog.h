#pragma once

#include "game/screens/GameDialog.h"

namespace Spindrel
{

// The game's questions, by kind: 501 leave the running game (it is saved),
// 502 continue the saved game or start anew, 503 quit, 504 leave the game
// that could not be saved or play on.
class AskDialog : public GameDialog
{
public:
    static constexpr int kDialogId = 500;
    static constexpr int kLeaveGame = 501;
    static constexpr int kContinueGame = 502;
    static constexpr int kQuit = 503;
    static constexpr int kLeaveUnsaved = 504;

    // holdsBoardPause: opening the question paused the board, so an answer
    // that goes on playing must release that pause again.
    AskDialog(GameApp& app, int kind, bool holdsBoardPause);

    int Kind() const { return m_kind; }

    void OnButtonClicked(int id) override;

private:
    void ContinueSavedGame();
    void StartAnew();
    void ReleaseBoardPause();

    int m_kind;
    bool m_holdsBoardPause;
};

} // namespace Spindrel
