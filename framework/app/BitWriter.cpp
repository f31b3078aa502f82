#include "framework/app/BitWriter.h"

namespace Quillo
{

void BitWriter::WriteBits(uint32_t value, int count)
{
    for (int i = 0; i < count; ++i)
    {
        const size_t byte = m_bitCount / 8;
        if (byte == m_bytes.size())
            m_bytes.push_back(0);
        if ((value >> i) & 1u)
            m_bytes[byte] = static_cast<uint8_t>(m_bytes[byte] | (1u << (m_bitCount % 8)));
        ++m_bitCount;
    }
}

void BitWriter::Write16(uint16_t value)
{
    WriteByte(static_cast<uint8_t>(value));
    WriteByte(static_cast<uint8_t>(value >> 8));
}

void BitWriter::Write32(uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        WriteByte(static_cast<uint8_t>(value >> (8 * i)));
}

void BitWriter::WriteBytes(const uint8_t* data, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        WriteByte(data[i]);
}

} // namespace Quillo
