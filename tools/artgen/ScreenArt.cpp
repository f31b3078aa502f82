#include "tools/artgen/ScreenArt.h"

#include "tools/artgen/ArtWords.h"
#include "tools/artgen/BallArt.h"
#include "tools/artgen/Ground.h"
#include "tools/artgen/Output.h"
#include "tools/artgen/Paint.h"

#include <cmath>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace Spindrel::Art
{

namespace
{

using Palette::Ink;
using Paint::RoundedRect;
using Paint::TextStyle;

// Where a picture with words of this language goes: English in `folder`,
// the others in a subfolder named after the language.
std::string InSet(const ArtWords& words, const std::string& folder, const std::string& name)
{
    return folder + "/" + (std::string_view(words.code) == "en" ? "" : std::string(words.code) + "/") + name;
}

// A contact sheet per language keeps the English sheets as they were.
std::string Sheet(const ArtWords& words, const std::string& sheet)
{
    return std::string_view(words.code) == "en" ? sheet : sheet + "_" + words.code;
}

// Shrinks the style until the text fits the width.
void FitWidth(Canvas& c, const Faces& faces, TextStyle& s, const std::string& text, double width)
{
    while (s.size > 8 && Paint::TextWidth(c.Cr(), faces, s, text) > width)
        s.size -= 0.5;
}

TextStyle LogoStyle(double size)
{
    TextStyle s;
    s.face = Face::Round;
    s.size = size;
    s.fill = Palette::GoldLight;
    s.fillBottom = Rgb::Hex(0xf0a020);
    s.outline = size * 0.06;
    s.outlineColour = Rgb::Hex(0x2a1640);
    s.shadow = size * 0.06;
    s.glow = size * 0.12;
    s.glowColour = Rgb::Hex(0xff9a40);
    return s;
}

// The game's name with a swirl of balls round its first letter's dot.
void Logo(Canvas& c, const Faces& faces, double cx, double baseline, double size)
{
    Paint::Text(c, faces, LogoStyle(size), "Spindrel", cx, baseline, true);
    TextStyle tag;
    tag.face = Face::Display;
    tag.size = size * 0.2;
    tag.fill = Palette::Mint;
    tag.fillBottom = Rgb::Hex(0x6fd0c0);
    tag.shadow = 2;
    Paint::Text(c, faces, tag, "by Tolvane", cx, baseline + size * 0.36, true);
}

// Catmull-Rom through the points, sampled densely.
std::vector<Point2> Spline(const std::vector<Point2>& p, int perSpan = 24)
{
    std::vector<Point2> out;
    for (size_t i = 0; i + 1 < p.size(); ++i)
    {
        const Point2 p0 = p[i ? i - 1 : 0], p1 = p[i], p2 = p[i + 1], p3 = p[i + 2 < p.size() ? i + 2 : i + 1];
        for (int k = 0; k < perSpan; ++k)
        {
            const double t = k / double(perSpan), t2 = t * t, t3 = t2 * t;
            out.push_back({0.5 * (2 * p1.x + (-p0.x + p2.x) * t + (2 * p0.x - 5 * p1.x + 4 * p2.x - p3.x) * t2 +
                                  (-p0.x + 3 * p1.x - 3 * p2.x + p3.x) * t3),
                           0.5 * (2 * p1.y + (-p0.y + p2.y) * t + (2 * p0.y - 5 * p1.y + 4 * p2.y - p3.y) * t2 +
                                  (-p0.y + 3 * p1.y - 3 * p2.y + p3.y) * t3)});
        }
    }
    out.push_back(p.back());
    return out;
}

void Trough(cairo_t* cr, double x, double y, double w, double h)
{
    RoundedRect(cr, x - 3, y - 3, w + 6, h + 6, (h + 6) / 2);
    Ink.Set(cr, 0.9);
    cairo_fill(cr);
    RoundedRect(cr, x - 2, y - 2, w + 4, h + 4, (h + 4) / 2);
    Paint::GoldStroke(cr, 1.6, y - 2, y + h + 2);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + h);
    Rgb::Hex(0x05060f).Stop(g, 0);
    Rgb::Hex(0x1c2450).Stop(g, 1);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

// --- Title screen -----------------------------------------------------------

void PaintTitle(Output& output, const Faces& faces)
{
    Canvas c(800, 600);
    PaintGround(c, {0, 5, 101});
    cairo_t* cr = c.Cr();
    // A groove sweeping under the title with a chain of balls on it.
    const std::vector<Point2> curve = Spline({{-60, 520}, {120, 470}, {300, 500}, {500, 455}, {680, 480}, {860, 430}});
    PaintGroove(c, curve, 0);
    // Balls a diameter apart along the curve, as the chain rolls.
    const int pictures[] = {0, -1, 4, 9, -1, 2, 12, -1, 10, 3, -1, 6};
    double along = 0, next = 70;
    int placed = 0;
    for (size_t i = 1; i < curve.size() && placed < 12; ++i)
    {
        along += std::hypot(curve[i].x - curve[i - 1].x, curve[i].y - curve[i - 1].y);
        if (along >= next)
        {
            DrawBall(cr, curve[i].x, curve[i].y, 1.0, placed % 4, pictures[placed]);
            ++placed;
            next += 59;
        }
    }
    Logo(c, faces, 400, 200, 118);
    Trough(cr, 241, 366, 318, 22);
    output.Jpeg("screens", "gfx/title/loading_screen", c);

    Canvas bar(318, 22);
    cairo_t* b = bar.Cr();
    RoundedRect(b, 0, 0, 318, 22, 11);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, 22);
    Rgb::Hex(0xfff0b0).Stop(g, 0);
    Palette::Gold.Stop(g, 0.5);
    Rgb::Hex(0xe07a20).Stop(g, 1);
    cairo_set_source(b, g);
    cairo_fill_preserve(b);
    cairo_pattern_destroy(g);
    cairo_clip(b);
    for (double x = -22; x < 340; x += 26)
    {
        cairo_move_to(b, x, 22);
        cairo_line_to(b, x + 10, 22);
        cairo_line_to(b, x + 22, 0);
        cairo_line_to(b, x + 12, 0);
        cairo_close_path(b);
    }
    Palette::White.Set(b, 0.18);
    cairo_fill(b);
    RoundedRect(b, 4, 2, 310, 8, 4);
    Palette::White.Set(b, 0.5);
    cairo_fill(b);
    output.Png("screens", "gfx/title/loading_bar", bar);
}

// --- Main menu --------------------------------------------------------------

struct MenuButton
{
    const char* stem;
    const char* ArtWords::*label;
    int width;
    Point2 corner; // the default points the menu reads
};

constexpr MenuButton MenuButtons[5] = {
    {"start", &ArtWords::play, 110, {35, 234}},
    {"options", &ArtWords::options, 140, {131, 380}},
    {"help", &ArtWords::help, 84, {358, 444}},
    {"highscores", &ArtWords::highScores, 198, {500, 380}},
    {"quit", &ArtWords::quit, 84, {668, 234}},
};

void PaintMenu(Output& output, const Faces& faces)
{
    Canvas c(800, 600);
    PaintGround(c, {2, 1, 202});
    // The groove the five menu balls rest in, with a socket under each.
    std::vector<Point2> through = {{-60, 230}};
    for (const MenuButton& b : MenuButtons)
        through.push_back({b.corner.x + b.width / 2.0, b.corner.y + 82});
    through.push_back({860, 230});
    PaintGroove(c, Spline(through), 2, 64);
    for (const MenuButton& b : MenuButtons)
        PaintSocket(c, b.corner.x + b.width / 2.0, b.corner.y + 82, 48, 2);
    Logo(c, faces, 400, 150, 112);
    output.Jpeg("menu", "gfx/MainMenu/main_menu_bg", c);
}

void PaintMenuLabels(Output& output, const Faces& faces, const ArtWords& words)
{
    for (const MenuButton& b : MenuButtons)
    {
        const std::string text = words.*b.label;
        for (int lit = 0; lit < 2; ++lit)
        {
            Canvas label(b.width, 40);
            TextStyle s;
            s.face = Face::Display;
            s.size = 30;
            while (Paint::TextWidth(label.Cr(), faces, s, text) > b.width - 10)
                s.size -= 1;
            s.outline = 2.2;
            s.shadow = 2;
            if (lit)
            {
                s.fill = Palette::White;
                s.fillBottom = Palette::GoldLight;
                s.outlineColour = Rgb::Hex(0x7a3a10);
                s.glow = 6;
                s.glowColour = Palette::Gold;
            }
            else
            {
                s.fill = Palette::Cream;
                s.fillBottom = Rgb::Hex(0xd8c8f0);
            }
            Paint::Text(label, faces, s, text, b.width / 2.0, 30, true);
            output.Png(Sheet(words, "menu"), InSet(words, "gfx/MainMenu", std::string("mb_") + b.stem + (lit ? "_p" : "")),
                       label);
        }
    }
}

// --- Stage selection --------------------------------------------------------

enum class Glow
{
    Normal,
    Lit
};

void ImagePlate(Canvas& c, const Faces& faces, const std::string& text, Glow glow, int arrow)
{
    cairo_t* cr = c.Cr();
    const double w = c.Width(), h = c.Height();
    RoundedRect(cr, 1, 1, w - 2, h - 2, std::min(18.0, h / 2 - 1));
    Ink.Set(cr, 0.95);
    cairo_fill(cr);
    RoundedRect(cr, 2.5, 2.5, w - 5, h - 5, std::min(16.5, h / 2 - 2.5));
    Paint::GoldStroke(cr, 2.2, 2, h - 2);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, h);
    if (glow == Glow::Lit)
    {
        Rgb::Hex(0x58d8c0).Stop(g, 0);
        Rgb::Hex(0x1a6a70).Stop(g, 1);
    }
    else
    {
        Palette::Twilight.Stop(g, 0);
        Palette::Night.Stop(g, 1);
    }
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    RoundedRect(cr, 6, 5, w - 12, h * 0.4, std::min(12.0, h * 0.2));
    Palette::White.Set(cr, glow == Glow::Lit ? 0.4 : 0.25);
    cairo_fill(cr);
    if (arrow != 0)
    {
        const double cx = w / 2, cy = h / 2, s = arrow;
        cairo_move_to(cr, cx + s * 7, cy - 13);
        cairo_line_to(cr, cx - s * 7, cy);
        cairo_line_to(cr, cx + s * 7, cy + 13);
        cairo_close_path(cr);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_set_line_width(cr, 3);
        Ink.Set(cr);
        cairo_stroke_preserve(cr);
        (glow == Glow::Lit ? Palette::White : Palette::GoldLight).Set(cr);
        cairo_fill(cr);
    }
    if (!text.empty())
    {
        TextStyle s;
        s.face = Face::Display;
        s.size = h * 0.5;
        s.outline = 2;
        s.fill = glow == Glow::Lit ? Palette::White : Palette::Cream;
        s.fillBottom = glow == Glow::Lit ? Palette::GoldLight : Rgb::Hex(0xd8d0f0);
        FitWidth(c, faces, s, text, w - 24);
        Paint::Text(c, faces, s, text, w / 2, h * 0.5 + s.size * 0.36, true);
    }
}

