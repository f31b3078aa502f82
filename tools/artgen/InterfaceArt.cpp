#include "tools/artgen/InterfaceArt.h"

#include "tools/artgen/Output.h"
#include "tools/artgen/Paint.h"

#include <cmath>

namespace Spindrel::Art
{

namespace
{

using Palette::Ink;
using Paint::RoundedRect;

// --- Cursors (hot spot at the centre, 16,16) -----------------------------------

void Outlined(Canvas& c, const Paint::Shape& shape, Rgb fill)
{
    cairo_t* cr = c.Cr();
    Paint::Soft(c, shape, 1, 1.5, 2, Ink, 0.5);
    shape(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, 1.6);
    Ink.Set(cr);
    cairo_stroke_preserve(cr);
    fill.Set(cr);
    cairo_fill(cr);
}

void PaintCursors(Output& output)
{
    {
        Canvas c(32, 32);
        Outlined(c, [](cairo_t* k) {
            cairo_move_to(k, 16, 16);
            cairo_line_to(k, 16, 31);
            cairo_line_to(k, 19.5, 27.5);
            cairo_line_to(k, 22.5, 31.5);
            cairo_line_to(k, 25, 30);
            cairo_line_to(k, 22.2, 26.2);
            cairo_line_to(k, 27, 26);
            cairo_close_path(k);
        }, Palette::Cream);
        output.Png("cursors", "gfx/cursors/pointer", c);
    }
    auto hand = [](cairo_t* k, bool closed) {
        if (!closed)
        {
            RoundedRect(k, 14, 14.5, 4.6, 10, 2.3); // the pointing finger
        }
        RoundedRect(k, 12, 21, 13, 10, 3.5);
        for (int i = 0; i < 3; ++i)
            RoundedRect(k, 17.5 + i * 3, closed ? 19 : 20, 3.6, 5, 1.8);
        if (closed)
            RoundedRect(k, 13.5, 18.5, 4.2, 6, 2);
        RoundedRect(k, 9.5, 23, 5, 4, 2); // thumb
    };
    {
        Canvas c(32, 32);
        Outlined(c, [&](cairo_t* k) { hand(k, false); }, Palette::Cream);
        output.Png("cursors", "gfx/cursors/hand", c);
    }
    {
        Canvas c(32, 32);
        Outlined(c, [&](cairo_t* k) {
            cairo_save(k);
            cairo_translate(k, 0, -5);
            hand(k, true);
            cairo_restore(k);
        }, Palette::Cream);
        output.Png("cursors", "gfx/cursors/dragging", c);
    }
    {
        Canvas c(32, 32);
        Outlined(c, [](cairo_t* k) {
            cairo_rectangle(k, 15, 8, 2, 16);
            cairo_rectangle(k, 12, 7, 8, 2);
            cairo_rectangle(k, 12, 23, 8, 2);
        }, Palette::Cream);
        output.Png("cursors", "gfx/cursors/text", c);
    }
}

// --- HUD -----------------------------------------------------------------------------

// The glass of the HUD bands: deep indigo with a fine gold edge.
void BandFill(cairo_t* cr, double y0, double y1)
{
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y0, 0, y1);
    Palette::Dusk.Stop(g, 0.0, 0.96);
    Palette::Night.Stop(g, 0.55, 0.96);
    Palette::Ink.Stop(g, 1.0, 0.97);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
}

void Trough(cairo_t* cr, double x, double y, double w, double h)
{
    RoundedRect(cr, x - 1.5, y - 1.5, w + 3, h + 3, (h + 3) / 2);
    Palette::GoldDeep.Set(cr, 0.8);
    cairo_fill(cr);
    RoundedRect(cr, x - 0.5, y - 0.5, w + 1, h + 1, (h + 1) / 2);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + h);
    Rgb::Hex(0x070914).Stop(g, 0);
    Rgb::Hex(0x1a2044).Stop(g, 1);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

void PaintHud(Output& output)
{
    {
        // Top band: full width to y 24, a tab round the speed-up trough.
        Canvas c(800, 30);
        cairo_t* cr = c.Cr();
        auto band = [](cairo_t* k) {
            cairo_move_to(k, 0, 0);
            cairo_line_to(k, 800, 0);
            cairo_line_to(k, 800, 22);
            cairo_line_to(k, 580, 22);
            cairo_curve_to(k, 568, 22, 566, 29, 556, 29);
            cairo_line_to(k, 244, 29);
            cairo_curve_to(k, 234, 29, 232, 22, 220, 22);
            cairo_line_to(k, 0, 22);
            cairo_close_path(k);
        };
        Paint::Soft(c, band, 0, 2, 2, Ink, 0.5);
        band(cr);
        BandFill(cr, 0, 30);
        cairo_new_path(cr);
        cairo_move_to(cr, 0, 21.5);
        cairo_line_to(cr, 220, 21.5);
        cairo_curve_to(cr, 232, 21.5, 234, 28.5, 244, 28.5);
        cairo_line_to(cr, 556, 28.5);
        cairo_curve_to(cr, 566, 28.5, 568, 21.5, 580, 21.5);
        cairo_line_to(cr, 800, 21.5);
        Paint::GoldStroke(cr, 1.4, 20, 30);
        cairo_new_path(cr);
        Trough(cr, 247, 3, 306, 18);
        // Chevrons: the speed-up timer.
        for (int i = 0; i < 3; ++i)
        {
            cairo_move_to(cr, 214 + i * 8, 6);
            cairo_line_to(cr, 220 + i * 8, 12);
            cairo_line_to(cr, 214 + i * 8, 18);
            cairo_move_to(cr, 586 - i * 8, 6);
            cairo_line_to(cr, 580 - i * 8, 12);
            cairo_line_to(cr, 586 - i * 8, 18);
        }
        cairo_set_line_width(cr, 2.4);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        Palette::Coral.Set(cr, 0.85);
        cairo_stroke(cr);
        output.Png("hud", "gfx/game/ingame_up", c);
    }
    {
        // Bottom band from y 28 (local), a tab rising round the progress trough.
        Canvas c(800, 64);
        cairo_t* cr = c.Cr();
        auto band = [](cairo_t* k) {
            cairo_move_to(k, 0, 28);
            cairo_line_to(k, 250, 28);
            cairo_curve_to(k, 266, 28, 266, 1, 284, 1);
            cairo_line_to(k, 516, 1);
            cairo_curve_to(k, 534, 1, 534, 28, 550, 28);
            cairo_line_to(k, 800, 28);
            cairo_line_to(k, 800, 64);
            cairo_line_to(k, 0, 64);
            cairo_close_path(k);
        };
        Paint::Soft(c, band, 0, -2, 2, Ink, 0.5);
        band(cr);
        BandFill(cr, 0, 64);
        cairo_new_path(cr);
        cairo_move_to(cr, 0, 28.5);
        cairo_line_to(cr, 250, 28.5);
        cairo_curve_to(cr, 266, 28.5, 266, 1.5, 284, 1.5);
        cairo_line_to(cr, 516, 1.5);
        cairo_curve_to(cr, 534, 1.5, 534, 28.5, 550, 28.5);
        cairo_line_to(cr, 800, 28.5);
        Paint::GoldStroke(cr, 1.4, 0, 30);
        cairo_new_path(cr);
        Trough(cr, 291, 7, 218, 12);
        // Quiet plates behind the three HUD texts (baseline at local 49).
        const double plates[][2] = {{20, 270}, {320, 230}, {560, 130}};
        for (const auto& p : plates)
        {
            RoundedRect(cr, p[0], 33, p[1], 23, 11.5);
            Rgb::Hex(0x0b0e20).Set(cr, 0.55);
            cairo_fill_preserve(cr);
            cairo_set_line_width(cr, 1);
            Palette::Twilight.Set(cr, 0.6);
            cairo_stroke(cr);
        }
        output.Png("hud", "gfx/game/ingame_down", c);
    }
    auto bar = [](Canvas& c, Rgb light, Rgb mid, Rgb dark, bool stripes) {
        cairo_t* cr = c.Cr();
        const double w = c.Width(), h = c.Height();
        RoundedRect(cr, 0, 0, w, h, h / 2);
        cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, h);
        light.Stop(g, 0);
        mid.Stop(g, 0.5);
        dark.Stop(g, 1);
        cairo_set_source(cr, g);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(g);
        cairo_save(cr);
        cairo_clip(cr);
        if (stripes)
        {
            for (double x = -h; x < w + h; x += h * 1.2)
            {
                cairo_move_to(cr, x, h);
                cairo_line_to(cr, x + h * 0.5, h);
                cairo_line_to(cr, x + h * 1.1, 0);
                cairo_line_to(cr, x + h * 0.6, 0);
                cairo_close_path(cr);
            }
            Palette::White.Set(cr, 0.16);
            cairo_fill(cr);
        }
        RoundedRect(cr, 3, 1.5, w - 6, h * 0.38, h * 0.2);
        Palette::White.Set(cr, 0.45);
        cairo_fill(cr);
        cairo_restore(cr);
    };
    {
        Canvas c(306, 18);
        bar(c, Rgb::Hex(0xffd39a), Rgb::Hex(0xff8a3c), Rgb::Hex(0xd2462a), true);
        output.Png("hud", "gfx/game/bar_up", c);
    }
    {
        Canvas c(218, 12);
        bar(c, Rgb::Hex(0xc8ffb0), Rgb::Hex(0x52d468), Rgb::Hex(0x1f8f46), false);
        output.Png("hud", "gfx/game/bar_down", c);
    }
    auto light = [](Canvas& c, double x, double y, double w, double h) {
        auto frame = [&](cairo_t* k) {
            RoundedRect(k, x, y, w, h, h / 2);
            cairo_set_line_width(k, 2.5);
            cairo_stroke(k);
        };
        Paint::Soft(c, frame, 0, 0, 3, Palette::GoldLight, 1.0);
        cairo_t* cr = c.Cr();
        RoundedRect(cr, x, y, w, h, h / 2);
        Palette::White.Set(cr, 0.18);
        cairo_fill_preserve(cr);
        cairo_set_line_width(cr, 1.6);
        Palette::White.Set(cr, 0.95);
        cairo_stroke(cr);
    };
    {
        Canvas c(316, 22);
        light(c, 4.5, 1.5, 307, 19);
        output.Png("hud", "gfx/game/light_big_bar", c);
    }
    {
        Canvas c(220, 22);
        light(c, 0.8, 4.5, 218.4, 13);
        output.Png("hud", "gfx/game/light_small_bar", c);
    }
}

