#pragma once

#include "framework/app/DemoCommand.h"

#include <cstdint>
#include <vector>

namespace Quillo
{

// One decoded record. Which fields carry data depends on the command:
// MouseMove x, y; MouseDelta x, y (the move); MouseButton flag (down),
// value (click code); Activate and Minimize flag; KeyDown, KeyUp, KeyChar,
// KeyCharWide and Wheel value; Display flag (windowed), value (refresh rate);
// SettingsRead flag (ok), type, bytes; SettingsWrite and FileExists flag;
// FileRead flag, bytes; Sync bytes.
struct DemoRecord
{
    uint32_t update = 0;
    DemoCommand command = DemoCommand::Filler;
    int32_t x = 0;
    int32_t y = 0;
    int32_t value = 0;
    bool flag = false;
    uint32_t type = 0;
    std::vector<uint8_t> bytes;
};

} // namespace Quillo
