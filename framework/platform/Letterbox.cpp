#include "framework/platform/Letterbox.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

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

namespace
{

// The picture pixel that output pixel `at` (from the target's edge) shows:
// the same whole-number step the picture is scaled by, so a click lands on
// the pixel drawn under it at every size.
int ToPicture(int at, int logical, int target)
{
    const int64_t scaled = int64_t(at) * logical;
    return static_cast<int>(scaled >= 0 ? scaled / target : -((-scaled + target - 1) / target));
}

} // namespace

bool Letterbox::ToLogical(int windowX, int windowY, Point& out) const
{
    if (target.width <= 0 || target.height <= 0)
    {
        out = Point{windowX, windowY};
        return false;
    }
    out.x = ToPicture(windowX - target.x, logicalWidth, target.width);
    out.y = ToPicture(windowY - target.y, logicalHeight, target.height);
    return target.Contains(windowX, windowY) && out.x >= 0 && out.y >= 0 && out.x < logicalWidth &&
           out.y < logicalHeight;
}

} // namespace Quillo