// --- Plates and frames -------------------------------------------------------------

enum class Look
{
    Normal,
    Over,
    Down
};

// A glossy pill plate, gold-rimmed; the over look is lit teal, the down look
// darker and sunk.
void Plate(Canvas& c, double x, double y, double w, double h, double r, Look look)
{
    cairo_t* cr = c.Cr();
    Rgb top = Palette::Twilight, bottom = Palette::Night;
    if (look == Look::Over)
    {
        top = Rgb::Hex(0x49c7b2);
        bottom = Rgb::Hex(0x1d6f73);
    }
    else if (look == Look::Down)
    {
        top = Rgb::Hex(0x1b2248);
        bottom = Palette::Dusk;
    }
    RoundedRect(cr, x, y, w, h, r);
    Palette::Ink.Set(cr, 0.9);
    cairo_fill(cr);
    RoundedRect(cr, x + 1, y + 1, w - 2, h - 2, r - 1);
    Paint::GoldStroke(cr, 2, y, y + h);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + h);
    top.Stop(g, 0);
    bottom.Stop(g, 1);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    if (look != Look::Down)
    {
        RoundedRect(cr, x + 4, y + 3, w - 8, h * 0.42, r * 0.7);
        cairo_pattern_t* gloss = cairo_pattern_create_linear(0, y + 3, 0, y + 3 + h * 0.42);
        Palette::White.Stop(gloss, 0, look == Look::Over ? 0.55 : 0.38);
        Palette::White.Stop(gloss, 1, 0.04);
        cairo_set_source(cr, gloss);
        cairo_fill(cr);
        cairo_pattern_destroy(gloss);
    }
    else
    {
        RoundedRect(cr, x + 2, y + 2, w - 4, h - 4, r - 2);
        cairo_pattern_t* shade = cairo_pattern_create_linear(0, y, 0, y + h * 0.5);
        Ink.Stop(shade, 0, 0.6);
        Ink.Stop(shade, 1, 0.0);
        cairo_set_source(cr, shade);
        cairo_fill(cr);
        cairo_pattern_destroy(shade);
    }
}

