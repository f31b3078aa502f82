#include "framework/diagnostics/CrashReport.h"
#include "framework/diagnostics/CrashText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Quillo;

namespace
{

std::vector<std::string> Lines(const CrashFacts& f)
{
    static char buffer[64 * 1024];
    const std::string text(buffer, CrashReport::Format(f, buffer, sizeof buffer));
    EXPECT_TRUE(text.ends_with("\r\n")) << "every line ends with CR LF";
    std::vector<std::string> lines;
    for (size_t pos = 0, end; (end = text.find("\r\n", pos)) != std::string::npos; pos = end + 2)
        lines.push_back(text.substr(pos, end - pos));
    return lines;
}

CrashFacts SampleFacts()
{
    CrashFacts f;
    f.code = 0xC0000005;
    f.address = 0x55d0c0de1234;
    f.threadId = 0x1a2b;
    f.module = "/opt/spindrel/spindrel";
    f.section = 2;
    f.offset = 0x1234;
    f.frameCount = 2;
    f.frames[0] = CrashFrame{0x7ffd0000, 0x55d0c0de1234, "_ZN6Quillo5CrashEv", 0x14, "/opt/spindrel/spindrel", 2, 0x1234};
    f.frames[1] = CrashFrame{0, 0x7f0012345678, nullptr, 0, "/lib/x86_64-linux-gnu/libc.so.6", 1, 0x5678};
    f.frames[0].params[0] = 1;
    f.frames[1].params[3] = 0x7ffd0040;
    f.registers.rax = 0xdeadbeef;
    f.registers.rip = 0x55d0c0de1234;
    f.registers.cs = 0x33;
    f.registers.flags = 0x10246;
    f.osName = "Linux";
    f.osMajor = 6;
    f.osMinor = 1;
    f.osBuild = 0;
    f.osInfo = "Debian GNU/Linux 12 (bookworm)";
    return f;
}

} // namespace

TEST(CrashReport, LayoutWithoutAndWithAnApplication)
{
    auto lines = Lines(SampleFacts());
    ASSERT_EQ(lines.size(), 16u) << "no versions or run description without an application";
    lines[9].resize(21); // the registers' first columns
    lines[10].resize(20);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "Exception: Access Violation (code 0xc0000005) at address 55D0C0DE1234 in thread 1A2B",
                         "Module: spindrel",
                         "Logical Address: 0002:00001234",
                         "",
                         "7FFD0000 55D0C0DE1234 Quillo::Crash()+14",
                         "Params: 00000001 00000000 00000000 00000000",
                         "00000000 7F0012345678 0001:00005678 libc.so.6",
                         "Params: 00000000 00000000 00000000 7FFD0040",
                         "",
                         "RAX:00000000DEADBEEF ",
                         "R8:0000000000000000 ",
                         "RIP:000055D0C0DE1234 RSP:0000000000000000  RBP:0000000000000000",
                         "CS:0033 SS:0000 DS:0000 ES:0000 FS:0000 GS:0000",
                         "Flags:00010246",
                         "",
                         "OS Ver: Linux 6.1 Debian GNU/Linux 12 (bookworm) Build 0",
                     }));

    CrashFacts f = SampleFacts();
    f.hasApplication = true;
    f.displayVersion = "2.26.5";
    f.soundVersion = "0.6.9";
    f.product = "Spindrel";
    f.productVersion = "1.0";
    f.secondsLoaded = 3 * 3600 + 4 * 60 + 5;
    f.fullscreen = true;
    f.mainThreadId = 0xbeef;
    lines = Lines(f);
    ASSERT_EQ(lines.size(), 24u);
    EXPECT_EQ(std::vector(lines.begin() + 16, lines.end()),
              (std::vector<std::string>{"SDL Ver: 2.26.5", "Audio Ver: 0.6.9", "", "Product: Spindrel", "Version: 1.0",
                                        "Time Loaded: 03:04:05", "Fullscreen: Yes", "Primary ThreadId: BEEF"}));
}

TEST(CrashReport, CodesOutsideTheTableAndFramePointerWalks)
{
    CrashFacts f = SampleFacts();
    f.code = 6;
    f.module = nullptr;
    f.framePointerWalk = true;
    const auto lines = Lines(f);
    EXPECT_EQ(lines[0], "Unknown exception: (code 0x6) at address 55D0C0DE1234 in thread 1A2B");
    EXPECT_EQ(lines[1], "Module: (unknown)");
    EXPECT_EQ(lines[4], "55D0C0DE1234  7FFD0000  0002:00001234 spindrel");
    EXPECT_EQ(lines[5], "7F0012345678  00000000  0001:00005678 libc.so.6");
    EXPECT_EQ(CrashReport::ExceptionName(0xC0000094), std::string("Integer Divide by Zero"));
    EXPECT_EQ(CrashReport::ExceptionName(0x00000000), std::string("Wait 0"));
    EXPECT_EQ(CrashReport::ExceptionName(0xC0000001), nullptr);

    char title[64];
    CrashReport::FormatTitle(f, title, sizeof title);
    EXPECT_STREQ(title, "Exception at 0002:00001234");
}

TEST(CrashText, CutsOffAtTheBufferAndStaysTerminated)
{
    char buffer[8];
    CrashText t(buffer, sizeof buffer);
    t.Put("abc").Hex(0xABCDEF, 4).Dec(12345);
    EXPECT_EQ(t.Length(), 7u);
    EXPECT_STREQ(buffer, "abcABCD");
    char small[16];
    CrashText d(small, sizeof small);
    d.Dec(7, 2).Put(' ').Hex(0, 3).Put(' ').Dec(0);
    EXPECT_STREQ(small, "07 000 0");
}
