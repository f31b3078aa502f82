#pragma once

#include <string>
#include <string_view>

namespace Quillo
{

// The program's texts are Latin-1, one byte per character (the fonts draw
// bytes); the outside world (the window system, file names, the files the
// game writes) speaks UTF-8.
class TextEncoding
{
public:
    // Code points above 255 have no place in a one-byte text and are
    // dropped, as are malformed sequences.
    static std::string Utf8ToLatin1(std::string_view utf8);
    static std::string Latin1ToUtf8(std::string_view latin1);
    // True when every byte belongs to a well-formed UTF-8 sequence.
    static bool IsUtf8(std::string_view text);
    // Text read from a file written as UTF-8, or by an older build as
    // Latin-1 bytes: whichever the bytes are.
    static std::string StoredToLatin1(std::string_view stored);
};

} // namespace Quillo
