// How the desktop knows the window: its class, matched with the launcher,
// and its icon.
#include "framework/platform/SdlPlatform.h"

#include <SDL2/SDL.h>
#include <cstdlib>

namespace Quillo
{

void SdlPlatform::SetDesktopId(const std::string& id)
{
    // SDL reads both from the environment (not as hints) when its video
    // subsystem starts; a value the user set stays.
    ::setenv("SDL_VIDEO_X11_WMCLASS", id.c_str(), 0);
    ::setenv("SDL_VIDEO_WAYLAND_WMCLASS", id.c_str(), 0);
}

void SdlPlatform::SetWindowIcon(const uint32_t* argb, int width, int height)
{
    if (!m_window || !argb || width <= 0 || height <= 0)
        return;
    // SDL copies the pixels; the surface only borrows them for the call.
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(argb), width, height, 32, width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!icon)
        return;
    SDL_SetWindowIcon(m_window, icon);
    SDL_FreeSurface(icon);
}

} // namespace Quillo
