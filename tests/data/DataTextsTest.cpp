#include "DataFiles.h"
#include "framework/platform/TextEncoding.h"
#include "game/app/LanguageChoice.h"

#include <sstream>

namespace
{

// The conversions a text carries, in order: "%d" gives 'd', "%s" 's',
// anything else after a '%' '?'.
std::string Conversions(const std::string& text)
{
    std::string found;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '%')
        {
            char next = i + 1 < text.size() ? text[i + 1] : '\0';
            found += (next == 'd' || next == 's') ? next : '?';
            ++i;
        }
    return found;
}

// The entries as the game reads them: one per line, skipping lines shorter
// than two characters and comment lines starting with '-'.
std::vector<std::string> Entries(const std::string& file)
{
    std::vector<std::string> entries;
    std::istringstream in(file);
    std::string line;
    while (std::getline(in, line))
        if (line.size() >= 2 && line[0] != '-')
            entries.push_back(line);
    return entries;
}

TEST(DataTexts, LanguageOptionNamesTheEnglishFile)
{
    std::istringstream opt(ReadDataText("bin/lng.opt"));
    std::string path;
    opt >> path;
    EXPECT_EQ(path, "bin/lang_en.txt");
    EXPECT_FALSE(ReadDataFile(path).empty());
}

TEST(DataTexts, EveryTextTakesExactlyTheArgumentsOfItsUse)
{
    std::string file = ReadDataText("bin/lang_en.txt");
    for (char c : file)
    {
        ASSERT_NE(c, '\r') << "LF line ends only";
        ASSERT_GT(static_cast<unsigned char>(c), 0) << "ASCII only";
        ASSERT_LT(static_cast<unsigned char>(c), 128) << "ASCII only";
    }
    std::vector<std::string> entries = Entries(file);
    ASSERT_EQ(entries.size(), 81u);

    std::vector<std::string> expected(81, "");
    for (int i : {31, 33, 37, 38, 39, 41, 57, 58, 60})
        expected[i] = "d";
    expected[34] = "dd";
    expected[52] = "s";
    expected[69] = "s";
    expected[75] = "s";
    expected[79] = "s";
    for (size_t i = 0; i < entries.size(); ++i)
    {
        SCOPED_TRACE("text " + std::to_string(i) + ": " + entries[i]);
        EXPECT_EQ(Conversions(entries[i]), expected[i]);
        EXPECT_EQ(entries[i].find('^'), std::string::npos);
        EXPECT_LE(entries[i].size(), 1000u);
        EXPECT_NE(entries[i], "<NOT LOADED>");
    }
    // Captions that the game pairs with words of its own.
    EXPECT_EQ(entries[0], "Stage");
    EXPECT_EQ(entries[1], "Score");
    EXPECT_EQ(entries[2], "Lives");
}

TEST(DataTexts, CommentsNumberTheEntries)
{
    std::istringstream in(ReadDataText("bin/lang_en.txt"));
    std::string line;
    int expectedNumber = 0;
    bool commentSeen = false;
    while (std::getline(in, line))
    {
        if (line.rfind("-- ", 0) == 0 && line.size() > 3 && std::isdigit(static_cast<unsigned char>(line[3])))
        {
            EXPECT_EQ(std::stoi(line.substr(3)), expectedNumber);
            commentSeen = true;
        }
        else if (line.size() >= 2 && line[0] != '-')
        {
            EXPECT_TRUE(commentSeen) << "entry " << expectedNumber << " has no number before it";
            commentSeen = false;
            ++expectedNumber;
        }
    }
    EXPECT_EQ(expectedNumber, 81);
}

} // namespace

namespace
{

TEST(DataTexts, EveryLanguageHasTheTextsOfTheEnglishFileWithItsConversionsInOrder)
{
    const std::vector<std::string> english = Entries(ReadDataText("bin/lang_en.txt"));
    for (const auto& language : Spindrel::LanguageChoice::Languages())
    {
        const std::string path = Spindrel::LanguageChoice::FilePath(language.code);
        SCOPED_TRACE(path);
        const std::string file = ReadDataText(path);
        ASSERT_TRUE(Quillo::TextEncoding::IsUtf8(file));
        // The fonts draw ASCII, Latin-1 and Latin Extended-A: no letter may
        // be lost on the way there.
        for (size_t pos = 0; pos < file.size();)
        {
            const char32_t c = Quillo::TextEncoding::Next(file, pos);
            EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c < 0x180)) << uint32_t(c);
        }
        EXPECT_EQ(file.find('\r'), std::string::npos);
        const std::vector<std::string> entries = Entries(file);
        ASSERT_EQ(entries.size(), english.size());
        for (size_t i = 0; i < entries.size(); ++i)
        {
            SCOPED_TRACE("text " + std::to_string(i) + ": " + entries[i]);
            EXPECT_EQ(Conversions(entries[i]), Conversions(english[i]));
            EXPECT_EQ(entries[i].find('^'), std::string::npos);
            EXPECT_NE(entries[i], "<NOT LOADED>");
        }
    }
}

TEST(DataTexts, EveryLanguageHasItsPicturesWithWords)
{
    const char* pictures[] = {"gfx/MainMenu/%s/mb_start.png", "gfx/MainMenu/%s/mb_quit_p.png",
                              "gfx/SelectStage/%s/title.png", "gfx/SelectStage/%s/play+.png",
                              "gfx/SelectStage/%s/back.png",  "gfx/help/%s/help.jpg"};
    for (const auto& language : Spindrel::LanguageChoice::Languages())
    {
        if (language.code == "en")
            continue;
        for (const char* picture : pictures)
        {
            const std::string code(language.code);
            char path[128];
            std::snprintf(path, sizeof path, picture, code.c_str());
            EXPECT_TRUE(Quillo::FileSystem::Exists(DataDir() + "/" + path)) << path;
        }
    }
}

} // namespace
