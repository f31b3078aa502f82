#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Quillo
{

// Reads what BitWriter wrote, from a bounded buffer. A read past the end
// fails, returns 0 and leaves the reader at its end for good, so a
// truncated or hostile stream simply ends.
class BitReader
{
public:
    BitReader() = default;
    BitReader(const uint8_t* data, size_t size) : m_data(data), m_bitSize(size * 8) {}

    uint32_t ReadBits(int count);
    // Sign-extended from `count` bits.
    int32_t ReadSigned(int count);
    uint8_t ReadByte() { return static_cast<uint8_t>(ReadBits(8)); }
    bool ReadFlag() { return ReadBits(8) != 0; }
    uint16_t Read16();
    uint32_t Read32();
    // Fails (reading nothing) when fewer than `length` bytes are left.
    bool ReadBytes(size_t length, std::vector<uint8_t>& out);

    bool Overrun() const { return m_overrun; }
    bool AtEnd() const { return m_overrun || m_bitPos >= m_bitSize; }
    size_t BitsLeft() const { return m_overrun ? 0 : m_bitSize - m_bitPos; }

private:
    const uint8_t* m_data = nullptr;
    size_t m_bitSize = 0;
    size_t m_bitPos = 0;
    bool m_overrun = false;
};

} // namespace Quillo
