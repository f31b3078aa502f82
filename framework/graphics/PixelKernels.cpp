#include "framework/graphics/PixelKernels.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace Quillo
{

namespace
{

std::atomic<const PixelKernels*> g_override{nullptr};

} // namespace

void PixelKernels::Override(const PixelKernels* kernels) { g_override.store(kernels); }

const PixelKernels& PixelKernels::Active()
{
    if (const PixelKernels* forced = g_override.load(std::memory_order_relaxed))
        return *forced;
    // Chosen once for the process; every drawing call then uses the same set.
    static const PixelKernels& chosen = []() -> const PixelKernels& {
        const char* force = std::getenv("QUILLO_PIXEL_KERNELS");
        if (force && std::strcmp(force, "scalar") == 0)
            return Scalar();
        const PixelKernels* avx2 = Avx2();
        const PixelKernels* sse2 = Sse2();
        if (force && std::strcmp(force, "sse2") == 0 && sse2)
            return *sse2;
        if (avx2)
            return *avx2;
        if (sse2)
            return *sse2;
        return Scalar();
    }();
    return chosen;
}

} // namespace Quillo
