#include "tools/artgen/Ground.h"

#include "tools/artgen/Paint.h"

#include <cmath>

namespace Spindrel::Art
{

namespace
{

struct Mood
{
    uint32_t top, bottom, accent;
};

constexpr Mood Moods[10] = {
    {0x2b3a7a, 0x10142e, 0xf6c64a}, // indigo night
    {0x1f6470, 0x0b2530, 0x9be8d4}, // teal lagoon
    {0x553584, 0x1a1030, 0xff9ad0}, // plum dusk
    {0x2f6446, 0x0e2416, 0xc8f080}, // deep forest
    {0x7a5230, 0x24140a, 0xffd080}, // amber evening
    {0x74345c, 0x250c1e, 0xffa6b8}, // rose
    {0x24508c, 0x0a1834, 0x8fd0ff}, // ocean
    {0x44506c, 0x141a28, 0xd0d8f0}, // slate
    {0x215a60, 0x101634, 0x80ffb0}, // aurora
    {0x6a2e3c, 0x1e0c14, 0xff9a70}, // ember
};

// A tiny deterministic generator, so every build paints the same lights.
struct Random
{
    unsigned state;
    double Next()
    {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / double(1u << 24);
    }
};

void PatternLayer(cairo_t* cr, int pattern, double w, double h, Rgb ink)
{
    cairo_save(cr);
    ink.Set(cr, 1.0);
    cairo_set_line_width(cr, 1.5);
    switch (pattern)
    {
    case 0: // diamond lattice
        for (double x = -h; x < w + h; x += 40)
        {
            cairo_move_to(cr, x, 0);
            cairo_line_to(cr, x + h, h);
            cairo_move_to(cr, x, 0);
            cairo_line_to(cr, x - h, h);
        }
        cairo_stroke(cr);
        break;
    case 1: // dotted grid of rings
        for (double y = 20; y < h; y += 44)
            for (double x = (int(y / 44) % 2) * 22 + 10; x < w; x += 44)
            {
                cairo_new_sub_path(cr);
                cairo_arc(cr, x, y, 12, 0, 2 * M_PI);
            }
        cairo_stroke(cr);
        break;
    case 2: // waves
        for (double y = 0; y < h + 30; y += 26)
        {
            cairo_move_to(cr, 0, y);
            for (double x = 0; x <= w; x += 40)
                cairo_curve_to(cr, x + 10, y - 8, x + 30, y + 8, x + 40, y);
        }
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        break;
    case 3: // scattered small stars
    {
        Random r{77};
        for (int i = 0; i < 160; ++i)
        {
            const double x = r.Next() * w, y = r.Next() * h, s = 1.5 + r.Next() * 3.5;
            cairo_move_to(cr, x, y - s);
            cairo_line_to(cr, x + s * 0.3, y - s * 0.3);
            cairo_line_to(cr, x + s, y);
            cairo_line_to(cr, x + s * 0.3, y + s * 0.3);
            cairo_line_to(cr, x, y + s);
            cairo_line_to(cr, x - s * 0.3, y + s * 0.3);
            cairo_line_to(cr, x - s, y);
            cairo_line_to(cr, x - s * 0.3, y - s * 0.3);
            cairo_close_path(cr);
        }
        cairo_fill(cr);
        break;
    }
    case 4: // petal tiles
        for (double y = 0; y < h + 60; y += 60)
            for (double x = 0; x < w + 60; x += 60)
                for (int k = 0; k < 4; ++k)
                {
                    const double a = k * M_PI / 2;
                    cairo_save(cr);
                    cairo_translate(cr, x, y);
                    cairo_rotate(cr, a);
                    cairo_move_to(cr, 0, 0);
                    cairo_curve_to(cr, 8, -10, 22, -10, 30, 0);
                    cairo_curve_to(cr, 22, 10, 8, 10, 0, 0);
                    cairo_restore(cr);
                }
        cairo_stroke(cr);
        break;
    case 5: // wide concentric rings from a far corner
        for (double r = 40; r < 1200; r += 34)
        {
            cairo_new_sub_path(cr);
            cairo_arc(cr, w * 0.85, h * 1.1, r, 0, 2 * M_PI);
        }
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
        break;
    case 6: // brick tiles
        for (double y = 0; y < h; y += 30)
        {
            cairo_move_to(cr, 0, y);
            cairo_line_to(cr, w, y);
            for (double x = (int(y / 30) % 2) * 30; x < w; x += 60)
            {
                cairo_move_to(cr, x, y);
                cairo_line_to(cr, x, y + 30);
            }
        }
        cairo_stroke(cr);
        break;
    default: // rays from the top
        for (int k = 0; k < 24; ++k)
        {
            const double a0 = M_PI * (0.05 + k / 24.0 * 0.9), a1 = a0 + M_PI * 0.9 / 48;
            cairo_move_to(cr, w / 2, -120);
            cairo_line_to(cr, w / 2 + 1400 * std::cos(a0), -120 + 1400 * std::sin(a0));
            cairo_line_to(cr, w / 2 + 1400 * std::cos(a1), -120 + 1400 * std::sin(a1));
            cairo_close_path(cr);
        }
        cairo_fill(cr);
        break;
    }
    cairo_restore(cr);
}

void PolylinePath(cairo_t* cr, const std::vector<Point2>& points, double dx, double dy)
{
    for (size_t i = 0; i < points.size(); ++i)
        i ? cairo_line_to(cr, points[i].x + dx, points[i].y + dy)
          : cairo_move_to(cr, points[i].x + dx, points[i].y + dy);
}

} // namespace

Rgb MoodTop(int mood)
{
    return Rgb::Hex(Moods[mood % 10].top);
}

Rgb MoodBottom(int mood)
{
    return Rgb::Hex(Moods[mood % 10].bottom);
}

void PaintGround(Canvas& canvas, const GroundStyle& style)
{
    cairo_t* cr = canvas.Cr();
    const double w = canvas.Width(), h = canvas.Height();
    const Mood& mood = Moods[style.mood % 10];
    const Rgb top = Rgb::Hex(mood.top), bottom = Rgb::Hex(mood.bottom), accent = Rgb::Hex(mood.accent);

    cairo_pattern_t* base = cairo_pattern_create_radial(w * 0.3, h * 0.2, 20, w * 0.45, h * 0.45, w * 0.85);
    top.Mix(Palette::White, 0.08).Stop(base, 0);
    top.Mix(bottom, 0.45).Stop(base, 0.55);
    bottom.Stop(base, 1);
    cairo_set_source(cr, base);
    cairo_paint(cr);
    cairo_pattern_destroy(base);

    // The pattern, faint, and brighter near the light.
    Canvas layer(canvas.Width(), canvas.Height());
    PatternLayer(layer.Cr(), style.pattern, w, h, top.Mix(Palette::White, 0.35));
    cairo_save(cr);
    cairo_set_source_surface(cr, layer.Surface(), 0, 0);
    cairo_pattern_t* fade = cairo_pattern_create_radial(w * 0.35, h * 0.3, 0, w * 0.5, h * 0.5, w * 0.8);
    cairo_pattern_add_color_stop_rgba(fade, 0, 0, 0, 0, 0.16);
    cairo_pattern_add_color_stop_rgba(fade, 1, 0, 0, 0, 0.05);
    cairo_mask(cr, fade);
    cairo_pattern_destroy(fade);
    cairo_restore(cr);

    // Soft round lights drifting in the air.
    Random r{style.seed * 2654435761u + 12345u};
    for (int i = 0; i < 26; ++i)
    {
        const double x = r.Next() * w, y = r.Next() * h, rad = 8 + r.Next() * 46;
        const double a = 0.03 + r.Next() * 0.07;
        cairo_pattern_t* g = cairo_pattern_create_radial(x, y, 0, x, y, rad);
        accent.Stop(g, 0, a);
        accent.Stop(g, 0.7, a * 0.6);
        accent.Stop(g, 1, 0);
        cairo_set_source(cr, g);
        cairo_arc(cr, x, y, rad, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
    }

    cairo_pattern_t* vignette = cairo_pattern_create_radial(w / 2, h / 2, h * 0.35, w / 2, h / 2, w * 0.72);
    cairo_pattern_add_color_stop_rgba(vignette, 0, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgba(vignette, 1, 0.02, 0.02, 0.06, 0.55);
    cairo_set_source(cr, vignette);
    cairo_paint(cr);
    cairo_pattern_destroy(vignette);
}

void PaintGroove(Canvas& canvas, const std::vector<Point2>& points, int mood, double width)
{
    if (points.size() < 2)
        return;
    cairo_t* cr = canvas.Cr();
    const Rgb top = MoodTop(mood), bottom = MoodBottom(mood);
    const Rgb floor = bottom.Mix(top, 0.25).Scale(0.8);
    auto stroke = [&](double lineWidth, double dx, double dy) {
        PolylinePath(cr, points, dx, dy);
        cairo_set_line_width(cr, lineWidth);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
    };
    Paint::Soft(canvas, [&](cairo_t* k) {
        PolylinePath(k, points, 0, 0);
        cairo_set_line_width(k, width + 10);
        cairo_set_line_join(k, CAIRO_LINE_JOIN_ROUND);
        cairo_set_line_cap(k, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(k);
    }, 0, 0, 8, Rgb::Hex(0x000000), 0.45);
    // The lit lip on the lower right, the shaded wall on the upper left.
    top.Mix(Palette::Cream, 0.35).Set(cr, 0.55);
    stroke(width + 4, 1.5, 2);
    Rgb::Hex(0x04050c).Set(cr, 0.8);
    stroke(width + 2, -1, -1.5);
    floor.Set(cr);
    stroke(width - 2, 0, 0);
    // A rounded floor: lighter towards the middle of the channel.
    floor.Mix(top, 0.25).Set(cr, 0.6);
    stroke(width * 0.62, 0.8, 1.2);
    floor.Mix(top, 0.4).Set(cr, 0.35);
    stroke(width * 0.3, 1, 1.5);
    // Two faint rails the balls ride on.
    Palette::Gold.Mix(top, 0.5).Set(cr, 0.16);
    stroke(width * 0.72, 0, 0);
    floor.Mix(top, 0.25).Set(cr, 1.0);
    stroke(width * 0.72 - 2.5, 0.8, 1.2);
    floor.Mix(top, 0.4).Set(cr, 0.35);
    stroke(width * 0.3, 1, 1.5);
}

void PaintSocket(Canvas& canvas, double cx, double cy, double radius, int mood)
{
    cairo_t* cr = canvas.Cr();
    const Rgb top = MoodTop(mood), bottom = MoodBottom(mood);
    Paint::Soft(canvas, [&](cairo_t* k) { cairo_arc(k, cx, cy, radius + 5, 0, 2 * M_PI); }, 0, 2, 8,
                Rgb::Hex(0x000000), 0.6);
    cairo_arc(cr, cx + 1.5, cy + 2, radius + 3, 0, 2 * M_PI);
    top.Mix(Palette::Cream, 0.35).Set(cr, 0.6);
    cairo_fill(cr);
    cairo_arc(cr, cx - 1, cy - 1.5, radius + 3, 0, 2 * M_PI);
    Rgb::Hex(0x04050c).Set(cr, 0.85);
    cairo_fill(cr);
    cairo_pattern_t* g = cairo_pattern_create_radial(cx, cy, radius * 0.3, cx, cy, radius + 2);
    bottom.Scale(0.5).Stop(g, 0);
    bottom.Mix(top, 0.2).Scale(0.8).Stop(g, 1);
    cairo_arc(cr, cx, cy, radius + 2, 0, 2 * M_PI);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

} // namespace Spindrel::Art
