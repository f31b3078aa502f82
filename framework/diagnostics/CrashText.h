#pragma once

#include <cstddef>
#include <cstdint>

namespace Quillo
{

// Builds text in a caller's fixed buffer without allocating or locking, so
// it can run inside a fault handler. Text past the end is cut off; the
// buffer always stays terminated.
class CrashText
{
public:
    CrashText(char* buffer, size_t capacity);

    CrashText& Put(const char* text);
    CrashText& Put(char c);
    // Hexadecimal, at least `width` digits (zero-padded).
    CrashText& Hex(uint64_t value, int width = 0, bool upper = true);
    CrashText& Dec(uint64_t value, int width = 0);

    size_t Length() const { return m_length; }
    const char* Text() const { return m_buffer; }

private:
    char* m_buffer;
    size_t m_capacity;
    size_t m_length = 0;
};

} // namespace Quillo
