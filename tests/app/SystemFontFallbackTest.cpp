#include "TestApp.h"

#include "framework/graphics/Font.h"
#include "framework/graphics/SysFont.h"
#include "support/TempDir.h"

#include <cstdlib>
#include <fontconfig/fontconfig.h>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace Quillo;

// A machine without any installed font (the font configuration knows
// none): the controls still get a font, the application's own copy.
TEST(SystemFont, WithoutInstalledFontsTheApplicationsCopyStandsIn)
{
    const char* data = std::getenv("QUILLO_DATA_DIR");
    ASSERT_NE(data, nullptr);
    const std::string carried = std::string(data) + "/gfx/fonts/DejaVuSans.ttf";
    TempDir dir;
    const std::string config = dir / "fonts.conf";
    std::ofstream(config) << "<?xml version=\"1.0\"?>\n<fontconfig>\n<cachedir>" << dir.Path()
                          << "</cachedir>\n</fontconfig>\n";

    // In a child, so that the font configuration starts from the empty one;
    // made anew there, as a test before may have loaded the machine's.
    const pid_t pid = fork();
    if (pid == 0)
    {
        setenv("FONTCONFIG_FILE", config.c_str(), 1);
        if (!FcInitReinitialize())
            _exit(4);
        if (!SysFont::FontFileFor("SansSerif", false, false).empty() || SysFont("SansSerif", 12).IsLoaded())
            _exit(1);
        TestApp app;
        if (app.MakeSystemFont("SansSerif", 12, true)->TextWidth("Name") != 0)
            _exit(2);
        app.fallbackFontFile = carried;
        if (app.MakeSystemFont("SansSerif", 12, true)->TextWidth("Name") <= 0)
            _exit(3);
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: a font was found anyway, 2: no fallback wanted, 3: the fallback failed, 4: no empty font configuration";
}
