#pragma once

#include "game/board/LevelData.h"

#include <array>
#include <string>

namespace Spindrel
{

// The level order, the level table and the main menu's button points, read
// once from the game's text files (word by word).
class LevelTables
{
public:
    struct MenuPoint
    {
        float x = 0.0f;
        float y = 0.0f;
    };

    // root is prepended to the file names (empty: the working directory).
    explicit LevelTables(std::string root = {});

    // "levels\levelOrder.txt": false when it is missing or damaged (the
    // game cannot run without it).
    bool LoadLevelOrder();
    // "levels\levelsTable.txt": false when it is missing or damaged.
    bool LoadLevelTable();
    // "bin\mainMenuPts.txt": overwrites the default points when the file
    // holds all six pairs, each near enough a screen to place a button at.
    void LoadMainMenuPoints();

    static bool IsStageStart(int level) { return Spindrel::IsStageStart(level); }
    static int StageOf(int level) { return Spindrel::StageOf(level); }
    static int LevelInStage(int level) { return Spindrel::LevelInStage(level); }

    const LevelData& Data() const { return m_data; }
    int NumberOfLevels() const { return m_data.numLevels; }
    const std::array<MenuPoint, 6>& MainMenuPoints() const { return m_menuPoints; }

private:
    std::string m_root;
    LevelData m_data;
    std::array<MenuPoint, 6> m_menuPoints;
};

} // namespace Spindrel
