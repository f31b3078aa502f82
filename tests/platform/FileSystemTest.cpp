#include "framework/platform/FileSystem.h"
#include "support/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace Quillo;

TEST(FileSystem, NormalizesWindowsStylePaths)
{
    EXPECT_EQ(FileSystem::NormalizePath("levels\\01.path"), "levels/01.path");
    EXPECT_EQ(FileSystem::NormalizePath("_save//options.cfg"), "_save/options.cfg");
    EXPECT_EQ(FileSystem::NormalizePath("properties\\\\resources.xml"), "properties/resources.xml");
    EXPECT_EQ(FileSystem::NormalizePath(""), "");
}

TEST(FileSystem, ResolvesNamesCaseInsensitively)
{
    TempDir dir;
    FileSystem::MakeDirectories(dir / "Gfx/Balls");
    std::ofstream(dir / "Gfx/Balls/Pic01.PNG") << "x";
    EXPECT_EQ(FileSystem::ResolvePath(dir.Path() + "\\gfx\\balls\\pic01.png"), dir / "Gfx/Balls/Pic01.PNG");
    EXPECT_TRUE(FileSystem::Exists(dir / "GFX/BALLS/PIC01.png"));
    EXPECT_FALSE(FileSystem::Exists(dir / "gfx/balls/pic02.png"));
}

TEST(FileSystem, TextReadsDropCarriageReturns)
{
    TempDir dir;
    std::ofstream(dir / "a.txt", std::ios::binary) << "one\r\ntwo\r\nthree";
    auto text = FileSystem::ReadTextFile(dir / "a.txt");
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, "one\ntwo\nthree");
    EXPECT_FALSE(FileSystem::ReadTextFile(dir / "missing.txt"));
    EXPECT_FALSE(FileSystem::ReadFile(dir.Path())) << "a directory is not a file";
}

TEST(FileSystem, AtomicWriteReplacesOrKeepsTheOldFile)
{
    TempDir dir;
    ASSERT_TRUE(FileSystem::WriteFileAtomic(dir / "save.dat", "first"));
    ASSERT_TRUE(FileSystem::WriteFileAtomic(dir / "save.dat", "second"));
    EXPECT_EQ(*FileSystem::ReadTextFile(dir / "save.dat"), "second");

    // A target in a directory that does not exist fails and leaves no stray files.
    EXPECT_FALSE(FileSystem::WriteFileAtomic(dir / "nope/save.dat", "x"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(FileSystem, AnAppendCutShortByAFullDiskLeavesTheFileAsItWas)
{
    TempDir dir;
    ASSERT_TRUE(FileSystem::AppendFile(dir / "log.txt", "first line\n"));
    FileSystem::SetWriteFault(FileSystem::WriteFault::DiskFull);
    const bool appended = FileSystem::AppendFile(dir / "log.txt", "a second line\n");
    FileSystem::SetWriteFault(FileSystem::WriteFault::None);
    EXPECT_FALSE(appended);
    EXPECT_EQ(*FileSystem::ReadTextFile(dir / "log.txt"), "first line\n") << "no half line is left";
    ASSERT_TRUE(FileSystem::AppendFile(dir / "log.txt", "third\n"));
    EXPECT_EQ(*FileSystem::ReadTextFile(dir / "log.txt"), "first line\nthird\n");
}

TEST(FileSystem, ModificationTimeIsAFileTime)
{
    TempDir dir;
    std::ofstream(dir / "f") << "x";
    const uint64_t t = FileSystem::ModificationTime(dir / "f");
    // After 2020-01-01 in 100 ns units since 1601.
    EXPECT_GT(t, 132223104000000000ULL);
    EXPECT_EQ(FileSystem::ModificationTime(dir / "missing"), 0u);
}
