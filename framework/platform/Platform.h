#pragma once

#include "framework/platform/PlatformEvent.h"
#include "framework/platform/Point.h"
#include "framework/platform/Rect.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Quillo
{

enum class MessageBoxKind
{
    Ok,     // one button, answer 1
    YesNo,  // answers 6 (yes) or 7 (no)
    Error,  // one button with an error icon, answer 1
};

// Cursor shapes the window system draws.
enum class SystemCursor
{
    Arrow,
    Hand,       // the built-in pointing hand (hot spot 11, 4)
    Dragging,   // the built-in closed hand (hot spot 15, 10)
    TextBeam,
    NotAllowed,
    None,
};

struct WindowSpec
{
    std::string title;
    int clientWidth = 800;
    int clientHeight = 600;
    bool fullScreen = false;
    // The client area's top-left on the desktop; in full screen, a point on
    // the display to cover.
    int x = 0;
    int y = 0;
    // The client area's size in window units (windowed only): the picture is
    // scaled into it. 0 takes the picture's size.
    int windowWidth = 0;
    int windowHeight = 0;
};

struct WindowBorders
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const WindowBorders&) const = default;
};

// What the system says about its screen saver.
struct ScreenSaverInfo
{
    bool enabled = false;   // false also where the system does not say
    int timeoutSeconds = 0; // idle time before it starts
    bool running = false;
    double idleMs = -1.0;   // since the last input anywhere on the desktop; -1 unknown
};

// Everything the framework needs from the window system, the clock and the
// process environment. The application talks only to this interface; the
// SDL realisation is SdlPlatform and tests supply their own.
class Platform
{
public:
    virtual ~Platform() = default;

    // Monotonic milliseconds; the tick count is its low 32 bits.
    virtual double NowMs() = 0;
    uint32_t TickCount() { return static_cast<uint32_t>(static_cast<uint64_t>(NowMs())); }
    virtual void SleepMs(int ms) = 0;
    // Sleeps until an event is waiting or ms have passed.
    virtual void WaitForEvent(int ms) { SleepMs(ms); }

    // The window. There is at most one; creating it again replaces it.
    [[nodiscard]] virtual bool CreateWindow(const WindowSpec& desired) = 0;
    virtual void DestroyWindow() = 0;
    virtual bool HasWindow() const = 0;
    virtual Rect WorkArea() = 0;
    // The work area of the display that holds the point, or of the primary
    // display when none does (a display since taken away).
    virtual Rect WorkAreaAt(int x, int y) = 0;
    virtual WindowBorders Borders() = 0;
    virtual void SetWindowPosition(int x, int y) = 0;
    // The client area's size in window units.
    virtual void SetWindowSize(int width, int height) = 0;
    virtual Point WindowPosition() = 0;
    virtual void ShowWindow() = 0;
    virtual void HideWindow() = 0;
    virtual void RestoreWindow() = 0;
    virtual void RaiseWindow() = 0;
    virtual bool IsWindowMinimized() = 0;
    virtual std::string LastError() = 0;
    // The picture the desktop shows for the window (task bar, switcher):
    // straight-alpha ARGB, top row first. Ignored where there is none.
    virtual void SetWindowIcon(const uint32_t* argb, int width, int height)
    {
        (void)argb, (void)width, (void)height;
    }

    // Input and window events, oldest first. Returns false when none is waiting.
    virtual bool PollEvent(PlatformEvent& event) = 0;
    // Drops pending presses, characters, moves and wheel turns (after a
    // message box has run its own loop). Releases stay, so that no button
    // or key is left held down.
    virtual void FlushInput() = 0;

    virtual void CaptureMouse(bool on) = 0;
    // The cursor in client pixels; false when it is not over the picture.
    virtual bool CursorInClient(Point& out) = 0;
    virtual void SetSystemCursor(SystemCursor cursor) = 0;
    // Shows an ARGB image as the mouse cursor; nullptr goes back to the
    // system cursor set by SetSystemCursor.
    virtual void SetImageCursor(const uint32_t* argb, int width, int height, int hotX, int hotY) = 0;

    // A modal box on the main window. It never blocks a run without a
    // display: then the text goes to the error stream and the default
    // answer (1, or 6 for yes/no) comes back.
    virtual int ShowMessageBox(const std::string& text, const std::string& title,
                               MessageBoxKind kind) = 0;

    virtual bool OpenUrl(const std::string& url) = 0;
    virtual std::string ClipboardText() = 0;
    virtual void SetClipboardText(const std::string& utf8) = 0;

    // Presenting: a 32-bit ARGB picture of the client size goes to the window
    // (scaled to the window's size, proportions kept, with bars). Returns 0
    // on success or a display result code (2 renderer, 3 texture, 5
    // full-screen switch).
    virtual int InitPresenter(bool fullScreen, bool vsync) = 0;
    // Lets the presenter learn whether the accelerated renderer is worth
    // making from a short-lived child of this program (whose main answers
    // the renderer probe), keeping the answer in cacheFolder ("": nowhere).
    virtual void EnableRendererProbe(const std::string& cacheFolder) { (void)cacheFolder; }
    virtual bool Present(const uint32_t* argb, int pitchPixels, int width, int height,
                         const Rect& dirty) = 0;
    // The same, knowing that only the areas (which may overlap) can differ
    // from the picture presented before. By default the rectangle holding them.
    virtual bool PresentAreas(const uint32_t* argb, int pitchPixels, int width, int height,
                              const std::vector<Rect>& areas)
    {
        Rect all;
        for (const Rect& r : areas)
            all = all.Union(r);
        return Present(argb, pitchPixels, width, height, all);
    }
    // Memory the presenter shows a width x height frame from as it stands
    // (rows of width pixels), for the frame to be drawn into straight,
    // which saves comparing and copying its changes; null where there is
    // none. It lasts until the presenter is made again or the window goes,
    // and until the window's size changes; lost is called before it goes.
    virtual uint32_t* FrameMemory(int width, int height)
    {
        (void)width;
        (void)height;
        return nullptr;
    }
    virtual void SetFrameMemoryLost(std::function<void()> lost) { (void)lost; }
    virtual int RefreshRate() = 0;
    // False when presents return at once instead of waiting for the
    // display's refresh (a presenter without vsync).
    virtual bool PresentsWaitForRefresh() { return true; }

    // Only one copy of a product runs at a time. Acquire fails when another
    // holds the name; SignalRunningInstance asks that copy to come to the front.
    virtual bool AcquireSingleInstance(const std::string& name) = 0;
    virtual void SignalRunningInstance(const std::string& name) = 0;

    // Whether the system may start its screen saver or blank the screen
    // while the program runs.
    virtual void AllowScreenSaver(bool allow) { (void)allow; }
    virtual ScreenSaverInfo ScreenSaver() { return {}; }

    // The multimedia timer resolution: a no-op where sleeps are accurate.
    virtual void SetTimerResolution(bool fine) { (void)fine; }
};

} // namespace Quillo
