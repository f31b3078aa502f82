#pragma once

#include "framework/app/DemoMarker.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Quillo
{

struct DemoHeader
{
    uint32_t version = 0;
    uint32_t seed = 0;
    std::string productVersion;
    std::vector<DemoMarker> markers;
    uint32_t totalUpdates = 0;
};

} // namespace Quillo
