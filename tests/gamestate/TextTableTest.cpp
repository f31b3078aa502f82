#include "GameStateFiles.h"
#include "game/app/TextTable.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace GameStateTest;
using Spindrel::TextTable;

namespace
{

struct Warnings
{
    std::vector<std::string> shown;
    TextTable::Warning Sink()
    {
        return [this](const std::string& text) { shown.push_back(text); };
    }
};

std::string Entries(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "text " + std::to_string(i) + "\n";
    return text;
}

} // namespace

TEST(TextTableTest, EveryIndexIsSafeBeforeLoadingAndOutOfRange)
{
    TextTable table;
    EXPECT_EQ(table.GetText(16), "<NOT LOADED>");
    EXPECT_EQ(table.GetText(-1), "<NOT LOADED>");
    Warnings warnings;
    table.LoadLanguage(Entries(TextTable::kTextCount), warnings.Sink());
    EXPECT_TRUE(warnings.shown.empty());
    EXPECT_EQ(table.Count(), TextTable::kTextCount);
    EXPECT_EQ(table.GetText(TextTable::kTextCount - 1), "text " + std::to_string(TextTable::kTextCount - 1));
    EXPECT_EQ(table.GetText(TextTable::kTextCount), "<NOT LOADED>");
    EXPECT_EQ(table.GetText(-5), "<NOT LOADED>");
    EXPECT_EQ(table.GetText(1 << 30), "<NOT LOADED>");
}

TEST(TextTableTest, LineRulesNumberOnlyTheEntries)
{
    TextTable table;
    Warnings warnings;
    const std::string longLine(3000, 'w');
    table.LoadLanguage("- a comment\n"
                       "\n"
                       "Stage %d-%d\r\n"
                       "x\n"
                       "-\n"
                       "  padded  %s\n"
                       "--- another comment\n"
                       "ab\n" +
                           longLine + "\n" + "after the long line\n" + "no newline at the end",
                       warnings.Sink());
    EXPECT_EQ(table.GetText(0), "Stage %d-%d");
    EXPECT_EQ(table.GetText(1), "  padded  %s");
    EXPECT_EQ(table.GetText(2), "ab");
    // A long line is cut to its first 1024 characters, never split into entries.
    EXPECT_EQ(table.GetText(3), std::string(1024, 'w'));
    EXPECT_EQ(table.GetText(4), "after the long line");
    EXPECT_EQ(table.GetText(5), "no newline at the end");
    EXPECT_EQ(table.GetText(6), "<NOT LOADED>");
    EXPECT_EQ(table.Count(), TextTable::kTextCount);
    ASSERT_EQ(warnings.shown.size(), 1u);
    EXPECT_EQ(warnings.shown[0], "68 strings not found in localization data file!");
}

TEST(TextTableTest, LoadsTheFileThatTheOptionFileNames)
{
    TempDir dir;
    std::filesystem::create_directories(dir / "bin");
    std::filesystem::create_directories(dir / "lang");
    WriteText(dir / "bin/lng.opt", "  lang/english.txt   trailing words\n");
    WriteText(dir / "lang/english.txt", "- English\n" + Entries(TextTable::kTextCount));
    TextTable table;
    Warnings warnings;
    table.LoadTextTable(warnings.Sink(), dir.Path() + "/");
    EXPECT_TRUE(warnings.shown.empty());
    EXPECT_EQ(table.GetText(0), "text 0");
    EXPECT_EQ(table.GetText(75), "text 75");

    // A second load replaces the table rather than adding to it.
    WriteText(dir / "lang/english.txt", Entries(TextTable::kTextCount));
    table.LoadTextTable(warnings.Sink(), dir.Path() + "/");
    EXPECT_EQ(table.Count(), TextTable::kTextCount);
}

