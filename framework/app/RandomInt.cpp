#include "framework/app/RandomInt.h"

#include <atomic>

namespace Quillo
{

namespace
{

std::atomic<uint32_t> g_state{1};

} // namespace

void SeedRandomInt(uint32_t seed)
{
    g_state.store(seed, std::memory_order_relaxed);
}

int RandomInt()
{
    // A 32-bit linear congruential step taken atomically, so the loading
    // thread and the main thread never see the same value twice.
    uint32_t state = g_state.load(std::memory_order_relaxed);
    uint32_t next;
    do
        next = state * 214013u + 2531011u;
    while (!g_state.compare_exchange_weak(state, next, std::memory_order_relaxed));
    return static_cast<int>((next >> 16) & 0x7FFF);
}

} // namespace Quillo
