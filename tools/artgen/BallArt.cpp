#include "tools/artgen/BallArt.h"

#include "tools/artgen/Output.h"
#include "tools/artgen/Paint.h"

#include <cmath>
#include <string>
#include <vector>

namespace Spindrel::Art
{

namespace
{

constexpr double Cell = 60;
constexpr double Radius = 28.5;
using Palette::Ink;

// --- Ball backs -----------------------------------------------------------

void BackPattern(cairo_t* cr, int kind, double cx, double cy, double r)
{
    cairo_save(cr);
    cairo_arc(cr, cx, cy, r - 1, 0, 2 * M_PI);
    cairo_clip(cr);
    const Rgb tone = Palette::Cream;
    if (kind == 1)
    {
        // A tilted equator band, like a billiard stripe worn soft.
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_rotate(cr, -0.35);
        cairo_scale(cr, 1.0, 0.42);
        cairo_arc(cr, 0, 0, r * 1.02, 0, 2 * M_PI);
        cairo_restore(cr);
        cairo_set_line_width(cr, 5);
        tone.Set(cr, 0.22);
        cairo_stroke(cr);
    }
    else if (kind == 2)
    {
        // The spin mark: three arcs winding out from the middle.
        for (int i = 0; i < 3; ++i)
        {
            cairo_save(cr);
            cairo_translate(cr, cx, cy);
            cairo_rotate(cr, i * 2 * M_PI / 3 + 0.3);
            cairo_move_to(cr, 0, 0);
            cairo_curve_to(cr, r * 0.55, -r * 0.15, r * 0.65, r * 0.45, r * 0.25, r * 0.8);
            cairo_restore(cr);
        }
        cairo_set_line_width(cr, 3.2);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        tone.Set(cr, 0.2);
        cairo_stroke(cr);
    }
    else if (kind == 3)
    {
        // A sprinkle of tiny stars.
        const double spots[][3] = {{-0.45, -0.1, 2.2}, {0.2, -0.45, 1.6}, {0.5, 0.15, 2.4},
                                   {-0.1, 0.45, 1.9}, {-0.55, 0.45, 1.4}, {0.05, 0.02, 1.3},
                                   {0.35, 0.6, 1.5},  {-0.3, -0.55, 1.2}};
        for (const auto& s : spots)
        {
            cairo_arc(cr, cx + s[0] * r, cy + s[1] * r, s[2], 0, 2 * M_PI);
            tone.Set(cr, 0.28);
            cairo_fill(cr);
        }
    }
    cairo_restore(cr);
}

void Ball(cairo_t* cr, double cx, double cy, double r, int kind)
{
    Paint::Sphere(cr, cx, cy, r, Palette::Pewter, Palette::PewterDeep, 0.0);
    BackPattern(cr, kind, cx, cy, r);
    // The highlight goes on last so patterns sit under the glaze.
    cairo_save(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_clip(cr);
    cairo_translate(cr, cx - r * 0.28, cy - r * 0.5);
    cairo_rotate(cr, -0.5);
    cairo_scale(cr, r * 0.45, r * 0.26);
    cairo_pattern_t* spot = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
    Palette::White.Stop(spot, 0.0, 0.8);
    Palette::White.Stop(spot, 0.6, 0.3);
    Palette::White.Stop(spot, 1.0, 0.0);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_set_source(cr, spot);
    cairo_fill(cr);
    cairo_pattern_destroy(spot);
    cairo_restore(cr);
}

// --- Pictures ---------------------------------------------------------------

struct Picture
{
    Rgb top;
    Rgb bottom;
    void (*shape)(cairo_t*);
};

void Heart(cairo_t* cr)
{
    cairo_move_to(cr, 30, 50);
    cairo_curve_to(cr, 16, 40, 6, 31, 7, 21);
    cairo_curve_to(cr, 8, 11, 22, 7, 30, 17);
    cairo_curve_to(cr, 38, 7, 52, 11, 53, 21);
    cairo_curve_to(cr, 54, 31, 44, 40, 30, 50);
    cairo_close_path(cr);
}

void Star(cairo_t* cr)
{
    for (int i = 0; i < 10; ++i)
    {
        const double a = -M_PI / 2 + i * M_PI / 5;
        const double rr = i % 2 ? 10.5 : 24.5;
        const double x = 30 + rr * std::cos(a), y = 31.5 + rr * std::sin(a);
        i ? cairo_line_to(cr, x, y) : cairo_move_to(cr, x, y);
    }
    cairo_close_path(cr);
}

void Clover(cairo_t* cr)
{
    for (int i = 0; i < 3; ++i)
    {
        const double a = -M_PI / 2 + i * 2 * M_PI / 3;
        cairo_new_sub_path(cr);
        cairo_arc(cr, 30 + 10.5 * std::cos(a), 27 + 10.5 * std::sin(a), 9.5, 0, 2 * M_PI);
    }
    cairo_new_sub_path(cr);
    cairo_move_to(cr, 28, 30);
    cairo_curve_to(cr, 30, 40, 34, 47, 41, 53);
    cairo_line_to(cr, 44, 50);
    cairo_curve_to(cr, 38, 45, 34, 38, 33, 30);
    cairo_close_path(cr);
}

void Drop(cairo_t* cr)
{
    cairo_move_to(cr, 30, 5);
    cairo_curve_to(cr, 36, 16, 47, 26, 47, 37);
    cairo_curve_to(cr, 47, 47, 39, 54, 30, 54);
    cairo_curve_to(cr, 21, 54, 13, 47, 13, 37);
    cairo_curve_to(cr, 13, 26, 24, 16, 30, 5);
    cairo_close_path(cr);
}

void Sun(cairo_t* cr)
{
    for (int i = 0; i < 16; ++i)
    {
        const double a = i * M_PI / 8 - M_PI / 2;
        const double rr = i % 2 ? 15 : 25;
        const double x = 30 + rr * std::cos(a), y = 30 + rr * std::sin(a);
        i ? cairo_line_to(cr, x, y) : cairo_move_to(cr, x, y);
    }
    cairo_close_path(cr);
}

void SunFace(cairo_t* cr)
{
    cairo_arc(cr, 30, 30, 11.5, 0, 2 * M_PI);
}

void Pine(cairo_t* cr)
{
    cairo_move_to(cr, 30, 4);
    cairo_line_to(cr, 41, 19);
    cairo_line_to(cr, 36, 19);
    cairo_line_to(cr, 46, 32);
    cairo_line_to(cr, 39, 32);
    cairo_line_to(cr, 50, 45);
    cairo_line_to(cr, 34, 45);
    cairo_line_to(cr, 34, 55);
    cairo_line_to(cr, 26, 55);
    cairo_line_to(cr, 26, 45);
    cairo_line_to(cr, 10, 45);
    cairo_line_to(cr, 21, 32);
    cairo_line_to(cr, 14, 32);
    cairo_line_to(cr, 24, 19);
    cairo_line_to(cr, 19, 19);
    cairo_close_path(cr);
}

void Cherries(cairo_t* cr)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, 19, 42, 10, 0, 2 * M_PI);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 41, 43, 10, 0, 2 * M_PI);
    // Stems and the leaf, thick enough to survive the 60 px size.
    cairo_new_sub_path(cr);
    cairo_move_to(cr, 17, 34);
    cairo_curve_to(cr, 20, 22, 27, 12, 35, 8);
    cairo_line_to(cr, 37, 11);
    cairo_curve_to(cr, 30, 16, 24, 24, 21, 34);
    cairo_close_path(cr);
    cairo_new_sub_path(cr);
    cairo_move_to(cr, 39, 35);
    cairo_curve_to(cr, 39, 25, 37, 16, 35, 9);
    cairo_line_to(cr, 38, 9);
    cairo_curve_to(cr, 41, 17, 43, 25, 43, 35);
    cairo_close_path(cr);
    cairo_new_sub_path(cr);
    cairo_move_to(cr, 36, 9);
    cairo_curve_to(cr, 42, 3, 50, 4, 54, 9);
    cairo_curve_to(cr, 48, 14, 41, 14, 36, 9);
    cairo_close_path(cr);
}

