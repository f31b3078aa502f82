// The child's side of the renderer probe, and what a renderer is.
#include "framework/platform/RendererProbe.h"

#include <SDL2/SDL.h>
#include <cstdlib>
#include <unistd.h>

namespace Quillo
{

namespace
{

constexpr unsigned kGlRenderer = 0x1F01; // GL_RENDERER

// The OpenGL renderer string of the context SDL's renderer made current.
std::string GlRendererName()
{
    if (!SDL_GL_GetCurrentContext())
        return {};
    using GetString = const unsigned char* (*)(unsigned);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* name = getString ? getString(kGlRenderer) : nullptr;
    return name ? reinterpret_cast<const char*>(name) : std::string();
}

} // namespace

RendererReport RendererProbe::Describe(SDL_Renderer* renderer)
{
    RendererReport report;
    SDL_RendererInfo info{};
    if (!renderer || SDL_GetRendererInfo(renderer, &info) != 0)
        return report;
    report.made = true;
    report.name = info.name && *info.name ? info.name : "unnamed";
    if (report.name.rfind("opengl", 0) == 0)
        report.drawer = GlRendererName();
    report.software =
        report.name == "software" || RendererReport::IsSoftwareRasteriser(report.drawer);
    report.vsync = (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
    return report;
}

void RendererProbe::Answer()
{
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        std::_Exit(1);
    SDL_Window* window = SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 16,
                                          16, SDL_WINDOW_HIDDEN);
    if (!window)
        std::_Exit(1);
    const RendererReport report = Describe(
        SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC));
    const std::string line = report.ToLine() + "\n";
    for (size_t sent = 0; sent < line.size();)
    {
        const ssize_t n = ::write(1, line.data() + sent, line.size() - sent);
        if (n <= 0)
            std::_Exit(1);
        sent += size_t(n);
    }
    // Without taking the driver down: the parent waits for the end, and a
    // driver that hangs on the way out would make it wait for nothing.
    std::_Exit(0);
}

} // namespace Quillo