void PaintFrames(Output& output)
{
    {
        // 30 px corners; the edges and the centre are the same along their
        // length, so they tile without seams at any size.
        Canvas c(90, 90);
        cairo_t* cr = c.Cr();
        RoundedRect(cr, 0.5, 0.5, 89, 89, 14);
        Ink.Set(cr, 0.55);
        cairo_fill(cr);
        RoundedRect(cr, 2, 2, 86, 86, 12.5);
        Ink.Set(cr, 1.0);
        cairo_fill(cr);
        RoundedRect(cr, 4.5, 4.5, 81, 81, 10);
        cairo_set_line_width(cr, 3.4);
        Palette::Gold.Set(cr);
        cairo_stroke(cr);
        RoundedRect(cr, 3.5, 3.5, 83, 83, 11);
        cairo_set_line_width(cr, 1);
        Palette::GoldLight.Set(cr, 0.9);
        cairo_stroke(cr);
        RoundedRect(cr, 6.5, 6.5, 77, 77, 8);
        Palette::GoldDeep.Set(cr);
        cairo_stroke(cr);
        RoundedRect(cr, 7, 7, 76, 76, 7.5);
        Rgb::Hex(0x232b5a).Set(cr, 0.96);
        cairo_fill(cr);
        // Corner ornaments: a small gold diamond on each corner of the trim.
        const double corners[][2] = {{6, 6}, {84, 6}, {6, 84}, {84, 84}};
        for (const auto& p : corners)
        {
            cairo_move_to(cr, p[0], p[1] - 6);
            cairo_line_to(cr, p[0] + 6, p[1]);
            cairo_line_to(cr, p[0], p[1] + 6);
            cairo_line_to(cr, p[0] - 6, p[1]);
            cairo_close_path(cr);
            Ink.Set(cr);
            cairo_set_line_width(cr, 1.5);
            cairo_stroke_preserve(cr);
            Palette::GoldLight.Set(cr);
            cairo_fill(cr);
            cairo_arc(cr, p[0], p[1], 1.6, 0, 2 * M_PI);
            Palette::GoldDeep.Set(cr);
            cairo_fill(cr);
        }
        output.Png("frames", "gfx/game/dialog_box", c);
    }
    {
        // Two 105x44 parts: normal, then over (also used pressed).
        Canvas c(105, 88);
        Plate(c, 0.5, 1.5, 104, 41, 16, Look::Normal);
        Plate(c, 0.5, 45.5, 104, 41, 16, Look::Over);
        output.Png("frames", "gfx/game/dialog_button", c);
    }
    {
        Canvas c(80, 40);
        cairo_t* cr = c.Cr();
        for (int half = 0; half < 2; ++half)
        {
            const double x = half * 40 + 7, y = 7;
            RoundedRect(cr, x, y, 26, 26, 6);
            Palette::Ink.Set(cr);
            cairo_fill(cr);
            RoundedRect(cr, x + 1, y + 1, 24, 24, 5);
            Paint::GoldStroke(cr, 2, y, y + 26);
            cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + 26);
            Rgb::Hex(0x0b0e22).Stop(g, 0);
            Palette::Dusk.Stop(g, 1);
            cairo_set_source(cr, g);
            cairo_fill(cr);
            cairo_pattern_destroy(g);
            if (half == 1)
            {
                auto tick = [x, y](cairo_t* k) {
                    cairo_move_to(k, x + 5, y + 13);
                    cairo_line_to(k, x + 11, y + 20);
                    cairo_line_to(k, x + 23, y + 3);
                    cairo_set_line_width(k, 4.5);
                    cairo_set_line_cap(k, CAIRO_LINE_CAP_ROUND);
                    cairo_set_line_join(k, CAIRO_LINE_JOIN_ROUND);
                    cairo_stroke(k);
                };
                Paint::Soft(c, tick, 0, 0, 3, Palette::Mint, 0.9);
                tick(cr);
                cairo_move_to(cr, x + 5, y + 13);
                cairo_line_to(cr, x + 11, y + 20);
                cairo_line_to(cr, x + 23, y + 3);
                cairo_set_line_width(cr, 4);
                cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
                cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
                Rgb::Hex(0x7dffd8).Set(cr);
                cairo_stroke(cr);
            }
        }
        output.Png("frames", "gfx/game/checkbox", c);
    }
    {
        // Three 12 px cells: left end, a middle that repeats, right end.
        Canvas c(36, 10);
        cairo_t* cr = c.Cr();
        RoundedRect(cr, 1, 1.5, 34, 7, 3.5);
        Ink.Set(cr);
        cairo_fill(cr);
        cairo_rectangle(cr, 0, 0, 36, 10);
        cairo_new_path(cr);
        RoundedRect(cr, 2, 2.5, 32, 5, 2.5);
        cairo_pattern_t* g = cairo_pattern_create_linear(0, 2.5, 0, 7.5);
        Rgb::Hex(0x05060f).Stop(g, 0);
        Palette::Twilight.Stop(g, 1);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
        cairo_move_to(cr, 3, 8.5);
        cairo_line_to(cr, 33, 8.5);
        cairo_set_line_width(cr, 1);
        Palette::GoldDeep.Set(cr, 0.8);
        cairo_stroke(cr);
        output.Png("frames", "gfx/game/slider_track", c);
    }
    {
        Canvas c(22, 26);
        cairo_t* cr = c.Cr();
        auto knob = [](cairo_t* k) { RoundedRect(k, 3, 2.5, 16, 21, 6); };
        Paint::Soft(c, knob, 0.5, 1.5, 1.5, Ink, 0.7);
        knob(cr);
        Ink.Set(cr);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke_preserve(cr);
        cairo_pattern_t* g = cairo_pattern_create_linear(3, 0, 19, 0);
        Palette::GoldLight.Stop(g, 0);
        Palette::Gold.Stop(g, 0.5);
        Palette::GoldDeep.Stop(g, 1);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
        for (int i = 0; i < 3; ++i)
        {
            cairo_move_to(cr, 7.5, 9.5 + i * 3.5);
            cairo_line_to(cr, 14.5, 9.5 + i * 3.5);
        }
        cairo_set_line_width(cr, 1);
        Palette::GoldDeep.Scale(0.7).Set(cr);
        cairo_stroke(cr);
        output.Png("frames", "gfx/game/slider_thumb", c);
    }
    const Look looks[3] = {Look::Normal, Look::Over, Look::Down};
    const char* names[3] = {"normal", "over", "down"};
    for (int i = 0; i < 3; ++i)
    {
        Canvas c(94, 36);
        Plate(c, 0.5, 0.5, 93, 35, 17, looks[i]);
        output.Png("frames", std::string("gfx/game/menubutton_") + names[i], c);
    }
}

