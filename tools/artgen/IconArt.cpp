#include "tools/artgen/IconArt.h"

#include "tools/artgen/BallArt.h"
#include "tools/artgen/Canvas.h"
#include "tools/artgen/Output.h"

#include <filesystem>

namespace Spindrel::Art
{

namespace
{
// The sizes desktops ask the hicolor theme for; the window gets 128.
constexpr int kSizes[] = {16, 32, 48, 64, 128, 256, 512};
constexpr int kWindowSize = 128;
} // namespace

void PaintIcons(Output& output, const std::string& folder, const std::string& id)
{
    for (int size : kSizes)
    {
        Canvas icon(size, size);
        PaintIcon(icon);
        const std::string dimensions = std::to_string(size) + "x" + std::to_string(size);
        if (size == kWindowSize)
            output.Png("icons", "gfx/icon", icon);
        else
            output.Preview("icons", "icon " + dimensions, icon);
        if (folder.empty())
            continue;
        const std::filesystem::path apps = std::filesystem::path(folder) / dimensions / "apps";
        std::filesystem::create_directories(apps);
        icon.WritePng((apps / (id + ".png")).string());
    }
}

} // namespace Spindrel::Art
