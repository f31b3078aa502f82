#include "tools/datagen/Music.h"

#include "tools/datagen/DataWriter.h"
#include "tools/datagen/MusicInstruments.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <stdexcept>
#include <string>

namespace Spindrel::Datagen
{

namespace
{
constexpr int kChannels = 8;
enum Channel
{
    kMelody = 0,
    kArp = 1,
    kPad1 = 2, // pads use 2, 3 and 4
    kBassLine = 5,
    kDrums = 6,
    kHats = 7,
};
constexpr uint8_t kKeyOff = 97;
constexpr uint8_t kFxTremolo = 0x07;
constexpr uint8_t kFxJump = 0x0b;
constexpr uint8_t kFxSpeed = 0x0f;

enum class Style
{
    Menu,
    Theme,
    Danger,
    Fanfare,
    Lament,
    Silence,
};

struct Chord
{
    int root = 0; // MIDI note of the root, octave 4 (60..71)
    std::vector<int> tones; // semitones above the root
    int rows = 16;
};

struct Section
{
    const char* name;
    int tempo;
    int rows;
    Style style;
    const char* chords;  // "C:16 Am:16 ..." (default length: one bar)
    const char* melody;  // "E5:4 G5:2 r:2 ..." (default length: one row)
    int jumpTo;
};

int NoteNumber(const std::string& name)
{
    // "C5", "F#4", "Bb3" to MIDI (C4 = 60).
    static constexpr int kSteps[] = {9, 11, 0, 2, 4, 5, 7}; // A..G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G')
        throw std::logic_error("bad note " + name);
    int semitone = kSteps[name[0] - 'A'];
    size_t i = 1;
    if (name[i] == '#')
        ++semitone, ++i;
    else if (name[i] == 'b')
        --semitone, ++i;
    int octave = std::stoi(name.substr(i));
    return 12 * (octave + 1) + semitone;
}

std::vector<std::pair<std::string, int>> Tokens(const char* text, int defaultLength)
{
    // Bar lines are only for the reader.
    std::string plain(text);
    std::replace(plain.begin(), plain.end(), '|', ' ');
    std::vector<std::pair<std::string, int>> out;
    std::istringstream in(plain);
    std::string word;
    while (in >> word)
    {
        size_t colon = word.find(':');
        int length = colon == std::string::npos ? defaultLength : std::stoi(word.substr(colon + 1));
        out.emplace_back(word.substr(0, colon), length);
    }
    return out;
}

std::vector<Chord> ParseChords(const char* text)
{
    std::vector<Chord> chords;
    for (auto& [name, rows] : Tokens(text, 16))
    {
        Chord c;
        c.rows = rows;
        size_t i = 1;
        std::string rootName = name.substr(0, 1);
        if (i < name.size() && (name[i] == '#' || name[i] == 'b'))
            rootName += name[i++];
        c.root = NoteNumber(rootName + "4");
        std::string quality = name.substr(i);
        if (quality == "")
            c.tones = {0, 4, 7};
        else if (quality == "m")
            c.tones = {0, 3, 7};
        else if (quality == "7")
            c.tones = {0, 4, 7, 10};
        else if (quality == "m7")
            c.tones = {0, 3, 7, 10};
        else if (quality == "maj7")
            c.tones = {0, 4, 7, 11};
        else if (quality == "sus4")
            c.tones = {0, 5, 7};
        else
            throw std::logic_error("unknown chord " + name);
        chords.push_back(c);
    }
    return chords;
}

class SectionWriter
{
public:
    explicit SectionWriter(int rows)
        : m_rows(rows), m_cells(size_t(rows) * kChannels)
    {
    }

    XmCell& At(int row, int channel) { return m_cells[size_t(row) * kChannels + channel]; }

    void Note(int row, int channel, int midi, uint8_t instrument, int volume)
    {
        if (row < 0 || row >= m_rows)
            return;
        XmCell& c = At(row, channel);
        c.note = static_cast<uint8_t>(midi - 11);
        c.instrument = instrument;
        c.volume = static_cast<uint8_t>(0x10 + std::clamp(volume, 0, 64));
    }
    void Off(int row, int channel)
    {
        if (row >= 0 && row < m_rows)
            At(row, channel).note = kKeyOff;
    }
    void Effect(int row, int channel, uint8_t effect, uint8_t param)
    {
        XmCell& c = At(row, channel);
        c.effect = effect;
        c.param = param;
    }

    int Rows() const { return m_rows; }

