#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Quillo
{

// A growable stream of bits: a field of n bits goes least significant bit
// first, each bit at the next free position p (byte p / 8, bit p % 8).
class BitWriter
{
public:
    void WriteBits(uint32_t value, int count);
    void WriteByte(uint8_t value) { WriteBits(value, 8); }
    void WriteFlag(bool value) { WriteBits(value ? 1 : 0, 8); }
    void Write16(uint16_t value);
    void Write32(uint32_t value);
    void WriteBytes(const uint8_t* data, size_t length);

    size_t BitCount() const { return m_bitCount; }
    // The stream padded to whole bytes.
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
    size_t m_bitCount = 0;
};

} // namespace Quillo
