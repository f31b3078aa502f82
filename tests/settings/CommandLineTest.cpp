#include "framework/app/CommandLine.h"
#include "framework/app/NumberedDemoFiles.h"
#include "framework/platform/FileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace Quillo;

namespace
{

using Calls = std::vector<std::pair<std::string, std::string>>;

Calls Parse(std::string_view text)
{
    Calls calls;
    CommandLine::ParseParams(text, [&](const std::string& n, const std::string& v) { calls.emplace_back(n, v); });
    return calls;
}

} // namespace

TEST(CommandLine, ParamsSplitAtBlanksQuotesAndEquals)
{
    EXPECT_EQ(Parse("-a=1"), (Calls{{"-a", "1"}}));
    EXPECT_EQ(Parse("\"-b=x y\""), (Calls{{"-b", "x y"}, {"", ""}}));
    EXPECT_EQ(Parse("-a=1 -play"), (Calls{{"-a", "1"}, {"-play", ""}}));
    EXPECT_EQ(Parse("-play "), (Calls{{"-play", ""}, {"", ""}}));
    EXPECT_EQ(Parse("-a  -b"), (Calls{{"-a", ""}, {"", ""}, {"-b", ""}}));
    // The closing quote ends the parameter, so the blank after it ends an empty one.
    EXPECT_EQ(Parse("-demofile=\"my demo.dmo\" -play"),
              (Calls{{"-demofile", "my demo.dmo"}, {"", ""}, {"-play", ""}}));
    EXPECT_EQ(Parse("-k=a=b"), (Calls{{"-k", "ab"}}));
    EXPECT_TRUE(Parse("").empty());
}

TEST(CommandLine, TheProgramNameIsSkipped)
{
    EXPECT_EQ(CommandLine::ParamText("\"/opt/my game/spindrel\" -play"), "-play");
    EXPECT_EQ(CommandLine::ParamText("spindrel -record -demofile=x"), "-record -demofile=x");
    EXPECT_FALSE(CommandLine::ParamText("spindrel"));
    EXPECT_FALSE(CommandLine::ParamText("\"/opt/my game/spindrel\""));
    const char* argv[] = {"/opt/my game/q", "-play", "-demofile=a b.dmo"};
    const std::string joined = CommandLine::Join(3, argv);
    EXPECT_EQ(Parse(*CommandLine::ParamText(joined)), (Calls{{"-play", ""}, {"-demofile", "a b.dmo"}, {"", ""}}));
}

class CommandLineParams : public ::testing::Test
{
protected:
    bool Handle(const std::string& name, const std::string& value)
    {
        return CommandLine::HandleParam(name, value, prefix, p, error);
    }
    void Touch(std::initializer_list<int> numbers)
    {
        for (int n : numbers)
            ASSERT_TRUE(FileSystem::WriteFileAtomic(NumberedDemoFiles::NameFor(prefix, n), "x"));
    }

    TempDir dir;
    const std::string prefix = dir / "demo";
    FrameworkParams p;
    std::string error;
};

TEST_F(CommandLineParams, FrameworkParams)
{
    for (const char* name : {"-play", "-record", "-screensaver", "-crash", ""})
        EXPECT_TRUE(Handle(name, "")) << name << " (doubled blanks are harmless)";
    EXPECT_TRUE(Handle("-demofile", "d.dmo"));
    EXPECT_TRUE(p.play && p.record && p.screenSaver && p.crash);
    EXPECT_EQ(p.demoFileName, "d.dmo");
    EXPECT_FALSE(Handle("-bogus", "1"));
    EXPECT_EQ(error, "Invalid Command Line Param: -bogus");
}

TEST_F(CommandLineParams, NumberedRecordingKeepsTheNewestFiles)
{
    ASSERT_TRUE(Handle("-recnum", "3"));
    EXPECT_TRUE(p.record);
    EXPECT_EQ(p.demoFileName, prefix + "1.dmo");
    Touch({2, 5, 9});
    ASSERT_TRUE(FileSystem::WriteFileAtomic(prefix + "x3.dmo", "not numbered"));
    ASSERT_TRUE(Handle("-recnum", "3"));
    EXPECT_EQ(p.demoFileName, prefix + "10.dmo");
    EXPECT_EQ(NumberedDemoFiles::Numbers(prefix), (std::vector<int>{5, 9})) << "only the lowest is deleted";
    ASSERT_TRUE(Handle("-recnum", "junk"));
    EXPECT_EQ(NumberedDemoFiles::Numbers(prefix), (std::vector<int>{5, 9})) << "junk counts as 5";
}

TEST_F(CommandLineParams, NumberedPlaybackCountsBackFromTheNewest)
{
    ASSERT_TRUE(Handle("-playnum", "2"));
    EXPECT_EQ(p.demoFileName, prefix + "-1.dmo") << "1 - n with no files";
    Touch({3, 4, 7});
    const std::pair<const char*, const char*> counts[] = {{"1", "7"}, {"3", "5"}, {"0", "7"}};
    for (const auto& [n, file] : counts)
    {
        ASSERT_TRUE(Handle("-playnum", n));
        EXPECT_EQ(p.demoFileName, prefix + file + ".dmo") << n;
    }
    EXPECT_TRUE(p.play);
}
