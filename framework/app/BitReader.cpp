#include "framework/app/BitReader.h"

namespace Quillo
{

uint32_t BitReader::ReadBits(int count)
{
    if (m_overrun || static_cast<size_t>(count) > m_bitSize - m_bitPos)
    {
        m_overrun = true;
        return 0;
    }
    uint32_t value = 0;
    for (int i = 0; i < count; ++i)
    {
        const size_t p = m_bitPos++;
        if ((m_data[p / 8] >> (p % 8)) & 1u)
            value |= 1u << i;
    }
    return value;
}

int32_t BitReader::ReadSigned(int count)
{
    const uint32_t raw = ReadBits(count);
    const uint32_t sign = 1u << (count - 1);
    return static_cast<int32_t>((raw ^ sign) - sign);
}

uint16_t BitReader::Read16()
{
    const uint32_t lo = ReadByte();
    const uint32_t hi = ReadByte();
    return static_cast<uint16_t>(lo | hi << 8);
}

uint32_t BitReader::Read32()
{
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(ReadByte()) << (8 * i);
    return value;
}

bool BitReader::ReadBytes(size_t length, std::vector<uint8_t>& out)
{
    if (m_overrun || length > BitsLeft() / 8)
    {
        m_overrun = true;
        return false;
    }
    out.resize(length);
    for (size_t i = 0; i < length; ++i)
        out[i] = ReadByte();
    return true;
}

} // namespace Quillo
