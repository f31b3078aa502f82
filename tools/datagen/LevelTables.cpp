#include "tools/datagen/LevelTables.h"

#include "tools/datagen/DataWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <stdexcept>

namespace Spindrel::Datagen
{

namespace
{
constexpr int kTracks = 30;

// The difficulty curve, measured with simulated beginners, regulars and
// experts (scripts/difficulty): the first stages rise gently so that a
// beginner gets through the first six, and the last stage stays within an
// expert's reach. kTopUnits is the difficulty of level 100 in stage units.
constexpr double kCreep = 1.0;
constexpr double kFinalStep = 2.5;
constexpr double kTopUnits = 17.0 + kCreep * 7 / 8 + kFinalStep;
constexpr double kSpeed = 22;
constexpr double kSpeedRise = 22;
constexpr double kPoints = 300;
constexpr double kPointsRise = 1300;
// Memory is what a player runs out of first: a regular player wins nearly
// every level with up to seven pictures, about half with eight and few with
// nine, a beginner the same one picture earlier. So the count rises every
// three stages (four for the fives, to see a beginner through stage 6) and
// speed, points and track carry the rise in between.
constexpr std::array<int, 18> kStagePictures = {4, 4, 4, 5, 5, 5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9};
constexpr double kInterval = 60;
constexpr double kIntervalFall = 28;

int StageOf(int level)
{
    int stage = 0;
    for (int start : kStageStarts)
        if (start <= level)
            ++stage;
    return stage;
}

bool IsStageStart(int level)
{
    return std::find(kStageStarts.begin(), kStageStarts.end(), level) != kStageStarts.end();
}

// A level's difficulty in stage units: each stage starts one unit above the
// one before and creeps up within it; its last level is a step harder,
// beyond the start of the next stage, which so begins with a breather.
double LevelUnits(int level)
{
    const int stage = StageOf(level);
    const int first = kStageStarts[stage - 1];
    const int next = stage < static_cast<int>(kStageStarts.size()) ? kStageStarts[stage] : kLevelCount + 1;
    const bool last = level + 1 == next;
    return (stage - 1) + kCreep * (level - first) / (next - first) + (last ? kFinalStep : 0.0);
}

// A new picture arrives with the last level of the stage before the one
// that plays with it, so that a stage start never has more pictures than
// the level before it.
int LevelPictures(int level)
{
    const int stage = StageOf(level);
    const bool last = level == kLevelCount || IsStageStart(level + 1);
    return kStagePictures[static_cast<size_t>(last ? std::min(stage, 17) : stage - 1)];
}
} // namespace

int CodeOfTrack(int track)
{
    // The inverse of the game's fixed code table.
    static constexpr std::array<int, 20> kCodes = {0, 5, 4, 6, 7, 8, 9, 10, 11, 3, 12, 13, 14, 2, 15, 16, 17, 18, 19, 1};
    if (track < 1 || track > kTracks)
        throw std::out_of_range("no code for track " + std::to_string(track));
    return track < 20 ? kCodes[track] : track;
}

std::vector<int> PlanLevelTracks(const std::vector<int>& tracksEasiestFirst)
{
    if (tracksEasiestFirst.size() != kTracks)
        throw std::logic_error("the level plan needs all 30 tracks");
    std::vector<int> rankOf(kTracks + 1);
    for (int r = 0; r < kTracks; ++r)
        rankOf[tracksEasiestFirst[r]] = r;

    std::vector<int> uses(kTracks + 1, 0);
    std::vector<bool> startedStage(kTracks + 1, false);
    std::vector<int> plan;
    for (int level = 1; level <= kLevelCount; ++level)
    {
        // The track difficulty this level aims at, easiest to hardest.
        double target = (kTracks - 1) * LevelUnits(level) / kTopUnits;
        bool start = IsStageStart(level);
        int best = 0;
        double bestScore = 1e9;
        for (int track = 1; track <= kTracks; ++track)
        {
            // Not one of the last three tracks played, so that levels vary.
            if (std::find(plan.end() - std::min<size_t>(plan.size(), 3), plan.end(), track) != plan.end())
                continue;
            if (start && startedStage[track])
                continue;
            double distance = std::abs(rankOf[track] - target);
            if (distance > 5)
                continue;
            // Prefer tracks played least, then those nearest the target.
            double score = uses[track] * 6 + distance;
            if (score < bestScore)
            {
                bestScore = score;
                best = track;
            }
        }
        if (best == 0)
            throw std::logic_error("no track fits level " + std::to_string(level));
        ++uses[best];
        if (start)
            startedStage[best] = true;
        plan.push_back(best);
    }
    for (int track = 1; track <= kTracks; ++track)
        if (uses[track] == 0)
            throw std::logic_error("track " + std::to_string(track) + " is never played");
    return plan;
}

std::vector<LevelRow> PlanLevelRows()
{
    std::vector<LevelRow> rows;
    for (int level = 1; level <= kLevelCount; ++level)
    {
        const double x = LevelUnits(level) / kTopUnits;
        LevelRow row;
        row.speed = static_cast<int>(std::lround(kSpeed + kSpeedRise * x));
        row.points = static_cast<int>(std::lround((kPoints + kPointsRise * std::pow(x, 1.3)) / 10.0)) * 10;
        row.pictures = LevelPictures(level);
        row.interval = static_cast<int>(std::lround(kInterval - kIntervalFall * x));
        rows.push_back(row);
    }
    return rows;
}

std::string LevelOrderText(const std::vector<int>& trackOfLevel)
{
    std::string text;
    for (size_t i = 0; i < trackOfLevel.size(); ++i)
    {
        text += std::to_string(CodeOfTrack(trackOfLevel[i]));
        text += (i % 10 == 9) ? "\n" : " ";
    }
    return text;
}

std::string LevelTableText(const std::vector<LevelRow>& rows)
{
    std::string text = "Level Speed Points Pictures Interval\n";
    char line[96];
    for (size_t i = 0; i < rows.size(); ++i)
    {
        int level = static_cast<int>(i) + 1;
        if (IsStageStart(level))
        {
            std::snprintf(line, sizeof line, "Stage %d\n", StageOf(level));
            text += line;
        }
        const LevelRow& r = rows[i];
        std::snprintf(line, sizeof line, "%d %d %d %d %d\n", level, r.speed, r.points, r.pictures, r.interval);
        text += line;
    }
    return text;
}

void WriteLevelTables(const DataWriter& out, const std::vector<double>& trackEase)
{
    std::vector<int> order(kTracks);
    std::iota(order.begin(), order.end(), 1);
    std::stable_sort(order.begin(), order.end(),
        [&](int a, int b) { return trackEase[a - 1] > trackEase[b - 1]; });
    out.Write("levels/levelOrder.txt", LevelOrderText(PlanLevelTracks(order)));
    out.Write("levels/levelsTable.txt", LevelTableText(PlanLevelRows()));
    // The five main menu buttons' top-left corners and the unused sixth pair.
    out.Write("bin/mainMenuPts.txt", "35 234\n131 380\n358 444\n500 380\n668 234\n100 500\n");
}

} // namespace Spindrel::Datagen
