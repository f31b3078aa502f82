#include "framework/platform/Letterbox.h"

#include <algorithm>
#include <cmath>

namespace Quillo
{

Letterbox Letterbox::Fit(int windowWidth, int windowHeight, int logicalWidth, int logicalHeight)
{
    Letterbox box;
    box.logicalWidth = logicalWidth;
    box.logicalHeight = logicalHeight;
    if (windowWidth <= 0 || windowHeight <= 0 || logicalWidth <= 0 || logicalHeight <= 0)
    {
        box.target = Rect{0, 0, logicalWidth, logicalHeight};
        return box;
    }
    box.scale = std::min(static_cast<float>(windowWidth) / static_cast<float>(logicalWidth),
                         static_cast<float>(windowHeight) / static_cast<float>(logicalHeight));
    const int w = static_cast<int>(std::lround(logicalWidth * box.scale));
    const int h = static_cast<int>(std::lround(logicalHeight * box.scale));
    box.target = Rect{(windowWidth - w) / 2, (windowHeight - h) / 2, w, h};
    return box;
}

bool Letterbox::ToLogical(int windowX, int windowY, Point& out) const
{
    out.x = static_cast<int>(std::floor((windowX - target.x) / scale));
    out.y = static_cast<int>(std::floor((windowY - target.y) / scale));
    return target.Contains(windowX, windowY) && out.x >= 0 && out.y >= 0 && out.x < logicalWidth &&
           out.y < logicalHeight;
}

} // namespace Quillo
