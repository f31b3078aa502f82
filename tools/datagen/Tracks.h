#pragma once

#include "tools/datagen/TrackShape.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Spindrel::Datagen
{

class DataWriter;

// One track as the game reads it from "levels/NN.path".
struct TrackFile
{
    float gateX = 0;
    float gateY = 0;
    float angle = 0;
    std::vector<Vec2> points;
};

// The rules every track keeps, shared by the generator's own check and by
// the data tests' reading of the written files.
namespace TrackRules
{
inline constexpr int kTrackCount = 30;
inline constexpr double kSpacing = 10.0;
inline constexpr double kLeft = 35, kRight = 765, kTop = 60, kBottom = 505;
inline constexpr double kRunGap = 64.0;
// Points closer than this along the track belong to the same run.
inline constexpr double kSameRun = 100.0;
// Other runs keep a ball's radius off the gate's rim; the run that enters
// the gate is the last kGateRun pixels.
inline constexpr double kGateClearance = 75.0;
inline constexpr double kGateRun = 160.0;
inline constexpr double kMinLength = 2200, kMaxLength = 4500;
// Largest heading change between two samples (a radius of about 34 px).
inline constexpr double kMaxTurnDeg = 17.0;
} // namespace TrackRules

// The 30 track designs, in track-number order (index 0 is track 1).
std::vector<TrackShape> TrackDesigns();

TrackFile MakeTrackFile(const TrackShape& shape);
std::vector<uint8_t> EncodeTrack(const TrackFile& track);
// Everything wrong with a track, one line per fault; empty when it is sound.
std::vector<std::string> CheckTrack(const TrackFile& track);
double TrackLength(const TrackFile& track);

// How easy a track plays, in pixels: higher is easier.
double TrackEase(const TrackFile& track);

// Writes levels/01.path .. levels/30.path and returns how easy each track
// plays; throws when a design breaks a rule.
std::vector<double> WriteTracks(const DataWriter& out);

} // namespace Spindrel::Datagen
