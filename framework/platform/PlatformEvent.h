#pragma once

#include <cstdint>

namespace Quillo
{

// One input or window event, already translated from the window system:
// keys carry virtual key codes, mouse positions are in client pixels of the
// 800x600 picture (mapped back through the window's scaling), and mouse
// buttons carry the framework's click codes.
enum class EventType
{
    WindowMoved,     // x, y: new position of the window's client area on the desktop
    Minimized,
    Restored,
    FocusGained,
    FocusLost,
    Exposed,         // the window needs repainting
    Close,           // the user or the system asks the program to end
    KeyDown,         // code: virtual key; alt: Alt held; repeat: the key's auto-repeat
    KeyUp,           // code: virtual key
    Char,            // code: Unicode code point of a typed character (control keys 1..31)
    MouseMove,       // x, y; inside: false when over the bars or outside the window
    MouseDown,       // x, y, code: 1 left, 2 left double, -1 right, -2 right double, 3 middle
    MouseUp,         // x, y, code: 1 left, -1 right, 3 middle
    MouseWheel,      // code: notches, positive away from the user
    NotifyInstance,  // a second copy of the program was started
    PadAdded,        // code: pads connected now; a pad's controls arrive as KeyDown/KeyUp/Char
    PadRemoved,      // code: pads connected now; keys the pad held have been released
    WindowResized,   // x, y: new size of the ordinary window's client area (not maximised)
};

struct PlatformEvent
{
    EventType type = EventType::Exposed;
    int32_t x = 0;
    int32_t y = 0;
    int32_t code = 0;
    bool alt = false;
    bool inside = true;
    bool repeat = false;
};

} // namespace Quillo
