#include "tools/artgen/Preview.h"

#include "tools/artgen/Output.h"
#include "tools/artgen/Paint.h"
#include "tools/artgen/TrackArt.h"

#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

namespace Spindrel::Art
{

namespace
{

cairo_surface_t* Load(const Output& output, const std::string& stem)
{
    const std::string path = output.Root() + "/" + stem + ".png";
    return cairo_image_surface_create_from_png(path.c_str());
}

// Draws cel `cel` of a strip of `cels` with its top-left at (x, y).
void Cel(cairo_t* cr, cairo_surface_t* strip, int cels, int cel, double x, double y)
{
    const double w = cairo_image_surface_get_width(strip) / double(cels);
    const double h = cairo_image_surface_get_height(strip);
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    cairo_set_source_surface(cr, strip, x - cel * w, y);
    cairo_paint(cr);
    cairo_restore(cr);
}

void Image(cairo_t* cr, cairo_surface_t* image, double x, double y, double alpha = 1)
{
    cairo_set_source_surface(cr, image, x, y);
    cairo_paint_with_alpha(cr, alpha);
}

// The game's nine-part frame: corners, tiled edges, tiled centre.
void Frame(cairo_t* cr, cairo_surface_t* img, double sx, double sy, double sw, double sh, double dx,
           double dy, double dw, double dh)
{
    const int cw = int(sw) / 3, ch = int(sh) / 3, mw = int(sw) - 2 * cw, mh = int(sh) - 2 * ch;
    auto piece = [&](double px, double py, double pw, double ph, double x, double y) {
        cairo_save(cr);
        cairo_rectangle(cr, x, y, pw, ph);
        cairo_clip(cr);
        cairo_set_source_surface(cr, img, x - sx - px, y - sy - py);
        cairo_paint(cr);
        cairo_restore(cr);
    };
    auto clipTo = [&](double x, double y, double w, double h) {
        cairo_save(cr);
        cairo_rectangle(cr, x, y, w, h);
        cairo_clip(cr);
    };
    piece(0, 0, cw, ch, dx, dy);
    piece(cw + mw, 0, cw, ch, dx + dw - cw, dy);
    piece(0, ch + mh, cw, ch, dx, dy + dh - ch);
    piece(cw + mw, ch + mh, cw, ch, dx + dw - cw, dy + dh - ch);
    clipTo(dx + cw, dy, dw - 2 * cw, dh);
    for (double x = dx + cw; x < dx + dw - cw; x += mw)
    {
        piece(cw, 0, mw, ch, x, dy);
        piece(cw, ch + mh, mw, ch, x, dy + dh - ch);
    }
    cairo_restore(cr);
    clipTo(dx, dy + ch, dw, dh - 2 * ch);
    for (double y = dy + ch; y < dy + dh - ch; y += mh)
    {
        piece(0, ch, cw, mh, dx, y);
        piece(cw + mw, ch, cw, mh, dx + dw - cw, y);
    }
    cairo_restore(cr);
    clipTo(dx + cw, dy + ch, dw - 2 * cw, dh - 2 * ch);
    for (double y = dy + ch; y < dy + dh - ch; y += mh)
        for (double x = dx + cw; x < dx + dw - cw; x += mw)
            piece(cw, ch, mw, mh, x, y);
    cairo_restore(cr);
}

void HudText(Canvas& c, const Faces& faces, const std::string& text, double x)
{
    Paint::TextStyle s;
    s.face = Face::Body;
    s.size = 16;
    s.shadow = 1;
    Paint::Text(c, faces, s, text, x, 585, false);
}

void LevelScene(Output& output, const Faces& faces, const std::string& trackFolder, int level)
{
    char stem[64];
    std::snprintf(stem, sizeof stem, "%s/%02d.path", trackFolder.c_str(), level);
    const auto track = ReadTrackFile(stem);
    if (!track || track->points.size() < 10)
        return;
    Canvas scene(800, 600);
    cairo_t* cr = scene.Cr();
    // Cairo reads no JPEG: the background comes from the copy kept in memory.
    std::snprintf(stem, sizeof stem, "levels/bg%02d.jpg", level);
    if (const cairo_surface_t* bg = output.Kept(stem))
        Image(cr, const_cast<cairo_surface_t*>(bg), 0, 0);
    cairo_surface_t* gate = Load(output, "gfx/gate3");
    cairo_surface_t* rim = Load(output, "gfx/game/gate_bord");
    cairo_surface_t* backs = Load(output, "gfx/game/pic_back");
    cairo_surface_t* flip = Load(output, "gfx/game/pic_rot");
    cairo_surface_t* glow = Load(output, "gfx/game/pic_glow");
    cairo_surface_t* up = Load(output, "gfx/game/ingame_up");
    cairo_surface_t* down = Load(output, "gfx/game/ingame_down");
    cairo_surface_t* barUp = Load(output, "gfx/game/bar_up");
    cairo_surface_t* barDown = Load(output, "gfx/game/bar_down");
    cairo_surface_t* menu = Load(output, "gfx/game/menubutton_normal");
    cairo_surface_t* bomb = Load(output, "gfx/bonus_bomb");
    cairo_surface_t* light = Load(output, "gfx/game/light_small_bar");

    // The gate, turned to the track's angle, half open.
    cairo_save(cr);
    cairo_translate(cr, track->gateX + 45, track->gateY + 45);
    cairo_rotate(cr, -track->angle * M_PI / 180);
    Cel(cr, gate, 21, 10, -45, -45);
    cairo_restore(cr);
    Image(cr, rim, track->gateX - 1, track->gateY - 1);

    // A chain of balls 60 px apart along the visible part of the track.
    std::vector<Point2> chain;
    double carried = 0;
    for (size_t i = 1; i < track->points.size() && chain.size() < 22; ++i)
    {
        const Point2 a = track->points[i - 1], b = track->points[i];
        const double len = std::hypot(b.x - a.x, b.y - a.y);
        for (double t = carried; t < len; t += 60)
        {
            const Point2 p{a.x + (b.x - a.x) * t / len, a.y + (b.y - a.y) * t / len};
            if (p.y < 600 && p.y > 30)
                chain.push_back(p);
            carried = t + 60 - len;
        }
        if (len <= carried)
            carried -= len;
    }
    for (size_t i = 0; i < chain.size(); ++i)
    {
        const double x = chain[i].x - 30, y = chain[i].y - 30;
        if (i % 7 == 3)
        {
            std::snprintf(stem, sizeof stem, "gfx/pic_%02d", int(i % 13) + 1);
            cairo_surface_t* pic = Load(output, stem);
            Cel(cr, backs, 4, 0, x, y);
            Image(cr, pic, x, y);
            cairo_surface_destroy(pic);
        }
        else if (i == 5)
            Cel(cr, flip, 10, 4, x, y);
        else if (i == 9)
        {
            Cel(cr, backs, 4, 2, x, y);
            Image(cr, bomb, x, y, 0.9);
            Image(cr, glow, x - 10, y - 10);
        }
        else
        {
            Cel(cr, backs, 4, int(i * 7 % 4), x, y);
            if (i % 5 == 1)
            {
                std::snprintf(stem, sizeof stem, "gfx/pic_%02d", int(i % 13) + 1);
                cairo_surface_t* pic = Load(output, stem);
                Canvas grey(60, 60);
                cairo_set_source_surface(grey.Cr(), pic, 0, 0);
                cairo_paint(grey.Cr());
                grey.Flush();
                for (int yy = 0; yy < 60; ++yy)
                    for (int xx = 0; xx < 60; ++xx)
                    {
                        uint32_t& px = grey.Row(yy)[xx];
                        const uint32_t v = uint32_t(0.3 * ((px >> 16) & 255) + 0.59 * ((px >> 8) & 255) + 0.11 * (px & 255));
                        px = (px & 0xff000000u) | v << 16 | v << 8 | v;
                    }
                grey.MarkDirty();
                Image(cr, grey.Surface(), x, y, 0.4);
                cairo_surface_destroy(pic);
            }
        }
    }
    Image(cr, down, 0, 536);
    Image(cr, up, 0, 0);
    cairo_save(cr);
    cairo_rectangle(cr, 247, 3, 306 * 0.6, 18);
    cairo_clip(cr);
    Image(cr, barUp, 247, 3);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_rectangle(cr, 291, 543, 218 * 0.35, 12);
    cairo_clip(cr);
    Image(cr, barDown, 291, 543);
    cairo_restore(cr);
    Image(cr, light, 290, 538);
    Image(cr, menu, 700, 560);
    HudText(scene, faces, "Score:  12450", 30);
    HudText(scene, faces, "Stage:  3-2", 330);
    HudText(scene, faces, "Lives:  3", 570);
    Paint::TextStyle label;
    label.face = Face::Body;
    label.size = 17;
    label.shadow = 1;
    Paint::Text(scene, faces, label, "Menu", 747, 584, true);
    std::snprintf(stem, sizeof stem, "level %02d in play", level);
    output.Preview("scene_levels", stem, scene);
    for (cairo_surface_t* s : {gate, rim, backs, flip, glow, up, down, barUp, barDown, menu, bomb, light})
        cairo_surface_destroy(s);
}

void DialogScene(Output& output, const Faces& faces)
{
    Canvas scene(800, 600);
    cairo_t* cr = scene.Cr();
    if (const cairo_surface_t* bg = output.Kept("levels/bg07.jpg"))
        Image(cr, const_cast<cairo_surface_t*>(bg), 0, 0);
    cairo_set_source_rgba(cr, 0, 0, 0, 145 / 255.0);
    cairo_paint(cr);
    cairo_surface_t* box = Load(output, "gfx/game/dialog_box");
    cairo_surface_t* button = Load(output, "gfx/game/dialog_button");
    cairo_surface_t* check = Load(output, "gfx/game/checkbox");
    cairo_surface_t* track = Load(output, "gfx/game/slider_track");
    cairo_surface_t* thumb = Load(output, "gfx/game/slider_thumb");
    Frame(cr, box, 0, 0, 90, 90, 60, 40, 400, 410);
    Frame(cr, box, 0, 0, 90, 90, 480, 200, 290, 220);
    Paint::TextStyle head;
    head.face = Face::Body;
    head.size = 17;
    head.shadow = 1;
    Paint::Text(scene, faces, head, "Options", 260, 90, true);
    Paint::Text(scene, faces, head, "Leave the game?", 625, 250, true);
    Paint::TextStyle body = head;
    body.size = 14;
    Paint::Text(scene, faces, body, "Music", 140, 135, false);
    Paint::Text(scene, faces, body, "Sound", 140, 205, false);
    for (double y : {145.0, 215.0})
    {
        const double w = 245;
        Cel(cr, track, 3, 0, 140, y + 8);
        for (double x = 152; x < 140 + w - 12; x += 12)
            Cel(cr, track, 3, 1, x, y + 8);
        cairo_save(cr);
        cairo_rectangle(cr, 140, y, w - 12, 26);
        cairo_restore(cr);
        Cel(cr, track, 3, 2, 140 + w - 12, y + 8);
        Image(cr, thumb, 140 + (w - 22) * (y < 200 ? 0.7 : 0.4), y);
    }
    const char* labels[] = {"Full screen", "Custom cursors"};
    for (int i = 0; i < 2; ++i)
    {
        const double y = 262 + i * 27;
        Paint::Text(scene, faces, body, labels[i], 120, y + 25, false);
        Cel(cr, check, 2, i, 330, y);
    }
    // Buttons stretched from the 105x44 parts.
    Frame(cr, button, 0, 0, 105, 44, 200, 376, 120, 44);
    Paint::Text(scene, faces, body, "OK", 260, 403, true);
    Frame(cr, button, 0, 0, 105, 44, 510, 350, 110, 44);
    Frame(cr, button, 0, 44, 105, 44, 630, 350, 110, 44);
    Paint::Text(scene, faces, body, "Yes", 565, 377, true);
    Paint::TextStyle red = body;
    red.fill = red.fillBottom = Rgb::Hex(0xff0000);
    Paint::Text(scene, faces, red, "No", 685, 377, true);
    Frame(cr, button, 0, 0, 105, 44, 90, 520, 275, 44);
    Frame(cr, button, 0, 0, 105, 44, 400, 520, 83, 44);
    output.Preview("scene_dialogs", "dialogs stretched", scene);
    for (cairo_surface_t* s : {box, button, check, track, thumb})
        cairo_surface_destroy(s);
}

void MenuScene(Output& output)
{
    Canvas scene(800, 600);
    cairo_t* cr = scene.Cr();
    if (const cairo_surface_t* bg = output.Kept("gfx/MainMenu/main_menu_bg.jpg"))
        Image(cr, const_cast<cairo_surface_t*>(bg), 0, 0);
    cairo_surface_t* ball = Load(output, "gfx/MainMenu/button_ball");
    cairo_surface_t* halo = Load(output, "gfx/MainMenu/button_ball_light");
    const char* stems[] = {"start", "options", "help", "highscores", "quit"};
    const double pts[][2] = {{35, 234}, {131, 380}, {358, 444}, {500, 380}, {668, 234}};
    for (int i = 0; i < 5; ++i)
    {
        cairo_surface_t* label = Load(output, std::string("gfx/MainMenu/mb_") + stems[i] + (i == 1 ? "_p" : ""));
        const double w = cairo_image_surface_get_width(label);
        Image(cr, ball, pts[i][0] + w / 2 - 47, pts[i][1] + 35);
        if (i == 1)
            Image(cr, halo, pts[i][0] + w / 2 - 65, pts[i][1] + 35 - 18, 0.8);
        Image(cr, label, pts[i][0], pts[i][1]);
        cairo_surface_destroy(label);
    }
    output.Preview("scene_menu", "main menu", scene);
    cairo_surface_destroy(ball);
    cairo_surface_destroy(halo);
}

void StageScene(Output& output, const Faces& faces)
{
    Canvas scene(800, 600);
    cairo_t* cr = scene.Cr();
    if (const cairo_surface_t* bg = output.Kept("gfx/SelectStage/bg.jpg"))
        Image(cr, const_cast<cairo_surface_t*>(bg), 0, 0);
    cairo_surface_t* title = Load(output, "gfx/SelectStage/title");
    Image(cr, title, 400 - cairo_image_surface_get_width(title) / 2.0, 5);
    cairo_surface_t* open = Load(output, "gfx/SelectStage/open");
    cairo_surface_t* close = Load(output, "gfx/SelectStage/close");
    cairo_surface_t* selected = Load(output, "gfx/SelectStage/selected");
    cairo_surface_t* light = Load(output, "gfx/SelectStage/light");
    for (int i = 0; i < 9; ++i)
    {
        const double x = (i % 3) * 180 + 135, y = (i / 3) * 135 + 90;
        if (i < 5)
        {
            char stem[64];
            std::snprintf(stem, sizeof stem, "gfx/152x114/bg%02d", i * 5 + 1);
            cairo_surface_t* thumb = Load(output, stem);
            Image(cr, thumb, x + 9, y + 9);
            cairo_surface_destroy(thumb);
            Image(cr, open, x, y);
            if (i == 1)
                Image(cr, selected, x, y);
            if (i == 3)
                Image(cr, light, x + 9, y + 9);
        }
        else
            Image(cr, close, x, y);
        Paint::TextStyle s;
        s.face = Face::Body;
        s.size = 14;
        s.shadow = 1;
        Paint::Text(scene, faces, s, "Stage " + std::to_string(i + 1), x + 50, y + 115, false);
    }
    const char* buttons[][2] = {{"play", "320 510"}, {"back", "10 30"}, {"left", "50 510"}, {"right+", "715 510"}};
    for (const auto& b : buttons)
    {
        cairo_surface_t* img = Load(output, std::string("gfx/SelectStage/") + b[0]);
        double x = 0, y = 0;
        std::sscanf(b[1], "%lf %lf", &x, &y);
        Image(cr, img, x, y);
        cairo_surface_destroy(img);
    }
    output.Preview("scene_stages", "stage selection", scene);
    for (cairo_surface_t* s : {title, open, close, selected, light})
        cairo_surface_destroy(s);
}

} // namespace

void PreviewScenes(Output& output, const Faces& faces, const std::string& trackFolder)
{
    for (int level : {1, 4, 9, 14, 22, 30})
        LevelScene(output, faces, trackFolder, level);
    DialogScene(output, faces);
    MenuScene(output);
    StageScene(output, faces);
}

} // namespace Spindrel::Art
