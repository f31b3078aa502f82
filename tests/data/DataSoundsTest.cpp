#include "DataFiles.h"

#include "framework/audio/SoundFile.h"

#include <cmath>
#include <map>

namespace
{

const std::vector<std::string> kSounds = {"balls_rolling", "bonus_arrived", "close_ball", "collect_pair", "combo2",
    "combo3", "combo4", "combo5", "combo6", "combo7", "combo8", "combo9", "combo_open", "complete_chip", "explode",
    "heartbeat", "lose_life", "open_ball", "rollback", "score_reached", "stop"};

Quillo::PcmSound Load(const std::string& name)
{
    std::string error;
    std::vector<uint8_t> bytes = ReadDataFile("music/sfx/" + name + ".wav");
    auto wave = Quillo::SoundFile::DecodeWave(bytes, error);
    if (!wave)
    {
        ADD_FAILURE() << name << ": " << error;
        return {};
    }
    EXPECT_FALSE(wave->dependency) << name << " must be a plain sound, not a cache file";
    return wave->sound;
}

double Seconds(const Quillo::PcmSound& s)
{
    return s.Frames() / double(s.sampleRate);
}

double Rms(const Quillo::PcmSound& s)
{
    double sum = 0;
    for (int16_t v : s.samples)
        sum += double(v) * v;
    return s.samples.empty() ? 0 : std::sqrt(sum / s.samples.size()) / 32768;
}

// Loudness of the strongest tenth of a second, so that long tails do not
// make a sound count as quiet.
double LoudestWindow(const Quillo::PcmSound& s)
{
    size_t window = std::min<size_t>(s.samples.size(), 4410);
    double best = 0, sum = 0;
    for (size_t i = 0; i < s.samples.size(); ++i)
    {
        sum += double(s.samples[i]) * s.samples[i];
        if (i >= window)
            sum -= double(s.samples[i - window]) * s.samples[i - window];
        if (i + 1 >= window)
            best = std::max(best, sum / window);
    }
    return std::sqrt(best) / 32768;
}

// The strength of a frequency in the signal (Goertzel).
double Strength(const std::vector<double>& x, double hz, int rate)
{
    double c = 2 * std::cos(2 * M_PI * hz / rate), s1 = 0, s2 = 0;
    for (double v : x)
    {
        double s = v + c * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    return std::sqrt(std::max(0.0, s1 * s1 + s2 * s2 - c * s1 * s2));
}

// The lowest strong pitch (MIDI note) in the first `seconds`.
int LowestStrongNote(const Quillo::PcmSound& s, double seconds)
{
    std::vector<double> x;
    for (size_t i = 0; i < s.samples.size() && i < size_t(seconds * s.sampleRate); ++i)
        x.push_back(s.samples[i] / 32768.0);
    std::map<int, double> strength;
    double top = 0;
    for (int note = 48; note <= 108; ++note)
    {
        strength[note] = Strength(x, 440 * std::pow(2, (note - 69) / 12.0), s.sampleRate);
        top = std::max(top, strength[note]);
    }
    for (auto& [note, v] : strength)
        if (v > top * 0.5)
            return note;
    return 0;
}

TEST(DataSounds, AreCleanMonoWavesOfSaneLengthAndOneLoudness)
{
    double quietest = 1, loudest = 0;
    for (const std::string& name : kSounds)
    {
        SCOPED_TRACE(name);
        const Quillo::PcmSound s = Load(name);
        EXPECT_EQ(s.channels, 1);
        EXPECT_EQ(s.sampleRate, 44100);
        EXPECT_EQ(s.bitsPerSample, 16);
        EXPECT_GE(Seconds(s), 0.03);
        EXPECT_LE(Seconds(s), 2.0);
        int peak = 0;
        for (int16_t v : s.samples)
            peak = std::max(peak, std::abs(int(v)));
        EXPECT_LT(peak, 32000) << "clipped";
        EXPECT_GT(peak, 3000) << "nearly silent";
        EXPECT_GT(Rms(s), 0.01);
        // Starts and ends at rest, so it does not click.
        ASSERT_FALSE(s.samples.empty());
        EXPECT_LT(std::abs(int(s.samples.front())), 400);
        EXPECT_LT(std::abs(int(s.samples.back())), 400);
        quietest = std::min(quietest, LoudestWindow(s));
        loudest = std::max(loudest, LoudestWindow(s));
    }
    // The repeating ticks and flips sit lower on purpose, but none stands
    // out: every loudest tenth of a second is within 12 dB of the others.
    EXPECT_LT(loudest / quietest, 4.0);
}

TEST(DataSounds, ShortOnesFitTheirMoments)
{
    EXPECT_LE(Seconds(Load("open_ball")), 0.15);
    EXPECT_LE(Seconds(Load("close_ball")), 0.15);
    EXPECT_LE(Seconds(Load("complete_chip")), 0.08) << "ticks every 0.07 s";
    EXPECT_LE(Seconds(Load("heartbeat")), 0.3) << "beats 0.35 s apart";
}

TEST(DataSounds, CombosRiseInPitch)
{
    int previous = 0;
    for (int n = 2; n <= 9; ++n)
    {
        int note = LowestStrongNote(Load("combo" + std::to_string(n)), 0.05);
        EXPECT_GT(note, previous) << "combo" << n;
        previous = note;
    }
}

} // namespace
