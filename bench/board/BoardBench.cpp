// The board's two hot paths: one game logic step with a full track, and a
// whole 800 x 600 frame (background, 60 and more balls, HUD, effects).
#include "tests/board/TestArt.h"

#include "framework/graphics/Graphics.h"
#include "game/board/Board.h"
#include "game/board/GameResources.h"
#include "game/sim/SimHost.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

namespace
{

// A board with a winding track nearly full of balls, a bonus, revealed and
// open balls and a handful of effects.
struct FullBoard
{
    FullBoard() : board(host, res)
    {
        root = (std::filesystem::temp_directory_path() / "spindrel-bench-board").string();
        std::filesystem::create_directories(root + "/levels");
        Spindrel::PathFile file;
        for (int r = 0; r < 6; ++r)
        {
            const float y = 70.0f + 88.0f * static_cast<float>(r);
            file.points.push_back({r % 2 == 0 ? 40.0f : 760.0f, y, 0, 0, 0});
            file.points.push_back({r % 2 == 0 ? 760.0f : 40.0f, y, 0, 0, 0});
        }
        file.gateX = 20;
        file.gateY = 470;
        const auto bytes = Spindrel::Path::EncodeFile(file);
        std::ofstream(root + "/levels/01.path", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        BoardTest::TestArt::WriteTrackImages(root);
        art.Fill(res, board.Pictures());
        Spindrel::LevelData levels;
        for (int level = 1; level <= Spindrel::kLevelCount; ++level)
        {
            levels.trackOfLevel[static_cast<size_t>(level)] = 1;
            levels.records[static_cast<size_t>(level - 1)] = {0, 5, 100000, 13, 300, 20, 200};
        }
        board.Logic().SetLevelData(levels);
        board.SetDataRoot(root + "/");
        board.ApplyResources();
        auto& logic = board.Logic();
        logic.SetActive(true);
        logic.StartLevel();
        auto& s = logic.State();
        s.intro = s.introSweep = s.rushing = false;
        const float length = logic.GetPath().totalLength;
        for (float d = length - 400.0f; d > 0.0f; d -= 60.0f)
            logic.AddBall(static_cast<int>(d / 60.0f) % 13, d);
        auto& balls = logic.Balls();
        logic.ArmBonus(*balls[10], 2);
        for (size_t i = 20; i < 30; ++i)
            balls[i]->revealed = true;
        logic.OpenBall(*balls[5]);
        logic.SpawnBlast(400, 300, 200);
        for (int i = 0; i < 6; ++i)
        {
            logic.SpawnChips(100.0f + 100.0f * static_cast<float>(i), 250);
            logic.SpawnSpark(100.0f + 100.0f * static_cast<float>(i), 350, Quillo::Color::White, 0.04f);
            logic.SpawnShrink(150.0f + 100.0f * static_cast<float>(i), 420, logic.Art().faces[3]);
        }
        start = logic.SaveState();
    }

    ~FullBoard() { std::filesystem::remove_all(root); }

    std::string root;
    Spindrel::SimHost host{99};
    Spindrel::GameResources res;
    BoardTest::TestArt art;
    Spindrel::Board board;
    std::vector<uint8_t> start;
};

void BM_BoardLogicStep(benchmark::State& state)
{
    FullBoard full;
    auto& logic = full.board.Logic();
    const auto balls = logic.Balls().size();
    int steps = 0;
    for (auto _ : state)
    {
        logic.Tick();
        if (++steps == 500)
        {
            state.PauseTiming();
            if (!logic.LoadState(full.start))
                state.SkipWithError("the board would not reload");
            steps = 0;
            state.ResumeTiming();
        }
    }
    state.counters["balls"] = static_cast<double>(balls);
}
BENCHMARK(BM_BoardLogicStep);

void BM_BoardFrame(benchmark::State& state)
{
    FullBoard full;
    Quillo::MemoryImage frame;
    frame.Create(800, 600);
    full.board.Logic().Tick();
    for (auto _ : state)
    {
        Quillo::Graphics g(&frame);
        full.board.Draw(&g);
        benchmark::DoNotOptimize(frame.GetBits());
    }
    state.counters["balls"] = static_cast<double>(full.board.Logic().Balls().size());
}
BENCHMARK(BM_BoardFrame)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
