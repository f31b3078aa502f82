#include "tools/datagen/Tracks.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace Spindrel::Datagen
{

namespace
{
constexpr double kPi = 3.14159265358979323846;

// Rows across the screen joined by half turns. Rising rows are entered up
// the left edge; falling rows come in from the left side at the top. `bump`
// lifts each row into humps.
struct RowStyle
{
    double bump = 0; // height of the humps
    int bumps = 0;   // humps per row
    bool zigzag = false; // pointed humps instead of round ones
    bool falling = false;
};

TrackShape Rows(double xLeft, double xRight, double yFirst, double radius, int rows, double endX, RowStyle style = {})
{
    double sign = style.falling ? -1 : 1;
    double bump = style.bump;
    int bumps = style.bumps;
    bool zigzag = style.zigzag;
    TrackShape s = style.falling ? TrackShape(-40, yFirst, 0) : TrackShape(xLeft, yFirst + radius, 90);
    if (!style.falling)
        s.Arc(radius, -90);
    for (int r = 0; r < rows; ++r)
    {
        bool rightwards = r % 2 == 0;
        double y = yFirst - sign * 2 * radius * r;
        double a = xLeft + radius, b = xRight - radius;
        // A chain coming in from the side runs straight until the rows begin.
        if (r == 0 && s.End().x < a)
            s.LineToX(a);
        double from = s.End().x;
        double to = r == rows - 1 ? endX : (rightwards ? xRight - radius : xLeft + radius);
        if (bump > 0)
        {
            s.Curve(
                [=](double t) {
                    double x = from + (to - from) * t;
                    double u = (x - a) / (b - a);
                    double c = std::cos(2 * kPi * bumps * u);
                    // A triangle wave with its tips rounded off.
                    double h = zigzag ? 0.5 + std::asin(0.9 * -c) / (2 * std::asin(0.9)) : (1 - c) / 2;
                    return Vec2{x, y - sign * bump * h};
                },
                0, 1);
        }
        else
            s.LineToX(to);
        if (r != rows - 1)
            s.Arc(radius, (rightwards ? 180 : -180) * sign);
    }
    return s.ExtendStartOffScreen();
}

// Columns from left to right (or right to left) joined by half turns; column k runs between
// tops[k] and bottoms[k] (the turn's outer edge). The last column stops at endY.
TrackShape Columns(double xFirst, double radius, const std::vector<double>& tops,
    const std::vector<double>& bottoms, double endY, bool leftwards = false)
{
    double turn = leftwards ? -1 : 1;
    TrackShape s(xFirst, bottoms[0], 90);
    size_t n = tops.size();
    for (size_t k = 0; k < n; ++k)
    {
        bool up = k % 2 == 0;
        if (k == n - 1)
        {
            s.LineToY(endY);
            break;
        }
        if (up)
        {
            s.LineToY(std::max(tops[k], tops[k + 1]) + radius);
            s.Arc(radius, -180 * turn);
        }
        else
        {
            s.LineToY(std::min(bottoms[k], bottoms[k + 1]) - radius);
            s.Arc(radius, 180 * turn);
        }
    }
    return s.ExtendStartOffScreen();
}

struct SpiralSpec
{
    double cx = 400, cy = 282;
    double a0 = 340, b0 = 210; // outer half-axes
    double a1 = 90, b1 = 70;   // inner half-axes, where the gate is
    double turns = 2;
    double startDeg = 0;       // where on the ellipse the chain comes in
    bool clockwise = false;
    double wobble = 0;         // relative radius ripple
    int lobes = 0;
    double cx1 = -1, cy1 = -1; // the centre drifts here by the end (a shell)
};

// An elliptical spiral winding inwards to the gate.
TrackShape EllipseSpiral(const SpiralSpec& p)
{
    double sign = p.clockwise ? -1 : 1;
    auto f = [p, sign](double t) {
        double th = p.startDeg * kPi / 180 + sign * t * p.turns * 2 * kPi;
        double a = p.a0 + (p.a1 - p.a0) * t, b = p.b0 + (p.b1 - p.b0) * t;
        double w = 1 + p.wobble * std::sin(p.lobes * th) * std::min(1.0, 4 * (1 - t));
        double cx = p.cx1 < 0 ? p.cx : p.cx + (p.cx1 - p.cx) * t;
        double cy = p.cy1 < 0 ? p.cy : p.cy + (p.cy1 - p.cy) * t;
        return Vec2{cx + a * w * std::cos(th), cy - b * w * std::sin(th)};
    };
    Vec2 start = f(0);
    TrackShape s(start.x, start.y, 0);
    s.Curve(f, 0, 1);
    return s.ExtendStartOffScreen();
}

// A polygon with rounded corners winding inwards: `sides` corners per turn,
// the corner radius shrinking evenly from r0 to r1 (distance from the
// centre), entered from `entry` off the screen.
TrackShape PolygonSpiral(Vec2 entry, double cx, double cy, int sides, double r0, double r1, double turns,
    double startDeg, bool clockwise, double radius, double squash = 1.0)
{
    std::vector<Vec2> corners;
    int count = static_cast<int>(std::lround(turns * sides));
    for (int k = 0; k <= count; ++k)
    {
        double t = static_cast<double>(k) / count;
        double th = (startDeg + (clockwise ? -1 : 1) * 360.0 * k / sides) * kPi / 180;
        double r = r0 + (r1 - r0) * t;
        corners.push_back({cx + r * std::cos(th), cy - r * squash * std::sin(th)});
    }
    // The track ends halfway along the last side, away from the corner.
    Vec2 a = corners[corners.size() - 2], b = corners.back();
    corners.back() = {(a.x + b.x) / 2, (a.y + b.y) / 2};
    Vec2 first = corners.front();
    TrackShape s(entry.x, entry.y, std::atan2(-(first.y - entry.y), first.x - entry.x) * 180 / kPi);
    s.Through(corners, radius);
    return s;
}

// A rounded rectangle winding inwards, clockwise, entered up its left side.
// Each side after the first three is `gap` shorter than the one before; the
// track stops `endFraction` of the way along side number `sides`.
TrackShape RectSpiral(double x0, double yTop, double width, double height, double radius, double gap, int sides,
    double endFraction)
{
    TrackShape s(x0, yTop + height, 90);
    s.LineToY(yTop + radius);
    for (int k = 0; k < sides; ++k)
    {
        s.Arc(radius, -90);
        int shrink = (k + 1) / 2; // top 0, right 0, bottom 1, left 1, top 2, ...
        bool horizontal = k % 2 == 0;
        double length = (horizontal ? width : height) - 2 * radius - shrink * gap;
        if (k == sides - 1)
            length *= endFraction;
        if (length <= 0)
            throw std::logic_error("RectSpiral: the spiral closes up before its last side");
        s.Line(length);
    }
    return s.ExtendStartOffScreen();
}

} // namespace

std::vector<TrackShape> TrackDesigns()
{
    std::vector<TrackShape> t;
    // Names the track whose shape cannot be drawn as described.
    auto add = [&t](auto&& make) {
        try
        {
            t.push_back(make());
        }
        catch (const std::logic_error& e)
        {
            throw std::logic_error("track " + std::to_string(t.size() + 1) + ": " + e.what());
        }
    };
    // 1: four long rows.
    add([&] { return Rows(70, 730, 470, 46, 4, 560); });
    // 2: eight columns, left to right.
    add([&] { return Columns(80, 42, {110, 110, 110, 110, 110, 110, 110, 110}, {470, 470, 470, 470, 470, 470, 470, 470}, 260); });
    // 3: a round spiral, anticlockwise.
    add([&] { return EllipseSpiral({.a0 = 300, .b0 = 210, .a1 = 110, .b1 = 66, .turns = 2}); });
    // 4: a wide elliptical spiral, clockwise, entered from the left.
    add([&] { return EllipseSpiral({.a0 = 350, .b0 = 210, .a1 = 100, .b1 = 70, .turns = 2, .startDeg = 180, .clockwise = true}); });
    // 5: rows with three humps each.
    add([&] { return Rows(70, 730, 470, 44, 4, 600, {.bump = 40, .bumps = 3}); });
    // 6: a rounded rectangle winding in.
    add([&] { return RectSpiral(70, 80, 660, 410, 50, 86, 7, 0.5); });
    // 7: zig-zag rows.
    add([&] { return Rows(70, 730, 470, 46, 4, 600, {.bump = 70, .bumps = 2, .zigzag = true}); });
    // 8: a spiral rippled into five petals.
    add([&] { return EllipseSpiral({.a0 = 330, .b0 = 200, .a1 = 110, .b1 = 90, .turns = 1.6, .wobble = 0.08, .lobes = 5}); });
    // 9: five rows falling from the top left.
    add([&] { return Rows(70, 740, 100, 44, 5, 420, {.falling = true}); });
    // 10: columns of changing heights, like a skyline.
    add([&] { return Columns(90, 40, {100, 180, 90, 160, 100, 200, 90, 180}, {490, 420, 480, 400, 490, 430, 480, 420}, 330); });
    // 11: a shell whose centre drifts to the left as it winds in.
    add([&] { return EllipseSpiral({.cx = 430, .a0 = 330, .b0 = 212, .a1 = 80, .b1 = 64, .turns = 2, .startDeg = 0,
        .clockwise = false, .cx1 = 340, .cy1 = 280}); });
    // 12: a hexagon winding in.
    add([&] { return PolygonSpiral({760, 640}, 400, 282, 6, 365, 140, 1.67, 0, false, 45, 0.62); });
    // 13: a shell winding clockwise, entered from the right along the bottom.
    add([&] { return EllipseSpiral({.cy = 272, .a0 = 330, .b0 = 205, .a1 = 100, .b1 = 78, .turns = 1.75, .startDeg = 270,
        .clockwise = true, .cx1 = 470, .cy1 = 268}); });
    // 14: rows with long gentle waves.
    add([&] { return Rows(60, 740, 475, 46, 4, 420, {.bump = 70, .bumps = 1}); });
    // 15: a square winding clockwise from the right.
    add([&] { return PolygonSpiral({-40, 480}, 400, 282, 4, 360, 100, 2.0, 225, true, 50, 0.85); });
    // 16: six columns with broad turns.
    add([&] { return Columns(90, 56, {100, 100, 100, 100, 100, 100}, {490, 490, 490, 490, 490, 490}, 300); });
    // 17: columns from right to left under a rolling skyline.
    add([&] { return Columns(712, 44, {110, 150, 190, 150, 110, 150, 190, 150}, {490, 450, 410, 450, 490, 450, 410, 450}, 300, true); });
    // 18: three wide rows in two big waves.
    add([&] { return Rows(60, 740, 460, 68, 3, 672, {.bump = 50, .bumps = 2}); });
    // 19: a peanut-shaped spiral, clockwise.
    add([&] { return EllipseSpiral({.a0 = 345, .b0 = 205, .a1 = 120, .b1 = 60, .turns = 2, .startDeg = 180, .clockwise = true,
        .wobble = 0.1, .lobes = 2}); });
    // 20: a stadium winding in anticlockwise from the right.
    add([&] { return RectSpiral(110, 72, 580, 430, 70, 92, 5, 0.9).MirrorX(); });
    // 21: zig-zag rows falling from the top right.
    add([&] { return Rows(70, 735, 95, 48, 4, 330, {.bump = 60, .bumps = 2, .zigzag = true, .falling = true}).MirrorX(); });
    // 22: round the frame, then columns inside back to the left.
    add([&] { return TrackShape(80, 640, 90).Through({{80, 100}, {720, 100}, {720, 480}, {600, 480}, {600, 200}, {490, 200},
        {490, 470}, {380, 470}, {380, 200}, {270, 200}, {270, 470}, {160, 470}, {160, 290}}, 40); });
    // 23: a key pattern along the bottom and back along the top.
    add([&] { return TrackShape(70, 640, 90).Through({{70, 330}, {170, 330}, {170, 480}, {270, 480}, {270, 330},
        {370, 330}, {370, 480}, {470, 480}, {470, 330}, {570, 330}, {570, 480}, {720, 480}, {720, 90}, {620, 90},
        {620, 240}, {520, 240}, {520, 90}, {420, 90}, {420, 240}, {320, 240}, {320, 90}, {220, 90}, {220, 240},
        {150, 240}}, 35); });
    // 24: round the frame the other way, then rows inside.
    add([&] { return TrackShape(730, 640, 90).Through({{730, 90}, {70, 90}, {70, 470}, {640, 470}, {640, 370},
        {170, 370}, {170, 270}, {640, 270}, {640, 185}, {400, 185}}, 40); });
    // 25: three bands of zig-zags.
    add([&] { return TrackShape(70, 640, 90).Through({{70, 485}, {180, 405}, {290, 485}, {400, 405}, {510, 485},
        {620, 405}, {730, 485}, {730, 255}, {620, 335}, {510, 255}, {400, 335}, {290, 255}, {180, 335}, {70, 255},
        {70, 105}, {180, 185}, {290, 105}, {400, 185}, {510, 105}, {600, 170}}, 36); });
    // 26: an elliptical spiral entered along the top from the right.
    add([&] { return EllipseSpiral({.a0 = 335, .b0 = 210, .a1 = 100, .b1 = 79, .turns = 1.75, .startDeg = 90}); });
    // 27: an octagon winding clockwise, entered from the left.
    add([&] { return PolygonSpiral({-40, 282}, 400, 282, 8, 375, 120, 2, 180, true, 50, 0.6); });
    // 28: five busy rows of small humps falling from the top left.
    add([&] { return Rows(60, 740, 95, 43, 5, 580, {.bump = 22, .bumps = 5, .falling = true}); });
    // 29: a shell drifting up and right, entered along the bottom from the left.
    add([&] { return EllipseSpiral({.cx = 380, .cy = 290, .a0 = 330, .b0 = 205, .a1 = 90, .b1 = 74, .turns = 1.75,
        .startDeg = 270, .cx1 = 440, .cy1 = 282}); });
    // 30: a spiral rippled into four lobes, clockwise, entered along the top from the left.
    add([&] { return EllipseSpiral({.a0 = 335, .b0 = 205, .a1 = 100, .b1 = 75, .turns = 1.75, .startDeg = 125,
        .clockwise = true, .wobble = 0.07, .lobes = 4}); });
    return t;
}

} // namespace Spindrel::Datagen
