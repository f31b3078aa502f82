#include "tools/datagen/MusicInstruments.h"

#include "tools/datagen/Synth.h"

#include <algorithm>
#include <cmath>

namespace Spindrel::Datagen
{

namespace
{
constexpr double kPi = 3.14159265358979323846;
// Pitched instruments are made at 262 Hz (middle C, 2.4 cents sharp, which
// the finetune takes back): every partial then has a whole number of hertz,
// so a loop of exactly one second joins without a click.
constexpr double kBase = 262.0;

struct Partial
{
    double hz;
    double level;
    double decay; // seconds to 1/e; huge = sustained
};

std::vector<float> Additive(double seconds, const std::vector<Partial>& partials)
{
    std::vector<float> out(static_cast<size_t>(seconds * kSampleRate), 0.0f);
    for (size_t i = 0; i < out.size(); ++i)
    {
        double t = i / double(kSampleRate);
        double v = 0;
        for (const Partial& p : partials)
            v += p.level * std::exp(-t / p.decay) * std::sin(2 * kPi * p.hz * t);
        out[i] = static_cast<float>(v);
    }
    return out;
}

std::vector<int16_t> ToPcm(std::vector<float> samples, double peak)
{
    double top = 0;
    for (float v : samples)
        top = std::max(top, double(std::abs(v)));
    std::vector<int16_t> pcm(samples.size());
    for (size_t i = 0; i < samples.size(); ++i)
        pcm[i] = static_cast<int16_t>(std::lround(samples[i] / top * peak * 32767));
    return pcm;
}

XmInstrument Pitched(const char* name, std::vector<int16_t> pcm, uint32_t loopStart, uint32_t loopLength)
{
    XmInstrument ins;
    ins.name = name;
    ins.sample = std::move(pcm);
    ins.loopStart = loopStart;
    ins.loopLength = loopLength;
    TuneToMiddleC(ins, kSampleRate, kBase);
    return ins;
}

XmInstrument Lead()
{
    // A soft flute-like voice: a breathy start, then a pure looped tone.
    const uint32_t attack = kSampleRate / 20;
    std::vector<Partial> partials = {{kBase, 1.0, 1e9}, {2 * kBase, 0.3, 1e9}, {3 * kBase, 0.12, 1e9}, {4 * kBase, 0.05, 1e9}};
    std::vector<float> s = Additive(1.0 + attack / double(kSampleRate), partials);
    Signal chiff(attack / double(kSampleRate));
    chiff.Noise(0, attack / double(kSampleRate), 0.5, 4000, 1500, 0.002, 0.012);
    for (size_t i = 0; i < chiff.Samples().size(); ++i)
        s[i] += chiff.Samples()[i];
    XmInstrument ins = Pitched("lead", ToPcm(s, 0.9), attack, kSampleRate);
    ins.volumeEnvelope = {{0, 0}, {3, 64}, {20, 50}, {60, 44}};
    ins.sustainPoint = 3;
    ins.fadeout = 1800;
    ins.vibratoDepth = 3;
    ins.vibratoRate = 10;
    ins.vibratoSweep = 40;
    ins.panning = 120;
    return ins;
}

XmInstrument Keys()
{
    // An electric-piano bell: a warm body and a bright tine that fades fast.
    std::vector<Partial> partials = {{kBase, 1.0, 0.9}, {2 * kBase, 0.45, 0.45}, {3 * kBase, 0.2, 0.25},
        {7 * kBase, 0.12, 0.05}, {4.0 * kBase + 7, 0.08, 0.08}};
    std::vector<float> s = Additive(1.6, partials);
    for (size_t i = 0; i < 40 && i < s.size(); ++i)
        s[i] *= static_cast<float>(i / 40.0);
    XmInstrument ins = Pitched("keys", ToPcm(s, 0.9), 0, 0);
    ins.fadeout = 1200;
    ins.panning = 160;
    return ins;
}

XmInstrument Pad()
{
    // Three slightly detuned soft saws: a string-like pad.
    std::vector<Partial> partials;
    for (double detune : {0.0, 1.0, -1.0})
        for (int h = 1; h <= 10; ++h)
            partials.push_back({(kBase + detune) * h, 1.0 / std::pow(h, 1.6), 1e9});
    std::vector<float> s = Additive(1.0, partials);
    XmInstrument ins = Pitched("pad", ToPcm(s, 0.9), 0, kSampleRate);
    ins.volumeEnvelope = {{0, 0}, {14, 64}, {50, 56}};
    ins.sustainPoint = 2;
    ins.fadeout = 900;
    ins.panning = 100;
    return ins;
}

XmInstrument Bass()
{
    std::vector<Partial> partials = {{kBase, 1.0, 1e9}, {2 * kBase, 0.55, 1e9}, {3 * kBase, 0.3, 1e9},
        {4 * kBase, 0.15, 1e9}, {5 * kBase, 0.08, 1e9}};
    std::vector<float> s = Additive(1.0, partials);
    XmInstrument ins = Pitched("bass", ToPcm(s, 0.9), 0, kSampleRate);
    ins.volumeEnvelope = {{0, 0}, {1, 64}, {12, 44}, {40, 36}};
    ins.sustainPoint = 3;
    ins.fadeout = 3000;
    return ins;
}

XmInstrument Drum(const char* name, Signal signal)
{
    signal.FadeEnds(0.0005, 0.01);
    XmInstrument ins;
    ins.name = name;
    std::vector<float> s = signal.Samples();
    ins.sample = ToPcm(s, 0.95);
    TuneToMiddleC(ins, kSampleRate, 261.6256);
    return ins;
}

Signal KickSound()
{
    Signal s(0.32);
    s.Tone(0, 0.32, 160, 42, 1.0, Signal::Wave::Sine, 0.001, 0.12);
    s.Noise(0, 0.01, 0.3, 5000, 2000, 0.0005, 0.003);
    return s;
}

Signal SnareSound()
{
    Signal s(0.24);
    s.Noise(0, 0.24, 1.0, 6000, 2500, 0.001, 0.06);
    s.Tone(0, 0.1, 200, 160, 0.6, Signal::Wave::Sine, 0.001, 0.03);
    return s;
}

Signal HatSound()
{
    Signal s(0.07);
    s.Noise(0, 0.07, 1.0, 6000, 6000, 0.0005, 0.015, true);
    return s;
}
} // namespace

std::vector<XmInstrument> MakeMusicInstruments()
{
    std::vector<XmInstrument> list;
    list.push_back(Lead());
    list.push_back(Keys());
    list.push_back(Pad());
    list.push_back(Bass());
    list.push_back(Drum("kick", KickSound()));
    list.push_back(Drum("snare", SnareSound()));
    XmInstrument hat = Drum("hat", HatSound());
    hat.panning = 150;
    list.push_back(hat);
    return list;
}

} // namespace Spindrel::Datagen
