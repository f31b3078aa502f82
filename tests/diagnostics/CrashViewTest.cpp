#include "framework/platform/FileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace Quillo;

namespace
{

// The program folder of the build: $QUILLO_DATA_DIR, else "bin" beside the
// tests' folder.
std::string Viewer()
{
    const char* dir = std::getenv("QUILLO_DATA_DIR");
    return (dir && *dir ? std::string(dir) : FileSystem::ExecutableDirectory() + "/../bin") + "/crashview";
}

std::string Read(const std::string& path)
{
    const auto bytes = FileSystem::ReadFile(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

} // namespace

// The viewer makes the names readable in the file itself, so that the file
// and the window agree, and draws the window (dummy video driver here).
TEST(CrashView, DemanglesTheReportFileAndDrawsTheWindow)
{
    const std::string viewer = Viewer();
    if (!FileSystem::Exists(viewer))
        GTEST_SKIP() << "crashview is not built";
    TempDir dir;
    const std::string report = dir / "crash.txt";
    ASSERT_TRUE(FileSystem::WriteFileAtomic(report, "Exception: Access Violation (code 0xc0000005) at address 1 in "
                                                    "thread 2\r\n00000000 00000001 _ZN6Quillo14CrashOnPurposeEv+14\r\n"
                                                    "00000000 00000002 _Znot_a_name+1\r\n"));
    const std::string shot = dir / "shot.bmp";
    const std::string command = "SDL_VIDEODRIVER=dummy SDL_RENDER_DRIVER=software '" + viewer + "' '" + report +
                                "' --auto-close=100 --screenshot='" + shot + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string after = Read(report);
    EXPECT_NE(after.find("\r\n00000000 00000001 Quillo::CrashOnPurpose()+14\r\n"), std::string::npos) << after;
    EXPECT_NE(after.find("_Znot_a_name+1"), std::string::npos) << "what is not a name stays";
    EXPECT_EQ(after.rfind("Exception: Access Violation (code 0xc0000005)", 0), 0u);

    const std::string bmp = Read(shot);
    ASSERT_GT(bmp.size(), 400u * 300u * 4u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    // Not one flat colour: the fields, the text and the button were drawn.
    const std::string pixels = bmp.substr(bmp.size() - 400 * 300 * 4);
    size_t differing = 0;
    for (size_t i = 4; i < pixels.size(); i += 4)
        differing += pixels.compare(i, 4, pixels, 0, 4) != 0;
    EXPECT_GT(differing, 10000u);
}
