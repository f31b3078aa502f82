#pragma once

#include <cstdint>

namespace Quillo
{

// One horizontal run of a filled shape: the pixels (x .. x + width - 1, y).
struct Span
{
    int32_t y = 0;
    int32_t x = 0;
    int32_t width = 0;
};

} // namespace Quillo
