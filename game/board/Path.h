#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace Spindrel
{

// One vertex of the track; dirX, dirY and length describe the segment to
// the next point (0 on the last point).
struct PathPoint
{
    float x = 0.0f;
    float y = 0.0f;
    float dirX = 0.0f;
    float dirY = 0.0f;
    float length = 0.0f;
};

struct PathPosition
{
    float x = 0.0f;
    float y = 0.0f;
};

// The points of a track file and its gate, before the lead-in is added.
struct PathFile
{
    float gateX = 0.0f;
    float gateY = 0.0f;
    float gateAngle = 0.0f;
    std::vector<PathPoint> points;
};

// The track the balls roll along. Point 0 is the lead-in (added by
// AddLeadIn), point 1 the spawn point, the last point the gate.
class Path
{
public:
    static constexpr float kLeadInLength = 6400.0f;
    static constexpr float kDegreesToRadians = 0.01745329f;
    // A track file is never larger than this many points; larger counts are
    // taken for a damaged file.
    static constexpr int32_t kMaxFilePoints = 100000;

    // Decodes a track file: gate x, y, angle, count, then count points, all
    // little-endian. A short file keeps the points that are complete;
    // nothing when even the header is incomplete or the count is negative
    // or absurd.
    static std::optional<PathFile> ParseFile(std::span<const uint8_t> bytes);
    static std::vector<uint8_t> EncodeFile(const PathFile& file);
    // Whether balls can roll on the file's track: two points at least, not
    // all at one place. A file without is treated as missing.
    static bool Playable(const PathFile& file);

    // Takes over the points and gate of a loaded file (derived values
    // recomputed, selectedPoint at the last point).
    void Assign(const PathFile& file);
    // A missing track file: the old track's lead-in is dropped so that its
    // own points are the starting material for the editor.
    void KeepForEditing();

    void AddLeadIn();
    void RecomputeSegments();

    PathPosition PositionOnSegment(int segment, float fraction) const;
    PathPosition PointAtDistance(float distance) const;
    // Gate cel for the progress (percent) of the foremost ball.
    static int GateFrameForProgress(float progress);

    int Count() const { return static_cast<int>(points.size()); }
    float SegmentLength(int segment) const;

    std::vector<PathPoint> points;
    float totalLength = 0.0f;
    float gateX = 500.0f;
    float gateY = 100.0f;
    float ms_gateAngle = 0.0f;
    int trackNumber = 1;
    bool editMode = false;
    int selectedPoint = 0;
};

} // namespace Spindrel
