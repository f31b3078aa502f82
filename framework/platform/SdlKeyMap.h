#pragma once

#include <cstdint>

namespace Quillo
{

// The virtual key code (the framework's key numbering: A-Z 65-90, 0-9 48-57,
// F1 112, Shift 16, Ctrl 17, Alt 18, ...) of an SDL key code, or 0 for keys
// the framework does not know.
int VirtualKeyFromSdl(int32_t sdlKey);

} // namespace Quillo
