#include "tools/datagen/Sounds.h"

#include "tools/datagen/DataWriter.h"
#include "tools/datagen/WavFile.h"

#include <cmath>

namespace Spindrel::Datagen
{

namespace
{
using Wave = Signal::Wave;

double Hz(double midi)
{
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

// Loudness levels (RMS of the audible part): most effects sit at one level;
// the ones that repeat quickly or many at once sit lower.
constexpr double kLevel = 0.16;
constexpr double kSoft = 0.095;

Signal OpenBall()
{
    Signal s(0.12);
    s.Noise(0, 0.012, 0.5, 6000, 2000, 0.0005, 0.004);
    s.Tone(0, 0.12, Hz(79), Hz(86), 0.7, Wave::Sine, 0.002, 0.035);
    s.Tone(0, 0.12, Hz(91), Hz(98), 0.2, Wave::Sine, 0.002, 0.02);
    s.Normalize(kLevel);
    return s;
}

Signal CloseBall()
{
    Signal s(0.09);
    s.Noise(0, 0.01, 0.3, 3000, 1200, 0.0005, 0.004);
    s.Tone(0, 0.09, Hz(76), Hz(69), 0.6, Wave::Sine, 0.002, 0.025);
    s.Normalize(kSoft);
    return s;
}

Signal CollectPair()
{
    Signal s(0.45);
    s.Bell(0, Hz(88), 0.8, 0.25);
    s.Bell(0.06, Hz(95), 0.7, 0.25);
    s.Normalize(kLevel);
    return s;
}

// Combos climb a major scale, one step per combo, each a quick rising
// triad with a sparkle on top that grows with the combo.
Signal Combo(int n)
{
    static constexpr int kScale[] = {0, 2, 4, 5, 7, 9, 11, 12};
    static constexpr int kTriad[] = {0, 4, 7, 12};
    double root = 72 + kScale[n - 2];
    Signal s(0.55 + 0.03 * n);
    for (int k = 0; k < 4; ++k)
        s.Bell(0.045 * k, Hz(root + kTriad[k]), 0.6 + 0.1 * k, 0.22);
    for (int k = 0; k < n - 1; ++k)
        s.Tone(0.18 + 0.035 * k, 0.15, Hz(root + 24 + kTriad[k % 4]), Hz(root + 24 + kTriad[k % 4]), 0.12,
            Wave::Sine, 0.002, 0.05);
    s.Normalize(kLevel);
    return s;
}

Signal ComboOpen()
{
    Signal s(0.5);
    for (int k = 0; k < 3; ++k)
        s.Tone(0.05 * k, 0.45 - 0.05 * k, Hz(79 + 5 * k), Hz(79 + 5 * k), 0.5, Wave::Triangle, 0.005, 0.12);
    s.Tremolo(18, 0.3);
    s.Normalize(kLevel);
    return s;
}

Signal CompleteChip()
{
    Signal s(0.07);
    s.Tone(0, 0.07, Hz(96), Hz(96), 0.6, Wave::Sine, 0.001, 0.018);
    s.Tone(0, 0.07, Hz(103), Hz(103), 0.2, Wave::Sine, 0.001, 0.01);
    s.Normalize(kSoft);
    return s;
}

Signal Explode()
{
    Signal s(1.1);
    s.Noise(0, 1.1, 1.0, 5000, 120, 0.002, 0.3);
    s.Tone(0, 0.8, 110, 38, 0.9, Wave::Sine, 0.002, 0.2);
    s.Noise(0, 0.05, 0.6, 9000, 3000, 0.0005, 0.02, true);
    s.Normalize(kLevel);
    return s;
}

Signal Heartbeat()
{
    Signal s(0.28);
    s.Tone(0, 0.12, 90, 48, 1.0, Wave::Sine, 0.003, 0.045);
    s.Tone(0.13, 0.14, 80, 42, 0.75, Wave::Sine, 0.003, 0.05);
    s.Noise(0, 0.03, 0.15, 800, 300, 0.001, 0.01);
    s.Normalize(kLevel);
    return s;
}

Signal LoseLife()
{
    Signal s(1.2);
    static constexpr double kNotes[] = {67, 64, 60, 55};
    for (int k = 0; k < 4; ++k)
    {
        double start = 0.18 * k;
        double length = k == 3 ? 0.6 : 0.22;
        s.Tone(start, length, Hz(kNotes[k]), Hz(kNotes[k] - (k == 3 ? 1.5 : 0.3)), 0.35, Wave::Triangle, 0.01, 0.25);
        s.Tone(start, length, Hz(kNotes[k] - 12), Hz(kNotes[k] - 12.3), 0.25, Wave::Sine, 0.01, 0.25);
    }
    s.Normalize(kLevel);
    return s;
}

Signal Rollback()
{
    Signal s(0.7);
    s.Tone(0, 0.7, 1400, 260, 0.5, Wave::Triangle, 0.01, 0.5);
    s.Noise(0, 0.7, 0.35, 3000, 500, 0.05, 0.4);
    s.Tremolo(22, 0.6);
    s.Normalize(kLevel);
    return s;
}

Signal Stop()
{
    Signal s(0.6);
    s.Tone(0, 0.18, Hz(84), Hz(72), 0.5, Wave::Square, 0.002, 0.08);
    s.Bell(0.12, Hz(91), 0.7, 0.3);
    s.Bell(0.12, Hz(98), 0.4, 0.3);
    s.Normalize(kLevel);
    return s;
}

Signal ScoreReached()
{
    Signal s(1.2);
    static constexpr double kNotes[] = {72, 76, 79, 84};
    for (int k = 0; k < 4; ++k)
    {
        double start = 0.1 * k;
        s.Tone(start, 1.2 - start, Hz(kNotes[k]), Hz(kNotes[k]), 0.25, Wave::Triangle, 0.005, k == 3 ? 0.5 : 0.2);
        s.Bell(start, Hz(kNotes[k] + 12), 0.35, 0.3);
    }
    s.Normalize(kLevel);
    return s;
}

Signal BonusArrived()
{
    Signal s(0.7);
    for (int k = 0; k < 7; ++k)
        s.Bell(0.05 * k, Hz(84 + 2 * k + (k > 2) + (k > 5)), 0.4, 0.15);
    s.Normalize(kLevel);
    return s;
}

Signal BallsRolling()
{
    // A low rumble with the knock of balls rolling over one another.
    Signal s(1.4);
    s.Noise(0, 1.4, 0.8, 180, 260, 0.25, 1.0);
    for (int k = 0; k < 14; ++k)
        s.Noise(0.05 + 0.09 * k, 0.04, 0.25 * (1 - k / 16.0), 1500, 600, 0.001, 0.01);
    s.Tremolo(11, 0.5);
    s.FadeEnds(0.002, 0.4);
    s.Normalize(kSoft * 1.3);
    return s;
}
} // namespace

std::vector<SoundEffect> MakeSoundEffects()
{
    std::vector<SoundEffect> effects;
    effects.push_back({"balls_rolling", BallsRolling()});
    effects.push_back({"bonus_arrived", BonusArrived()});
    effects.push_back({"open_ball", OpenBall()});
    effects.push_back({"close_ball", CloseBall()});
    effects.push_back({"collect_pair", CollectPair()});
    for (int n = 2; n <= 9; ++n)
        effects.push_back({"combo" + std::to_string(n), Combo(n)});
    effects.push_back({"combo_open", ComboOpen()});
    effects.push_back({"complete_chip", CompleteChip()});
    effects.push_back({"explode", Explode()});
    effects.push_back({"heartbeat", Heartbeat()});
    effects.push_back({"lose_life", LoseLife()});
    effects.push_back({"rollback", Rollback()});
    effects.push_back({"stop", Stop()});
    effects.push_back({"score_reached", ScoreReached()});
    for (SoundEffect& e : effects)
        e.signal.FadeEnds();
    return effects;
}

void WriteSoundEffects(const DataWriter& out)
{
    for (const SoundEffect& e : MakeSoundEffects())
        out.Write("music/sfx/" + e.name + ".wav", EncodeWav(e.signal.Pcm16(), kSampleRate));
}

} // namespace Spindrel::Datagen
