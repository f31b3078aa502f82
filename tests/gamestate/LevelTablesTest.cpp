#include "../support/TempDir.h"
#include "game/app/LevelTables.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace Spindrel;

namespace
{

TEST(LevelTablesTest, MenuPointsFarOffScreenKeepTheDefaults)
{
    TempDir dir;
    std::filesystem::create_directories(dir / "bin");
    const auto load = [&dir](const char* text) {
        std::ofstream(dir / "bin/mainMenuPts.txt") << text;
        LevelTables tables(dir.Path() + "/");
        tables.LoadMainMenuPoints();
        return tables.MainMenuPoints();
    };
    const auto defaults = LevelTables().MainMenuPoints();
    EXPECT_EQ(load("1 2 3 4 5 6 7 8 9 10 11 -12")[5].y, -12.0f);
    // Whole pixels cannot hold these: the file is damaged.
    for (const char* damaged : {"1 2 3 4 5 6 7 8 9 10 11 1e30", "1 2 3 4 5 6 7 8 9 -1e39 11 12"})
    {
        const auto points = load(damaged);
        for (size_t i = 0; i < points.size(); ++i)
            EXPECT_EQ(std::pair(points[i].x, points[i].y), std::pair(defaults[i].x, defaults[i].y)) << damaged;
    }
}

} // namespace
