#include "framework/platform/ScaleKernels.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace Quillo
{

const ScaleKernels& ScaleKernels::Active()
{
    // Chosen once for the process, by the same variable as the drawing kernels.
    static const ScaleKernels& chosen = []() -> const ScaleKernels& {
        const char* force = std::getenv("QUILLO_PIXEL_KERNELS");
        auto forced = [force](const char* name) { return force && std::strcmp(force, name) == 0; };
        if (forced("scalar"))
            return Scalar();
        const ScaleKernels* sse2 = Sse2();
        if (forced("sse2") && sse2)
            return *sse2;
        for (const ScaleKernels* widest : {Avx2(), sse2})
            if (widest)
                return *widest;
        return Scalar();
    }();
    return chosen;
}

} // namespace Quillo
