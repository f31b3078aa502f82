#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace Spindrel::Datagen
{

// A multi-channel tracker module in the extended module layout: patterns
// of rows, an order list, instruments with one 16-bit sample each. Only
// what the game's music needs is modelled.
struct XmCell
{
    uint8_t note = 0; // 1..96 (1 = C-0), 97 = key off, 0 = none
    uint8_t instrument = 0; // 1-based, 0 = none
    uint8_t volume = 0; // volume column byte: 0x10 + v sets volume v (0..64)
    uint8_t effect = 0;
    uint8_t param = 0;
};

struct XmPattern
{
    int rows = 64;
    // cells[row * channels + channel]
    std::vector<XmCell> cells;
};

struct XmEnvelopePoint
{
    uint16_t tick = 0;
    uint16_t value = 0; // 0..64
};

struct XmInstrument
{
    std::string name;
    std::vector<int16_t> sample;
    uint32_t loopStart = 0; // in samples
    uint32_t loopLength = 0; // 0 = no loop
    uint8_t volume = 64;
    uint8_t panning = 128;
    int8_t relativeNote = 0;
    int8_t finetune = 0;
    std::vector<XmEnvelopePoint> volumeEnvelope; // empty = none
    int sustainPoint = -1;
    uint16_t fadeout = 0;
    uint8_t vibratoDepth = 0;
    uint8_t vibratoRate = 0;
    uint8_t vibratoSweep = 0;
};

struct XmModule
{
    std::string name;
    int channels = 8;
    int speed = 6; // ticks per row
    int tempo = 125; // the module's beats per minute
    std::vector<uint8_t> orders;
    std::vector<XmPattern> patterns;
    std::vector<XmInstrument> instruments;
};

// Serialises the module; throws when a limit of the layout is exceeded.
std::vector<uint8_t> EncodeXm(const XmModule& module);

// The relative note and finetune that make XM note 49 (C-4) play a sample
// recorded at `sampleRate` whose pitch is `baseHz` as middle C.
void TuneToMiddleC(XmInstrument& instrument, double sampleRate, double baseHz);

} // namespace Spindrel::Datagen
