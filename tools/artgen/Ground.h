#pragma once

#include "tools/artgen/Canvas.h"
#include "tools/artgen/Palette.h"

#include <vector>

namespace Spindrel::Art
{

struct Point2
{
    double x, y;
};

// The painted grounds of the screens and levels: one of ten moods of the
// twilight palette with one of eight quiet patterns, soft lights and a
// vignette, so every screen belongs to the same world.
struct GroundStyle
{
    int mood = 0;    // 0..9
    int pattern = 0; // 0..7
    unsigned seed = 1;
};

Rgb MoodTop(int mood);
Rgb MoodBottom(int mood);

void PaintGround(Canvas& canvas, const GroundStyle& style);

// A sunk channel along the points that the balls roll in, lit from the
// upper left, in the mood's colours and quieter than the balls.
void PaintGroove(Canvas& canvas, const std::vector<Point2>& points, int mood, double width = 60);

// The dark recess under a round piece (gate, menu ball) of the given radius.
void PaintSocket(Canvas& canvas, double cx, double cy, double radius, int mood);

} // namespace Spindrel::Art
