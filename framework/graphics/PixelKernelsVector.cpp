#include "framework/graphics/PixelKernels.h"

namespace Quillo
{

const PixelKernels* PixelKernels::Sse2() { return nullptr; }
const PixelKernels* PixelKernels::Avx2() { return nullptr; }

} // namespace Quillo
