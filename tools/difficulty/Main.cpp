// Plays every level with the simulated beginner, regular and expert over
// many seeds, prints per level the win rate, median time and lives lost,
// the stage averages and whatever breaks the intended curve, and draws the
// curve. Exit status 0 when the curve holds, 1 when it does not, 2 when
// the data or the output cannot be used.
#include "game/sim/DifficultyCurve.h"
#include "tools/difficulty/CurvePlot.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>
#include <thread>

using namespace Spindrel;

namespace
{

int Usage()
{
    std::fprintf(stderr, "usage: spindrel-difficulty DATA_FOLDER OUT_FOLDER [--seeds N] [--threads N]\n");
    return 2;
}

std::string Report(const Campaign& campaign, const std::vector<LevelStats>& stats, int seeds)
{
    std::string out;
    char line[256];
    std::snprintf(line, sizeof line, "%d runs per level and profile, three lives per run\n", seeds);
    out += line;
    out += "                                    |    beginner        |    regular         |    expert\n";
    out += "level stage track speed points pics| win  median lives | win  median lives | win  median lives\n";
    for (const LevelStats& l : stats)
    {
        const LevelRecord& r = campaign.levels.records[static_cast<size_t>(l.level - 1)];
        std::snprintf(line, sizeof line, "%5d %5d %5d %5d %6d %4d", l.level, StageOf(l.level),
                      campaign.levels.trackOfLevel[static_cast<size_t>(l.level)], r.baseSpeed, r.pointsToReach,
                      r.numPictures);
        out += line;
        for (const ProfileStats& p : l.profiles)
        {
            std::snprintf(line, sizeof line, "|%4.0f%% %6.1fs %5.2f ", 100 * p.winRate, p.medianSeconds,
                          p.livesLost);
            out += line;
        }
        out += "\n";
    }
    out += "\nstage levels  beginner regular expert (mean win rate)\n";
    for (int stage = 1; stage <= kStageCount; ++stage)
    {
        const int first = kStageStarts[static_cast<size_t>(stage - 1)];
        const int last = stage < kStageCount ? kStageStarts[static_cast<size_t>(stage)] - 1 : kLevelCount;
        std::snprintf(line, sizeof line, "%5d %3d-%-3d %7.0f%% %6.0f%% %5.0f%%\n", stage, first, last,
                      100 * StageWinRate(stats, stage, 0), 100 * StageWinRate(stats, stage, 1),
                      100 * StageWinRate(stats, stage, 2));
        out += line;
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return Usage();
    std::string data = argv[1];
    if (!data.empty() && data.back() != '/')
        data += '/';
    const std::filesystem::path outDir = argv[2];
    int seeds = 50;
    int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    for (int i = 3; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if ((arg == "--seeds" || arg == "--threads") && i + 1 < argc)
        {
            const int value = std::atoi(argv[++i]);
            if (value < 1)
                return Usage();
            (arg == "--seeds" ? seeds : threads) = value;
        }
        else
            return Usage();
    }

    const auto campaign = LoadCampaign(data);
    if (!campaign)
    {
        std::fprintf(stderr, "spindrel-difficulty: no usable level tables in %slevels\n", data.c_str());
        return 2;
    }
    std::vector<int> levels(kLevelCount);
    std::iota(levels.begin(), levels.end(), 1);
    const auto start = std::chrono::steady_clock::now();
    const std::vector<LevelStats> stats = MeasureLevels(*campaign, levels, seeds, threads);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const std::string report = Report(*campaign, stats, seeds);
    std::fputs(report.c_str(), stdout);
    std::printf("\n%zu runs in %.1f s on %d threads\n", levels.size() * 3 * static_cast<size_t>(seeds), seconds,
                threads);

    std::error_code error;
    std::filesystem::create_directories(outDir, error);
    const std::string plot = (outDir / "curve.png").string();
    std::ofstream table(outDir / "curve.txt");
    table << report;
    if (!table || !WriteCurvePlot(stats, plot))
    {
        std::fprintf(stderr, "spindrel-difficulty: cannot write into %s\n", outDir.string().c_str());
        return 2;
    }
    std::printf("plot: %s\n", plot.c_str());

    const auto faults = CurveFaults(stats, 1.0 / seeds);
    if (faults.empty())
    {
        std::printf("the curve holds\n");
        return 0;
    }
    std::printf("the curve breaks in %zu places:\n", faults.size());
    for (const std::string& f : faults)
        std::printf("  %s\n", f.c_str());
    return 1;
}
