#pragma once

namespace Spindrel
{

// What the simulated person plays with: the mouse clicks any ball; the
// keyboard opens only the marked ball, and moving the marker takes key
// presses.
enum class InputDevice
{
    Mouse,
    Keyboard,
};

} // namespace Spindrel