    // Cuts the section into patterns of at most 64 rows.
    std::vector<XmPattern> Patterns() const
    {
        std::vector<XmPattern> out;
        for (int start = 0; start < m_rows; start += 64)
        {
            XmPattern p;
            p.rows = std::min(64, m_rows - start);
            p.cells.assign(m_cells.begin() + size_t(start) * kChannels,
                m_cells.begin() + size_t(start + p.rows) * kChannels);
            out.push_back(std::move(p));
        }
        return out;
    }

private:
    int m_rows;
    std::vector<XmCell> m_cells;
};

void WriteMelody(SectionWriter& w, const char* melody, int volume)
{
    int row = 0;
    for (auto& [name, rows] : Tokens(melody, 1))
    {
        if (name == "r")
            w.Off(row, kMelody);
        else if (name != "~")
            w.Note(row, kMelody, NoteNumber(name), kLead, volume);
        row += rows;
    }
    if (row != w.Rows())
        throw std::logic_error("a melody fills " + std::to_string(row) + " of " + std::to_string(w.Rows()) + " rows");
}

// The chord's tones laid out upwards from the lowest one at or above `floor`.
std::vector<int> Voicing(const Chord& c, int floor)
{
    std::vector<int> notes;
    for (int t : c.tones)
    {
        int n = c.root + t;
        while (n < floor)
            n += 12;
        while (n >= floor + 12)
            n -= 12;
        notes.push_back(n);
    }
    std::sort(notes.begin(), notes.end());
    return notes;
}

void WriteAccompaniment(SectionWriter& w, const std::vector<Chord>& chords, Style style)
{
    int start = 0;
    for (const Chord& c : chords)
    {
        std::vector<int> pad = Voicing(c, 55);
        int bass = c.root - 24;
        if (bass > 45)
            bass -= 12;
        int fifth = bass + 7;
        bool danger = style == Style::Danger;
        int padVolume = style == Style::Menu ? 18 : (danger ? 20 : 16);
        for (size_t v = 0; v < 3 && v < pad.size(); ++v)
            w.Note(start, kPad1 + int(v), pad[v], kPad, padVolume);
        if (pad.size() > 3)
            w.Note(start, kPad1 + 2, pad[3], kPad, padVolume);

        for (int r = 0; r < c.rows; ++r)
        {
            int row = start + r;
            int beatRow = row % 16;
            if (danger)
                for (int v = 0; v < 3; ++v)
                    w.Effect(row, kPad1 + v, kFxTremolo, 0x84);

            // Keys: arpeggios in the calm parts, off-beat stabs when in danger.
            std::vector<int> arp = Voicing(c, 67);
            switch (style)
            {
            case Style::Menu:
                if (row % 2 == 0)
                    w.Note(row, kArp, arp[(row / 2) % arp.size()] + (((row / 2) % 4 == 3) ? 12 : 0), kKeys, 22);
                break;
            case Style::Theme:
                if (beatRow % 4 == 2 || beatRow == 0 || beatRow == 7)
                    w.Note(row, kArp, arp[(beatRow / 2) % arp.size()], kKeys, beatRow % 4 == 2 ? 26 : 18);
                break;
            case Style::Danger:
                if (row % 2 == 1)
                    w.Note(row, kArp, arp[(row / 2) % 2 == 0 ? 0 : arp.size() - 1], kKeys, 20);
                break;
            case Style::Fanfare:
                if (r < 8 && r % 2 == 0)
                    w.Note(row, kArp, arp[(r / 2) % arp.size()] + 12, kKeys, 26);
                break;
            default:
                break;
            }

            // Bass.
            switch (style)
            {
            case Style::Menu:
                if (beatRow == 0 || beatRow == 8)
                    w.Note(row, kBassLine, beatRow == 0 ? bass : fifth, kBass, 34);
                break;
            case Style::Theme:
                if (beatRow == 0 || beatRow == 6 || beatRow == 8 || beatRow == 14)
                    w.Note(row, kBassLine, beatRow == 8 ? fifth : (beatRow == 14 ? bass + 12 : bass), kBass,
                        beatRow % 8 == 0 ? 38 : 30);
                break;
            case Style::Danger:
                if (row % 2 == 0)
                    w.Note(row, kBassLine, (beatRow == 6 || beatRow == 14) ? bass + 12 : bass, kBass,
                        beatRow % 4 == 0 ? 40 : 32);
                break;
            case Style::Fanfare:
            case Style::Lament:
                if (r == 0)
                    w.Note(row, kBassLine, bass, kBass, 44);
                break;
            default:
                break;
            }

            // Drums: kick and snare share a channel, hats have their own.
            switch (style)
            {
            case Style::Menu:
                if (beatRow == 0 || beatRow == 8)
                    w.Note(row, kDrums, 60, kKick, 40);
                else if (beatRow == 12)
                    w.Note(row, kDrums, 60, kSnare, 20);
                if (beatRow % 4 == 2)
                    w.Note(row, kHats, 60, kHat, 14);
                break;
            case Style::Theme:
                if (beatRow == 0 || beatRow == 8 || beatRow == 10)
                    w.Note(row, kDrums, 60, kKick, 46);
                else if (beatRow == 4 || beatRow == 12)
                    w.Note(row, kDrums, 60, kSnare, 38);
                if (beatRow % 2 == 0)
                    w.Note(row, kHats, 60, kHat, beatRow % 4 == 2 ? 22 : 14);
                break;
            case Style::Danger:
                if (beatRow == 4 || beatRow == 12)
                    w.Note(row, kDrums, 60, kSnare, 40);
                else if (beatRow % 4 == 0 || beatRow == 14)
                    w.Note(row, kDrums, 60, kKick, 48);
                w.Note(row, kHats, 60, kHat, beatRow % 2 == 0 ? 20 : 12);
                break;
            case Style::Fanfare:
                if (r == 0)
                    w.Note(row, kDrums, 60, kKick, 56);
                if (row >= 10 && row < 16)
                    w.Note(row, kHats, 60, kSnare, 16 + 3 * (row - 10));
                break;
            default:
                break;
            }
        }
        start += c.rows;
    }
    if (start != w.Rows())
        throw std::logic_error("the chords fill " + std::to_string(start) + " of " + std::to_string(w.Rows()) + " rows");
}

const std::vector<Section>& Sections()
{
    static const std::vector<Section> sections = {
        {"menu", 100, 128, Style::Menu, "C Am F G C Am Dm G7",
            "E5:4 G5:4 E5:2 D5:2 C5:4 | A4:6 C5:2 E5:8 | F5:4 E5:2 D5:2 C5:4 A4:4 | B4:4 D5:4 G4:8 |"
            "E5:4 G5:4 C6:4 B5:2 A5:2 | A5:4 G5:2 E5:2 C5:8 | D5:4 F5:4 A5:4 G5:2 F5:2 | E5:4 D5:4 B4:4 G4:4",
            0},
        {"theme A", 124, 320, Style::Theme, "F Dm Bb C F Dm Gm C7 Bb C Am Dm Gm C F F Bb C Dm C7",
            "C5:2 F5:2 A5:2 G5:2 F5:4 C5:4 | D5:2 F5:2 A5:2 C6:2 A5:4 F5:4 | D5:2 F5:2 Bb5:2 A5:2 G5:4 F5:2 D5:2 |"
            "E5:4 G5:4 C5:8 | C5:2 F5:2 A5:2 G5:2 F5:4 A5:4 | C6:2 A5:2 F5:2 A5:2 D6:8 |"
            "Bb5:4 A5:2 G5:2 F5:4 D5:4 | E5:2 F5:2 G5:2 Bb5:2 A5:4 G5:4 | F5:6 D5:2 Bb4:8 | G5:6 E5:2 C5:8 |"
            "A5:4 G5:2 F5:2 E5:4 C5:4 | D5:4 E5:2 F5:2 A5:8 | Bb5:4 A5:2 G5:2 D5:4 G5:4 |"
            "E5:2 F5:2 G5:2 A5:2 Bb5:4 G5:4 | A5:4 F5:4 C6:8 | A5:2 G5:2 F5:2 C5:2 F5:8 |"
            "D6:4 C6:2 Bb5:2 F5:8 | E5:4 G5:4 C6:8 | D6:2 C6:2 A5:2 F5:2 D5:4 F5:4 | E5:4 G5:4 Bb5:4 C6:4",
            2},
        {"danger A", 124, 128, Style::Danger, "Dm Bb Gm A7 Dm Bb Gm A7",
            "A5:2 A5:2 r:2 A5:2 Bb5:2 A5:2 F5:2 D5:2 | F5:2 F5:2 r:2 F5:2 G5:2 F5:2 D5:2 Bb4:2 |"
            "G5:2 G5:2 r:2 G5:2 A5:2 Bb5:2 A5:2 G5:2 | E5:4 C#5:4 A4:4 r:4 |"
            "D6:2 C6:2 A5:2 D6:2 C6:2 A5:2 F5:2 A5:2 | Bb5:2 A5:2 F5:2 Bb5:2 A5:2 F5:2 D5:2 F5:2 |"
            "G5:2 F5:2 D5:2 G5:2 Bb5:2 A5:2 G5:2 F5:2 | E5:2 F5:2 G5:2 A5:2 C#6:4 A5:4",
            7},
        {"theme B", 116, 384, Style::Theme, "G Em C D G Em Am7 D7 C D Bm Em Am D G G Em C G D C Am D D7",
            "D5:4 G5:4 B5:6 A5:2 | G5:4 E5:4 B4:8 | C5:2 E5:2 G5:4 E5:2 G5:2 C6:4 | B5:4 A5:4 F#5:8 |"
            "D5:4 G5:4 B5:4 D6:4 | E6:4 D6:2 B5:2 G5:8 | A5:4 C6:4 B5:2 A5:2 G5:4 | F#5:4 A5:4 D5:8 |"
            "E5:6 G5:2 C6:8 | D6:6 C6:2 A5:8 | B5:4 A5:2 F#5:2 D5:4 F#5:4 | G5:4 F#5:2 E5:2 B4:8 |"
            "C5:4 E5:4 A5:4 G5:4 | F#5:4 A5:4 D6:4 C6:4 | B5:8 G5:8 | D5:4 G5:4 B5:8 |"
            "B5:2 A5:2 G5:2 E5:2 G5:4 B5:4 | C6:2 B5:2 A5:2 G5:2 E5:4 G5:4 | D6:4 B5:4 G5:4 B5:4 | A5:4 F#5:4 D5:8 |"
            "E5:4 G5:4 C6:4 E6:4 | D6:4 C6:4 A5:8 | F#5:4 A5:4 C6:4 B5:4 | A5:4 F#5:4 D5:4 C5:4",
            9},
        {"danger B", 116, 64, Style::Danger, "Em C Am B7",
            "B5:2 B5:2 r:2 B5:2 C6:2 B5:2 G5:2 E5:2 | G5:2 G5:2 r:2 G5:2 A5:2 G5:2 E5:2 C5:2 |"
            "A5:2 C6:2 E6:2 C6:2 A5:2 E5:2 A5:2 C6:2 | D#6:4 B5:4 F#5:4 D#5:4",
            15},
        {"level complete", 120, 32, Style::Fanfare, "C:16 C:16",
            "G4:2 C5:2 E5:2 G5:2 C6:4 G5:2 C6:2 | E6:12 r:4", 18},
        {"game over", 90, 24, Style::Lament, "Am:8 Dm:4 E7:6 Am:6", "E5:4 C5:4 A4:4 B4:6 A4:6", 18},
        {"silence", 125, 16, Style::Silence, "C:16", "r:16", 18},
    };
    return sections;
}
} // namespace

XmModule ComposeMusic()
{
    XmModule module;
    module.name = "Spindrel";
    module.channels = kChannels;
    module.speed = 6;
    module.tempo = 100;
    module.instruments = MakeMusicInstruments();
    for (const Section& s : Sections())
    {
        SectionWriter w(s.rows);
        if (s.style != Style::Silence)
        {
            WriteAccompaniment(w, ParseChords(s.chords), s.style);
            WriteMelody(w, s.melody, s.style == Style::Menu ? 36 : 40);
        }
        // Notes left sounding by whatever played before stop where a section
        // begins; the silence stops everything.
        for (int ch = 0; ch < kChannels; ++ch)
        {
            XmCell& c = w.At(0, ch);
            if (c.note == 0 || s.style == Style::Silence)
            {
                c.note = kKeyOff;
                c.volume = 0x10;
            }
        }
        // Every section sets its own speed and tempo, since the game starts
        // it from wherever the player left off, and ends with a jump back.
        w.Effect(0, kDrums, kFxSpeed, 6);
        w.Effect(0, kHats, kFxSpeed, static_cast<uint8_t>(s.tempo));
        w.Effect(s.rows - 1, kBassLine, kFxJump, static_cast<uint8_t>(s.jumpTo));
        for (XmPattern& p : w.Patterns())
        {
            module.orders.push_back(static_cast<uint8_t>(module.patterns.size()));
            module.patterns.push_back(std::move(p));
        }
    }
    return module;
}

void WriteMusic(const DataWriter& out)
{
    out.Write("music/music.mo3", EncodeXm(ComposeMusic()));
}

} // namespace Spindrel::Datagen
