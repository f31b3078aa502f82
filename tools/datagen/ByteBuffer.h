#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace Spindrel::Datagen
{

// Little-endian byte sink for the binary files (tracks, sounds, music).
class ByteBuffer
{
public:
    void U8(uint8_t v) { m_bytes.push_back(v); }
    void U16(uint16_t v)
    {
        U8(static_cast<uint8_t>(v));
        U8(static_cast<uint8_t>(v >> 8));
    }
    void U32(uint32_t v)
    {
        U16(static_cast<uint16_t>(v));
        U16(static_cast<uint16_t>(v >> 16));
    }
    void I16(int16_t v) { U16(static_cast<uint16_t>(v)); }
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void F32(float v)
    {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        U32(bits);
    }
    // Text padded with `fill` (or cut) to exactly `size` bytes.
    void Text(std::string_view text, size_t size, char fill = '\0')
    {
        for (size_t i = 0; i < size; ++i)
            U8(static_cast<uint8_t>(i < text.size() ? text[i] : fill));
    }
    void Append(const std::vector<uint8_t>& bytes) { m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end()); }

    size_t Size() const { return m_bytes.size(); }
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

} // namespace Spindrel::Datagen
