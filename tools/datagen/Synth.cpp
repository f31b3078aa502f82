#include "tools/datagen/Synth.h"

#include <algorithm>
#include <cmath>

namespace Spindrel::Datagen
{

namespace
{
constexpr double kPi = 3.14159265358979323846;

double Envelope(double t, double length, double attack, double decay)
{
    if (t < 0 || t >= length)
        return 0;
    double a = attack > 0 ? std::min(1.0, t / attack) : 1.0;
    return a * std::exp(-t / decay);
}

// One sample of a waveform at phase p (in cycles).
double WaveAt(Signal::Wave wave, double phase)
{
    double p = phase - std::floor(phase);
    switch (wave)
    {
    case Signal::Wave::Sine:
        return std::sin(2 * kPi * p);
    case Signal::Wave::Triangle:
        return p < 0.5 ? 4 * p - 1 : 3 - 4 * p;
    case Signal::Wave::Square:
        return p < 0.5 ? 1 : -1;
    case Signal::Wave::Saw:
        return 2 * p - 1;
    }
    return 0;
}
} // namespace

Signal::Signal(double seconds)
    : m_samples(static_cast<size_t>(std::lround(seconds * kSampleRate)), 0.0f)
{
}

size_t Signal::Index(double seconds) const
{
    return std::min(m_samples.size(), static_cast<size_t>(std::max(0.0, seconds) * kSampleRate));
}

void Signal::Tone(double start, double length, double fromHz, double toHz, double amplitude, Wave wave,
    double attack, double decay)
{
    double phase = 0;
    size_t first = Index(start), last = Index(start + length);
    double ratio = toHz / fromHz;
    for (size_t i = first; i < last; ++i)
    {
        double t = (i - first) / double(kSampleRate);
        double hz = fromHz * std::pow(ratio, t / length);
        phase += hz / kSampleRate;
        m_samples[i] += static_cast<float>(amplitude * Envelope(t, length, attack, decay) * WaveAt(wave, phase));
    }
}

void Signal::Bell(double start, double hz, double amplitude, double decay)
{
    // Partials of a small struck bar or bell, each quieter and shorter.
    static constexpr double kRatio[] = {1.0, 2.0, 2.76, 4.07, 5.4};
    static constexpr double kLevel[] = {1.0, 0.35, 0.5, 0.18, 0.2};
    static constexpr double kLife[] = {1.0, 0.7, 0.45, 0.3, 0.2};
    double length = m_samples.size() / double(kSampleRate) - start;
    for (int k = 0; k < 5; ++k)
        Tone(start, length, hz * kRatio[k], hz * kRatio[k], amplitude * kLevel[k] / 2.2, Wave::Sine, 0.002,
            decay * kLife[k]);
}

void Signal::Noise(double start, double length, double amplitude, double fromCutoff, double toCutoff, double attack,
    double decay, bool highPass)
{
    size_t first = Index(start), last = Index(start + length);
    double low = 0;
    for (size_t i = first; i < last; ++i)
    {
        double t = (i - first) / double(kSampleRate);
        double cutoff = fromCutoff * std::pow(toCutoff / fromCutoff, t / length);
        double k = 1 - std::exp(-2 * kPi * cutoff / kSampleRate);
        m_noise = m_noise * 1664525u + 1013904223u;
        double white = (m_noise >> 8) / double(1 << 24) * 2 - 1;
        low += k * (white - low);
        double v = highPass ? white - low : low;
        m_samples[i] += static_cast<float>(amplitude * Envelope(t, length, attack, decay) * v);
    }
}

void Signal::Tremolo(double rate, double depth)
{
    for (size_t i = 0; i < m_samples.size(); ++i)
    {
        double t = i / double(kSampleRate);
        m_samples[i] *= static_cast<float>(1 - depth / 2 * (1 - std::cos(2 * kPi * rate * t)));
    }
}

void Signal::FadeEnds(double fadeIn, double fadeOut)
{
    size_t n = m_samples.size();
    size_t in = std::min(n, Index(fadeIn)), out = std::min(n, Index(fadeOut));
    for (size_t i = 0; i < in; ++i)
        m_samples[i] *= static_cast<float>(i / double(in));
    for (size_t i = 0; i < out; ++i)
        m_samples[n - 1 - i] *= static_cast<float>(i / double(out));
}

double Signal::Peak() const
{
    double peak = 0;
    for (float v : m_samples)
        peak = std::max(peak, double(std::abs(v)));
    return peak;
}

double Signal::Rms() const
{
    double floor = Peak() * 0.01;
    double sum = 0;
    size_t count = 0;
    for (float v : m_samples)
        if (std::abs(v) > floor)
        {
            sum += double(v) * v;
            ++count;
        }
    return count ? std::sqrt(sum / count) : 0;
}

void Signal::Normalize(double rms, double peak)
{
    double now = Rms(), top = Peak();
    if (now <= 0 || top <= 0)
        return;
    double gain = std::min(rms / now, peak / top);
    for (float& v : m_samples)
        v = static_cast<float>(v * gain);
}

std::vector<int16_t> Signal::Pcm16() const
{
    std::vector<int16_t> pcm(m_samples.size());
    for (size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = static_cast<int16_t>(std::lround(std::clamp(double(m_samples[i]), -1.0, 1.0) * 32767));
    return pcm;
}

} // namespace Spindrel::Datagen
