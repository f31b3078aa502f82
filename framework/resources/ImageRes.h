#pragma once

#include "framework/graphics/AnimInfo.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/resources/BaseRes.h"

#include <memory>

namespace Quillo
{

struct ImageRes : BaseRes
{
    void DeleteResource() override { image.reset(); }

    std::unique_ptr<MemoryImage> image;
    std::string alphaImagePath;
    std::string alphaGridPath;
    bool useAlpha = true;
    bool palletize = true;
    bool useA4R4G4B4 = false;
    bool useA8R8G8B8 = false;
    bool ddSurface = false;
    bool minSubdivide = false;
    int32_t rows = 1;
    int32_t cols = 1;
    AnimInfo animInfo;
};

} // namespace Quillo
