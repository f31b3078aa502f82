#include "framework/platform/OsInfo.h"

#include <gtest/gtest.h>

using Quillo::OsInfo;

TEST(OsInfo, KernelReleaseNumbers)
{
    unsigned a, b, c;
    OsInfo::ParseRelease("6.1.0-18-amd64", a, b, c);
    EXPECT_EQ(a, 6u);
    EXPECT_EQ(b, 1u);
    EXPECT_EQ(c, 0u);
    OsInfo::ParseRelease("5.15", a, b, c);
    EXPECT_EQ(a, 5u);
    EXPECT_EQ(b, 15u);
    EXPECT_EQ(c, 0u);
    OsInfo::ParseRelease("weird", a, b, c);
    EXPECT_EQ(a + b + c, 0u);
}

TEST(OsInfo, PrettyNameFromOsRelease)
{
    EXPECT_EQ(OsInfo::PrettyName("NAME=\"Debian\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n"),
              "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(OsInfo::PrettyName("PRETTY_NAME=Plain\n"), "Plain");
    EXPECT_EQ(OsInfo::PrettyName("NAME=x\n"), "");
    EXPECT_FALSE(OsInfo::Query().name.empty());
}
