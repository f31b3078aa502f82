#include "tools/difficulty/CurvePlot.h"

#include "game/board/LevelData.h"

#include <cairo.h>

#include <array>
#include <memory>
#include <string>

namespace Spindrel
{

namespace
{

constexpr int kWidth = 1200;
constexpr int kHeight = 560;
constexpr double kLeft = 70;
constexpr double kRight = 30;
constexpr double kTop = 70;
constexpr double kBottom = 60;

struct Rgb
{
    double r, g, b;
};

constexpr std::array<Rgb, 3> kProfileColours = {{{0.85, 0.25, 0.2}, {0.15, 0.4, 0.85}, {0.1, 0.6, 0.25}}};

double X(double level)
{
    return kLeft + (level - 1) / (kLevelCount - 1) * (kWidth - kLeft - kRight);
}

double Y(double rate)
{
    return kTop + (1.0 - rate) * (kHeight - kTop - kBottom);
}

void Text(cairo_t* cr, double x, double y, const std::string& text, double size, bool centred)
{
    cairo_set_font_size(cr, size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    cairo_move_to(cr, centred ? x - extents.width / 2 - extents.x_bearing : x, y);
    cairo_show_text(cr, text.c_str());
}

} // namespace

bool WriteCurvePlot(const std::vector<LevelStats>& stats, const std::string& path)
{
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight), cairo_surface_destroy);
    std::unique_ptr<cairo_t, decltype(&cairo_destroy)> context(cairo_create(surface.get()), cairo_destroy);
    cairo_t* cr = context.get();
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);

    // Stages as alternating bands, numbered along the top.
    for (int stage = 0; stage < kStageCount; ++stage)
    {
        const double first = kStageStarts[static_cast<size_t>(stage)];
        const double last = stage + 1 < kStageCount ? kStageStarts[static_cast<size_t>(stage + 1)] - 1 : kLevelCount;
        const double x0 = X(first - 0.5);
        const double x1 = X(last + 0.5);
        if (stage % 2 == 1)
        {
            cairo_set_source_rgb(cr, 0.94, 0.94, 0.96);
            cairo_rectangle(cr, x0, kTop, x1 - x0, kHeight - kTop - kBottom);
            cairo_fill(cr);
        }
        cairo_set_source_rgb(cr, 0.6, 0.6, 0.65);
        cairo_set_line_width(cr, 1);
        cairo_move_to(cr, x0, kTop);
        cairo_line_to(cr, x0, kHeight - kBottom);
        cairo_stroke(cr);
        cairo_set_source_rgb(cr, 0.3, 0.3, 0.35);
        Text(cr, (x0 + x1) / 2, kTop - 8, std::to_string(stage + 1), 12, true);
    }
    cairo_set_source_rgb(cr, 0.3, 0.3, 0.35);
    Text(cr, kLeft - 50, kTop - 8, "stage", 12, false);

    // Grid and axes.
    for (int percent = 0; percent <= 100; percent += 10)
    {
        const double y = Y(percent / 100.0);
        cairo_set_source_rgb(cr, 0.82, 0.82, 0.85);
        cairo_set_line_width(cr, percent % 50 == 0 ? 1.2 : 0.6);
        cairo_move_to(cr, kLeft, y);
        cairo_line_to(cr, kWidth - kRight, y);
        cairo_stroke(cr);
        cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
        Text(cr, kLeft - 40, y + 4, std::to_string(percent) + "%", 11, false);
    }
    for (int level = 1; level <= kLevelCount; level += level == 1 ? 9 : 10)
        Text(cr, X(level), kHeight - kBottom + 18, std::to_string(level), 11, true);
    Text(cr, (kLeft + kWidth - kRight) / 2, kHeight - 14, "level", 13, true);
    Text(cr, kLeft, 30, "Win rate by level (three lives per run)", 16, false);

    // The expert floor.
    cairo_set_source_rgb(cr, 0.1, 0.6, 0.25);
    const double dash = 5;
    cairo_set_dash(cr, &dash, 1, 0);
    cairo_set_line_width(cr, 1);
    cairo_move_to(cr, kLeft, Y(kExpertFloor));
    cairo_line_to(cr, kWidth - kRight, Y(kExpertFloor));
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);

    const auto& profiles = StandardProfiles();
    for (size_t p = 0; p < profiles.size(); ++p)
    {
        const Rgb c = kProfileColours[p];
        cairo_set_source_rgb(cr, c.r, c.g, c.b);
        cairo_set_line_width(cr, 2);
        bool first = true;
        for (const LevelStats& l : stats)
        {
            const double x = X(l.level);
            const double y = Y(l.profiles[p].winRate);
            if (first)
                cairo_move_to(cr, x, y);
            else
                cairo_line_to(cr, x, y);
            first = false;
        }
        cairo_stroke(cr);
        for (const LevelStats& l : stats)
        {
            cairo_arc(cr, X(l.level), Y(l.profiles[p].winRate), 2.5, 0, 6.2832);
            cairo_fill(cr);
        }
        // Legend, top right above the plot.
        const double lx = kWidth - kRight - 390 + 130.0 * static_cast<double>(p);
        const double ly = 30;
        cairo_set_source_rgb(cr, c.r, c.g, c.b);
        cairo_rectangle(cr, lx, ly - 6, 20, 4);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
        Text(cr, lx + 26, ly, std::string(profiles[p]->name), 13, false);
    }

    cairo_surface_flush(surface.get());
    return cairo_surface_write_to_png(surface.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

} // namespace Spindrel
