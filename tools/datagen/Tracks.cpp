#include "tools/datagen/Tracks.h"

#include "tools/datagen/ByteBuffer.h"
#include "tools/datagen/DataWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace Spindrel::Datagen
{

namespace
{
constexpr double kPi = 3.14159265358979323846;

bool InField(const Vec2& p)
{
    using namespace TrackRules;
    return p.x >= kLeft && p.x <= kRight && p.y >= kTop && p.y <= kBottom;
}

double SegmentDistance(Vec2 p, Vec2 a, Vec2 b)
{
    double vx = b.x - a.x, vy = b.y - a.y;
    double len2 = vx * vx + vy * vy;
    double t = len2 > 0 ? ((p.x - a.x) * vx + (p.y - a.y) * vy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + vx * t), p.y - (a.y + vy * t));
}

bool SegmentsCross(Vec2 a, Vec2 b, Vec2 c, Vec2 d)
{
    auto side = [](Vec2 p, Vec2 q, Vec2 r) { return (q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x); };
    double d1 = side(c, d, a), d2 = side(c, d, b), d3 = side(a, b, c), d4 = side(a, b, d);
    return ((d1 > 0) != (d2 > 0)) && ((d3 > 0) != (d4 > 0)) && d1 != 0 && d2 != 0 && d3 != 0 && d4 != 0;
}
} // namespace

TrackFile MakeTrackFile(const TrackShape& shape)
{
    TrackFile track;
    track.points = Resample(shape.Points(), TrackRules::kSpacing);
    // The file holds floats: round the points first so that the gate, the
    // angle and the checks all see exactly what the game will read.
    for (Vec2& p : track.points)
        p = {static_cast<float>(p.x), static_cast<float>(p.y)};
    const Vec2& end = track.points.back();
    const Vec2& before = track.points[track.points.size() - 2];
    double dx = end.x - before.x, dy = end.y - before.y;
    double len = std::hypot(dx, dy);
    track.gateX = static_cast<float>(end.x - 45.0);
    track.gateY = static_cast<float>(end.y - 45.0);
    track.angle = static_cast<float>(std::atan2(-dx / len, -dy / len) * 57.29578);
    return track;
}

std::vector<uint8_t> EncodeTrack(const TrackFile& track)
{
    ByteBuffer out;
    out.F32(track.gateX);
    out.F32(track.gateY);
    out.F32(track.angle);
    out.I32(static_cast<int32_t>(track.points.size()));
    for (const Vec2& p : track.points)
    {
        out.F32(static_cast<float>(p.x));
        out.F32(static_cast<float>(p.y));
    }
    return out.Bytes();
}

