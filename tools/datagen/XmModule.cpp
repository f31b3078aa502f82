#include "tools/datagen/XmModule.h"

#include "tools/datagen/ByteBuffer.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace Spindrel::Datagen
{

namespace
{
constexpr uint32_t kInstrumentHeaderSize = 263;
constexpr uint32_t kSampleHeaderSize = 40;

void EncodePattern(ByteBuffer& out, const XmPattern& pattern, int channels)
{
    if (pattern.rows < 1 || pattern.rows > 256 || pattern.cells.size() != size_t(pattern.rows * channels))
        throw std::logic_error("a pattern's cells do not match its rows");
    ByteBuffer data;
    for (const XmCell& c : pattern.cells)
    {
        // Packed cells: a flag byte says which fields follow.
        uint8_t flags = 0x80 | (c.note ? 1 : 0) | (c.instrument ? 2 : 0) | (c.volume ? 4 : 0) | (c.effect ? 8 : 0) |
                        (c.param ? 16 : 0);
        data.U8(flags);
        if (c.note)
            data.U8(c.note);
        if (c.instrument)
            data.U8(c.instrument);
        if (c.volume)
            data.U8(c.volume);
        if (c.effect)
            data.U8(c.effect);
        if (c.param)
            data.U8(c.param);
    }
    if (data.Size() > 0xffff)
        throw std::logic_error("a pattern is too large");
    out.U32(9);
    out.U8(0);
    out.U16(static_cast<uint16_t>(pattern.rows));
    out.U16(static_cast<uint16_t>(data.Size()));
    out.Append(data.Bytes());
}

void EncodeInstrument(ByteBuffer& out, const XmInstrument& ins)
{
    size_t start = out.Size();
    out.U32(kInstrumentHeaderSize);
    out.Text(ins.name, 22);
    out.U8(0);
    out.U16(1);
    out.U32(kSampleHeaderSize);
    for (int i = 0; i < 96; ++i)
        out.U8(0);
    if (ins.volumeEnvelope.size() > 12)
        throw std::logic_error("an envelope has more than 12 points");
    for (size_t i = 0; i < 12; ++i)
    {
        XmEnvelopePoint p = i < ins.volumeEnvelope.size() ? ins.volumeEnvelope[i] : XmEnvelopePoint{};
        out.U16(p.tick);
        out.U16(p.value);
    }
    for (int i = 0; i < 12; ++i)
        out.U32(0);
    out.U8(static_cast<uint8_t>(ins.volumeEnvelope.size()));
    out.U8(0);
    out.U8(static_cast<uint8_t>(std::max(0, ins.sustainPoint)));
    out.U8(0);
    out.U8(0);
    out.U8(0);
    out.U8(0);
    out.U8(0);
    uint8_t volumeType = ins.volumeEnvelope.empty() ? 0 : (1 | (ins.sustainPoint >= 0 ? 2 : 0));
    out.U8(volumeType);
    out.U8(0);
    out.U8(0); // vibrato: sine
    out.U8(ins.vibratoSweep);
    out.U8(ins.vibratoDepth);
    out.U8(ins.vibratoRate);
    out.U16(ins.fadeout);
    while (out.Size() - start < kInstrumentHeaderSize)
        out.U8(0);

    if (ins.loopStart + ins.loopLength > ins.sample.size())
        throw std::logic_error("a sample loop runs past the sample");
    out.U32(static_cast<uint32_t>(ins.sample.size() * 2));
    out.U32(ins.loopStart * 2);
    out.U32(ins.loopLength * 2);
    out.U8(ins.volume);
    out.U8(static_cast<uint8_t>(ins.finetune));
    out.U8((ins.loopLength ? 1 : 0) | 0x10);
    out.U8(ins.panning);
    out.U8(static_cast<uint8_t>(ins.relativeNote));
    out.U8(0);
    out.Text(ins.name, 22);
    // Sample data is stored as differences from the previous sample.
    int16_t previous = 0;
    for (int16_t s : ins.sample)
    {
        out.I16(static_cast<int16_t>(static_cast<uint16_t>(s) - static_cast<uint16_t>(previous)));
        previous = s;
    }
}
} // namespace

std::vector<uint8_t> EncodeXm(const XmModule& module)
{
    if (module.orders.empty() || module.orders.size() > 256 || module.patterns.size() > 256 ||
        module.instruments.size() > 128 || module.channels < 1 || module.channels > 32)
        throw std::logic_error("the module exceeds the layout's limits");
    for (uint8_t order : module.orders)
        if (order >= module.patterns.size())
            throw std::logic_error("an order names a missing pattern");
    ByteBuffer out;
    out.Text("Extended Module: ", 17);
    out.Text(module.name, 20);
    out.U8(0x1a);
    out.Text("spindrel-datagen", 20);
    out.U16(0x0104);
    out.U32(276);
    out.U16(static_cast<uint16_t>(module.orders.size()));
    out.U16(0);
    out.U16(static_cast<uint16_t>(module.channels));
    out.U16(static_cast<uint16_t>(module.patterns.size()));
    out.U16(static_cast<uint16_t>(module.instruments.size()));
    out.U16(1); // linear frequency table
    out.U16(static_cast<uint16_t>(module.speed));
    out.U16(static_cast<uint16_t>(module.tempo));
    for (size_t i = 0; i < 256; ++i)
        out.U8(i < module.orders.size() ? module.orders[i] : 0);
    for (const XmPattern& p : module.patterns)
        EncodePattern(out, p, module.channels);
    for (const XmInstrument& ins : module.instruments)
        EncodeInstrument(out, ins);
    return out.Bytes();
}

void TuneToMiddleC(XmInstrument& instrument, double sampleRate, double baseHz)
{
    // Note 49 with no transposition plays a sample at 8363 Hz.
    double semitones = 12 * std::log2(sampleRate / 8363.0 * 261.6256 / baseHz);
    int whole = static_cast<int>(std::lround(semitones));
    instrument.relativeNote = static_cast<int8_t>(whole);
    instrument.finetune = static_cast<int8_t>(std::lround((semitones - whole) * 128));
}

} // namespace Spindrel::Datagen
