#pragma once

#include "game/screens/GameDialog.h"

namespace Spindrel
{

// Shown after the last level: the final score and the place won. Its
// button ends the game (the suspended game is dropped) and goes back to
// the main menu with the menu music.
class GameCompleteDialog : public GameDialog
{
public:
    static constexpr int kDialogId = 1;
    // The id it is registered under, apart from the other dialogs' 1.
    static constexpr int kRegisteredId = 900;
    static constexpr int kWidth = 530;
    static constexpr int kHeight = 250;
    static constexpr int kHeaderText = 56;
    static constexpr int kButtonText = 16;
    static constexpr int kScoreText = 57;
    static constexpr int kPlaceText = 58;

    explicit GameCompleteDialog(GameApp& app);

    void Draw(Quillo::Graphics* g) override;
    void OnButtonClicked(int id) override;
};

} // namespace Spindrel