void BackButton(Canvas& c, const Faces& faces, const std::string& text, Glow glow)
{
    ImagePlate(c, faces, "", glow, 0);
    cairo_t* cr = c.Cr();
    const double h = c.Height();
    cairo_move_to(cr, 14, h / 2);
    cairo_line_to(cr, 26, h / 2 - 10);
    cairo_line_to(cr, 26, h / 2 + 10);
    cairo_close_path(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, 2.5);
    Ink.Set(cr);
    cairo_stroke_preserve(cr);
    (glow == Glow::Lit ? Palette::White : Palette::GoldLight).Set(cr);
    cairo_fill(cr);
    TextStyle s;
    s.face = Face::Display;
    s.size = 22;
    s.outline = 2;
    s.fill = glow == Glow::Lit ? Palette::White : Palette::Cream;
    s.fillBottom = glow == Glow::Lit ? Palette::GoldLight : Rgb::Hex(0xd8d0f0);
    // Between the arrow, which ends at x = 26, and the plate's rim.
    FitWidth(c, faces, s, text, 64);
    Paint::Text(c, faces, s, text, s.size < 22 ? 62 : 60, h / 2 + 8 * s.size / 22, true);
}

// The 170x132 slot frame: 9 px round a 152x114 window.
void SlotFrame(Canvas& c, bool locked, bool selected)
{
    cairo_t* cr = c.Cr();
    if (selected)
    {
        auto ring = [](cairo_t* k) {
            RoundedRect(k, 4, 4, 162, 124, 10);
            cairo_set_line_width(k, 6);
            cairo_stroke(k);
        };
        Paint::Soft(c, ring, 0, 0, 4, Rgb::Hex(0x7dffd8), 1.0);
        RoundedRect(cr, 4, 4, 162, 124, 10);
        cairo_set_line_width(cr, 3);
        Rgb::Hex(0xe0fff6).Set(cr);
        cairo_stroke(cr);
        return;
    }
    // Frame ring with the window cut out.
    RoundedRect(cr, 1, 1, 168, 130, 12);
    cairo_rectangle(cr, 9, 123, 152, -114);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, 132);
    Palette::Dusk.Stop(g, 0);
    Palette::Ink.Stop(g, 1);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    RoundedRect(cr, 2.5, 2.5, 165, 127, 11);
    Paint::GoldStroke(cr, 2.2, 2, 130);
    cairo_new_path(cr);
    cairo_rectangle(cr, 8.5, 8.5, 153, 115);
    cairo_set_line_width(cr, 1);
    Palette::GoldDeep.Set(cr);
    cairo_stroke(cr);
    if (locked)
    {
        cairo_rectangle(cr, 9, 9, 152, 114);
        cairo_pattern_t* dark = cairo_pattern_create_linear(0, 9, 0, 123);
        Rgb::Hex(0x232a55).Stop(dark, 0);
        Rgb::Hex(0x0e1128).Stop(dark, 1);
        cairo_set_source(cr, dark);
        cairo_fill(cr);
        cairo_pattern_destroy(dark);
        for (double x = -100; x < 170; x += 14)
        {
            cairo_move_to(cr, x, 123);
            cairo_line_to(cr, x + 114, 9);
        }
        cairo_save(cr);
        cairo_rectangle(cr, 9, 9, 152, 114);
        cairo_clip(cr);
        cairo_set_line_width(cr, 3);
        Palette::Twilight.Set(cr, 0.18);
        cairo_stroke(cr);
        cairo_restore(cr);
        // A padlock.
        const double cx = 85, cy = 56;
        cairo_arc(cr, cx, cy - 8, 11, M_PI, 2 * M_PI);
        cairo_line_to(cr, cx + 11, cy);
        cairo_move_to(cr, cx - 11, cy);
        cairo_line_to(cr, cx - 11, cy - 8);
        cairo_set_line_width(cr, 5);
        Palette::Pewter.Set(cr);
        cairo_stroke(cr);
        RoundedRect(cr, cx - 17, cy - 2, 34, 26, 5);
        Ink.Set(cr);
        cairo_set_line_width(cr, 2);
        cairo_stroke_preserve(cr);
        cairo_pattern_t* lock = cairo_pattern_create_linear(0, cy - 2, 0, cy + 24);
        Palette::GoldLight.Stop(lock, 0);
        Palette::GoldDeep.Stop(lock, 1);
        cairo_set_source(cr, lock);
        cairo_fill(cr);
        cairo_pattern_destroy(lock);
        cairo_arc(cr, cx, cy + 9, 3.5, 0, 2 * M_PI);
        Ink.Set(cr);
        cairo_fill(cr);
        cairo_rectangle(cr, cx - 1.5, cy + 10, 3, 8);
        cairo_fill(cr);
    }
    // The caption band (text baseline at y 115).
    cairo_rectangle(cr, 9, 98, 152, 25);
    cairo_pattern_t* band = cairo_pattern_create_linear(0, 98, 0, 123);
    Ink.Stop(band, 0, 0.55);
    Ink.Stop(band, 1, 0.8);
    cairo_set_source(cr, band);
    cairo_fill(cr);
    cairo_pattern_destroy(band);
    cairo_move_to(cr, 9, 98.5);
    cairo_line_to(cr, 161, 98.5);
    cairo_set_line_width(cr, 1);
    Palette::Gold.Set(cr, 0.5);
    cairo_stroke(cr);
}

