#pragma once

#include <SDL2/SDL.h>

// Attaches a pad with every standard axis and button on SDL's virtual
// joystick driver; the device index, or -1 (SDL_GetError says why).
inline int AttachVirtualGamepad()
{
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    return SDL_JoystickAttachVirtualEx(&desc);
}
