#pragma once

#include "game/screens/GameDialog.h"

namespace Spindrel
{

// The high-score table, opened from the main menu.
class HighscoresDialog : public GameDialog
{
public:
    static constexpr int kDialogId = 1;
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 500;
    static constexpr int kHeaderText = 20;
    static constexpr int kButtonText = 16;

    explicit HighscoresDialog(GameApp& app);

    void Draw(Quillo::Graphics* g) override;
    void OnKeyDown(int key) override;
    void OnButtonClicked(int id) override;
};

} // namespace Spindrel
