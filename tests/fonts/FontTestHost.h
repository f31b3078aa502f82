#pragma once

#include "framework/graphics/FontHost.h"
#include "framework/graphics/MemoryImage.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Serves glyph images made in memory by path and keeps every error report.
class FontTestHost : public Quillo::FontHost
{
public:
    std::unique_ptr<Quillo::MemoryImage> LoadDisplayImage(const std::string& path) override
    {
        loadedPaths.push_back(path);
        auto it = images.find(path);
        if (it == images.end())
            return nullptr;
        auto image = std::make_unique<Quillo::MemoryImage>();
        image->SetBits(it->second.pixels.data(), it->second.width, it->second.height);
        return image;
    }
    void ShowFatalError(const std::string& text) override { errors.push_back(text); }

    // A width x height image of transparent pixels with opaque white boxes.
    void AddImage(const std::string& path, int width, int height,
                  const std::vector<Quillo::Rect>& whiteBoxes)
    {
        Pixels& p = images[path];
        p.width = width;
        p.height = height;
        p.pixels.assign(size_t(width) * height, 0);
        for (const Quillo::Rect& box : whiteBoxes)
            for (int y = box.y; y < box.y + box.height; ++y)
                std::fill_n(p.pixels.begin() + y * width + box.x, box.width, 0xFFFFFFFF);
    }

    struct Pixels
    {
        int width = 0;
        int height = 0;
        std::vector<uint32_t> pixels;
    };
    std::map<std::string, Pixels> images;
    std::vector<std::string> loadedPaths;
    std::vector<std::string> errors;
};
