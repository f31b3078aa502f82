// The audio thread must never allocate: count every operator new while a
// mix runs. Shared libraries (libopenmpt) resolve to this replacement too.
// (libopenmpt itself allocates a few bytes when a song ends or wraps, so
// the window below stays inside the songs.)
#include "AudioFixtures.h"
#include "framework/audio/AudioOutput.h"
#include "framework/audio/OpenMptMusicInterface.h"
#include "support/TempDir.h"

#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <new>

namespace
{

std::atomic<bool> g_counting{false};
std::atomic<int> g_allocations{0};

[[gnu::noinline, maybe_unused]] void CountAllocation()
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
}

} // namespace

// The address and thread checkers bring their own allocators, which a
// partial replacement would confuse (or clash with); the count is taken in
// ordinary builds only.
#if defined(__SANITIZE_THREAD__)
#define QUILLO_THREAD_CHECKER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define QUILLO_THREAD_CHECKER 1
#endif
#endif
#if !defined(__SANITIZE_ADDRESS__) && !defined(QUILLO_THREAD_CHECKER)
void* operator new(std::size_t size)
{
    if (g_counting.load(std::memory_order_relaxed))
        CountAllocation();
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

// Pairs with the replacement above, which allocates with malloc; GCC
// cannot see that pairing through the inlined library code.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
#endif

using namespace Quillo;

TEST(RealTime, MixingVoicesAndMusicAllocatesNothing)
{
#if defined(__SANITIZE_ADDRESS__) || defined(QUILLO_THREAD_CHECKER)
    GTEST_SKIP() << "allocations are not counted under the sanitizers";
#endif
    TempDir dir;
    AudioFixtures::Write(dir / "music.mod", AudioFixtures::Mod(4, {0, 1, 2, 3}));
    auto output = AudioOutput::CreateOffline();
    OpenMptMusicInterface music(output);
    ASSERT_TRUE(music.LoadTrack(0, dir / "music.mod"));
    ASSERT_TRUE(music.LoadTrack(1, dir / "music.mod"));
    std::vector<int16_t> ramp(30000);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<int16_t>(i);
    AudioFixtures::Write(dir / "voice.wav", AudioFixtures::Wave16(1, 22050, ramp));
    ASSERT_TRUE(music.LoadTrack(2, dir / "voice.wav"));
    music.PlayTrack(0, 1, false);
    music.PlayTrack(1, 3, true);
    music.PlayTrack(2, 0, true); // ends after 1.4 s
    auto sound = std::make_shared<PcmSound>();
    sound->channels = 2;
    sound->sampleRate = 22050;
    sound->samples.assign(20000, 1000);
    for (int v = 0; v < SoftwareMixer::kVoiceCount; ++v)
    {
        output->Mixer().AttachVoice(v, sound);
        output->Mixer().SetVoiceFrequency(v, 11025.0 * (1 + v % 5));
        output->Mixer().PlayVoice(v, v % 2 == 0);
    }
    std::vector<int16_t> out(2 * 1024);
    g_allocations = 0;
    g_counting = true;
    // Five seconds: the voices end or wrap, the stream runs out.
    for (int i = 0; i < 215; ++i)
        output->Render(out.data(), 1024);
    g_counting = false;
    EXPECT_EQ(g_allocations.load(), 0);
    EXPECT_TRUE(music.IsTrackPlaying(1));
    EXPECT_FALSE(music.IsTrackPlaying(2));
}
