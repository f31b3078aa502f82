#pragma once

#include "tools/artgen/Canvas.h"
#include "tools/artgen/Faces.h"
#include "tools/artgen/Palette.h"

#include <functional>
#include <string>

// Drawing helpers shared by every picture, so that light, shading and trim
// look the same everywhere: light comes from the upper left.
namespace Spindrel::Art::Paint
{

using Shape = std::function<void(cairo_t*)>;

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r);

// Fills `shape` in `colour`, blurs it and lays it under what comes next, moved
// by (dx, dy): soft shadows and glows.
void Soft(Canvas& target, const Shape& shape, double dx, double dy, double blur, Rgb colour,
          double alpha);

// A glossy sphere of radius r: body shading from `base` (lit side) to `dark`,
// a rim, a bright window highlight and a soft bounce light underneath.
void Sphere(cairo_t* cr, double cx, double cy, double r, Rgb base, Rgb dark,
            double highlight = 1.0);

// A polished gold band along the current path (kept), `width` wide.
void GoldStroke(cairo_t* cr, double width, double y0, double y1);

struct TextStyle
{
    Face face = Face::Display;
    double size = 20;
    Rgb fill = Palette::White;
    Rgb fillBottom = Palette::White;
    double outline = 0; // width of the dark outline around the letters
    Rgb outlineColour = Palette::Ink;
    double shadow = 0; // drop of the soft shadow, 0 for none
    double glow = 0;   // radius of a coloured glow behind, 0 for none
    Rgb glowColour = Palette::Gold;
};

double TextWidth(cairo_t* cr, const Faces& faces, const TextStyle& style, const std::string& text);

// Draws text with its baseline at y, starting at x, or centred on x.
void Text(Canvas& canvas, const Faces& faces, const TextStyle& style, const std::string& text,
          double x, double y, bool centred);

} // namespace Spindrel::Art::Paint