void Anchor(cairo_t* cr)
{
    // Ring, stock, shank and the curved arms with their flukes.
    cairo_new_sub_path(cr);
    cairo_arc(cr, 30, 10, 6.5, 0, 2 * M_PI);
    cairo_new_sub_path(cr);
    cairo_arc_negative(cr, 30, 10, 3, 2 * M_PI, 0);
    Paint::RoundedRect(cr, 16, 17, 28, 6, 3);
    Paint::RoundedRect(cr, 27, 15, 6, 35, 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 30, 30, 22, 0.15 * M_PI, 0.85 * M_PI);
    cairo_arc_negative(cr, 30, 30, 16, 0.85 * M_PI, 0.15 * M_PI);
    cairo_close_path(cr);
    cairo_new_sub_path(cr);
    cairo_move_to(cr, 3, 33);
    cairo_line_to(cr, 16, 36);
    cairo_line_to(cr, 8, 45);
    cairo_close_path(cr);
    cairo_new_sub_path(cr);
    cairo_move_to(cr, 57, 33);
    cairo_line_to(cr, 44, 36);
    cairo_line_to(cr, 52, 45);
    cairo_close_path(cr);
}

void Cross(cairo_t* cr)
{
    Paint::RoundedRect(cr, 22, 7, 16, 46, 4);
    Paint::RoundedRect(cr, 7, 22, 46, 16, 4);
}

void Moon(cairo_t* cr)
{
    // A crescent: the outer disc's rim from one crossing of the two circles
    // to the other, back along the inner circle.
    const double x1 = 28, y1 = 31, r1 = 23, x2 = 38, y2 = 22, r2 = 18;
    const double d = std::hypot(x2 - x1, y2 - y1);
    const double a = (r1 * r1 - r2 * r2 + d * d) / (2 * d), h = std::sqrt(r1 * r1 - a * a);
    const double ux = (x2 - x1) / d, uy = (y2 - y1) / d;
    const double px = x1 + a * ux, py = y1 + a * uy;
    const double ax = px - h * uy, ay = py + h * ux; // lower right horn
    const double bx = px + h * uy, by = py - h * ux; // upper horn
    cairo_arc(cr, x1, y1, r1, std::atan2(ay - y1, ax - x1), std::atan2(by - y1, bx - x1) + 2 * M_PI);
    cairo_arc_negative(cr, x2, y2, r2, std::atan2(by - y2, bx - x2), std::atan2(ay - y2, ax - x2));
    cairo_close_path(cr);
}

