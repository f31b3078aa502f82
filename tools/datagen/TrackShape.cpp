#include "tools/datagen/TrackShape.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace Spindrel::Datagen
{

namespace
{
constexpr double kStep = 0.5;
constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
} // namespace

TrackShape::TrackShape(double x, double y, double headingDeg)
    : m_heading(headingDeg)
{
    m_points.push_back({x, y});
}

void TrackShape::Add(double x, double y)
{
    m_points.push_back({x, y});
}

TrackShape& TrackShape::Line(double length)
{
    Vec2 start = End();
    double dx = std::cos(m_heading * kDeg), dy = -std::sin(m_heading * kDeg);
    int steps = std::max(1, static_cast<int>(std::ceil(length / kStep)));
    for (int i = 1; i <= steps; ++i)
    {
        double t = length * i / steps;
        Add(start.x + dx * t, start.y + dy * t);
    }
    return *this;
}

TrackShape& TrackShape::LineToX(double x)
{
    double dx = std::cos(m_heading * kDeg);
    double length = (x - End().x) / dx;
    if (!(length > 0))
        throw std::logic_error("LineToX: the heading does not lead there");
    return Line(length);
}

TrackShape& TrackShape::LineToY(double y)
{
    double dy = -std::sin(m_heading * kDeg);
    double length = (y - End().y) / dy;
    if (!(length > 0))
        throw std::logic_error("LineToY: the heading does not lead there");
    return Line(length);
}

TrackShape& TrackShape::Arc(double radius, double degrees)
{
    return Spiral(radius, radius, degrees);
}

TrackShape& TrackShape::Spiral(double fromRadius, double toRadius, double degrees)
{
    // Integrates the heading along the arc length; with a constant radius
    // this is an exact circle up to rounding.
    double sign = degrees < 0 ? -1.0 : 1.0;
    double total = std::abs(degrees) * kDeg;
    double turned = 0;
    double x = End().x, y = End().y;
    while (turned < total)
    {
        double r = fromRadius + (toRadius - fromRadius) * (turned / total);
        double dTheta = std::min(kStep / r, total - turned);
        double mid = m_heading + sign * dTheta / 2 / kDeg;
        double ds = dTheta * r;
        x += std::cos(mid * kDeg) * ds;
        y -= std::sin(mid * kDeg) * ds;
        m_heading += sign * dTheta / kDeg;
        turned += dTheta;
        Add(x, y);
    }
    return *this;
}

TrackShape& TrackShape::Curve(const std::function<Vec2(double)>& f, double t0, double t1)
{
    // Sub-steps t so that consecutive points are about half a pixel apart.
    Vec2 prev = f(t0);
    double t = t0;
    double dt = (t1 - t0) / 1000.0;
    while (t < t1)
    {
        double next = std::min(t1, t + dt);
        Vec2 p = f(next);
        double d = std::hypot(p.x - prev.x, p.y - prev.y);
        if (d > kStep * 1.5 && next - t > 1e-9)
        {
            dt /= 2;
            continue;
        }
        if (d < kStep * 0.5 && next < t1)
            dt *= 1.5;
        Add(p.x, p.y);
        prev = p;
        t = next;
    }
    Vec2 a = m_points[m_points.size() - 2], b = End();
    m_heading = std::atan2(-(b.y - a.y), b.x - a.x) / kDeg;
    return *this;
}

TrackShape& TrackShape::Through(const std::vector<Vec2>& waypoints, double radius)
{
    // Each corner is a fillet: the arc starts radius * tan(turn / 2) before
    // the waypoint and ends as far after it.
    std::vector<Vec2> pts{End()};
    pts.insert(pts.end(), waypoints.begin(), waypoints.end());
    double cut = 0;
    for (size_t i = 1; i < pts.size(); ++i)
    {
        double dx = pts[i].x - pts[i - 1].x, dy = pts[i].y - pts[i - 1].y;
        double length = std::hypot(dx, dy);
        double heading = std::atan2(-dy, dx) / kDeg;
        double turn = 0, next = 0;
        if (i + 1 < pts.size())
        {
            double nx = pts[i + 1].x - pts[i].x, ny = pts[i + 1].y - pts[i].y;
            turn = std::remainder(std::atan2(-ny, nx) / kDeg - heading, 360.0);
            next = radius * std::tan(std::abs(turn) * kDeg / 2);
        }
        double straight = length - cut - next;
        if (straight < -1e-6)
            throw std::logic_error("Through: the corners at (" + std::to_string(pts[i - 1].x) + ", " +
                std::to_string(pts[i - 1].y) + ") and (" + std::to_string(pts[i].x) + ", " + std::to_string(pts[i].y) +
                ") are too close for their radius");
        m_heading = heading;
        if (straight > 0)
            Line(straight);
        if (turn != 0)
            Arc(radius, turn);
        cut = next;
    }
    return *this;
}

TrackShape& TrackShape::ExtendStartOffScreen()
{
    Vec2 a = m_points[0], b = m_points[1];
    double len = std::hypot(b.x - a.x, b.y - a.y);
    double dx = (a.x - b.x) / len, dy = (a.y - b.y) / len;
    std::vector<Vec2> lead;
    Vec2 p = a;
    // The chain appears at the spawn point: a ball of radius 30 there must
    // be wholly off the screen (y >= 630, or x <= -35 or >= 835).
    while (p.y < 630 && p.x > -35 && p.x < 835)
    {
        p.x += dx * kStep;
        p.y += dy * kStep;
        lead.push_back(p);
        if (lead.size() > 4000)
            throw std::logic_error("ExtendStartOffScreen: the start does not point off the screen");
    }
    m_points.insert(m_points.begin(), lead.rbegin(), lead.rend());
    return *this;
}

TrackShape& TrackShape::MirrorX()
{
    for (Vec2& p : m_points)
        p.x = 800.0 - p.x;
    m_heading = 180.0 - m_heading;
    return *this;
}

std::vector<Vec2> Resample(const std::vector<Vec2>& dense, double spacing)
{
    std::vector<double> along(dense.size(), 0.0);
    for (size_t i = 1; i < dense.size(); ++i)
        along[i] = along[i - 1] + std::hypot(dense[i].x - dense[i - 1].x, dense[i].y - dense[i - 1].y);
    double total = along.back();
    int steps = std::max(1, static_cast<int>(std::lround(total / spacing)));
    std::vector<Vec2> out;
    out.reserve(steps + 1);
    size_t k = 0;
    for (int i = 0; i < steps; ++i)
    {
        double s = total * i / steps;
        while (k + 1 < dense.size() && along[k + 1] < s)
            ++k;
        double segment = along[k + 1] - along[k];
        double f = segment > 0 ? (s - along[k]) / segment : 0;
        out.push_back({dense[k].x + (dense[k + 1].x - dense[k].x) * f, dense[k].y + (dense[k + 1].y - dense[k].y) * f});
    }
    out.push_back(dense.back());
    return out;
}

} // namespace Spindrel::Datagen
