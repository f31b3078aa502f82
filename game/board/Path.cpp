#include "game/board/Path.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Spindrel
{

namespace
{

uint32_t ReadU32(std::span<const uint8_t> bytes, size_t offset)
{
    return static_cast<uint32_t>(bytes[offset]) | (static_cast<uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<uint32_t>(bytes[offset + 2]) << 16) |
           (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

float ReadFloat(std::span<const uint8_t> bytes, size_t offset)
{
    const uint32_t bits = ReadU32(bytes, offset);
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void WriteU32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void WriteFloat(std::vector<uint8_t>& out, float value)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    WriteU32(out, bits);
}

} // namespace

std::optional<PathFile> Path::ParseFile(std::span<const uint8_t> bytes)
{
    if (bytes.size() < 16)
        return std::nullopt;
    PathFile file;
    file.gateX = ReadFloat(bytes, 0);
    file.gateY = ReadFloat(bytes, 4);
    file.gateAngle = ReadFloat(bytes, 8);
    const int32_t count = static_cast<int32_t>(ReadU32(bytes, 12));
    if (count < 0 || count > kMaxFilePoints)
        return std::nullopt;
    const size_t available = (bytes.size() - 16) / 8;
    const size_t taken = std::min(static_cast<size_t>(count), available);
    file.points.reserve(taken);
    for (size_t i = 0; i < taken; ++i)
    {
        PathPoint point;
        point.x = ReadFloat(bytes, 16 + 8 * i);
        point.y = ReadFloat(bytes, 20 + 8 * i);
        // A point that is not a finite number would poison every distance.
        if (!std::isfinite(point.x) || !std::isfinite(point.y))
            return std::nullopt;
        file.points.push_back(point);
    }
    return file;
}

std::vector<uint8_t> Path::EncodeFile(const PathFile& file)
{
    std::vector<uint8_t> out;
    out.reserve(16 + 8 * file.points.size());
    WriteFloat(out, file.gateX);
    WriteFloat(out, file.gateY);
    WriteFloat(out, file.gateAngle);
    WriteU32(out, static_cast<uint32_t>(file.points.size()));
    for (const PathPoint& point : file.points)
    {
        WriteFloat(out, point.x);
        WriteFloat(out, point.y);
    }
    return out;
}

bool Path::Playable(const PathFile& file)
{
    const auto& points = file.points;
    return std::ranges::any_of(points, [&](const PathPoint& p) {
        return p.x != points.front().x || p.y != points.front().y;
    });
}

void Path::Assign(const PathFile& file)
{
    // A readable track is played, whatever the track before it was.
    editMode = false;
    gateX = file.gateX;
    gateY = file.gateY;
    ms_gateAngle = file.gateAngle;
    points.clear();
    for (const PathPoint& point : file.points)
        points.push_back(PathPoint{point.x, point.y, 0.0f, 0.0f, 0.0f});
    if (!points.empty())
    {
        RecomputeSegments();
        selectedPoint = Count() - 1;
    }
}

void Path::KeepForEditing()
{
    editMode = true;
    if (!points.empty())
        points.erase(points.begin());
}

void Path::AddLeadIn()
{
    // With no point there is nothing to derive the lead-in from.
    if (points.empty())
        return;
    PathPoint leadIn;
    leadIn.x = points[0].x;
    leadIn.y = points[0].y + kLeadInLength;
    points.insert(points.begin(), leadIn);
    RecomputeSegments();
}

void Path::RecomputeSegments()
{
    totalLength = 0.0f;
    const int count = Count();
    for (int i = 0; i + 1 < count; ++i)
    {
        PathPoint& p = points[static_cast<size_t>(i)];
        const PathPoint& next = points[static_cast<size_t>(i + 1)];
        const float dx = next.x - p.x;
        const float dy = next.y - p.y;
        p.length = std::sqrt(dx * dx + dy * dy);
        // Two equal points make a segment of length 0 with no direction.
        p.dirX = p.length > 0.0f ? dx / p.length : 0.0f;
        p.dirY = p.length > 0.0f ? dy / p.length : 0.0f;
        totalLength += p.length;
    }
    if (count > 0)
    {
        PathPoint& last = points.back();
        last.dirX = last.dirY = last.length = 0.0f;
    }
    if (count > 1)
        totalLength -= points[0].length;
}

float Path::SegmentLength(int segment) const
{
    if (segment < 0 || segment >= Count())
        return 0.0f;
    return points[static_cast<size_t>(segment)].length;
}

PathPosition Path::PositionOnSegment(int segment, float fraction) const
{
    if (points.empty())
        return {};
    const PathPoint& p = points[static_cast<size_t>(std::clamp(segment, 0, Count() - 1))];
    return {p.x + p.dirX * p.length * fraction, p.y + p.dirY * p.length * fraction};
}

PathPosition Path::PointAtDistance(float distance) const
{
    const int count = Count();
    if (count == 0)
        return {};
    int k = 1;
    while (k < count && distance >= points[static_cast<size_t>(k)].length)
    {
        distance -= points[static_cast<size_t>(k)].length;
        ++k;
    }
    if (k < count)
    {
        const PathPoint& p = points[static_cast<size_t>(k)];
        return {p.x + distance * p.dirX, p.y + distance * p.dirY};
    }
    return {points.back().x, points.back().y};
}

int Path::GateFrameForProgress(float progress)
{
    if (progress < 75.0f)
        return 0;
    int cel = static_cast<int>(std::min(progress, 95.0f) - 75.0f);
    if (cel > 19)
        cel = 20;
    return std::clamp(cel, 0, 20);
}

} // namespace Spindrel
