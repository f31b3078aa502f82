#include "framework/app/SettingsAccess.h"
#include "framework/platform/FileSettingsStore.h"
#include "framework/platform/FileSystem.h"
#include "support/TempDir.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Quillo;

TEST(FileSettingsStore, PlacesTheFileUnderTheConfigHome)
{
    TempDir dir;
    FileSettingsStore store("Tolvane\\Spindrel", dir.Path());
    EXPECT_EQ(store.FilePath(), dir.Path() + "/Tolvane/Spindrel/settings.reg");
    auto key = store.CreateKey("");
    ASSERT_TRUE(key);
    const uint8_t v[4] = {85, 0, 0, 0};
    ASSERT_TRUE(key->SetValue("MusicVolume", SettingsType::Integer, v, 4));
    auto text = FileSystem::ReadTextFile(store.FilePath());
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, "# QuilloSettings 1\n[]\nMusicVolume=dword:85\n");
}

TEST(FileSettingsStore, UnsafeRegistryKeysSwitchTheStoreOff)
{
    TempDir dir;
    for (const char* key : {"", "Tolvane\\..", ".", "Tolvane\\\\Spindrel", "a/b", "Tolvane\\Spin$drel", "x\\"})
    {
        FileSettingsStore store(key, dir.Path());
        EXPECT_FALSE(store.Enabled()) << key;
        EXPECT_FALSE(store.CreateKey("")) << key;
        EXPECT_FALSE(store.OpenKey("", false)) << key;
    }
    EXPECT_TRUE(FileSettingsStore("Tolvane\\My Game-2.0_x", dir.Path()).Enabled());
}

TEST(FileSettingsStore, QueriesReportLengthAndFailOnShortBuffers)
{
    TempDir dir;
    FileSettingsStore store("T\\P", dir.Path());
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
}

TEST(FileSettingsStore, ReadOnlyKeysAndMissingKeys)
{
    TempDir dir;
    FileSettingsStore store("T\\P", dir.Path());
    EXPECT_FALSE(store.OpenKey("Sub", true)) << "open does not create";
    ASSERT_TRUE(store.CreateKey("Sub"));
    auto readOnly = store.OpenKey("sub", false);
    ASSERT_TRUE(readOnly);
    const uint8_t v[4] = {1, 0, 0, 0};
    EXPECT_FALSE(readOnly->SetValue("A", SettingsType::Integer, v, 4));
    EXPECT_FALSE(readOnly->DeleteValue("A"));
}

TEST(FileSettingsStore, TwoStoresOnOneFileSeeEachOthersWrites)
{
    TempDir dir;
    FileSettingsStore a("T\\P", dir.Path());
    FileSettingsStore b("T\\P", dir.Path());
    SettingsAccess sa, sb;
    sa.SetStore(std::make_unique<FileSettingsStore>("T\\P", dir.Path()));
    sb.SetStore(std::make_unique<FileSettingsStore>("T\\P", dir.Path()));
    ASSERT_TRUE(sa.WriteInteger("One", 1));
    ASSERT_TRUE(sb.WriteInteger("Two", 2));
    ASSERT_TRUE(sa.WriteInteger("Three", 3));
    int v = 0;
    EXPECT_TRUE(sb.ReadInteger("One", v));
    EXPECT_EQ(v, 1);
    EXPECT_TRUE(sa.ReadInteger("Two", v));
    EXPECT_EQ(v, 2);
}

TEST(FileSettingsStore, CorruptLinesInTheFileAreSkipped)
{
    TempDir dir;
    FileSettingsStore store("T\\P", dir.Path());
    ASSERT_TRUE(FileSystem::MakeDirectories(dir.Path() + "/T/P"));
    ASSERT_TRUE(FileSystem::WriteFileAtomic(store.FilePath(), "# QuilloSettings 1\n[]\nA=dword:7\n\x01\x02 junk\n"
                                                              "B=dword:x\nC=sz:fine\n"));
    SettingsAccess s;
    s.SetStore(std::make_unique<FileSettingsStore>("T\\P", dir.Path()));
    int a = 0, b = 42;
    std::string c;
    EXPECT_TRUE(s.ReadInteger("A", a));
    EXPECT_EQ(a, 7);
    EXPECT_FALSE(s.ReadInteger("B", b));
    EXPECT_EQ(b, 42);
    EXPECT_TRUE(s.ReadString("C", c));
    EXPECT_EQ(c, "fine");
}

// A writer killed at any moment leaves either the old or the new file,
// never a broken one.
TEST(FileSettingsStore, AKilledWriterLeavesACompleteFile)
{
    TempDir dir;
    {
        SettingsAccess s;
        s.SetStore(std::make_unique<FileSettingsStore>("T\\P", dir.Path()));
        ASSERT_TRUE(s.WriteString("Text", std::string(20000, 'a')));
        ASSERT_TRUE(s.WriteInteger("Counter", 0));
    }
    for (int round = 0; round < 5; ++round)
    {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
        {
            SettingsAccess s;
            s.SetStore(std::make_unique<FileSettingsStore>("T\\P", dir.Path()));
            for (int i = 1;; ++i)
            {
                s.WriteString("Text", std::string(20000, static_cast<char>('a' + i % 26)));
                s.WriteInteger("Counter", i);
            }
        }
        usleep(20000 + round * 7000);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);

        SettingsAccess s;
        s.SetStore(std::make_unique<FileSettingsStore>("T\\P", dir.Path()));
        std::string text;
        int counter = -1;
        ASSERT_TRUE(s.ReadString("Text", text)) << "round " << round;
        ASSERT_TRUE(s.ReadInteger("Counter", counter)) << "round " << round;
        ASSERT_EQ(text.size(), 20000u);
        EXPECT_EQ(text.find_first_not_of(text[0]), std::string::npos);
    }
}
