#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace Spindrel::LittleEndian
{

// The game's files store every number as 4 little-endian bytes; callers
// check the bounds of the whole record before reading.
inline int32_t ReadInt32(std::span<const uint8_t> bytes, size_t offset)
{
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(bytes[offset + i]) << (8 * i);
    return static_cast<int32_t>(value);
}

inline void WriteInt32(std::span<uint8_t> bytes, size_t offset, int32_t value)
{
    const auto bits = static_cast<uint32_t>(value);
    for (size_t i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<uint8_t>(bits >> (8 * i));
}

} // namespace Spindrel::LittleEndian
