#pragma once

#include <cstdint>

namespace Quillo
{

// Record commands of a demo file. The long-form numbers are stored in the
// file; the two short forms have their own 1-bit codes there and get
// numbers above the long range here.
enum class DemoCommand : uint8_t
{
    MouseMove = 0,
    Activate = 1,
    Minimize = 2,
    KeyDown = 3,
    KeyUp = 4,
    KeyChar = 5,
    Close = 6,
    MouseEnter = 7,
    MouseLeave = 8,
    LoadingDone = 9,
    SettingsRead = 11,
    SettingsWrite = 12,
    FileExists = 14,
    FileRead = 15,
    Sync = 18,
    Wheel = 21,
    Display = 23,
    // A typed character beyond 255 (21 bits); older files never hold one.
    KeyCharWide = 24,
    Filler = 31,
    MouseDelta = 32,
    MouseButton = 33,
};

// Results of calls made to the outside world; played back by the call
// itself instead of being applied as input.
constexpr bool IsDemoResult(DemoCommand c)
{
    return c == DemoCommand::SettingsRead || c == DemoCommand::SettingsWrite || c == DemoCommand::FileExists ||
           c == DemoCommand::FileRead || c == DemoCommand::Sync;
}

} // namespace Quillo