TEST(TextTableTest, MissingFilesWarnAndLeaveTheTableEmptyAndShortOnesAreFilledUp)
{
    TempDir dir;
    TextTable table;
    Warnings warnings;
    table.LoadLanguage(Entries(TextTable::kTextCount), warnings.Sink());
    table.LoadTextTable(warnings.Sink(), dir.Path() + "/");
    ASSERT_EQ(warnings.shown.size(), 1u);
    EXPECT_EQ(warnings.shown[0], "Could not found bin//lng.opt file!");
    EXPECT_EQ(table.Count(), 0);
    EXPECT_EQ(table.GetText(16), "<NOT LOADED>");

    std::filesystem::create_directories(dir / "bin");
    WriteText(dir / "bin/lng.opt", "lang/none.txt\n");
    table.LoadTextTable(warnings.Sink(), dir.Path() + "/");
    ASSERT_EQ(warnings.shown.size(), 2u);
    EXPECT_EQ(warnings.shown[1], "Could not found language file lang/none.txt (from bin//lng.opt)!");
    EXPECT_EQ(table.Count(), 0);

    WriteText(dir / "bin/lng.opt", " \n");
    table.LoadTextTable(warnings.Sink(), dir.Path() + "/");
    ASSERT_EQ(warnings.shown.size(), 3u);
    EXPECT_EQ(warnings.shown[2], "Could not found a language file in bin//lng.opt!");

    // A short language file is named in its warning.
    WriteText(dir / "bin/lng.opt", "lang/short.txt\n");
    WriteText(dir / "lang/short.txt", Entries(70));
    table.LoadTextTable(warnings.Sink(), dir.Path() + "/");
    ASSERT_EQ(warnings.shown.size(), 4u);
    EXPECT_EQ(warnings.shown[3], "4 strings not found in localization data file lang/short.txt!");
    EXPECT_EQ(table.GetText(69), "text 69");
    for (int i = 70; i <= 73; ++i)
        EXPECT_EQ(table.GetText(i), "<NOT LOADED>") << i;
    EXPECT_EQ(table.GetText(74), "Not Saved");
    EXPECT_EQ(table.Count(), TextTable::kTextCount);
}

// A language file of the 74 texts every language has is whole: the game's
// own texts after them read in English, and a file that has them keeps its own.
TEST(TextTableTest, TheGameOwnTextsFollowInEnglishWithoutAWarning)
{
    TextTable table;
    Warnings warnings;
    table.LoadLanguage(Entries(74), warnings.Sink());
    EXPECT_TRUE(warnings.shown.empty());
    EXPECT_EQ(table.Count(), TextTable::kTextCount);
    EXPECT_EQ(table.GetText(73), "text 73");
    for (int i = TextTable::kLanguageCount; i < TextTable::kTextCount; ++i)
    {
        EXPECT_EQ(table.GetText(i), TextTable::BuiltInText(i)) << i;
        EXPECT_FALSE(TextTable::BuiltInText(i).empty()) << i;
    }

    table.LoadLanguage(Entries(75), warnings.Sink());
    EXPECT_TRUE(warnings.shown.empty());
    EXPECT_EQ(table.GetText(74), "text 74");
    EXPECT_EQ(table.GetText(75), TextTable::BuiltInText(75));
}

TEST(TextTableTest, AChosenLanguageFileComesBeforeTheOptionFileAndLatin1BecomesUtf8)
{
    TempDir dir;
    std::filesystem::create_directories(dir / "bin");
    WriteText(dir / "bin/lng.opt", "bin/lang_en.txt\n");
    WriteText(dir / "bin/lang_en.txt", Entries(76));
    WriteText(dir / "bin/lang_de.txt", "Gr\xc3\xbc\xc3\x9f" "e\n" + Entries(75));
    TextTable table;
    Warnings warnings;
    table.LoadTextTable(warnings.Sink(), dir.Path() + "/", "bin/lang_de.txt");
    EXPECT_TRUE(warnings.shown.empty());
    EXPECT_EQ(table.FileName(), "bin/lang_de.txt");
    EXPECT_EQ(table.GetText(0), "Gr\xc3\xbc\xc3\x9f" "e");
    EXPECT_EQ(table.GetText(1), "text 0");

    // A file of an older build in Latin-1 bytes reads as it always did.
    WriteText(dir / "bin/lang_de.txt", "Gr\xfc\xdf" "e\n" + Entries(75));
    table.LoadTextTable(warnings.Sink(), dir.Path() + "/", "bin/lang_de.txt");
    EXPECT_EQ(table.GetText(0), "Gr\xc3\xbc\xc3\x9f" "e");

    // A chosen file that is gone leaves the choice to bin//lng.opt.
    table.LoadTextTable(warnings.Sink(), dir.Path() + "/", "bin/lang_it.txt");
    EXPECT_TRUE(warnings.shown.empty());
    EXPECT_EQ(table.FileName(), "bin/lang_en.txt");
    EXPECT_EQ(table.GetText(0), "text 0");
}
