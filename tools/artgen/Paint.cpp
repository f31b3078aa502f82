#include "tools/artgen/Paint.h"

#include <cmath>

namespace Spindrel::Art::Paint
{

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    r = std::min({r, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 1.5 * M_PI);
    cairo_close_path(cr);
}

void Soft(Canvas& target, const Shape& shape, double dx, double dy, double blur, Rgb colour,
          double alpha)
{
    Canvas layer(target.Width(), target.Height());
    cairo_t* cr = layer.Cr();
    colour.Set(cr);
    shape(cr);
    cairo_fill(cr);
    layer.Blur(blur, true);
    target.Paint(layer, dx, dy, alpha);
}

void Sphere(cairo_t* cr, double cx, double cy, double r, Rgb base, Rgb dark, double highlight)
{
    cairo_save(cr);
    cairo_pattern_t* body =
        cairo_pattern_create_radial(cx - r * 0.35, cy - r * 0.4, r * 0.1, cx, cy, r);
    base.Mix(Palette::White, 0.25).Stop(body, 0.0);
    base.Stop(body, 0.45);
    dark.Stop(body, 1.0);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_set_source(cr, body);
    cairo_fill(cr);
    cairo_pattern_destroy(body);

    // Bounce light from the ground along the lower rim.
    cairo_pattern_t* bounce = cairo_pattern_create_radial(cx, cy + r * 0.55, r * 0.1, cx,
                                                          cy + r * 0.35, r * 0.75);
    base.Mix(Palette::Cream, 0.5).Stop(bounce, 0.0, 0.35);
    base.Stop(bounce, 1.0, 0.0);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_set_source(cr, bounce);
    cairo_fill(cr);
    cairo_pattern_destroy(bounce);

    // Crisp rim so the ball reads on any ground.
    cairo_arc(cr, cx, cy, r - 0.6, 0, 2 * M_PI);
    cairo_set_line_width(cr, 1.2);
    dark.Scale(0.55).Set(cr, 0.8);
    cairo_stroke(cr);

    // Window highlight: a soft oval near the top left.
    if (highlight > 0)
    {
        cairo_save(cr);
        cairo_translate(cr, cx - r * 0.28, cy - r * 0.5);
        cairo_rotate(cr, -0.5);
        cairo_scale(cr, r * 0.42, r * 0.24);
        cairo_pattern_t* spot = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
        Palette::White.Stop(spot, 0.0, 0.85 * highlight);
        Palette::White.Stop(spot, 0.6, 0.35 * highlight);
        Palette::White.Stop(spot, 1.0, 0.0);
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_set_source(cr, spot);
        cairo_fill(cr);
        cairo_pattern_destroy(spot);
        cairo_restore(cr);
        cairo_arc(cr, cx - r * 0.38, cy - r * 0.58, r * 0.07, 0, 2 * M_PI);
        Palette::White.Set(cr, 0.9 * highlight);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void GoldStroke(cairo_t* cr, double width, double y0, double y1)
{
    cairo_pattern_t* gold = cairo_pattern_create_linear(0, y0, 0, y1);
    Palette::GoldLight.Stop(gold, 0.0);
    Palette::Gold.Stop(gold, 0.4);
    Palette::GoldDeep.Stop(gold, 1.0);
    cairo_set_line_width(cr, width);
    cairo_set_source(cr, gold);
    cairo_stroke_preserve(cr);
    cairo_pattern_destroy(gold);
}

double TextWidth(cairo_t* cr, const Faces& faces, const TextStyle& style, const std::string& text)
{
    cairo_save(cr);
    faces.Use(cr, style.face, style.size);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, text.c_str(), &ext);
    cairo_restore(cr);
    return ext.x_advance;
}

void Text(Canvas& canvas, const Faces& faces, const TextStyle& style, const std::string& text,
          double x, double y, bool centred)
{
    cairo_t* cr = canvas.Cr();
    if (centred)
        x -= TextWidth(cr, faces, style, text) / 2;
    auto shape = [&](cairo_t* c) {
        faces.Use(c, style.face, style.size);
        cairo_move_to(c, x, y);
        cairo_text_path(c, text.c_str());
        if (style.outline > 0)
        {
            cairo_set_line_width(c, style.outline * 2);
            cairo_set_line_join(c, CAIRO_LINE_JOIN_ROUND);
            cairo_stroke_preserve(c);
        }
    };
    if (style.glow > 0)
        Soft(canvas, shape, 0, 0, style.glow, style.glowColour, 0.9);
    if (style.shadow > 0)
        Soft(canvas, shape, style.shadow * 0.5, style.shadow, style.shadow + 1, Palette::Ink, 0.6);
    cairo_save(cr);
    faces.Use(cr, style.face, style.size);
    cairo_move_to(cr, x, y);
    cairo_text_path(cr, text.c_str());
    if (style.outline > 0)
    {
        cairo_set_line_width(cr, style.outline * 2);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        style.outlineColour.Set(cr);
        cairo_stroke_preserve(cr);
    }
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, y - fe.ascent * 0.8, 0, y);
    style.fill.Stop(fill, 0.0);
    style.fillBottom.Stop(fill, 1.0);
    cairo_set_source(cr, fill);
    cairo_fill(cr);
    cairo_pattern_destroy(fill);
    cairo_restore(cr);
}

} // namespace Spindrel::Art::Paint
