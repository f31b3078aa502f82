#pragma once

#include "framework/platform/Platform.h"

struct SDL_Window;

namespace Quillo
{

// The X server's screen saver: its timeout, whether it runs, and how long
// the desktop has had no input. The libraries are loaded when first asked
// for, so that the program needs neither where it runs without X.
class X11ScreenSaver
{
public:
    // What the X server of the window says; nothing (not enabled) for a
    // window of another window system.
    static ScreenSaverInfo Query(SDL_Window* window);
};

} // namespace Quillo
