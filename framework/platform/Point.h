#pragma once

#include <cstdint>

namespace Quillo
{

struct Point
{
    int32_t x = 0;
    int32_t y = 0;

    constexpr bool operator==(const Point&) const = default;
};

} // namespace Quillo
