#pragma once

#include <algorithm>
#include <cstdint>

namespace Quillo
{

struct Rect
{
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;

    constexpr bool operator==(const Rect&) const = default;

    constexpr bool Contains(int32_t px, int32_t py) const
    {
        return px >= x && py >= y && px < x + width && py < y + height;
    }

    constexpr bool Intersects(const Rect& o) const
    {
        return o.x < x + width && o.y < y + height && o.x + o.width > x && o.y + o.height > y;
    }

    // The overlap of the two rectangles, or (0, 0, 0, 0) when they do not overlap.
    constexpr Rect Intersection(const Rect& o) const
    {
        const int32_t left = std::max(x, o.x);
        const int32_t top = std::max(y, o.y);
        const int32_t right = std::min(x + width, o.x + o.width);
        const int32_t bottom = std::min(y + height, o.y + o.height);
        if (right <= left || bottom <= top)
            return Rect{};
        return Rect{left, top, right - left, bottom - top};
    }

    // The smallest rectangle holding both; an empty rectangle adds nothing.
    constexpr Rect Union(const Rect& o) const
    {
        if (width <= 0 || height <= 0)
            return o;
        if (o.width <= 0 || o.height <= 0)
            return *this;
        const int32_t left = std::min(x, o.x);
        const int32_t top = std::min(y, o.y);
        const int32_t right = std::max(x + width, o.x + o.width);
        const int32_t bottom = std::max(y + height, o.y + o.height);
        return Rect{left, top, right - left, bottom - top};
    }
};

} // namespace Quillo
