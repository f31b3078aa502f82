#pragma once

#include "game/screens/GameDialog.h"

#include <string>

namespace Spindrel
{

// The statistics of a finished level: its score, the combos, the time
// and the level's record. Made when the level ends, it first enters the
// level time in the level's record. Its button starts the next level.
class StatDialog : public GameDialog
{
public:
    static constexpr int kDialogId = 1;
    static constexpr int kWidth = 450;
    static constexpr int kHeight = 440;
    static constexpr int kHeaderText = 41;
    static constexpr int kButtonText = 16;
    static constexpr int kNewRecordTimeText = 49;
    static constexpr int kTimeText = 50;
    static constexpr int kRecordTimeText = 51;
    static constexpr int kHolderText = 52;

    explicit StatDialog(GameApp& app);

    bool NewRecord() const { return m_newRecord; }
    // What the button does: closes the statistics and starts the next level.
    void GoToNextLevel();

    // "m:ss" of whole seconds.
    static std::string FormatTime(int seconds);

    void Draw(Quillo::Graphics* g) override;
    void OnKeyDown(int key) override;
    void OnButtonClicked(int id) override;

private:
    bool m_newRecord = false;
};

} // namespace Spindrel
