#include "tools/datagen/WavFile.h"

#include "tools/datagen/ByteBuffer.h"

namespace Spindrel::Datagen
{

std::vector<uint8_t> EncodeWav(const std::vector<int16_t>& samples, int sampleRate)
{
    uint32_t dataSize = static_cast<uint32_t>(samples.size() * 2);
    ByteBuffer out;
    out.Text("RIFF", 4);
    out.U32(36 + dataSize);
    out.Text("WAVE", 4);
    out.Text("fmt ", 4);
    out.U32(16);
    out.U16(1); // PCM
    out.U16(1); // mono
    out.U32(static_cast<uint32_t>(sampleRate));
    out.U32(static_cast<uint32_t>(sampleRate * 2));
    out.U16(2);
    out.U16(16);
    out.Text("data", 4);
    out.U32(dataSize);
    for (int16_t s : samples)
        out.I16(s);
    return out.Bytes();
}

} // namespace Spindrel::Datagen