void PaintSelectStage(Output& output, const Faces& faces)
{
    Canvas c(800, 600);
    PaintGround(c, {6, 4, 303});
    cairo_t* cr = c.Cr();
    // A soft panel behind the nine slots.
    auto panel = [](cairo_t* k) { RoundedRect(k, 115, 76, 570, 420, 24); };
    Paint::Soft(c, panel, 0, 6, 12, Ink, 0.6);
    panel(cr);
    Palette::Night.Set(cr, 0.55);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.5);
    Palette::Gold.Set(cr, 0.35);
    cairo_stroke(cr);
    output.Jpeg("stages", "gfx/SelectStage/bg", c);

    for (int kind = 0; kind < 3; ++kind)
    {
        Canvas frame(170, 132);
        SlotFrame(frame, kind == 1, kind == 2);
        output.Png("stages", std::string("gfx/SelectStage/") + (kind == 0 ? "open" : kind == 1 ? "close" : "selected"), frame);
    }
    {
        Canvas light(152, 114);
        cairo_t* l = light.Cr();
        cairo_pattern_t* g = cairo_pattern_create_radial(76, 40, 10, 76, 57, 110);
        Palette::White.Stop(g, 0, 0.28);
        Palette::White.Stop(g, 1, 0.05);
        cairo_set_source(l, g);
        cairo_paint(l);
        cairo_pattern_destroy(g);
        cairo_rectangle(l, 1, 1, 150, 112);
        cairo_set_line_width(l, 2);
        Palette::White.Set(l, 0.7);
        cairo_stroke(l);
        output.Png("stages", "gfx/SelectStage/light", light);
    }
    for (int lit = 0; lit < 2; ++lit)
    {
        const Glow glow = lit ? Glow::Lit : Glow::Normal;
        const std::string suffix = lit ? "+" : "";
        Canvas left(35, 60);
        ImagePlate(left, faces, "", glow, 1);
        output.Png("stages", "gfx/SelectStage/left" + suffix, left);
        Canvas right(35, 60);
        ImagePlate(right, faces, "", glow, -1);
        output.Png("stages", "gfx/SelectStage/right" + suffix, right);
    }
}

