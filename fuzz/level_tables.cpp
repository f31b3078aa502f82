// Level tables: any text is refused or gives tracks and levels the board can
// use, and the main menu's points are ones its buttons can be placed at.
#include "game/app/LevelTables.h"
#include "game/board/LevelData.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace Spindrel;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    if (const auto order = ParseLevelOrder(text))
    {
        for (int level = 1; level <= kLevelCount; ++level)
        {
            // Code 0 gives track 0, which the board and the stage screen
            // take as track 1.
            const int track = (*order)[static_cast<size_t>(level)];
            if (track < 0 || track > kTrackCount)
                std::abort();
        }
    }

    // A refused table leaves the data as it was: here all zero.
    LevelData table;
    table.numLevels = 0;
    const bool parsed = ParseLevelTable(text, table);
    if (parsed != (table.numLevels == kLevelCount))
        std::abort();
    for (const LevelRecord& record : table.records)
    {
        if (record.baseSpeed < 0 || record.pointsToReach < 0 || record.numPictures < 0 ||
            record.speedUpInterval < 0 ||
            (!parsed && (record.baseSpeed | record.pointsToReach | record.numPictures | record.speedUpInterval)))
            std::abort();
    }

    // The points file is read from a folder of this process's own.
    static const std::string root = [] {
        std::random_device random;
        const auto dir = std::filesystem::temp_directory_path() /
                         ("level-tables-fuzz-" + std::to_string(random()));
        std::filesystem::create_directories(dir / "bin");
        return dir.string() + "/";
    }();
    {
        std::ofstream out(root + "bin/mainMenuPts.txt", std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    LevelTables tables(root);
    tables.LoadMainMenuPoints();
    int sum = 0;
    for (const auto& p : tables.MainMenuPoints())
    {
        // The menu places its buttons at these points, as whole pixels.
        sum += static_cast<int>(p.x) / 2 + static_cast<int>(p.y) / 2;
    }
    (void)sum;
    return 0;
}
