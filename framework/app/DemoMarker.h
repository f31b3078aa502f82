#pragma once

#include <cstdint>
#include <string>

namespace Quillo
{

struct DemoMarker
{
    std::string text;
    uint32_t update = 0;
};

} // namespace Quillo