void PaintSelectStageWords(Output& output, const Faces& faces, const ArtWords& words)
{
    {
        Canvas title(560, 80);
        TextStyle s = LogoStyle(50);
        s.face = Face::Display;
        s.glow = 5;
        // The glow needs room on both sides.
        FitWidth(title, faces, s, words.chooseStage, 560 - 24);
        Paint::Text(title, faces, s, words.chooseStage, 280, 58, true);
        output.Png(Sheet(words, "stages"), InSet(words, "gfx/SelectStage", "title"), title);
    }
    for (int lit = 0; lit < 2; ++lit)
    {
        const Glow glow = lit ? Glow::Lit : Glow::Normal;
        const std::string suffix = lit ? "+" : "";
        Canvas play(160, 60);
        ImagePlate(play, faces, words.play, glow, 0);
        output.Png(Sheet(words, "stages"), InSet(words, "gfx/SelectStage", "play" + suffix), play);
        Canvas back(100, 46);
        BackButton(back, faces, words.back, glow);
        output.Png(Sheet(words, "stages"), InSet(words, "gfx/SelectStage", "back" + suffix), back);
    }
}

// --- Help page --------------------------------------------------------------

// Draws `text` word-wrapped into `width`, returns the y below it.
double Paragraph(Canvas& c, const Faces& faces, const std::string& text, double x, double y,
                 double width, double size, Rgb colour)
{
    cairo_t* cr = c.Cr();
    faces.Use(cr, Face::Body, size);
    std::istringstream words(text);
    std::string word, line;
    auto flush = [&]() {
        cairo_move_to(cr, x + 1, y + 1);
        Ink.Set(cr, 0.7);
        cairo_show_text(cr, line.c_str());
        cairo_move_to(cr, x, y);
        colour.Set(cr);
        cairo_show_text(cr, line.c_str());
        y += size * 1.4;
        line.clear();
    };
    while (words >> word)
    {
        const std::string candidate = line.empty() ? word : line + " " + word;
        cairo_text_extents_t ext;
        cairo_text_extents(cr, candidate.c_str(), &ext);
        if (ext.x_advance > width && !line.empty())
            flush();
        line = line.empty() ? word : line + " " + word;
    }
    if (!line.empty())
        flush();
    return y;
}

