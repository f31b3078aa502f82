// The audio thread must never allocate: every malloc, calloc and realloc
// of the process (operator new and the C library's own calls included) is
// counted per thread while a mix runs.
// (libopenmpt itself allocates a few bytes when a song ends or wraps, so
// the offline window below stays inside the songs; with a device that
// happens on the music's rendering thread, not the audio thread.)
#include "AudioFixtures.h"
#include "framework/audio/AudioOutput.h"
#include "framework/audio/MixerSource.h"
#include "framework/audio/OpenMptMusicInterface.h"
#include "support/TempDir.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <pthread.h>
#include <thread>

namespace
{

std::atomic<bool> g_counting{false};
constexpr int kThreads = 64;
std::array<std::atomic<uint64_t>, kThreads> g_threads{};
std::array<std::atomic<int>, kThreads> g_counts{};

uint64_t Self()
{
    return static_cast<uint64_t>(pthread_self());
}

[[gnu::noinline, maybe_unused]] void CountAllocation()
{
    const uint64_t self = Self();
    for (int i = 0; i < kThreads; ++i)
    {
        uint64_t owner = g_threads[i].load();
        if (owner == 0 && g_threads[i].compare_exchange_strong(owner, self))
            owner = self;
        if (owner == self)
        {
            g_counts[i].fetch_add(1);
            return;
        }
    }
}

void StartCounting()
{
    for (int i = 0; i < kThreads; ++i)
        g_threads[i] = 0, g_counts[i] = 0;
    g_counting = true;
}

int AllocationsOf(uint64_t thread)
{
    for (int i = 0; i < kThreads; ++i)
        if (g_threads[i].load() == thread)
            return g_counts[i].load();
    return 0;
}

// Notes the thread that mixes.
struct ThreadProbe : Quillo::MixerSource
{
    std::atomic<uint64_t> thread{0};
    std::atomic<int> calls{0};
    void MixInto(float*, int) override
    {
        thread = Self();
        calls.fetch_add(1);
    }
};

} // namespace

// The address and thread checkers bring their own allocators, which these
// would bypass (or clash with); the count is taken in ordinary builds only.
// (gcc names them by macros, clang by features).
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
#define QUILLO_CHECKER_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer) || __has_feature(address_sanitizer)
#define QUILLO_CHECKER_ALLOCATOR 1
#endif
#endif
#if !defined(QUILLO_CHECKER_ALLOCATOR)
extern "C"
{
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* p, size_t size);
void __libc_free(void* p);

void* malloc(size_t size) noexcept
{
    if (g_counting.load(std::memory_order_relaxed))
        CountAllocation();
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) noexcept
{
    if (g_counting.load(std::memory_order_relaxed))
        CountAllocation();
    return __libc_calloc(count, size);
}

void* realloc(void* p, size_t size) noexcept
{
    if (g_counting.load(std::memory_order_relaxed))
        CountAllocation();
    return __libc_realloc(p, size);
}

void free(void* p) noexcept
{
    __libc_free(p);
}
}
#endif

using namespace Quillo;

namespace
{

// Two modules from different orders, a stream that runs out, and all 32
// voices at different rates, half of them looping.
struct Load
{
    TempDir dir;
    std::unique_ptr<OpenMptMusicInterface> music;

    explicit Load(const std::shared_ptr<AudioOutput>& output)
    {
        AudioFixtures::Write(dir / "music.mod", AudioFixtures::Mod(4, {0, 1, 2, 3}));
        music = std::make_unique<OpenMptMusicInterface>(output);
        EXPECT_TRUE(music->LoadTrack(0, dir / "music.mod"));
        EXPECT_TRUE(music->LoadTrack(1, dir / "music.mod"));
        std::vector<int16_t> ramp(30000);
        for (size_t i = 0; i < ramp.size(); ++i)
            ramp[i] = static_cast<int16_t>(i);
        AudioFixtures::Write(dir / "voice.wav", AudioFixtures::Wave16(1, 22050, ramp));
        EXPECT_TRUE(music->LoadTrack(2, dir / "voice.wav"));
        music->PlayTrack(0, 1, false);
        music->PlayTrack(1, 3, true);
        music->PlayTrack(2, 0, true); // ends after 1.4 s
        auto sound = std::make_shared<PcmSound>();
        sound->channels = 2;
        sound->sampleRate = 22050;
        sound->samples.assign(20000, 1000);
        AudioOutput::Lock lock(*output);
        for (int v = 0; v < SoftwareMixer::kVoiceCount; ++v)
        {
            output->Mixer().AttachVoice(v, sound);
            output->Mixer().SetVoiceFrequency(v, 11025.0 * (1 + v % 5));
            output->Mixer().PlayVoice(v, v % 2 == 0);
        }
    }
};

} // namespace

TEST(RealTime, MixingVoicesAndMusicAllocatesNothing)
{
#if defined(QUILLO_CHECKER_ALLOCATOR)
    GTEST_SKIP() << "allocations are not counted under the sanitizers";
#endif
    auto output = AudioOutput::CreateOffline();
    Load load(output);
    std::vector<int16_t> out(2 * 1024);
    StartCounting();
    // Five seconds: the voices end or wrap, the stream runs out.
    for (int i = 0; i < 215; ++i)
        output->Render(out.data(), 1024);
    g_counting = false;
    EXPECT_EQ(AllocationsOf(Self()), 0);
    EXPECT_TRUE(load.music->IsTrackPlaying(1));
    EXPECT_FALSE(load.music->IsTrackPlaying(2));
}

// The same on the device's own thread, counted from before the device
// opens: its first call back (which readies the thread for a crash report)
// allocates nothing either.
TEST(RealTime, TheDeviceThreadAllocatesNothing)
{
#if defined(QUILLO_CHECKER_ALLOCATOR)
    GTEST_SKIP() << "allocations are not counted under the sanitizers";
#endif
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    StartCounting();
    auto output = AudioOutput::OpenDevice();
    ASSERT_EQ(output->GetKind(), AudioOutput::Kind::Device) << output->DeviceError();
    ThreadProbe probe;
    {
        AudioOutput::Lock lock(*output);
        output->Mixer().AddSource(&probe);
    }
    Load load(output);
    for (int i = 0; i < 1000 && probe.calls < 30; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    {
        AudioOutput::Lock lock(*output);
        output->Mixer().RemoveSource(&probe);
    }
    g_counting = false;
    ASSERT_GE(probe.calls.load(), 30) << "the device did not call back";
    EXPECT_NE(probe.thread.load(), Self());
    EXPECT_EQ(AllocationsOf(probe.thread), 0);
}
