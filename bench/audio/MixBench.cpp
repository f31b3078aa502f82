// The cost of one second of the game's audio: 32 looping effects at assorted
// pitches plus the music module, mixed offline in device-sized blocks.
#include "framework/audio/AudioOutput.h"
#include "framework/audio/MixerSoundManager.h"
#include "framework/audio/OpenMptMusicInterface.h"
#include "framework/audio/SoundInstance.h"
#include "framework/platform/FileSystem.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

// A one-second 440 Hz tone as a 16-bit mono WAVE file.
std::string WriteTone(const std::string& dir)
{
    const int rate = 44100;
    std::vector<uint8_t> file;
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    auto u16 = [&](uint16_t v) {
        file.push_back(static_cast<uint8_t>(v));
        file.push_back(static_cast<uint8_t>(v >> 8));
    };
    auto tag = [&](const char* t) { file.insert(file.end(), t, t + 4); };
    tag("RIFF");
    u32(36 + rate * 2);
    tag("WAVE");
    tag("fmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    tag("data");
    u32(rate * 2);
    for (int i = 0; i < rate; ++i)
        u16(static_cast<uint16_t>(static_cast<int16_t>(12000 * std::sin(i * 2 * M_PI * 440 / rate))));
    const std::string path = dir + "/tone.wav";
    (void)Quillo::FileSystem::WriteFileAtomic(path, file.data(), file.size());
    return dir + "/tone";
}

void BM_MixOneSecond(benchmark::State& state)
{
    auto output = Quillo::AudioOutput::CreateOffline();
    Quillo::MixerSoundManager sounds(output);
    const std::string tmp = "/tmp";
    if (!sounds.LoadEffect(0, WriteTone(tmp)))
    {
        state.SkipWithError("could not load the test tone");
        return;
    }
    for (int i = 0; i < 32; ++i)
    {
        Quillo::SoundInstance* voice = sounds.NewInstance(0);
        if (!voice)
            break;
        voice->ShiftPitch((i % 13) - 6);
        voice->SetPan((i % 5 - 2) * 1000);
        voice->Play(true, false);
    }
    auto music = Quillo::OpenMptMusicInterface::Create(output);
    bool withMusic = false;
    if (const char* data = std::getenv("QUILLO_DATA_DIR"))
    {
        withMusic = music->LoadTrack(0, std::string(data) + "/music/music.mo3");
        if (withMusic)
            music->PlayTrack(0, 2, false);
    }
    std::vector<int16_t> block(1024 * 2);
    for (auto _ : state)
    {
        for (int frames = 0; frames < 44100; frames += 1024)
            output->Render(block.data(), 1024);
        benchmark::DoNotOptimize(block.data());
    }
    state.counters["with_music"] = withMusic ? 1 : 0;
    // Share of one core per second of audio: seconds of CPU per iteration.
    state.SetLabel("time per iteration = CPU for 1 s of audio");
}

} // namespace

BENCHMARK(BM_MixOneSecond)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
