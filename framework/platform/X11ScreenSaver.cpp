#include "framework/platform/X11ScreenSaver.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#include <dlfcn.h>

namespace Quillo
{

namespace
{

struct Calls
{
    using GetScreenSaver = int (*)(Display*, int*, int*, int*, int*);
    using AllocInfo = XScreenSaverInfo* (*)();
    using QueryInfo = Status (*)(Display*, Drawable, XScreenSaverInfo*);
    using Free = int (*)(void*);

    GetScreenSaver getScreenSaver = nullptr;
    AllocInfo allocInfo = nullptr;
    QueryInfo queryInfo = nullptr;
    Free free = nullptr;

    Calls()
    {
        // Kept loaded for the rest of the run, as the window system is.
        void* x11 = dlopen("libX11.so.6", RTLD_LAZY);
        if (!x11)
            return;
        getScreenSaver = reinterpret_cast<GetScreenSaver>(dlsym(x11, "XGetScreenSaver"));
        free = reinterpret_cast<Free>(dlsym(x11, "XFree"));
        if (void* xss = dlopen("libXss.so.1", RTLD_LAZY))
        {
            allocInfo = reinterpret_cast<AllocInfo>(dlsym(xss, "XScreenSaverAllocInfo"));
            queryInfo = reinterpret_cast<QueryInfo>(dlsym(xss, "XScreenSaverQueryInfo"));
        }
    }
};

} // namespace

ScreenSaverInfo X11ScreenSaver::Query(SDL_Window* window)
{
    ScreenSaverInfo info;
    SDL_SysWMinfo wm;
    SDL_VERSION(&wm.version);
    if (!window || !SDL_GetWindowWMInfo(window, &wm) || wm.subsystem != SDL_SYSWM_X11)
        return info;
    static const Calls calls;
    Display* d = wm.info.x11.display;
    if (!d || !calls.getScreenSaver)
        return info;
    int timeout = 0, interval = 0, blanking = 0, exposures = 0;
    calls.getScreenSaver(d, &timeout, &interval, &blanking, &exposures);
    info.enabled = timeout > 0;
    info.timeoutSeconds = timeout;
    if (calls.allocInfo && calls.queryInfo && calls.free)
    {
        if (XScreenSaverInfo* x = calls.allocInfo())
        {
            if (calls.queryInfo(d, DefaultRootWindow(d), x))
            {
                info.running = x->state == ScreenSaverOn;
                info.idleMs = static_cast<double>(x->idle);
            }
            calls.free(x);
        }
    }
    return info;
}

} // namespace Quillo
