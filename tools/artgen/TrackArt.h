#pragma once

#include "tools/artgen/Ground.h"

#include <optional>
#include <string>
#include <vector>

namespace Spindrel::Art
{

class Output;

// A track as stored in levels/NN.path: gate corner, gate angle, points.
struct TrackFile
{
    double gateX = 0, gateY = 0, angle = 0;
    std::vector<Point2> points;
};

// Reads a track file; nothing when it is missing, short or inconsistent.
std::optional<TrackFile> ReadTrackFile(const std::string& path);

// The 30 level backgrounds (levels/bgNN) with their groove and gate socket,
// and the stage thumbnails (gfx/152x114/bgNN) at exactly 0.19 of them.
void PaintTrackArt(Output& output, const std::string& trackFolder);

} // namespace Spindrel::Art
