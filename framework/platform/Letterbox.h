#pragma once

#include "framework/platform/Point.h"
#include "framework/platform/Rect.h"

namespace Quillo
{

// Where the fixed-size picture lands inside a window of another size: scaled
// by one factor to fit, centred, with black bars on the remaining sides.
struct Letterbox
{
    float scale = 1.0f;
    Rect target;          // the picture's rectangle in window pixels
    int logicalWidth = 0;
    int logicalHeight = 0;

    static Letterbox Fit(int windowWidth, int windowHeight, int logicalWidth, int logicalHeight);

    // Maps a window pixel to a picture pixel. Returns false (and still gives
    // the clamped-free mapped point) when the pixel lies on a bar or outside.
    bool ToLogical(int windowX, int windowY, Point& out) const;
};

} // namespace Quillo
