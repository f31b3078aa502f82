#pragma once

#include "framework/graphics/ImageFont.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/resources/BaseRes.h"

#include <memory>

namespace Quillo
{

struct FontRes : BaseRes
{
    void DeleteResource() override
    {
        font.reset();
        stripImage.reset();
    }

    std::unique_ptr<ImageFont> font;
    // Shared with the font data, which keeps it alive for clones made by "!ref:".
    std::shared_ptr<MemoryImage> stripImage;
    std::string imagePath;
    std::string tags;
};

} // namespace Quillo
