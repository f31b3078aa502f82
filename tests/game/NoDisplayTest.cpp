// The built program on a machine whose display cannot start: it must say
// so and fail, not end quietly with success.
#include "../support/TempDir.h"
#include "framework/platform/FileSystem.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

TEST(NoDisplay, TheProgramReportsItAndEndsWithAFailure)
{
    const char* data = std::getenv("QUILLO_DATA_DIR");
    if (!data || !fs::exists(fs::path(data) / "spindrel"))
        GTEST_SKIP() << "the game is not built";
    TempDir dir;
    const std::string command = "cd '" + dir.Path() + "' && SDL_VIDEODRIVER=no-such-driver QUILLO_MSGBOX=log XDG_CONFIG_HOME='" +
                                dir.Path() + "' '" + (fs::path(data) / "spindrel").string() + "' >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 0);
    const std::string text = Quillo::FileSystem::ReadTextFile(dir / "err.txt").value_or("");
    EXPECT_NE(text.find("[FATAL ERROR]"), std::string::npos) << text;
    EXPECT_NE(text.find("cannot start its display"), std::string::npos) << text;
}
