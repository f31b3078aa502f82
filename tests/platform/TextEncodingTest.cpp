#include "framework/platform/TextEncoding.h"

#include <gtest/gtest.h>

using Quillo::TextEncoding;

TEST(TextEncoding, Latin1AndUtf8RoundTrip)
{
    const std::string latin1 = "J\xFCrgen \xD8""deg\xE5rd";
    const std::string utf8 = "J\xC3\xBCrgen \xC3\x98""deg\xC3\xA5rd";
    EXPECT_EQ(TextEncoding::Latin1ToUtf8(latin1), utf8);
    EXPECT_EQ(TextEncoding::Utf8ToLatin1(utf8), latin1);
    std::string every;
    for (int c = 1; c < 256; ++c)
        every.push_back(static_cast<char>(c));
    EXPECT_EQ(TextEncoding::Utf8ToLatin1(TextEncoding::Latin1ToUtf8(every)), every);
    EXPECT_TRUE(TextEncoding::IsUtf8(TextEncoding::Latin1ToUtf8(every)));
}

TEST(TextEncoding, BadAndForeignSequencesAreDropped)
{
    // Beyond Latin-1: the euro sign and an emoji go; the letters stay.
    EXPECT_EQ(TextEncoding::Utf8ToLatin1("a\xE2\x82\xAC" "b\xF0\x9F\x98\x80" "c"), "abc");
    // Overlong forms, surrogates, stray continuation bytes, a cut sequence.
    EXPECT_EQ(TextEncoding::Utf8ToLatin1("\xC1\xBF" "x"), "x");
    EXPECT_EQ(TextEncoding::Utf8ToLatin1("\xED\xA0\x80" "x"), "x");
    EXPECT_EQ(TextEncoding::Utf8ToLatin1("\x80\xBFx"), "x");
    EXPECT_EQ(TextEncoding::Utf8ToLatin1("x\xC3"), "x");
    EXPECT_FALSE(TextEncoding::IsUtf8("\xC1\xBF"));
    EXPECT_FALSE(TextEncoding::IsUtf8("x\xC3"));
}

TEST(TextEncoding, StoredTextIsReadAsWhicheverItIs)
{
    EXPECT_EQ(TextEncoding::StoredToLatin1("J\xC3\xBCrgen"), "J\xFCrgen");
    // Latin-1 bytes of an older file are not UTF-8: they stay as they are.
    EXPECT_EQ(TextEncoding::StoredToLatin1("J\xFCrgen"), "J\xFCrgen");
    EXPECT_EQ(TextEncoding::StoredToLatin1("Ann Lee"), "Ann Lee");
}