void Notes(cairo_t* cr)
{
    // Two beamed notes.
    for (double x : {19.0, 41.0})
    {
        const double y = x < 30 ? 45 : 41;
        cairo_save(cr);
        cairo_translate(cr, x - 3, y);
        cairo_rotate(cr, -0.4);
        cairo_scale(cr, 8.5, 6.2);
        cairo_new_sub_path(cr);
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cr);
    }
    cairo_new_sub_path(cr);
    cairo_move_to(cr, 21, 45);
    cairo_line_to(cr, 21, 15);
    cairo_line_to(cr, 47, 9);
    cairo_line_to(cr, 47, 41);
    cairo_line_to(cr, 42.5, 41);
    cairo_line_to(cr, 42.5, 19);
    cairo_line_to(cr, 25.5, 23);
    cairo_line_to(cr, 25.5, 45);
    cairo_close_path(cr);
}

void Mushroom(cairo_t* cr)
{
    cairo_new_sub_path(cr);
    cairo_move_to(cr, 5, 33);
    cairo_curve_to(cr, 5, 15, 17, 7, 30, 7);
    cairo_curve_to(cr, 43, 7, 55, 15, 55, 33);
    cairo_curve_to(cr, 55, 36, 52, 37, 49, 37);
    cairo_line_to(cr, 11, 37);
    cairo_curve_to(cr, 8, 37, 5, 36, 5, 33);
    cairo_close_path(cr);
}

void MushroomStem(cairo_t* cr)
{
    cairo_move_to(cr, 22, 36);
    cairo_line_to(cr, 38, 36);
    cairo_curve_to(cr, 40, 44, 41, 49, 39, 53);
    cairo_curve_to(cr, 35, 55, 25, 55, 21, 53);
    cairo_curve_to(cr, 19, 49, 20, 44, 22, 36);
    cairo_close_path(cr);
}

void Bolt(cairo_t* cr)
{
    cairo_move_to(cr, 35, 4);
    cairo_line_to(cr, 13, 33);
    cairo_line_to(cr, 27, 33);
    cairo_line_to(cr, 21, 56);
    cairo_line_to(cr, 47, 24);
    cairo_line_to(cr, 33, 24);
    cairo_line_to(cr, 40, 4);
    cairo_close_path(cr);
}

void FillShape(cairo_t* cr, void (*shape)(cairo_t*), Rgb top, Rgb bottom, double outline)
{
    shape(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, outline * 2);
    Ink.Set(cr, 0.92);
    cairo_stroke_preserve(cr);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, 6, 0, 54);
    top.Stop(fill, 0.0);
    top.Mix(bottom, 0.45).Stop(fill, 0.45);
    bottom.Stop(fill, 1.0);
    cairo_set_source(cr, fill);
    cairo_fill(cr);
    cairo_pattern_destroy(fill);
}

