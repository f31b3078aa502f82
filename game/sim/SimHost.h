#pragma once

#include "game/board/BoardHost.h"
#include "game/board/BoardRandom.h"

#include <cstdint>
#include <optional>

namespace Spindrel
{

// A silent game around a simulated board: no sound, music, files or
// windows; it keeps the last dialog the board asked for and deals the
// process-wide random numbers from a seed.
class SimHost : public BoardHost
{
public:
    explicit SimHost(uint32_t seed) : m_random(seed) {}

    void PlaySound(BoardSound) override {}
    void PlayMusic(int, int, bool) override {}
    void FadeInMusic(int, int, double, bool) override {}
    void FadeOutMusic(int, bool, double) override {}
    void StopMusic(int) override {}
    std::string GetText(int) override { return "%d"; }
    int RandomInt() override { return m_random.Next(); }
    std::string PlayerFileName() override { return "Simulated"; }
    int LoadHighestStageStart() override { return m_highestStageStart; }
    void SaveHighestStageStart(int level) override { m_highestStageStart = level; }
    int EnterHighScore(int) override { return 1000; }
    void ShowPauseOverlay(bool) override {}
    void ShowDialog(BoardDialog dialog) override { m_dialog = dialog; }

    std::optional<BoardDialog> LastDialog() const { return m_dialog; }

private:
    Random15 m_random;
    std::optional<BoardDialog> m_dialog;
    int m_highestStageStart = 1;
};

} // namespace Spindrel
