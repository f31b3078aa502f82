#include "GameStateFiles.h"
#include "game/app/SaveFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace GameStateTest;
using Spindrel::SaveFolder;
namespace fs = std::filesystem;

namespace
{

bool OnlyEntryIs(const std::string& dir, const std::string& name)
{
    return Quillo::FileSystem::ListDirectory(dir) == std::vector<std::string>{name};
}

} // namespace

TEST(SaveFolderTest, WritesCreateTheFolderAndReadsAreBounded)
{
    TempDir dir;
    const SaveFolder folder(dir / "deep");
    ASSERT_TRUE(folder.Write("a.sta", std::string_view("0123456789")));
    EXPECT_EQ(ReadTextFile(dir / "deep/_save/a.sta"), "0123456789");

    auto whole = folder.Read("a.sta", 10);
    EXPECT_EQ(whole.status, SaveFolder::ReadStatus::Read);
    EXPECT_EQ(whole.bytes.size(), 10u);
    auto cut = folder.Read("a.sta", 4);
    EXPECT_EQ(cut.status, SaveFolder::ReadStatus::TooLarge);
    EXPECT_EQ(cut.bytes, (std::vector<uint8_t>{'0', '1', '2', '3'}));
    EXPECT_EQ(folder.Read("none.sta", 10).status, SaveFolder::ReadStatus::Missing);

    // The folder is made again before every write.
    fs::remove_all(dir / "deep");
    ASSERT_TRUE(folder.Write("b.sta", std::string_view("x")));
    EXPECT_TRUE(folder.Exists("b.sta"));
    EXPECT_TRUE(OnlyEntryIs(folder.Directory(), "b.sta"));
}

TEST(SaveFolderTest, NamesAreExactAndStayInsideTheFolder)
{
    TempDir dir;
    const SaveFolder folder(dir.Path());
    for (const char* name : {"", ".", "..", "../escape", "a/b", "a\\b"})
    {
        EXPECT_FALSE(folder.Write(name, std::string_view("x"))) << name;
        EXPECT_EQ(folder.Read(name, 10).status, SaveFolder::ReadStatus::Missing) << name;
    }
    EXPECT_FALSE(fs::exists(dir / "escape"));
    EXPECT_FALSE(fs::exists(dir / "_save/escape"));

    // Profiles are case-sensitive: "ann" never reads the files of "Ann".
    ASSERT_TRUE(folder.Write("Ann.sta", std::string_view("x")));
    EXPECT_FALSE(folder.Exists("ann.sta"));
    EXPECT_EQ(folder.Read("ann.sta", 10).status, SaveFolder::ReadStatus::Missing);
}

TEST(SaveFolderTest, DamagedFilesAreKeptAsideWithoutOverwritingEarlierOnes)
{
    TempDir dir;
    const SaveFolder folder(dir.Path());
    ASSERT_TRUE(folder.Write("x.rec", std::string_view("first")));
    EXPECT_EQ(folder.KeepAside("x.rec"), "x.rec.bad");
    ASSERT_TRUE(folder.Write("x.rec", std::string_view("second")));
    EXPECT_EQ(folder.KeepAside("x.rec"), "x.rec.bad2");
    EXPECT_EQ(ReadTextFile(dir / "_save/x.rec.bad"), "first");
    EXPECT_EQ(ReadTextFile(dir / "_save/x.rec.bad2"), "second");
    EXPECT_FALSE(fs::exists(dir / "_save/x.rec"));
    EXPECT_EQ(folder.KeepAside("x.rec"), "");
}

TEST(SaveFolderTest, AFailedWriteLeavesTheOldFileAndNoTemporary)
{
    TempDir dir;
    const SaveFolder folder(dir.Path());

    // The temporary beside a name this long cannot be created.
    const std::string longName(250, 'n');
    WriteText(folder.FilePath(longName), "old");
    EXPECT_FALSE(folder.Write(longName, std::string_view("new")));
    EXPECT_EQ(ReadTextFile(folder.FilePath(longName)), "old");
    EXPECT_TRUE(OnlyEntryIs(folder.Directory(), longName));

    // The temporary is written but cannot be renamed over a folder in the way.
    TempDir other;
    fs::create_directories(other / "_save/options.cfg/keep");
    const SaveFolder blocked(other.Path());
    EXPECT_FALSE(blocked.Write("options.cfg", std::string_view("new")));
    EXPECT_TRUE(fs::is_directory(other / "_save/options.cfg/keep"));
    EXPECT_TRUE(OnlyEntryIs(blocked.Directory(), "options.cfg"));
}

TEST(SaveFolderTest, LocateUsesTheWorkingDirectoryOrTheDataHome)
{
    TempDir dir;
    const fs::path before = fs::current_path();
    const char* oldData = std::getenv("XDG_DATA_HOME");
    const std::string savedData = oldData ? oldData : "";
    setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);

    fs::create_directories(dir / "game");
    fs::current_path(dir / "game");
    const SaveFolder beside = SaveFolder::Locate(false, Quillo::FileGateway::Direct());
    EXPECT_EQ(beside.Root(), "");
    EXPECT_EQ(beside.Directory(), "_save");
    EXPECT_EQ(beside.FilePath("options.cfg"), "_save/options.cfg");

    // A "_save" that is not a folder cannot be written into.
    WriteText(dir / "game/_save", "not a folder");
    const SaveFolder elsewhere = SaveFolder::Locate(false, Quillo::FileGateway::Direct());
    EXPECT_EQ(elsewhere.Root(), dir / "data/spindrel/");
    EXPECT_TRUE(elsewhere.Write("spindrel.rec", std::string_view("x")));
    EXPECT_TRUE(fs::exists(dir / "data/spindrel/_save/spindrel.rec"));
    EXPECT_EQ(ReadTextFile(dir / "game/_save"), "not a folder");

    // An installed game never writes beside its data, even where it could.
    fs::remove(dir / "game/_save");
    const SaveFolder installed = SaveFolder::Locate(true);
    EXPECT_EQ(installed.Root(), dir / "data/spindrel/");
    EXPECT_TRUE(installed.Write("options.cfg", std::string_view("x")));
    EXPECT_FALSE(fs::exists(dir / "game/_save"));

    fs::current_path(before);
    if (oldData)
        setenv("XDG_DATA_HOME", savedData.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}
