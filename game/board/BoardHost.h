#pragma once

#include "game/board/BoardSound.h"

#include <string>

namespace Spindrel
{

// The dialogs the board asks the game to open. The game makes them centred
// on the board and registers them under their ids.
enum class BoardDialog
{
    Options,      // id 7, 400 x 450, the in-game form
    GameOver,     // id 1, 610 x 500
    Stat,         // id 1, 450 x 440; closing it leads to StartNextLevel
    GameComplete, // id 900, 530 x 250
};

// What the board needs from the game application: sound and music, texts,
// the player's files and records, the pause overlay and dialogs, and the
// process-wide random numbers. The game application implements it; tests
// implement it to watch the board.
class BoardHost
{
public:
    virtual ~BoardHost() = default;

    virtual void PlaySound(BoardSound sound) = 0;

    // Music channels 0 and 1 of the music interface, at order positions.
    virtual void PlayMusic(int channel, int position, bool noLoop) = 0;
    virtual void FadeInMusic(int channel, int position, double speed, bool noLoop) = 0;
    virtual void FadeOutMusic(int channel, bool stopAtSilence, double speed) = 0;
    virtual void StopMusic(int channel) = 0;

    // Localized text n (an empty text when there is none).
    virtual std::string GetText(int n) = 0;

    // The process-wide generator: non-negative values below 32768.
    virtual int RandomInt() = 0;

    // The current player's name with spaces as "_", for "_save//%s.sav".
    virtual std::string PlayerFileName() = 0;
    // The player's highest stage start reached (1 when unknown), and
    // raising it (written to the player's progress file).
    virtual int LoadHighestStageStart() = 0;
    virtual void SaveHighestStageStart(int level) = 0;
    // Enters the score in the high-score table and writes the records;
    // returns the place 0..9, or 1000 when the score is not entered.
    virtual int EnterHighScore(int score) = 0;

    // The pause overlay is shown while the pause depth is above 0.
    virtual void ShowPauseOverlay(bool show) = 0;
    virtual void ShowDialog(BoardDialog dialog) = 0;
};

} // namespace Spindrel
