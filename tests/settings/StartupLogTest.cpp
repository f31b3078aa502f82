#include "framework/platform/FileSystem.h"
#include "game/app/StartupLog.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using Spindrel::StartupLog;

namespace
{

// 8 December 2026, hour:05:09.
std::tm Moment(int hour)
{
    std::tm t{};
    t.tm_year = 126;
    t.tm_mon = 11;
    t.tm_mday = 8;
    t.tm_hour = hour;
    t.tm_min = 5;
    t.tm_sec = 9;
    return t;
}

} // namespace

TEST(StartupLog, WritesTheWholeLogAndEmptiesItAtEachStart)
{
    TempDir dir;
    const std::string path = dir.Path() + "\\_save\\log.txt";
    const Quillo::OsVersion os{"", 6, 1, 0x12345, "Debian GNU/Linux 12 (bookworm)"};
    StartupLog::OpenLog(path, os, Moment(7));
    StartupLog::OpenLog(path, os, Moment(14));
    EXPECT_EQ(StartupLog::Path(), path);
    const auto text = Quillo::FileSystem::ReadTextFile(dir.Path() + "/_save/log.txt");
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, "Log File: " + path + " \n"
                     " Date: 12/08/26, Time: 14:05:09 \n"
                     "\n--- SYSTEM INFO:\n"
                     "Version:           6.1.9029\n"
                     "Additional info:   Debian GNU/Linux 12 (bookworm)\n");

    StartupLog::LogPrint("%d %s\n", 42, "later");
    EXPECT_EQ(Quillo::FileSystem::ReadTextFile(dir.Path() + "/_save/log.txt")->substr(text->size()), "42 later\n");
}

TEST(StartupLog, EmptyInfoPlatformLinesLongLinesAndAnUnwritableLog)
{
    TempDir dir;
    const std::string path = dir / "log.txt";
    StartupLog::OpenLog(path, Quillo::OsVersion{"", 0, 0, 0, "x", 2}, Moment(1));
    StartupLog::LogPrint("%s", std::string(5000, 'a').c_str());
    const auto text = Quillo::FileSystem::ReadTextFile(path);
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("Additional info:    -none-\nWindows NT/2000/XP detected.\n"), std::string::npos);
    EXPECT_EQ(text->size() - text->find("aaaa"), 1023u);

    ASSERT_TRUE(Quillo::FileSystem::MakeDirectories(dir / "dir.txt"));
    StartupLog::OpenLog(dir / "dir.txt", Quillo::OsVersion(), Moment(1));
    StartupLog::LogWrite("nothing happens");
    EXPECT_TRUE(Quillo::FileSystem::IsDirectory(dir / "dir.txt"));
}
