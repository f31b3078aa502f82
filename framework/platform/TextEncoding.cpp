#include "framework/platform/TextEncoding.h"

#include <cstdint>

namespace Quillo
{

namespace
{

// The code point of the sequence at text[pos], moving pos past it; false
// (pos past the lead byte) for a malformed or overlong sequence.
bool Decode(std::string_view text, size_t& pos, uint32_t& cp)
{
    const auto lead = static_cast<unsigned char>(text[pos++]);
    int extra = 0;
    if (lead < 0x80)
    {
        cp = lead;
        return true;
    }
    if ((lead & 0xE0) == 0xC0)
        cp = lead & 0x1F, extra = 1;
    else if ((lead & 0xF0) == 0xE0)
        cp = lead & 0x0F, extra = 2;
    else if ((lead & 0xF8) == 0xF0)
        cp = lead & 0x07, extra = 3;
    else
        return false;
    const size_t start = pos;
    for (int i = 0; i < extra; ++i)
    {
        if (pos >= text.size() || (static_cast<unsigned char>(text[pos]) & 0xC0) != 0x80)
        {
            pos = start;
            return false;
        }
        cp = (cp << 6) | (static_cast<unsigned char>(text[pos++]) & 0x3F);
    }
    static constexpr uint32_t kSmallest[4] = {0, 0x80, 0x800, 0x10000};
    if (cp < kSmallest[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
    {
        pos = start;
        return false;
    }
    return true;
}

} // namespace

std::string TextEncoding::Utf8ToLatin1(std::string_view utf8)
{
    std::string out;
    size_t pos = 0;
    while (pos < utf8.size())
    {
        uint32_t cp = 0;
        if (Decode(utf8, pos, cp) && cp > 0 && cp <= 0xFF)
            out.push_back(static_cast<char>(cp));
    }
    return out;
}

std::string TextEncoding::Latin1ToUtf8(std::string_view latin1)
{
    std::string out;
    for (unsigned char c : latin1)
    {
        if (c < 0x80)
            out.push_back(static_cast<char>(c));
        else
        {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

bool TextEncoding::IsUtf8(std::string_view text)
{
    size_t pos = 0;
    while (pos < text.size())
    {
        uint32_t cp = 0;
        if (!Decode(text, pos, cp))
            return false;
    }
    return true;
}

std::string TextEncoding::StoredToLatin1(std::string_view stored)
{
    return IsUtf8(stored) ? Utf8ToLatin1(stored) : std::string(stored);
}

} // namespace Quillo