// A gloss on the upper part of the symbol, clipped to it.
void Glaze(cairo_t* cr, void (*shape)(cairo_t*))
{
    cairo_save(cr);
    shape(cr);
    cairo_clip(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 4, 0, 34);
    Palette::White.Stop(g, 0.0, 0.7);
    Palette::White.Stop(g, 1.0, 0.0);
    cairo_set_source(cr, g);
    cairo_arc(cr, 24, 6, 26, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_restore(cr);
}

void PaintPicture(Canvas& c, int index)
{
    cairo_t* cr = c.Cr();
    auto hex = Rgb::Hex;
    struct PictureStyle
    {
        Rgb top, bottom;
        void (*shape)(cairo_t*);
    };
    const PictureStyle styles[13] = {
        {hex(0xffa0a0), hex(0xdc2838), Heart},    {hex(0xffa6ff), hex(0xb526c0), Star},
        {hex(0xa8ffa8), hex(0x26a040), Clover},   {hex(0xa8b0ff), hex(0x3346dc), Drop},
        {hex(0xffffa8), hex(0xf0a800), Sun},      {hex(0x9cf59c), hex(0x17803a), Pine},
        {hex(0xff9c9c), hex(0xc81830), Cherries}, {hex(0xcdb6ae), hex(0x7a5a52), Anchor},
        {hex(0xffa8a0), hex(0xe0302c), Cross},    {hex(0xb8c4ff), hex(0x2a48d0), Moon},
        {hex(0xffa6c0), hex(0xe03c7c), Notes},    {hex(0xff9090), hex(0xc81c2c), Mushroom},
        {hex(0xffffa0), hex(0xf29a00), Bolt}};
    const PictureStyle& s = styles[index];
    // Everything stays on the ball: drawn a little smaller than the shapes'
    // 60 px design and clipped to the ball's round.
    cairo_arc(cr, 30, 30, 29.8, 0, 2 * M_PI);
    cairo_clip(cr);
    cairo_translate(cr, 30, 30);
    cairo_scale(cr, 0.9, 0.9);
    cairo_translate(cr, -30, -30);
    // A soft drop shadow lifts the symbol off the ball.
    Paint::Soft(c, [&](cairo_t* k) {
        cairo_translate(k, 30, 30);
        cairo_scale(k, 0.9, 0.9);
        cairo_translate(k, -30, -30);
        s.shape(k);
    }, 1, 2, 3, Ink, 0.5);
    if (s.shape == Cherries)
    {
        // Green stems and leaf under red fruit.
        FillShape(cr, Cherries, hex(0xb6f08a), hex(0x3c8a2a), 1.8);
        auto fruit = [](cairo_t* k) {
            cairo_new_sub_path(k);
            cairo_arc(k, 19, 42, 10, 0, 2 * M_PI);
            cairo_new_sub_path(k);
            cairo_arc(k, 41, 43, 10, 0, 2 * M_PI);
        };
        FillShape(cr, fruit, s.top, s.bottom, 1.8);
        Glaze(cr, fruit);
        return;
    }
    if (s.shape == Mushroom)
    {
        FillShape(cr, MushroomStem, Palette::Cream, hex(0xd8c4a4), 1.8);
        FillShape(cr, Mushroom, s.top, s.bottom, 1.8);
        const double dots[][3] = {{18, 22, 4}, {33, 15, 3.5}, {44, 26, 4.2}, {29, 29, 2.8}};
        for (const auto& d : dots)
        {
            cairo_arc(cr, d[0], d[1], d[2], 0, 2 * M_PI);
            Palette::Cream.Set(cr);
            cairo_fill(cr);
        }
        Glaze(cr, Mushroom);
        return;
    }
    FillShape(cr, s.shape, s.top, s.bottom, 1.8);
    if (s.shape == Sun)
    {
        FillShape(cr, SunFace, hex(0xfffde0), hex(0xffd23a), 1.4);
    }
    Glaze(cr, s.shape);
}

// --- Bonus icons -------------------------------------------------------------

void BonusRing(Canvas& c)
{
    cairo_t* cr = c.Cr();
    Paint::Soft(c, [](cairo_t* k) { cairo_arc(k, 30, 30, 27, 0, 2 * M_PI); cairo_set_line_width(k, 5); cairo_stroke(k); },
                0, 0, 3, Palette::GoldLight, 0.9);
    cairo_arc(cr, 30, 30, 26.5, 0, 2 * M_PI);
    Paint::GoldStroke(cr, 3.2, 3, 57);
    cairo_new_path(cr);
}

void PaintBonus(Canvas& c, const std::string& name)
{
    cairo_t* cr = c.Cr();
    cairo_arc(cr, 30, 30, 29.8, 0, 2 * M_PI);
    cairo_clip(cr);
    BonusRing(c);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    auto glow = [&](const Paint::Shape& s, Rgb colour) { Paint::Soft(c, s, 0, 0, 4, colour, 1.0); };
    if (name == "eye")
    {
        auto almond = [](cairo_t* k) {
            cairo_move_to(k, 8, 30);
            cairo_curve_to(k, 18, 14, 42, 14, 52, 30);
            cairo_curve_to(k, 42, 46, 18, 46, 8, 30);
            cairo_close_path(k);
        };
        glow(almond, Rgb::Hex(0x7ff6ff));
        almond(cr);
        cairo_set_line_width(cr, 3);
        Ink.Set(cr);
        cairo_stroke_preserve(cr);
        Palette::White.Set(cr);
        cairo_fill(cr);
        cairo_pattern_t* iris = cairo_pattern_create_radial(28, 28, 1, 30, 30, 10);
        Rgb::Hex(0x9ff4ff).Stop(iris, 0);
        Rgb::Hex(0x1496b4).Stop(iris, 1);
        cairo_arc(cr, 30, 30, 9.5, 0, 2 * M_PI);
        cairo_set_source(cr, iris);
        cairo_fill(cr);
        cairo_pattern_destroy(iris);
        cairo_arc(cr, 30, 30, 4.5, 0, 2 * M_PI);
        Ink.Set(cr);
        cairo_fill(cr);
        cairo_arc(cr, 27, 27, 2.2, 0, 2 * M_PI);
        Palette::White.Set(cr);
        cairo_fill(cr);
    }
    else if (name == "rollback")
    {
        auto arrow = [](cairo_t* k) {
            cairo_arc_negative(k, 30, 31, 14, -0.2, -M_PI * 1.55);
            cairo_set_line_width(k, 7);
            cairo_stroke(k);
            cairo_move_to(k, 44, 19);
            cairo_line_to(k, 46, 36);
            cairo_line_to(k, 31, 30);
            cairo_close_path(k);
        };
        glow(arrow, Rgb::Hex(0x7ff6ff));
        cairo_arc_negative(cr, 30, 31, 14, -0.2, -M_PI * 1.55);
        cairo_set_line_width(cr, 10);
        Ink.Set(cr);
        cairo_stroke(cr);
        cairo_move_to(cr, 45, 17);
        cairo_line_to(cr, 47, 38);
        cairo_line_to(cr, 29, 30);
        cairo_close_path(cr);
        cairo_set_line_width(cr, 3);
        cairo_stroke_preserve(cr);
        Rgb::Hex(0x8ffcff).Set(cr);
        cairo_fill(cr);
        cairo_arc_negative(cr, 30, 31, 14, -0.2, -M_PI * 1.55);
        cairo_set_line_width(cr, 6);
        cairo_stroke(cr);
    }
    else if (name == "pause")
    {
        auto bars = [](cairo_t* k) {
            Paint::RoundedRect(k, 18, 15, 9, 30, 3);
            Paint::RoundedRect(k, 33, 15, 9, 30, 3);
        };
        glow(bars, Rgb::Hex(0xffd25a));
        bars(cr);
        cairo_set_line_width(cr, 3);
        Ink.Set(cr);
        cairo_stroke_preserve(cr);
        cairo_pattern_t* f = cairo_pattern_create_linear(0, 15, 0, 45);
        Rgb::Hex(0xfffbe0).Stop(f, 0);
        Rgb::Hex(0xffb020).Stop(f, 1);
        cairo_set_source(cr, f);
        cairo_fill(cr);
        cairo_pattern_destroy(f);
    }
    else if (name == "type")
    {
        // A horseshoe magnet: it pulls every ball of one picture away.
        auto horseshoe = [](cairo_t* k) {
            cairo_new_sub_path(k);
            cairo_arc(k, 30, 30, 15, 0, M_PI);
            cairo_line_to(k, 15, 14);
            cairo_line_to(k, 24, 14);
            cairo_line_to(k, 24, 30);
            cairo_arc_negative(k, 30, 30, 6, M_PI, 0);
            cairo_line_to(k, 36, 14);
            cairo_line_to(k, 45, 14);
            cairo_close_path(k);
        };
        glow(horseshoe, Rgb::Hex(0xb8ff6a));
        horseshoe(cr);
        cairo_set_line_width(cr, 3);
        Ink.Set(cr);
        cairo_stroke_preserve(cr);
        cairo_pattern_t* f = cairo_pattern_create_linear(0, 14, 0, 46);
        Rgb::Hex(0xff9a8a).Stop(f, 0);
        Rgb::Hex(0xe8283a).Stop(f, 1);
        cairo_set_source(cr, f);
        cairo_fill(cr);
        cairo_pattern_destroy(f);
        for (double x : {15.0, 36.0})
        {
            cairo_rectangle(cr, x + 0.8, 14.8, 7.4, 6.5);
            Rgb::Hex(0xf2f4ff).Set(cr);
            cairo_fill(cr);
        }
        // Sparks of pull between the poles.
        for (int i = 0; i < 3; ++i)
        {
            cairo_move_to(cr, 22 + i * 8, 10);
            cairo_line_to(cr, 22 + i * 8, 5);
        }
        cairo_set_line_width(cr, 2);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        Rgb::Hex(0xb8ff6a).Set(cr);
        cairo_stroke(cr);
    }
    else if (name == "bomb")
    {
        glow([](cairo_t* k) { cairo_arc(k, 28, 34, 15, 0, 2 * M_PI); }, Rgb::Hex(0xff8a3a));
        cairo_move_to(cr, 36, 20);
        cairo_curve_to(cr, 40, 12, 46, 12, 48, 9);
        cairo_set_line_width(cr, 3);
        Rgb::Hex(0xc8a070).Set(cr);
        cairo_stroke(cr);
        Paint::RoundedRect(cr, 31, 17, 9, 7, 1.5);
        Rgb::Hex(0x4a4e66).Set(cr);
        cairo_fill(cr);
        Paint::Sphere(cr, 28, 35, 15, Rgb::Hex(0x4a4e6a), Rgb::Hex(0x0c0e1c), 1.0);
        // The spark.
        for (int i = 0; i < 8; ++i)
        {
            const double a = i * M_PI / 4;
            const double l = i % 2 ? 4 : 7.5;
            cairo_move_to(cr, 48, 9);
            cairo_line_to(cr, 48 + l * std::cos(a), 9 + l * std::sin(a));
        }
        cairo_set_line_width(cr, 2);
        Rgb::Hex(0xffe070).Set(cr);
        cairo_stroke(cr);
        cairo_arc(cr, 48, 9, 2.5, 0, 2 * M_PI);
        Palette::White.Set(cr);
        cairo_fill(cr);
    }
}

// --- Glows ---------------------------------------------------------------------

void PaintGlow(Canvas& c, double inner)
{
    cairo_t* cr = c.Cr();
    const double cx = c.Width() / 2.0, cy = c.Height() / 2.0, outer = c.Width() / 2.0;
    cairo_pattern_t* g = cairo_pattern_create_radial(cx, cy, inner - 2, cx, cy, outer);
    Palette::GoldLight.Stop(g, 0.0, 0.0);
    Palette::White.Stop(g, 0.12, 0.95);
    Palette::GoldLight.Stop(g, 0.3, 0.7);
    Palette::Gold.Stop(g, 0.6, 0.25);
    Palette::Gold.Stop(g, 1.0, 0.0);
    cairo_arc(cr, cx, cy, outer, 0, 2 * M_PI);
    cairo_arc_negative(cr, cx, cy, inner - 2, 2 * M_PI, 0);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

// --- Gate ------------------------------------------------------------------------

// Cel `step` of 0..20: an iris of eight blades that swing out of the pit.
void PaintGateCel(cairo_t* cr, double ox, double open)
{
    const double cx = ox + 45, cy = 45;
    cairo_save(cr);
    // Base plate and the mouth channel coming in from below.
    cairo_pattern_t* plate = cairo_pattern_create_radial(cx - 10, cy - 12, 4, cx, cy, 44);
    Rgb::Hex(0x5a6190).Stop(plate, 0);
    Rgb::Hex(0x252a4e).Stop(plate, 1);
    cairo_arc(cr, cx, cy, 43.5, 0, 2 * M_PI);
    cairo_set_source(cr, plate);
    cairo_fill(cr);
    cairo_pattern_destroy(plate);
    cairo_save(cr);
    cairo_arc(cr, cx, cy, 43.5, 0, 2 * M_PI);
    cairo_clip(cr);
    Paint::RoundedRect(cr, cx - 20, cy, 40, 50, 6);
    cairo_pattern_t* chan = cairo_pattern_create_linear(cx - 20, 0, cx + 20, 0);
    Rgb::Hex(0x10132a).Stop(chan, 0);
    Rgb::Hex(0x2a3060).Stop(chan, 0.5);
    Rgb::Hex(0x10132a).Stop(chan, 1);
    cairo_set_source(cr, chan);
    cairo_fill(cr);
    cairo_pattern_destroy(chan);
    // Guide chevrons pointing into the pit.
    for (int i = 0; i < 2; ++i)
    {
        const double y = cy + 38 - i * 8;
        cairo_move_to(cr, cx - 7, y + 4);
        cairo_line_to(cr, cx, y);
        cairo_line_to(cr, cx + 7, y + 4);
    }
    cairo_set_line_width(cr, 2);
    Palette::Gold.Set(cr, 0.7);
    cairo_stroke(cr);
    cairo_restore(cr);

    // The pit: a swirling dark hole with a warm glow deep inside.
    const double pit = 29;
    cairo_pattern_t* hole = cairo_pattern_create_radial(cx, cy, 0, cx, cy, pit);
    Rgb::Hex(0xff6a3d).Stop(hole, 0.0, 1.0);
    Rgb::Hex(0x8a1c4a).Stop(hole, 0.3);
    Rgb::Hex(0x1a0c28).Stop(hole, 0.7);
    Rgb::Hex(0x05040c).Stop(hole, 1.0);
    cairo_arc(cr, cx, cy, pit, 0, 2 * M_PI);
    cairo_set_source(cr, hole);
    cairo_fill(cr);
    cairo_pattern_destroy(hole);
    cairo_save(cr);
    cairo_arc(cr, cx, cy, pit, 0, 2 * M_PI);
    cairo_clip(cr);
    for (int i = 0; i < 5; ++i)
    {
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_rotate(cr, i * 2 * M_PI / 5);
        cairo_move_to(cr, 3, 0);
        cairo_curve_to(cr, 12, -4, 22, 4, 27, 16);
        cairo_restore(cr);
    }
    cairo_set_line_width(cr, 2.5);
    Rgb::Hex(0xffa070).Set(cr, 0.35);
    cairo_stroke(cr);

    // Iris: eight blades whose straight edges are tangent to an opening
    // that widens (and turns a little) until the blades slide under the rim.
    const int blades = 8;
    // Slightly faster at first, so that the area opens in even steps.
    const double ro = std::pow(open, 0.75) * (pit + 1);
    const double turn = open * 0.7;
    const double half = std::tan(M_PI / blades);
    for (int i = 0; i < blades; ++i)
    {
        const double a = i * 2 * M_PI / blades + turn;
        const double nx = std::cos(a), ny = std::sin(a);
        const double dx = -ny, dy = nx;
        const double px = cx + nx * ro - dx * ro * half, py = cy + ny * ro - dy * ro * half;
        cairo_move_to(cr, px, py);
        cairo_line_to(cr, px + dx * 90, py + dy * 90);
        cairo_line_to(cr, px + dx * 90 + nx * 90, py + dy * 90 + ny * 90);
        cairo_line_to(cr, px + nx * 90 - dx * 20, py + ny * 90 - dy * 20);
        cairo_close_path(cr);
        cairo_pattern_t* metal = cairo_pattern_create_linear(px, py, px + nx * 30 + dx * 20, py + ny * 30 + dy * 20);
        Rgb::Hex(0xc4c9e8).Stop(metal, 0);
        Rgb::Hex(0x7a80aa).Stop(metal, 0.35);
        Rgb::Hex(0x474c76).Stop(metal, 1);
        cairo_set_source(cr, metal);
        cairo_fill(cr);
        cairo_pattern_destroy(metal);
        cairo_move_to(cr, px, py);
        cairo_line_to(cr, px + dx * 90, py + dy * 90);
        cairo_set_line_width(cr, 1.6);
        Ink.Set(cr, 0.85);
        cairo_stroke(cr);
        cairo_move_to(cr, px + nx * 1.5, py + ny * 1.5);
        cairo_line_to(cr, px + dx * 90 + nx * 1.5, py + dy * 90 + ny * 1.5);
        cairo_set_line_width(cr, 1);
        Palette::White.Set(cr, 0.35);
        cairo_stroke(cr);
    }
    cairo_restore(cr);

    // The pit's lip.
    cairo_arc(cr, cx, cy, pit + 1.5, 0, 2 * M_PI);
    cairo_set_line_width(cr, 4);
    Rgb::Hex(0x151936).Set(cr);
    cairo_stroke(cr);
    cairo_arc(cr, cx, cy, pit + 3.5, 0, 2 * M_PI);
    cairo_set_line_width(cr, 1.5);
    Rgb::Hex(0x8a92c8).Set(cr, 0.8);
    cairo_stroke(cr);
    // Rivets between the blades' hinges.
    for (int i = 0; i < 8; ++i)
    {
        const double a = i * M_PI / 4 + M_PI / 8;
        if (std::abs(std::sin(a) - 1) < 0.2)
            continue;
        cairo_arc(cr, cx + 37 * std::cos(a), cy + 37 * std::sin(a), 2, 0, 2 * M_PI);
        Palette::GoldLight.Set(cr, 0.8);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void PaintGateRim(Canvas& c)
{
    cairo_t* cr = c.Cr();
    Paint::Soft(c, [](cairo_t* k) { cairo_arc(k, 46, 46, 44.5, 0, 2 * M_PI); cairo_set_line_width(k, 4); cairo_stroke(k); },
                0, 1.5, 2, Ink, 0.6);
    cairo_arc(cr, 46, 46, 44, 0, 2 * M_PI);
    Paint::GoldStroke(cr, 3.5, 2, 90);
    cairo_new_path(cr);
    cairo_arc(cr, 46, 46, 42, 0, 2 * M_PI);
    cairo_set_line_width(cr, 1);
    Palette::GoldDeep.Set(cr, 0.9);
    cairo_stroke(cr);
    cairo_arc_negative(cr, 46, 46, 45.2, -0.6, -2.6);
    cairo_set_line_width(cr, 1);
    Palette::White.Set(cr, 0.7);
    cairo_stroke(cr);
}

// How the game puts faces and hints together (face = back cel 0 + picture;
// hint = the picture in grey at 40 % over a closed back), at twice the size.
void PreviewBalls(Output& output, const Canvas& backs, const std::vector<Canvas>& pictures)
{
    Canvas sheet(13 * 62 * 2, 2 * 62 * 2);
    cairo_t* cr = sheet.Cr();
    Rgb::Hex(0x2a3466).Set(cr);
    cairo_paint(cr);
    cairo_scale(cr, 2, 2);
    for (int p = 0; p < 13; ++p)
    {
        const double x = p * 62 + 1;
        cairo_save(cr);
        cairo_rectangle(cr, x, 1, 60, 60);
        cairo_clip(cr);
        cairo_set_source_surface(cr, backs.Surface(), x, 1);
        cairo_paint(cr);
        cairo_restore(cr);
        cairo_set_source_surface(cr, pictures[p].Surface(), x, 1);
        cairo_paint(cr);

        Canvas grey(60, 60);
        grey.Paint(pictures[p], 0, 0);
        grey.Flush();
        for (int yy = 0; yy < 60; ++yy)
        {
            uint32_t* row = grey.Row(yy);
            for (int xx = 0; xx < 60; ++xx)
            {
                const uint32_t px = row[xx];
                const uint32_t a = px >> 24;
                const uint32_t v = static_cast<uint32_t>(0.3 * ((px >> 16) & 255) + 0.59 * ((px >> 8) & 255) + 0.11 * (px & 255));
                row[xx] = (a << 24) | (v << 16) | (v << 8) | v;
            }
        }
        grey.MarkDirty();
        const int back = p % 4;
        cairo_save(cr);
        cairo_rectangle(cr, x, 63, 60, 60);
        cairo_clip(cr);
        cairo_set_source_surface(cr, backs.Surface(), x - back * 60, 63);
        cairo_paint(cr);
        cairo_set_source_surface(cr, grey.Surface(), x, 63);
        cairo_paint_with_alpha(cr, 0.4);
        cairo_restore(cr);
    }
    output.Preview("preview_balls", "faces and hints x2", sheet);
}

} // namespace

void DrawBall(cairo_t* cr, double cx, double cy, double scale, int back, int picture)
{
    Canvas ball(60, 60);
    Ball(ball.Cr(), 30, 30, Radius, picture >= 0 ? 0 : back);
    if (picture >= 0)
    {
        Canvas pic(60, 60);
        PaintPicture(pic, picture);
        ball.Paint(pic, 0, 0);
    }
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, scale, scale);
    cairo_set_source_surface(cr, ball.Surface(), -30, -30);
    cairo_paint(cr);
    cairo_restore(cr);
}

void DrawBonusBall(cairo_t* cr, double cx, double cy, double scale, const char* bonus)
{
    Canvas ball(60, 60);
    Ball(ball.Cr(), 30, 30, Radius, 1);
    Canvas icon(60, 60);
    PaintBonus(icon, bonus);
    ball.Paint(icon, 0, 0);
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, scale, scale);
    cairo_set_source_surface(cr, ball.Surface(), -30, -30);
    cairo_paint(cr);
    cairo_restore(cr);
}

void PaintIcon(Canvas& c)
{
    cairo_t* cr = c.Cr();
    const double size = c.Width();
    const bool small = size <= 32;
    cairo_save(cr);
    cairo_scale(cr, size / Cell, size / Cell);
    Ball(cr, 30, 30, 29.4, 0);
    // The heart fills more of a small ball; its ink outline stays at least
    // a pixel wide.
    const double grow = small ? 1.0 : 0.86;
    cairo_translate(cr, 30, 31);
    cairo_scale(cr, grow, grow);
    cairo_translate(cr, -30, -29);
    // A hard shadow: a blurred one would smear away at 16 px.
    cairo_save(cr);
    cairo_translate(cr, 1.2, 2.2);
    Heart(cr);
    Ink.Set(cr, 0.4);
    cairo_fill(cr);
    cairo_restore(cr);
    FillShape(cr, Heart, Rgb::Hex(0xffa0a0), Rgb::Hex(0xdc2838), small ? 60 / size * 0.75 : 1.8);
    Glaze(cr, Heart);
    cairo_restore(cr);
}

void PaintBallArt(Output& output, const Faces& faces)
{
    (void)faces;
    std::vector<Canvas> pictures;
    {
        Canvas empty(60, 60);
        output.Png("balls", "gfx/empty", empty);
    }
    {
        Canvas backs(240, 60);
        for (int i = 0; i < 4; ++i)
            Ball(backs.Cr(), i * Cell + 30, 30, Radius, i);
        output.Png("balls", "gfx/game/pic_back", backs);
        for (int p = 0; p < 13; ++p)
        {
            pictures.emplace_back(60, 60);
            PaintPicture(pictures.back(), p);
            char stem[32];
            std::snprintf(stem, sizeof stem, "gfx/pic_%02d", p + 1);
            output.Png("pictures", stem, pictures.back());
        }
        PreviewBalls(output, backs, pictures);
    }
    {
        // Turning over: the disc squeezes to its edge and opens again, the
        // light sliding across; the far half shows the plain face side.
        const int cels = 10;
        Canvas flip(60 * cels, 60);
        cairo_t* cr = flip.Cr();
        for (int i = 0; i < cels; ++i)
        {
            const double t = i / double(cels - 1);
            const double squeeze = std::max(0.1, std::abs(std::cos(t * M_PI)));
            cairo_save(cr);
            cairo_translate(cr, i * Cell + 30, 30);
            cairo_scale(cr, squeeze, 1.0);
            Ball(cr, 0, 0, Radius, 0);
            if (squeeze < 0.9)
            {
                // The edge-on shading darkens as the ball turns side-on.
                cairo_arc(cr, 0, 0, Radius, 0, 2 * M_PI);
                Palette::PewterDeep.Set(cr, (1 - squeeze) * 0.45);
                cairo_fill(cr);
            }
            cairo_restore(cr);
        }
        output.Png("balls", "gfx/game/pic_rot", flip);
    }
    for (const char* name : {"eye", "rollback", "pause", "type", "bomb"})
    {
        Canvas icon(60, 60);
        PaintBonus(icon, name);
        output.Png("pictures", std::string("gfx/bonus_") + name, icon);
    }
    {
        Canvas glow(80, 80);
        PaintGlow(glow, 28);
        output.Png("balls", "gfx/game/pic_glow", glow);
        Canvas big(120, 120);
        PaintGlow(big, 42);
        output.Png("balls", "gfx/game/pic_big_glow", big);
    }
    {
        Canvas gate(90 * 21, 90);
        for (int i = 0; i < 21; ++i)
            PaintGateCel(gate.Cr(), i * 90.0, i / 20.0);
        output.Png("gate", "gfx/gate3", gate);
        Canvas rim(92, 92);
        PaintGateRim(rim);
        output.Png("gate", "gfx/game/gate_bord", rim);

        // Cels 0, 5, 10, 15 and 20, then the open gate turned as the track
        // ends at -30, 60 and 135 degrees, rims on top, at twice the size.
        Canvas sheet(8 * 200, 200);
        cairo_t* cr = sheet.Cr();
        Rgb::Hex(0x2c3a6e).Set(cr);
        cairo_paint(cr);
        cairo_scale(cr, 2, 2);
        const int cels[8] = {0, 5, 10, 15, 20, 20, 20, 12};
        const double turns[8] = {0, 0, 0, 0, 0, -30, 60, 135};
        for (int i = 0; i < 8; ++i)
        {
            cairo_save(cr);
            cairo_translate(cr, i * 100 + 50, 50);
            cairo_rotate(cr, -turns[i] * M_PI / 180);
            cairo_rectangle(cr, -45, -45, 90, 90);
            cairo_clip(cr);
            cairo_set_source_surface(cr, gate.Surface(), -45 - cels[i] * 90, -45);
            cairo_paint(cr);
            cairo_restore(cr);
            cairo_set_source_surface(cr, rim.Surface(), i * 100 + 4, 4);
            cairo_paint(cr);
        }
        output.Preview("preview_gate", "gate cels and turns x2", sheet);
    }
    {
        Canvas ball(94, 94);
        Ball(ball.Cr(), 47, 47, 45.5, 2);
        output.Png("menu", "gfx/MainMenu/button_ball", ball);
        Canvas light(130, 130);
        PaintGlow(light, 46);
        output.Png("menu", "gfx/MainMenu/button_ball_light", light);
    }
}

} // namespace Spindrel::Art
