#include "DataFiles.h"

#include "game/board/Path.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using Spindrel::Path;
using Spindrel::PathFile;

namespace
{

struct Pt
{
    double x, y;
};

std::vector<Pt> Points(const PathFile& file)
{
    std::vector<Pt> pts;
    for (const auto& p : file.points)
        pts.push_back({p.x, p.y});
    return pts;
}

std::string TrackName(int track)
{
    return Numbered("levels/%02d.path", track);
}

double DistanceToSegment(Pt p, Pt a, Pt b)
{
    double vx = b.x - a.x, vy = b.y - a.y, len2 = vx * vx + vy * vy;
    double t = len2 > 0 ? std::clamp(((p.x - a.x) * vx + (p.y - a.y) * vy) / len2, 0.0, 1.0) : 0.0;
    return std::hypot(p.x - a.x - vx * t, p.y - a.y - vy * t);
}

bool Cross(Pt a, Pt b, Pt c, Pt d)
{
    auto side = [](Pt p, Pt q, Pt r) { return (q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x); };
    return side(c, d, a) * side(c, d, b) < 0 && side(a, b, c) * side(a, b, d) < 0;
}

bool Visible(Pt p)
{
    return p.x >= 35 && p.x <= 765 && p.y >= 60 && p.y <= 505;
}

class DataTrack : public testing::TestWithParam<int>
{
protected:
    void SetUp() override
    {
        bytes = ReadDataFile(TrackName(GetParam()));
        ASSERT_GE(bytes.size(), 16u);
        auto parsed = Path::ParseFile(bytes);
        ASSERT_TRUE(parsed);
        file = *parsed;
        pts = Points(file);
        ASSERT_GE(pts.size(), 3u);
        along.assign(pts.size(), 0.0);
        for (size_t i = 1; i < pts.size(); ++i)
            along[i] = along[i - 1] + std::hypot(pts[i].x - pts[i - 1].x, pts[i].y - pts[i - 1].y);
    }

