#pragma once

#include <string>
#include <string_view>

namespace Quillo
{

// The program's texts are UTF-8 in memory and in the files the game writes.
// Older builds kept one byte per character (Latin-1) in memory and in some
// files; those bytes are still read as the letters they were.
class TextEncoding
{
public:
    // The character starting at text[pos], moving pos past it. A byte that
    // begins no well-formed sequence is taken as its Latin-1 letter, so a
    // stray one-byte text still reads letter by letter.
    static char32_t Next(std::string_view text, size_t& pos);
    // Where the character ending just before pos starts (0 stays 0).
    static size_t PreviousStart(std::string_view text, size_t pos);
    static void Append(std::string& out, char32_t c);
    static size_t CharCount(std::string_view text);
    static std::string Latin1ToUtf8(std::string_view latin1);
    // True when every byte belongs to a well-formed UTF-8 sequence.
    static bool IsUtf8(std::string_view text);
    // Text read from a file written as UTF-8, or by an older build as
    // Latin-1 bytes: whichever the bytes are, as UTF-8.
    static std::string StoredToUtf8(std::string_view stored);
};

} // namespace Quillo
