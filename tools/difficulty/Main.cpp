// Plays every level with the simulated beginner, regular and expert over
// many seeds, prints per level the win rate, median time and lives lost,
// the stage averages and whatever breaks the intended curve, and draws the
// curve. Exit status 0 when the curve holds, 1 when it does not, 2 when
// the data or the output cannot be used. With --input keyboard the people
// play by the keyboard's rules; the table is the keyboard's, and the check
// is that the regular player wins on the keyboard, stage by stage, at least
// nine tenths of what the regular player wins with the mouse.
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
    std::fprintf(stderr, "usage: spindrel-difficulty DATA_FOLDER OUT_FOLDER [--seeds N] [--threads N] "
                         "[--input mouse|keyboard] [--levels FIRST-LAST]\n");
    return 2;
}

// The keyboard's share of the mouse's win rate a regular player must keep
// in every stage.
constexpr double kKeyboardShare = 0.9;

// The regular player's place in StandardProfiles().
constexpr int kRegular = 1;
constexpr int kExpert = 2;

std::string Report(const Campaign& campaign, const std::vector<LevelStats>& stats, int seeds, const char* input)
{
    std::string out;
    char line[256];
    std::snprintf(line, sizeof line, "%d runs per level and profile, three lives per run, by %s\n", seeds, input);
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
        if (StageWinRate(stats, stage, 0) < 0)
            continue;
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
    bool keyboard = false;
    int first = 1;
    int last = kLevelCount;
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
        else if (arg == "--input" && i + 1 < argc && (std::string(argv[i + 1]) == "mouse" ||
                                                      std::string(argv[i + 1]) == "keyboard"))
        {
            keyboard = std::string(argv[++i]) == "keyboard";
        }
        else if (arg == "--levels" && i + 1 < argc)
        {
            // A part of the campaign, for a quicker look at a few stages.
            if (std::sscanf(argv[++i], "%d-%d", &first, &last) != 2 || first < 1 || last > kLevelCount ||
                first > last)
                return Usage();
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
    std::vector<int> levels(static_cast<size_t>(last - first + 1));
    std::iota(levels.begin(), levels.end(), first);
    const auto start = std::chrono::steady_clock::now();
    const InputDevice input = keyboard ? InputDevice::Keyboard : InputDevice::Mouse;
    const std::vector<LevelStats> stats = MeasureLevels(*campaign, levels, seeds, threads, input);
    // The keyboard is judged against the mouse on the same seeds.
    const std::vector<LevelStats> mouse =
        keyboard ? MeasureLevels(*campaign, levels, seeds, threads, InputDevice::Mouse) : stats;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::string report = Report(*campaign, stats, seeds, keyboard ? "keyboard" : "mouse");
    std::vector<std::string> faults;
    if (keyboard)
    {
        report += "\nstage  regular by mouse  by keyboard  share | expert by mouse  by keyboard\n";
        for (int stage = 1; stage <= kStageCount; ++stage)
        {
            const double byMouse = StageWinRate(mouse, stage, kRegular);
            const double byKeys = StageWinRate(stats, stage, kRegular);
            if (byMouse < 0)
                continue;
            char line[160];
            std::snprintf(line, sizeof line, "%5d %15.0f%% %11.0f%% %5.0f%% | %14.0f%% %11.0f%%\n", stage,
                          100 * byMouse, 100 * byKeys, byMouse > 0 ? 100 * byKeys / byMouse : 100.0,
                          100 * StageWinRate(mouse, stage, kExpert), 100 * StageWinRate(stats, stage, kExpert));
            report += line;
            if (byKeys < kKeyboardShare * byMouse - 1.0 / seeds - 1e-9)
            {
                std::snprintf(line, sizeof line, "stage %d: regular wins %.0f%% by keyboard, under %.0f%% of %.0f%%",
                              stage, 100 * byKeys, 100 * kKeyboardShare, 100 * byMouse);
                faults.emplace_back(line);
            }
        }
    }
    else
    {
        // The curve's shape needs the whole campaign; a part is only
        // checked for the order of the three people.
        faults = levels.size() == kLevelCount ? CurveFaults(stats, 1.0 / seeds) : OrderFaults(stats, 0.0);
    }
    std::fputs(report.c_str(), stdout);
    const size_t runs = levels.size() * 3 * static_cast<size_t>(seeds) * (keyboard ? 2 : 1);
    std::printf("\n%zu runs in %.1f s on %d threads\n", runs, seconds, threads);

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

    if (faults.empty())
    {
        std::printf(keyboard ? "the keyboard keeps up with the mouse\n" : "the curve holds\n");
        return 0;
    }
    std::printf(keyboard ? "the keyboard falls behind in %zu stages:\n" : "the curve breaks in %zu places:\n",
                faults.size());
    for (const std::string& f : faults)
        std::printf("  %s\n", f.c_str());
    return 1;
}
