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

char32_t TextEncoding::Next(std::string_view text, size_t& pos)
{
    const size_t start = pos;
    uint32_t cp = 0;
    if (Decode(text, pos, cp))
        return cp;
    pos = start + 1;
    return static_cast<unsigned char>(text[start]);
}

size_t TextEncoding::PreviousStart(std::string_view text, size_t pos)
{
    if (pos == 0)
        return 0;
    // A lead byte at most three continuation bytes back counts only when
    // its sequence ends exactly at pos.
    for (size_t back = 2; back <= 4 && back <= pos; ++back)
    {
        if ((static_cast<unsigned char>(text[pos - back + 1]) & 0xC0) != 0x80)
            break;
        size_t at = pos - back;
        uint32_t cp = 0;
        if ((static_cast<unsigned char>(text[at]) & 0xC0) == 0xC0 && Decode(text, at, cp) && at == pos)
            return pos - back;
    }
    return pos - 1;
}

void TextEncoding::Append(std::string& out, char32_t c)
{
    if (c < 0x80)
        out.push_back(static_cast<char>(c));
    else if (c < 0x800)
    {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
    else if (c < 0x10000)
    {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
    else
    {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

size_t TextEncoding::CharCount(std::string_view text)
{
    size_t count = 0;
    for (size_t pos = 0; pos < text.size(); ++count)
        Next(text, pos);
    return count;
}

std::string TextEncoding::Latin1ToUtf8(std::string_view latin1)
{
    std::string out;
    for (unsigned char c : latin1)
        Append(out, c);
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

std::string TextEncoding::StoredToUtf8(std::string_view stored)
{
    return IsUtf8(stored) ? std::string(stored) : Latin1ToUtf8(stored);
}

} // namespace Quillo
