#include "framework/diagnostics/CrashText.h"

namespace Quillo
{

CrashText::CrashText(char* buffer, size_t capacity) : m_buffer(buffer), m_capacity(capacity)
{
    if (m_capacity > 0)
        m_buffer[0] = '\0';
}

CrashText& CrashText::Put(char c)
{
    if (m_length + 1 < m_capacity)
    {
        m_buffer[m_length++] = c;
        m_buffer[m_length] = '\0';
    }
    return *this;
}

CrashText& CrashText::Put(const char* text)
{
    if (!text)
        return *this;
    while (*text)
        Put(*text++);
    return *this;
}

CrashText& CrashText::Hex(uint64_t value, int width, bool upper)
{
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char tmp[16];
    int n = 0;
    do
    {
        tmp[n++] = digits[value & 15];
        value >>= 4;
    } while (value != 0 && n < 16);
    for (int i = n; i < width; ++i)
        Put('0');
    while (n > 0)
        Put(tmp[--n]);
    return *this;
}

CrashText& CrashText::Dec(uint64_t value, int width)
{
    char tmp[20];
    int n = 0;
    do
    {
        tmp[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0 && n < 20);
    for (int i = n; i < width; ++i)
        Put('0');
    while (n > 0)
        Put(tmp[--n]);
    return *this;
}

} // namespace Quillo
