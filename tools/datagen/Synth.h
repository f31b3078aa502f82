#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Spindrel::Datagen
{

inline constexpr int kSampleRate = 44100;

// A mono signal in floats (full scale 1.0) and the few building blocks the
// sounds and the music's instruments are made of. Everything is
// deterministic: the noise comes from a fixed-seed generator.
class Signal
{
public:
    explicit Signal(double seconds);

    enum class Wave
    {
        Sine,
        Triangle,
        Square,
        Saw,
    };

    // A tone gliding exponentially from `fromHz` to `toHz`, with a linear
    // attack and an exponential decay of `decay` seconds (time to 1/e).
    void Tone(double start, double length, double fromHz, double toHz, double amplitude, Wave wave = Wave::Sine,
        double attack = 0.004, double decay = 1e9);
    // A bell: inharmonic partials that die away at their own rates.
    void Bell(double start, double hz, double amplitude, double decay);
    // Noise through a one-pole low-pass whose cut-off glides between two
    // frequencies; `highPass` keeps what the low-pass removes instead.
    void Noise(double start, double length, double amplitude, double fromCutoff, double toCutoff,
        double attack = 0.002, double decay = 1e9, bool highPass = false);

    // Multiplies by 1 - depth/2 * (1 - cos(2 pi rate t)): a tremolo.
    void Tremolo(double rate, double depth);
    // Short fades at both ends so that nothing clicks.
    void FadeEnds(double fadeIn = 0.002, double fadeOut = 0.01);
    // Scales to the given RMS over the part louder than -40 dB of the peak,
    // but never past `peak`.
    void Normalize(double rms, double peak = 0.89);

    double Peak() const;
    double Rms() const;

    std::vector<float>& Samples() { return m_samples; }
    const std::vector<float>& Samples() const { return m_samples; }
    std::vector<int16_t> Pcm16() const;

private:
    size_t Index(double seconds) const;

    std::vector<float> m_samples;
    uint32_t m_noise = 0x2468ace1u;
};

} // namespace Spindrel::Datagen
