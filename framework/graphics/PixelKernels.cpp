#include "framework/graphics/PixelKernels.h"

#include <cstdlib>
#include <cstring>

namespace Quillo
{

const PixelKernels& PixelKernels::Active()
{
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