std::vector<std::string> CheckTrack(const TrackFile& track)
{
    using namespace TrackRules;
    std::vector<std::string> faults;
    auto fault = [&](const char* format, double a = 0, double b = 0, double c = 0) {
        char text[160];
        std::snprintf(text, sizeof text, format, a, b, c);
        faults.emplace_back(text);
    };
    const auto& pts = track.points;
    if (pts.size() < 3)
    {
        fault("only %.0f points", static_cast<double>(pts.size()));
        return faults;
    }

    const Vec2& spawn = pts.front();
    if (!(spawn.y >= 630 || spawn.x <= -35 || spawn.x >= 835))
        fault("the spawn point (%.1f, %.1f) is on the screen", spawn.x, spawn.y);

    // Once the track has entered the play field it stays there.
    size_t entered = 0;
    while (entered < pts.size() && !InField(pts[entered]))
        ++entered;
    for (size_t i = entered; i < pts.size(); ++i)
        if (!InField(pts[i]))
        {
            fault("point %.0f (%.1f, %.1f) leaves the play field", static_cast<double>(i), pts[i].x, pts[i].y);
            break;
        }

    std::vector<double> along(pts.size(), 0.0);
    for (size_t i = 1; i < pts.size(); ++i)
    {
        double step = std::hypot(pts[i].x - pts[i - 1].x, pts[i].y - pts[i - 1].y);
        along[i] = along[i - 1] + step;
        if (step < kSpacing * 0.5 || step > kSpacing * 1.5)
            fault("segment %.0f is %.2f px long", static_cast<double>(i - 1), step);
    }
    double length = along.back();
    if (length < kMinLength || length > kMaxLength)
        fault("length %.0f px is outside %.0f..%.0f", length, kMinLength, kMaxLength);

    for (size_t i = 1; i + 1 < pts.size(); ++i)
    {
        double a1 = std::atan2(pts[i].y - pts[i - 1].y, pts[i].x - pts[i - 1].x);
        double a2 = std::atan2(pts[i + 1].y - pts[i].y, pts[i + 1].x - pts[i].x);
        double turn = std::abs(std::remainder(a2 - a1, 2 * kPi)) * 180 / kPi;
        if (turn > kMaxTurnDeg)
        {
            fault("the track turns %.1f degrees at point %.0f", turn, static_cast<double>(i));
            break;
        }
    }

    // Runs apart: any two points far apart along the track are far apart on
    // the screen too, and no two segments cross.
    bool tooClose = false;
    for (size_t i = 0; i < pts.size() && !tooClose; ++i)
        for (size_t j = i + 1; j + 1 < pts.size(); ++j)
        {
            if (along[j] - along[i] <= kSameRun)
                continue;
            double d = SegmentDistance(pts[i], pts[j], pts[j + 1]);
            if (d < kRunGap)
            {
                fault("runs only %.1f px apart near (%.0f, %.0f)", d, pts[i].x, pts[i].y);
                tooClose = true;
                break;
            }
        }
    for (size_t i = 0; i + 1 < pts.size(); ++i)
        for (size_t j = i + 2; j + 1 < pts.size(); ++j)
            if (SegmentsCross(pts[i], pts[i + 1], pts[j], pts[j + 1]))
            {
                fault("the track crosses itself at segments %.0f and %.0f", static_cast<double>(i), static_cast<double>(j));
                i = pts.size();
                break;
            }

    const Vec2 gate{track.gateX + 45.0, track.gateY + 45.0};
    const Vec2& end = pts.back();
    if (std::abs(gate.x - end.x) > 0.01 || std::abs(gate.y - end.y) > 0.01)
        fault("the gate centre (%.1f, %.1f) is not the last point", gate.x, gate.y);
    if (track.gateX < 0 || track.gateX + 90 > 800 || track.gateY < 30 || track.gateY + 90 > 536)
        fault("the gate at (%.0f, %.0f) is not wholly visible", track.gateX, track.gateY);
    for (size_t i = 0; i < pts.size(); ++i)
        if (length - along[i] > kGateRun && std::hypot(pts[i].x - gate.x, pts[i].y - gate.y) < kGateClearance)
        {
            fault("the track passes %.1f px from the gate", std::hypot(pts[i].x - gate.x, pts[i].y - gate.y));
            break;
        }
    double dx = end.x - pts[pts.size() - 2].x, dy = end.y - pts[pts.size() - 2].y;
    double expected = std::atan2(-dx, -dy) * 57.29578;
    if (std::abs(std::remainder(expected - track.angle, 360.0)) > 0.01)
        fault("gate angle %.2f does not match the last segment (%.2f)", track.angle, expected);
    return faults;
}

double TrackLength(const TrackFile& track)
{
    double length = 0;
    for (size_t i = 1; i < track.points.size(); ++i)
        length += std::hypot(track.points[i].x - track.points[i - 1].x, track.points[i].y - track.points[i - 1].y);
    return length;
}

double TrackEase(const TrackFile& track)
{
    // A long track gives the player time before the chain reaches the gate;
    // every bend makes the chain harder to follow.
    double turning = 0;
    const auto& p = track.points;
    for (size_t i = 1; i + 1 < p.size(); ++i)
    {
        double a = std::atan2(p[i].y - p[i - 1].y, p[i].x - p[i - 1].x);
        double b = std::atan2(p[i + 1].y - p[i].y, p[i + 1].x - p[i].x);
        turning += std::abs(std::remainder(b - a, 2 * kPi));
    }
    return TrackLength(track) - 25 * turning;
}

std::vector<double> WriteTracks(const DataWriter& out)
{
    std::vector<double> ease;
    std::vector<TrackShape> designs = TrackDesigns();
    if (designs.size() != TrackRules::kTrackCount)
        throw std::logic_error("there must be 30 track designs");
    std::string problems;
    for (size_t i = 0; i < designs.size(); ++i)
    {
        TrackFile track = MakeTrackFile(designs[i]);
        ease.push_back(TrackEase(track));
        for (const std::string& fault : CheckTrack(track))
            problems += "track " + std::to_string(i + 1) + ": " + fault + "\n";
        char name[40];
        std::snprintf(name, sizeof name, "levels/%02zu.path", i + 1);
        out.Write(name, EncodeTrack(track));
    }
    if (!problems.empty())
        throw std::runtime_error(problems);
    return ease;
}

} // namespace Spindrel::Datagen
