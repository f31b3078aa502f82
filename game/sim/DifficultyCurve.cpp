#include "game/sim/DifficultyCurve.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

namespace Spindrel
{

namespace
{

constexpr int kBeginner = 0;
constexpr int kRegular = 1;
constexpr int kExpert = 2;

template <typename... Args>
std::string Format(const char* format, Args... args)
{
    char line[200];
    std::snprintf(line, sizeof line, format, args...);
    return line;
}

int Percent(double rate)
{
    return static_cast<int>(rate * 100.0 + 0.5);
}

const char* Name(int profile)
{
    return StandardProfiles()[static_cast<size_t>(profile)]->name.data();
}

ProfileStats Summarise(const std::vector<RunResult>& runs)
{
    ProfileStats stats;
    std::vector<float> times;
    int lives = 0;
    for (const RunResult& r : runs)
    {
        if (r.won)
            times.push_back(r.seconds);
        lives += r.livesLost;
        stats.timedOut += r.timedOut ? 1 : 0;
    }
    const double n = static_cast<double>(std::max<size_t>(1, runs.size()));
    stats.winRate = static_cast<double>(times.size()) / n;
    stats.livesLost = lives / n;
    if (!times.empty())
    {
        std::sort(times.begin(), times.end());
        const size_t mid = times.size() / 2;
        stats.medianSeconds = times.size() % 2 == 1 ? times[mid] : (times[mid - 1] + times[mid]) / 2.0;
    }
    return stats;
}

bool IsLastOfStage(int level)
{
    return level == kLevelCount || IsStageStart(level + 1);
}

} // namespace

std::vector<LevelStats> MeasureLevels(const Campaign& campaign, const std::vector<int>& levels, int seeds,
                                      int threads, InputDevice input)
{
    const auto& profiles = StandardProfiles();
    const size_t perLevel = profiles.size() * static_cast<size_t>(seeds);
    std::vector<RunResult> runs(levels.size() * perLevel);
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t job = next++; job < runs.size(); job = next++)
        {
            const size_t level = job / perLevel;
            const size_t profile = (job % perLevel) / static_cast<size_t>(seeds);
            const auto seed = static_cast<uint32_t>(job % static_cast<size_t>(seeds) + 1);
            runs[job] = PlaySimulatedLevel(campaign, levels[level], *profiles[profile], seed, kMaxRunSeconds, input);
        }
    };
    std::vector<std::jthread> workers;
    for (int t = 1; t < threads; ++t)
        workers.emplace_back(work);
    work();
    workers.clear();

    std::vector<LevelStats> stats;
    for (size_t l = 0; l < levels.size(); ++l)
    {
        LevelStats level;
        level.level = levels[l];
        for (size_t p = 0; p < profiles.size(); ++p)
        {
            const auto first = runs.begin() + static_cast<long>(l * perLevel + p * static_cast<size_t>(seeds));
            level.profiles[p] = Summarise(std::vector<RunResult>(first, first + seeds));
        }
        stats.push_back(level);
    }
    return stats;
}

double StageWinRate(const std::vector<LevelStats>& stats, int stage, int profile)
{
    double sum = 0.0;
    int count = 0;
    for (const LevelStats& l : stats)
    {
        if (StageOf(l.level) == stage)
        {
            sum += l.profiles[static_cast<size_t>(profile)].winRate;
            ++count;
        }
    }
    return count == 0 ? -1.0 : sum / count;
}

std::vector<std::string> OrderFaults(const std::vector<LevelStats>& stats, double slack)
{
    std::vector<std::string> faults;
    for (const LevelStats& l : stats)
    {
        const auto& p = l.profiles;
        for (int lower = kBeginner; lower < kExpert; ++lower)
        {
            const double a = p[static_cast<size_t>(lower)].winRate;
            const double b = p[static_cast<size_t>(lower + 1)].winRate;
            if (a > b + slack)
                faults.push_back(Format("level %d: %s wins %d%%, more than %s (%d%%)", l.level, Name(lower),
                                        Percent(a), Name(lower + 1), Percent(b)));
        }
        if (p[kExpert].winRate < kExpertFloor)
            faults.push_back(Format("level %d: expert wins only %d%% (at least %d%%)", l.level,
                                    Percent(p[kExpert].winRate), Percent(kExpertFloor)));
    }
    return faults;
}

std::vector<std::string> CurveFaults(const std::vector<LevelStats>& stats, double resolution)
{
    std::vector<std::string> faults = OrderFaults(stats, 0.0);
    std::vector<const LevelStats*> byLevel(kLevelCount + 2, nullptr);
    for (const LevelStats& l : stats)
        if (l.level >= 1 && l.level <= kLevelCount)
            byLevel[static_cast<size_t>(l.level)] = &l;
    for (int level = 1; level <= kLevelCount; ++level)
        if (byLevel[static_cast<size_t>(level)] == nullptr)
            faults.push_back(Format("level %d was not measured", level));
    if (std::any_of(byLevel.begin() + 1, byLevel.end() - 1, [](auto p) { return p == nullptr; }))
        return faults;
    auto win = [&](int level, int profile) {
        return byLevel[static_cast<size_t>(level)]->profiles[static_cast<size_t>(profile)].winRate;
    };

    for (int level = 1; level <= kLevelCount; ++level)
    {
        const int stage = StageOf(level);
        if (stage == 1 && win(level, kBeginner) < 0.80)
            faults.push_back(Format("level %d: beginner wins %d%% in stage 1 (at least 80%%)", level,
                                    Percent(win(level, kBeginner))));
        if (stage == 6 && win(level, kBeginner) < 0.30)
            faults.push_back(Format("level %d: beginner wins %d%% in stage 6 (at least 30%%)", level,
                                    Percent(win(level, kBeginner))));
        // A spike: much harder than both neighbours, unless it closes a stage.
        if (level > 1 && level < kLevelCount && !IsLastOfStage(level) &&
            win(level, kRegular) < win(level - 1, kRegular) - 0.15 &&
            win(level, kRegular) < win(level + 1, kRegular) - 0.15)
            faults.push_back(Format("level %d: regular's %d%% is a spike below both neighbours (%d%%, %d%%)",
                                    level, Percent(win(level, kRegular)), Percent(win(level - 1, kRegular)),
                                    Percent(win(level + 1, kRegular))));
        if (IsStageStart(level) && level > 1)
        {
            for (int p = kBeginner; p <= kExpert; ++p)
                if (win(level, p) < win(level - 1, p) - resolution - 1e-9)
                    faults.push_back(Format("level %d: a stage start harder for %s (%d%%) than level %d (%d%%)",
                                            level, Name(p), Percent(win(level, p)), level - 1,
                                            Percent(win(level - 1, p))));
        }
    }
    for (int stage = 2; stage <= kStageCount; ++stage)
    {
        const double before = StageWinRate(stats, stage - 1, kRegular);
        const double now = StageWinRate(stats, stage, kRegular);
        if (now > before + 0.05)
            faults.push_back(Format("stage %d: regular wins %d%%, more than 5 points above stage %d (%d%%)", stage,
                                    Percent(now), stage - 1, Percent(before)));
    }
    if (StageWinRate(stats, kStageCount, kRegular) >= StageWinRate(stats, 1, kRegular))
        faults.push_back("regular's win rate does not fall from the first stage to the last");
    return faults;
}

} // namespace Spindrel
