#pragma once

#include <cairo.h>

namespace Spindrel::Art
{

class Canvas;
class Output;
class Faces;

// The balls: backs, flip strip, the 13 pictures, bonus icons, glows, the gate
// and its rim, and the big menu ball with its halo.
void PaintBallArt(Output& output, const Faces& faces);

// A ball as the game shows it (back kind 0..3, or the face of picture
// 0..12 when `picture` is not -1), centred at (cx, cy), scaled from 60 px.
void DrawBall(cairo_t* cr, double cx, double cy, double scale, int back, int picture);

// A bonus icon (eye, rollback, pause, type, bomb) over a closed back.
void DrawBonusBall(cairo_t* cr, double cx, double cy, double scale, const char* bonus);

// The game's icon on a square canvas of any size: a face-up ball with the
// heart, drawn as shapes at the canvas's own size rather than scaled from a
// picture, and made bolder at 32 px and below so that it reads at 16.
void PaintIcon(Canvas& c);

} // namespace Spindrel::Art