    std::vector<uint8_t> bytes;
    PathFile file;
    std::vector<Pt> pts;
    std::vector<double> along;
};

TEST_P(DataTrack, FileHoldsExactlyItsPoints)
{
    EXPECT_EQ(bytes.size(), 16 + 8 * file.points.size());
    int32_t count;
    std::memcpy(&count, bytes.data() + 12, 4);
    EXPECT_EQ(static_cast<size_t>(count), file.points.size());
    for (size_t i = 1; i < pts.size(); ++i)
    {
        double step = along[i] - along[i - 1];
        EXPECT_GT(step, 5.0) << "point " << i;
        EXPECT_LT(step, 15.0) << "point " << i;
    }
}

TEST_P(DataTrack, EntersFromOffScreenAndStaysInThePlayField)
{
    Pt spawn = pts.front();
    EXPECT_TRUE(spawn.y >= 630 || spawn.x <= -35 || spawn.x >= 835) << spawn.x << ", " << spawn.y;
    size_t i = 0;
    while (i < pts.size() && !Visible(pts[i]))
        ++i;
    ASSERT_LT(i, pts.size()) << "the track never enters the play field";
    // The run in from the edge heads into view and does not wander
    // about under the HUD or off the screen.
    auto outside = [](Pt p) {
        double dx = std::max({35.0 - p.x, 0.0, p.x - 765.0}), dy = std::max({60.0 - p.y, 0.0, p.y - 505.0});
        return std::hypot(dx, dy);
    };
    for (size_t k = 1; k < i; ++k)
        EXPECT_LT(outside(pts[k]), outside(pts[k - 1])) << "the entry turns away at point " << k;
    for (; i < pts.size(); ++i)
        ASSERT_TRUE(Visible(pts[i])) << "point " << i << " (" << pts[i].x << ", " << pts[i].y << ") is outside";
}

TEST_P(DataTrack, RunsStayABallApartAndNeverCross)
{
    for (size_t i = 0; i < pts.size(); ++i)
        for (size_t j = i + 1; j + 1 < pts.size(); ++j)
        {
            if (along[j] - along[i] > 100)
            {
                ASSERT_GE(DistanceToSegment(pts[i], pts[j], pts[j + 1]), 64.0)
                    << "near (" << pts[i].x << ", " << pts[i].y << ")";
            }
        }
    for (size_t i = 0; i + 1 < pts.size(); ++i)
        for (size_t j = i + 2; j + 1 < pts.size(); ++j)
            ASSERT_FALSE(Cross(pts[i], pts[i + 1], pts[j], pts[j + 1])) << "segments " << i << " and " << j;
}

TEST_P(DataTrack, EndsInTheMouthOfAVisibleGate)
{
    Pt end = pts.back(), before = pts[pts.size() - 2];
    EXPECT_NEAR(file.gateX + 45, end.x, 0.01);
    EXPECT_NEAR(file.gateY + 45, end.y, 0.01);
    EXPECT_GE(file.gateX, 0);
    EXPECT_LE(file.gateX + 90, 800);
    EXPECT_GE(file.gateY, 30) << "under the top HUD";
    EXPECT_LE(file.gateY + 90, 536) << "under the bottom HUD";
    double dx = end.x - before.x, dy = end.y - before.y;
    EXPECT_NEAR(std::remainder(file.gateAngle - std::atan2(-dx, -dy) * 57.29578, 360.0), 0.0, 0.01);
    // Only the run entering the gate comes near it.
    for (size_t i = 0; i < pts.size(); ++i)
    {
        if (along.back() - along[i] > 160)
        {
            ASSERT_GE(std::hypot(pts[i].x - end.x, pts[i].y - end.y), 75.0) << "point " << i;
        }
    }
}

TEST_P(DataTrack, LengthGivesASensibleRush)
{
    Path path;
    path.Assign(file);
    path.AddLeadIn();
    EXPECT_GE(path.totalLength, 2200.0f);
    EXPECT_LE(path.totalLength, 4500.0f);
    int rush = static_cast<int>(path.totalLength / 60 * 0.42f);
    EXPECT_GE(rush, 15);
    EXPECT_LE(rush, 31);
    // The spawn point is the first stored point; the lead-in hangs below it.
    EXPECT_FLOAT_EQ(path.points[1].x, file.points[0].x);
    EXPECT_FLOAT_EQ(path.points[0].y, file.points[0].y + Path::kLeadInLength);
}

INSTANTIATE_TEST_SUITE_P(Tracks, DataTrack, testing::Range(1, 31));

TEST(DataTracks, AreAllDifferentShapes)
{
    // Two tracks are the same shape when one is the other moved or mirrored:
    // compare their turning, which neither changes except in sign.
    std::vector<std::vector<int>> signatures;
    for (int t = 1; t <= 30; ++t)
    {
        auto parsed = Path::ParseFile(ReadDataFile(TrackName(t)));
        ASSERT_TRUE(parsed);
        std::vector<Pt> pts = Points(*parsed);
        std::vector<int> turns;
        for (size_t i = 1; i + 1 < pts.size(); i += 4)
        {
            double a = std::atan2(pts[i].y - pts[i - 1].y, pts[i].x - pts[i - 1].x);
            double b = std::atan2(pts[i + 1].y - pts[i].y, pts[i + 1].x - pts[i].x);
            turns.push_back(static_cast<int>(std::lround(std::abs(std::remainder(b - a, 2 * M_PI)) * 20)));
        }
        signatures.push_back(turns);
    }
    for (size_t a = 0; a < signatures.size(); ++a)
        for (size_t b = a + 1; b < signatures.size(); ++b)
            EXPECT_NE(signatures[a], signatures[b]) << "tracks " << a + 1 << " and " << b + 1 << " are one shape";
}

} // namespace
