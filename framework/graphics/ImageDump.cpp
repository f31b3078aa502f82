#include "framework/graphics/ImageDump.h"

#include "framework/graphics/ImageLib.h"
#include "framework/graphics/ImageRegistry.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/platform/FileSystem.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace Quillo
{
namespace
{

struct DumpedImage
{
    std::unique_ptr<ImageLib::Image> pixels;
    bool flags[9] = {};
    size_t bytes = 0;
};

constexpr const char* kLabels[9] = {"mBits",   "Palletized", "NativeAlpha", "RLAlpha",  "RLAdditive",
                                    "HasAlpha", "HasTrans",  "Forced",      "Volatile"};

// What an image holds now, copied so that the files are written after the
// display's lock is let go.
DumpedImage Capture(const MemoryImage& image)
{
    DumpedImage out;
    const size_t n = size_t(image.width) * size_t(image.height);
    out.flags[0] = image.HasBits();
    out.flags[1] = image.IsPalettized();
    out.flags[2] = image.HasNativeAlpha();
    out.flags[3] = image.HasRLAlpha();
    out.flags[4] = image.HasRLAdditive();
    out.flags[5] = image.HasAlpha();
    out.flags[6] = image.HasTrans();
    out.flags[7] = image.AlphaFlagsForced();
    out.flags[8] = image.IsVolatile();
    out.bytes = (image.HasBits() ? n * 4 : 0) + (image.IsPalettized() ? n + 1024 : 0) +
                (image.HasNativeAlpha() ? (image.IsPalettized() ? 1024 : n * 4) : 0) +
                (image.HasRLAlpha() ? n : 0) + (image.HasRLAdditive() ? n : 0);
    if (n == 0 || (!image.HasBits() && !image.IsPalettized()))
        return out;
    out.pixels = std::make_unique<ImageLib::Image>(image.width, image.height);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            out.pixels->bits[size_t(y) * size_t(image.width) + size_t(x)] = image.PixelAt(x, y);
    return out;
}

} // namespace

int WriteImageDump(ImageRegistry& registry, const std::string& folder)
{
    if (!FileSystem::MakeDirectories(folder))
        return -1;
    std::vector<DumpedImage> images;
    registry.ForEach([&images](MemoryImage& image) {
        DumpedImage d = Capture(image);
        if (d.pixels)
            images.push_back(std::move(d));
    });
    std::stable_sort(images.begin(), images.end(), [](const DumpedImage& a, const DumpedImage& b) {
        return int64_t(a.pixels->width) * a.pixels->height > int64_t(b.pixels->width) * b.pixels->height;
    });

    std::string html = "<html><head><title>Image dump</title></head><body>\n<table border=\"1\">\n"
                       "<tr><th>File</th><th>Size</th><th>Bytes</th>";
    for (const char* label : kLabels)
        html += std::string("<th>") + label + "</th>";
    html += "</tr>\n";
    int written = 0;
    size_t total = 0;
    for (size_t i = 0; i < images.size(); ++i)
    {
        char name[32];
        std::snprintf(name, sizeof name, "image%04zu.png", i + 1);
        const DumpedImage& d = images[i];
        if (!ImageLib::WritePNG(folder + "/" + name, *d.pixels))
            continue;
        ++written;
        total += d.bytes;
        char row[160];
        std::snprintf(row, sizeof row, "<tr><td><a href=\"%s\">%s</a></td><td>%dx%d</td><td>%zu</td>", name, name,
                      d.pixels->width, d.pixels->height, d.bytes);
        html += row;
        for (bool flag : d.flags)
            html += flag ? "<td>1</td>" : "<td>0</td>";
        html += "</tr>\n";
    }
    html += "</table>\n<p>" + std::to_string(written) + " images, " + std::to_string(total) +
            " bytes</p>\n</body></html>\n";
    if (!FileSystem::WriteFileAtomic(folder + "/index.html", html))
        return -1;
    return written;
}

} // namespace Quillo
