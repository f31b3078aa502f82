#pragma once

#include <cstdint>

namespace Quillo
{

// Draw modes as the drawing context passes them; any other value draws nothing.
enum DrawMode : int32_t
{
    DRAWMODE_NORMAL = 0,
    DRAWMODE_ADDITIVE = 1,
};

} // namespace Quillo
