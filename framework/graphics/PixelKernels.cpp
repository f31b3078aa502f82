#include "framework/graphics/PixelKernels.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

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
        auto forced = [force](const char* name) { return force && std::strcmp(force, name) == 0; };
        if (forced("scalar"))
            return Scalar();
        const PixelKernels* sse2 = Sse2();
        if (forced("sse2") && sse2)
            return *sse2;
        const PixelKernels* avx2 = Avx2();
        if (forced("avx2") && avx2)
            return *avx2;
        for (const PixelKernels* widest : {Avx512(), avx2, sse2})
            if (widest)
                return *widest;
        return Scalar();
    }();
    return chosen;
}

} // namespace Quillo
