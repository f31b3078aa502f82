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
        double target = (kTracks - 1) * (level - 1) / double(kLevelCount - 1);
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
            double score = uses[track] * 10 + distance;
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
        int stage = StageOf(level);
        int inStage = level - kStageStarts[stage - 1];
        // Overall progress steps up with each stage and creeps within it.
        double x = (stage - 1 + 0.6 * inStage / 7.0) / 17.6;
        LevelRow row;
        row.speed = static_cast<int>(std::lround(22 + 36 * x));
        row.points = static_cast<int>(std::lround((300 + 2400 * std::pow(x, 1.3)) / 10.0)) * 10;
        row.pictures = std::min(13, 4 + static_cast<int>((stage - 1) * 9 / 15.0 + 0.5 * (inStage >= 3)));
        row.interval = static_cast<int>(std::lround(60 - 45 * x));
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
