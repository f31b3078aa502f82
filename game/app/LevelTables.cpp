#include "game/app/LevelTables.h"

#include "framework/platform/FileSystem.h"

#include <cmath>
#include <sstream>

namespace Spindrel
{

namespace
{

std::optional<std::string> ReadText(const std::string& root, const char* name)
{
    namespace fs = Quillo::FileSystem;
    return fs::ReadTextFile(fs::ResolvePath(fs::NormalizePath(root + name)));
}

} // namespace

LevelTables::LevelTables(std::string root) : m_root(std::move(root))
{
    m_menuPoints = {{{35, 234}, {131, 380}, {358, 444}, {500, 380}, {668, 234}, {100, 500}}};
}

bool LevelTables::LoadLevelOrder()
{
    const auto text = ReadText(m_root, "levels\\levelOrder.txt");
    if (!text)
        return false;
    const auto order = ParseLevelOrder(*text);
    if (!order)
        return false;
    m_data.trackOfLevel = *order;
    return true;
}

bool LevelTables::LoadLevelTable()
{
    const auto text = ReadText(m_root, "levels\\levelsTable.txt");
    return text && ParseLevelTable(*text, m_data);
}

void LevelTables::LoadMainMenuPoints()
{
    const auto text = ReadText(m_root, "bin\\mainMenuPts.txt");
    if (!text)
        return;
    std::istringstream in(*text);
    std::array<MenuPoint, 6> points;
    for (MenuPoint& p : points)
    {
        if (!(in >> p.x >> p.y))
            return;
        // The buttons are placed at these points as whole pixels: a point
        // far off any screen (or one that overflowed) marks a damaged file.
        constexpr float kLimit = 100000.0f;
        if (!(std::fabs(p.x) <= kLimit && std::fabs(p.y) <= kLimit))
            return;
    }
    m_menuPoints = points;
}

} // namespace Spindrel
