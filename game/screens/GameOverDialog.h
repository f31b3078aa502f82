#pragma once

#include "game/screens/GameDialog.h"

namespace Spindrel
{

// Shown when the last life is lost: the high-score table with the place
// just won marked, what the player scored, and the level the next game
// starts from. Its button plays on from the latest stage reached.
class GameOverDialog : public GameDialog
{
public:
    static constexpr int kDialogId = 1;
    static constexpr int kWidth = 610;
    static constexpr int kHeight = 500;
    static constexpr int kHeaderText = 20;
    static constexpr int kButtonText = 21;
    static constexpr int kPlaceText = 31;
    static constexpr int kNoScoreText = 32;
    static constexpr int kScoreText = 33;
    static constexpr int kNextStartText = 34;

    explicit GameOverDialog(GameApp& app);

    // The line about the player's result: the place won (0..9) when the
    // score entered the table, else the score, or a word of comfort for 0.
    static std::string ResultText(GameApp& app, int place, int score);

    void Draw(Quillo::Graphics* g) override;
    void OnKeyDown(int key) override;
    void OnButtonClicked(int id) override;
};

} // namespace Spindrel
