#include "framework/platform/OsInfo.h"

#include <gtest/gtest.h>

#include <array>

using Quillo::OsInfo;

TEST(OsInfo, KernelReleaseNumbersAndThePrettyName)
{
    const std::pair<const char*, std::array<unsigned, 3>> releases[] = {
        {"6.1.0-18-amd64", {6, 1, 0}}, {"5.15", {5, 15, 0}}, {"weird", {0, 0, 0}}};
    for (const auto& [text, expected] : releases)
    {
        std::array<unsigned, 3> v{9, 9, 9};
        OsInfo::ParseRelease(text, v[0], v[1], v[2]);
        EXPECT_EQ(v, expected) << text;
    }
    EXPECT_EQ(OsInfo::PrettyName("NAME=\"Debian\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n"),
              "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(OsInfo::PrettyName("PRETTY_NAME=Plain\n"), "Plain");
    EXPECT_EQ(OsInfo::PrettyName("NAME=x\n"), "");
    EXPECT_FALSE(OsInfo::Query().name.empty());
}
