#pragma once

#include <optional>
#include <string>

namespace Quillo
{

// What making the accelerated renderer gave on this machine: who draws for
// it and whether its presents wait for the display's refresh.
struct RendererReport
{
    bool made = false;     // false: no accelerated renderer could be made
    std::string name;      // the renderer's own name ("opengl")
    std::string drawer;    // OpenGL's renderer string, when it is OpenGL
    bool software = false; // it rasterises on the processor
    bool vsync = false;    // presents wait for the display's refresh

    // Worth drawing with: made, and not rasterised on the processor, which
    // costs many times the whole game for every frame.
    bool Worthwhile() const { return made && !software; }

    // One line of text (no line break), tab-separated, and back: nothing
    // for a line that is not one.
    std::string ToLine() const;
    static std::optional<RendererReport> FromLine(const std::string& line);

    // Whether an OpenGL renderer string names a software rasteriser.
    static bool IsSoftwareRasteriser(const std::string& drawer);
};

} // namespace Quillo
