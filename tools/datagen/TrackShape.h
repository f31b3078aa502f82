#pragma once

#include <functional>
#include <vector>

namespace Spindrel::Datagen
{

struct Vec2
{
    double x = 0;
    double y = 0;
};

// Draws a track as a turtle would: straight runs, arcs and spirals joined
// without kinks, in screen coordinates (y down). Headings are degrees with
// 0 = right and 90 = up; positive turns are counter-clockwise on screen.
// The curve is kept densely (every half pixel) and resampled later.
class TrackShape
{
public:
    TrackShape(double x, double y, double headingDeg);

    TrackShape& Line(double length);
    // Straight on until x (or y) reaches the value; the heading must point there.
    TrackShape& LineToX(double x);
    TrackShape& LineToY(double y);
    // Turns through `degrees` (positive = left) on a circle of `radius`.
    TrackShape& Arc(double radius, double degrees);
    // Like Arc, but the radius changes evenly from `fromRadius` to `toRadius`.
    TrackShape& Spiral(double fromRadius, double toRadius, double degrees);
    // Appends a parametric piece f(t), t from t0 to t1; it must start where
    // the shape ends. The heading afterwards follows the piece's last tangent.
    TrackShape& Curve(const std::function<Vec2(double)>& f, double t0, double t1);

    // Straight runs through the waypoints with every corner rounded to
    // `radius`; the shape must already point at the first waypoint.
    TrackShape& Through(const std::vector<Vec2>& waypoints, double radius);

    // Runs the start straight back along its first direction until it lies
    // beyond the bottom or a side of the screen, where the chain enters.
    TrackShape& ExtendStartOffScreen();
    // Mirrors the whole shape left to right about the screen's centre line.
    TrackShape& MirrorX();

    const std::vector<Vec2>& Points() const { return m_points; }
    Vec2 End() const { return m_points.back(); }
    double Heading() const { return m_heading; }

private:
    void Add(double x, double y);

    std::vector<Vec2> m_points;
    double m_heading;
};

// Resamples a dense polyline at even steps of about `spacing` pixels, keeping
// both ends exactly.
std::vector<Vec2> Resample(const std::vector<Vec2>& dense, double spacing);

} // namespace Spindrel::Datagen
