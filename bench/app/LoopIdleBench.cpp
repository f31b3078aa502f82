// How much of one core the real main loop uses when there is nothing to do:
// it should sleep through the idle part of each 10 ms step, not spin.
#include "framework/app/QuilloAppBase.h"
#include "framework/audio/MusicInterface.h"
#include "framework/audio/SoundManager.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <ctime>

namespace
{

class IdleApp : public Quillo::QuilloAppBase
{
public:
    IdleApp()
    {
        width = 800;
        height = 600;
        singleInstance = false;
        automaticLoading = false;
        loadingThreadDone = true;
    }
    std::unique_ptr<Quillo::SoundManager> CreateSoundManager() override { return nullptr; }
    std::unique_ptr<Quillo::MusicInterface> CreateMusicPlayer() override { return nullptr; }
    bool KeepWorkingDirectory(const std::string&) override { return true; }
};

double CpuSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

void BM_IdleLoopCpuShare(benchmark::State& state)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    IdleApp app;
    app.Init();
    // Start the measured stretch with no start-up time owed to the loop.
    app.ClearTimeBacklog();
    for (auto _ : state)
    {
        const double cpuStart = CpuSeconds();
        const auto wallStart = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - wallStart < std::chrono::seconds(3))
        {
            app.PumpPlatformEventsIfDue();
            app.HandleQueuedEvents();
            app.StepFrame(true);
        }
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        state.counters["cpu_share_percent"] = 100.0 * (CpuSeconds() - cpuStart) / wall;
        state.counters["updates_per_s"] = app.updateCount / wall;
        app.updateCount = 0;
    }
}

} // namespace

BENCHMARK(BM_IdleLoopCpuShare)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_MAIN();