// --- Effects (white, tinted by the game) ---------------------------------------------

void PaintEffects(Output& output)
{
    {
        Canvas c(24 * 8, 24);
        cairo_t* cr = c.Cr();
        // A flash that bursts into a widening ring and fades out.
        for (int i = 0; i < 8; ++i)
        {
            const double t = i / 7.0, cx = i * 24 + 12, cy = 12;
            const double fade = 1 - t * 0.85;
            cairo_pattern_t* core = cairo_pattern_create_radial(cx, cy, 0, cx, cy, 6 - 4 * t);
            Palette::White.Stop(core, 0, fade);
            Palette::White.Stop(core, 1, 0);
            cairo_set_source(cr, core);
            cairo_arc(cr, cx, cy, 6, 0, 2 * M_PI);
            cairo_fill(cr);
            cairo_pattern_destroy(core);
            cairo_arc(cr, cx, cy, 4 + 7 * t, 0, 2 * M_PI);
            cairo_set_line_width(cr, 2.2 - 1.2 * t);
            Palette::White.Set(cr, fade);
            cairo_stroke(cr);
            for (int k = 0; k < 4; ++k)
            {
                const double a = k * M_PI / 2;
                cairo_move_to(cr, cx + (6 + 3 * t) * std::cos(a), cy + (6 + 3 * t) * std::sin(a));
                cairo_line_to(cr, cx + (8 + 3.5 * t) * std::cos(a), cy + (8 + 3.5 * t) * std::sin(a));
            }
            cairo_set_line_width(cr, 1.5);
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            Palette::White.Set(cr, fade * 0.9);
            cairo_stroke(cr);
        }
        output.Png("effects", "gfx/game/warning_point", c);
    }
    {
        Canvas c(32 * 8, 32);
        cairo_t* cr = c.Cr();
        for (int i = 0; i < 8; ++i)
        {
            const double phase = i / 8.0 * 2 * M_PI;
            const double size = 9 + 5 * std::sin(phase);
            const double cx = i * 32 + 16, cy = 16;
            cairo_save(cr);
            cairo_translate(cr, cx, cy);
            cairo_rotate(cr, i * M_PI / 16);
            cairo_pattern_t* halo = cairo_pattern_create_radial(0, 0, 0, 0, 0, size);
            Palette::White.Stop(halo, 0, 0.7);
            Palette::White.Stop(halo, 1, 0);
            cairo_set_source(cr, halo);
            cairo_arc(cr, 0, 0, size, 0, 2 * M_PI);
            cairo_fill(cr);
            cairo_pattern_destroy(halo);
            for (int k = 0; k < 4; ++k)
            {
                cairo_rotate(cr, M_PI / 2);
                cairo_move_to(cr, 0, -size - 2);
                cairo_curve_to(cr, 1, -3, 3, -1, size * 0.3 + 2, 0);
                cairo_curve_to(cr, 3, 1, 1, 3, 0, 2);
                cairo_line_to(cr, 0, -size - 2);
            }
            Palette::White.Set(cr);
            cairo_fill(cr);
            cairo_restore(cr);
            // Two small satellites twinkling out of step.
            const double s2 = 2 + 1.5 * std::cos(phase);
            cairo_arc(cr, cx + 9, cy - 9, s2, 0, 2 * M_PI);
            cairo_arc(cr, cx - 10, cy + 8, 1.2 + 1.2 * std::sin(phase + 1), 0, 2 * M_PI);
            Palette::White.Set(cr, 0.85);
            cairo_fill(cr);
        }
        output.Png("effects", "gfx/game/chips", c);
    }
    {
        Canvas c(256, 256);
        cairo_t* cr = c.Cr();
        cairo_pattern_t* g = cairo_pattern_create_radial(128, 128, 0, 128, 128, 128);
        Palette::White.Stop(g, 0.0, 1.0);
        Rgb::Hex(0xfff2a0).Stop(g, 0.18, 1.0);
        Rgb::Hex(0xffb040).Stop(g, 0.42, 0.85);
        Rgb::Hex(0xff5a28).Stop(g, 0.68, 0.45);
        Rgb::Hex(0xc02020).Stop(g, 0.88, 0.12);
        Rgb::Hex(0x801010).Stop(g, 1.0, 0.0);
        cairo_set_source(cr, g);
        cairo_paint(cr);
        cairo_pattern_destroy(g);
        // Rays make the fireball crackle as it is stretched.
        for (int k = 0; k < 18; ++k)
        {
            const double a = k * 2 * M_PI / 18 + (k % 3) * 0.07;
            const double len = 80 + (k * 37 % 40);
            cairo_move_to(cr, 128 + 20 * std::cos(a - 0.06), 128 + 20 * std::sin(a - 0.06));
            cairo_line_to(cr, 128 + len * std::cos(a), 128 + len * std::sin(a));
            cairo_line_to(cr, 128 + 20 * std::cos(a + 0.06), 128 + 20 * std::sin(a + 0.06));
            cairo_close_path(cr);
        }
        cairo_pattern_t* ray = cairo_pattern_create_radial(128, 128, 10, 128, 128, 125);
        Palette::White.Stop(ray, 0, 0.5);
        Rgb::Hex(0xffd070).Stop(ray, 0.6, 0.25);
        Rgb::Hex(0xffd070).Stop(ray, 1, 0);
        cairo_set_source(cr, ray);
        cairo_fill(cr);
        cairo_pattern_destroy(ray);
        output.Png("effects", "gfx/game/bomb_blast", c);
    }
}

} // namespace

