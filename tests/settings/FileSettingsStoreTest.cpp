#include "framework/app/SettingsAccess.h"
#include "framework/platform/FileSettingsStore.h"
#include "framework/platform/FileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace Quillo;

namespace
{

class FileSettingsStoreTest : public ::testing::Test
{
protected:
    std::unique_ptr<SettingsAccess> Open() const
    {
        auto access = std::make_unique<SettingsAccess>();
        access->SetStore(std::make_unique<FileSettingsStore>("T\\P", dir.Path()));
        return access;
    }

    TempDir dir;
    FileSettingsStore store{"T\\P", dir.Path()};
};

} // namespace

TEST_F(FileSettingsStoreTest, PlacesTheFileUnderTheConfigHome)
{
    FileSettingsStore named("Tolvane\\Spindrel", dir.Path());
    EXPECT_EQ(named.FilePath(), dir.Path() + "/Tolvane/Spindrel/settings.reg");
    const uint8_t v[4] = {85, 0, 0, 0};
    ASSERT_TRUE(named.CreateKey("")->SetValue("MusicVolume", SettingsType::Integer, v, 4));
    EXPECT_EQ(FileSystem::ReadTextFile(named.FilePath()), "# QuilloSettings 1\n[]\nMusicVolume=dword:85\n");
}

TEST_F(FileSettingsStoreTest, UnsafeRegistryKeysSwitchTheStoreOff)
{
    for (const char* key : {"", "Tolvane\\..", ".", "Tolvane\\\\Spindrel", "a/b", "Tolvane\\Spin$drel", "x\\"})
    {
        FileSettingsStore unsafe(key, dir.Path());
        EXPECT_FALSE(unsafe.Enabled()) << key;
        EXPECT_FALSE(unsafe.CreateKey("")) << key;
        EXPECT_FALSE(unsafe.OpenKey("", false)) << key;
    }
    EXPECT_TRUE(FileSettingsStore("Tolvane\\My Game-2.0_x", dir.Path()).Enabled());
}

TEST_F(FileSettingsStoreTest, QueriesReportLengthAndFailOnShortBuffersAndReadOnlyKeys)
{
    auto key = store.CreateKey("");
    ASSERT_TRUE(key->SetValue("Name", SettingsType::String, reinterpret_cast<const uint8_t*>("hello"), 5));
    uint8_t buffer[8] = {};
    SettingsType type;
    size_t length = 0;
    EXPECT_FALSE(key->QueryValue("Name", type, buffer, 4, length));
    EXPECT_EQ(length, 5u);
    EXPECT_EQ(buffer[0], 0) << "a failed query copies nothing";
    ASSERT_TRUE(key->QueryValue("name", type, buffer, 5, length));
    EXPECT_EQ(type, SettingsType::String);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), length), "hello");
    EXPECT_FALSE(key->QueryValue("Missing", type, buffer, 8, length));

    EXPECT_FALSE(store.OpenKey("Sub", true)) << "open does not create";
    ASSERT_TRUE(store.CreateKey("Sub"));
    auto readOnly = store.OpenKey("sub", false);
    ASSERT_TRUE(readOnly);
    EXPECT_FALSE(readOnly->SetValue("A", SettingsType::Integer, buffer, 4));
    EXPECT_FALSE(readOnly->DeleteValue("A"));
}

TEST_F(FileSettingsStoreTest, TwoStoresOnOneFileSeeEachOthersWrites)
{
    auto a = Open(), b = Open();
    ASSERT_TRUE(a->WriteInteger("One", 1));
    ASSERT_TRUE(b->WriteInteger("Two", 2));
    ASSERT_TRUE(a->WriteInteger("Three", 3));
    int v = 0;
    EXPECT_TRUE(b->ReadInteger("One", v));
    EXPECT_EQ(v, 1);
    EXPECT_TRUE(a->ReadInteger("Two", v));
    EXPECT_EQ(v, 2);
}

TEST_F(FileSettingsStoreTest, CorruptLinesInTheFileAreSkipped)
{
    ASSERT_TRUE(FileSystem::MakeDirectories(dir.Path() + "/T/P"));
    ASSERT_TRUE(FileSystem::WriteFileAtomic(store.FilePath(), "# QuilloSettings 1\n[]\nA=dword:7\n\x01\x02 junk\n"
                                                              "B=dword:x\nC=sz:fine\n"));
    auto s = Open();
    int a = 0, b = 42;
    std::string c;
    EXPECT_TRUE(s->ReadInteger("A", a));
    EXPECT_EQ(a, 7);
    EXPECT_FALSE(s->ReadInteger("B", b));
    EXPECT_EQ(b, 42);
    EXPECT_TRUE(s->ReadString("C", c));
    EXPECT_EQ(c, "fine");
}
