#include "framework/platform/TextEncoding.h"

#include <gtest/gtest.h>

#include <vector>

using Quillo::TextEncoding;

namespace
{

std::vector<char32_t> Chars(std::string_view text)
{
    std::vector<char32_t> out;
    for (size_t pos = 0; pos < text.size();)
        out.push_back(TextEncoding::Next(text, pos));
    return out;
}

} // namespace

TEST(TextEncoding, CharactersAreWalkedWholeBothWays)
{
    // a, ą (2 bytes), € (3), an emoji (4), Ł (2).
    const std::string text = "a\xC4\x85\xE2\x82\xAC\xF0\x9F\x98\x80\xC5\x81";
    EXPECT_EQ(Chars(text), (std::vector<char32_t>{U'a', 0x105, 0x20AC, 0x1F600, 0x141}));
    EXPECT_EQ(TextEncoding::CharCount(text), 5u);
    std::vector<size_t> starts;
    for (size_t pos = text.size(); pos > 0;)
        starts.push_back(pos = TextEncoding::PreviousStart(text, pos));
    EXPECT_EQ(starts, (std::vector<size_t>{10, 6, 3, 1, 0}));
    std::string built;
    for (char32_t c : Chars(text))
        TextEncoding::Append(built, c);
    EXPECT_EQ(built, text);
}

TEST(TextEncoding, BytesOfNoWellFormedSequenceReadAsLatin1)
{
    // A Latin-1 ü, an overlong form, a surrogate, a stray continuation byte
    // and a cut sequence: each byte is one letter, nothing is skipped.
    EXPECT_EQ(Chars("J\xFCr"), (std::vector<char32_t>{U'J', 0xFC, U'r'}));
    EXPECT_EQ(Chars("\xC1\xBF"), (std::vector<char32_t>{0xC1, 0xBF}));
    EXPECT_EQ(Chars("\xED\xA0\x80"), (std::vector<char32_t>{0xED, 0xA0, 0x80}));
    EXPECT_EQ(Chars("x\xC3"), (std::vector<char32_t>{U'x', 0xC3}));
    EXPECT_EQ(TextEncoding::PreviousStart("x\xA9", 2), 1u);
    EXPECT_EQ(TextEncoding::PreviousStart("\xC3\xA9\xA9", 3), 2u);
    EXPECT_FALSE(TextEncoding::IsUtf8("\xC1\xBF"));
    EXPECT_FALSE(TextEncoding::IsUtf8("x\xC3"));
}

TEST(TextEncoding, StoredTextIsReadAsWhicheverItIs)
{
    EXPECT_EQ(TextEncoding::StoredToUtf8("J\xC3\xBCrgen"), "J\xC3\xBCrgen");
    EXPECT_EQ(TextEncoding::StoredToUtf8("\xC5\x81ucja"), "\xC5\x81ucja");
    // Latin-1 bytes of an older file are not UTF-8: they become their letters.
    EXPECT_EQ(TextEncoding::StoredToUtf8("J\xFCrgen \xD8"), "J\xC3\xBCrgen \xC3\x98");
    EXPECT_EQ(TextEncoding::StoredToUtf8("Ann Lee"), "Ann Lee");
    std::string every;
    for (int c = 1; c < 256; ++c)
        every.push_back(static_cast<char>(c));
    EXPECT_TRUE(TextEncoding::IsUtf8(TextEncoding::Latin1ToUtf8(every)));
    EXPECT_EQ(TextEncoding::CharCount(TextEncoding::Latin1ToUtf8(every)), 255u);
}