// The cursors at four times their size, hot spot marked, for review.
void PreviewCursors(Output& output)
{
    Canvas sheet(4 * 4 * 36, 4 * 36);
    cairo_t* cr = sheet.Cr();
    Palette::Dusk.Set(cr);
    cairo_paint(cr);
    const char* names[4] = {"pointer", "hand", "dragging", "text"};
    for (int i = 0; i < 4; ++i)
    {
        const std::string path = output.Root() + "/gfx/cursors/" + names[i] + ".png";
        cairo_surface_t* img = cairo_image_surface_create_from_png(path.c_str());
        cairo_save(cr);
        cairo_scale(cr, 4, 4);
        cairo_set_source_surface(cr, img, i * 36 + 2, 2);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
        cairo_paint(cr);
        cairo_restore(cr);
        cairo_surface_destroy(img);
        cairo_arc(cr, (i * 36 + 2 + 16) * 4, (2 + 16) * 4, 3, 0, 2 * M_PI);
        Palette::Coral.Set(cr);
        cairo_fill(cr);
    }
    output.Preview("preview_cursors", "cursors x4, hot spot in coral", sheet);
}

void PaintInterfaceArt(Output& output, const Faces& faces)
{
    (void)faces;
    PaintCursors(output);
    PreviewCursors(output);
    PaintHud(output);
    PaintFrames(output);
    PaintEffects(output);
}

} // namespace Spindrel::Art