void PaintHelp(Output& output, const Faces& faces, const ArtWords& words)
{
    Canvas c(800, 600);
    PaintGround(c, {1, 2, 404});
    cairo_t* cr = c.Cr();
    auto panel = [](cairo_t* k) { RoundedRect(k, 40, 84, 720, 496, 24); };
    Paint::Soft(c, panel, 0, 6, 12, Ink, 0.6);
    panel(cr);
    Palette::Night.Set(cr, 0.82);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 2);
    Palette::Gold.Set(cr, 0.6);
    cairo_stroke(cr);

    TextStyle title = LogoStyle(52);
    title.face = Face::Display;
    title.glow = 5;
    FitWidth(c, faces, title, words.howToPlay, 2 * (800 - 430) - 24);
    Paint::Text(c, faces, title, words.howToPlay, 430, 62, true);

    TextStyle head;
    head.face = Face::Display;
    head.size = 22;
    head.fill = Palette::GoldLight;
    head.fillBottom = Palette::Gold;
    head.outline = 1.5;
    head.shadow = 2;
    const Rgb body = Palette::Cream;

    // Left column: the rules, each with a small picture.
    Paint::Text(c, faces, head, words.matchHead, 70, 122, false);
    DrawBall(cr, 92, 158, 0.8, 2, -1);
    DrawBall(cr, 138, 158, 0.8, 0, 0);
    DrawBall(cr, 184, 158, 0.8, 0, 0);
    double y = Paragraph(c, faces, words.matchText, 70, 200, 330, 13.5, body);
    Paint::Text(c, faces, head, words.combosHead, 70, y + 18, false);
    y = Paragraph(c, faces, words.combosText, 70, y + 42, 330, 13.5, body);
    Paint::Text(c, faces, head, words.gateHead, 70, y + 18, false);
    y = Paragraph(c, faces, words.gateText, 70, y + 42, 330, 13.5, body);

    // Right column: the bonus balls.
    Paint::Text(c, faces, head, words.bonusHead, 430, 122, false);
    const char* icons[] = {"eye", "rollback", "pause", "type", "bomb"};
    double by = 160;
    for (size_t i = 0; i < std::size(icons); ++i)
    {
        DrawBonusBall(cr, 462, by, 0.75, icons[i]);
        TextStyle name = head;
        name.size = 17;
        Paint::Text(c, faces, name, words.bonusNames[i], 500, by - 4, false);
        Paragraph(c, faces, words.bonusTexts[i], 500, by + 15, 230, 12.5, body);
        by += 64;
    }
    Paragraph(c, faces, words.keys, 430, by + 14, 300, 12.5, Palette::Mint);
    output.Jpeg(Sheet(words, "screens"), InSet(words, "gfx/help", "help"), c);
}

} // namespace

void PaintScreenArt(Output& output, const Faces& faces)
{
    PaintTitle(output, faces);
    PaintMenu(output, faces);
    PaintSelectStage(output, faces);
    for (const ArtWords& words : AllArtWords())
    {
        PaintMenuLabels(output, faces, words);
        PaintSelectStageWords(output, faces, words);
        PaintHelp(output, faces, words);
    }
}

} // namespace Spindrel::Art
