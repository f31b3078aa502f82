#pragma once

#include "framework/platform/PlatformEvent.h"

#include <cstdint>
#include <deque>
#include <map>

namespace Quillo
{

// The controls of a pad that the game answers, in the standard layout.
enum class PadControl
{
    DpadUp,
    DpadDown,
    DpadLeft,
    DpadRight,
    StickUp, // the left stick past its threshold
    StickDown,
    StickLeft,
    StickRight,
    A,
    B,
    Start,
    LeftShoulder,
    RightShoulder,
    Count,
};

// Turns pad controls into the key presses a keyboard gives, so that
// everything above the platform answers a pad for free: the D-pad and the
// left stick are the arrow keys, A is Enter, B and Start are Escape, the
// shoulders are Page Up and Page Down. Held movement keys repeat as a
// keyboard's do; A, B and Start press once, so that a held button does not
// run through a row of dialogs. A key held by several controls (the D-pad
// and the stick, two pads) goes down with the first and up with the last.
class GamepadKeys
{
public:
    static constexpr double kRepeatDelayMs = 500.0;
    static constexpr double kRepeatIntervalMs = 40.0;
    // The stick counts as pushed beyond half way, and as let go again
    // below a quarter, so that a stick resting near the line does not
    // chatter.
    static constexpr int kStickPress = 16384;
    static constexpr int kStickRelease = 8192;

    // The virtual key a control gives.
    static int KeyOf(PadControl control);

    void Press(int32_t pad, PadControl control, double nowMs, std::deque<PlatformEvent>& out);
    void Release(int32_t pad, PadControl control, std::deque<PlatformEvent>& out);
    // The left stick's position on one axis (-32768..32767, negative left
    // or up): presses and releases the matching directions.
    void StickAxis(int32_t pad, bool vertical, int value, double nowMs, std::deque<PlatformEvent>& out);
    // Releases whatever a pad that went away held down.
    void ReleasePad(int32_t pad, std::deque<PlatformEvent>& out);
    // Appends the repeats that are due by nowMs: at most one per key, so
    // that a stalled frame does not send a burst.
    void Repeat(double nowMs, std::deque<PlatformEvent>& out);
    // Milliseconds until the next repeat is due (0 if one is due now), or
    // -1 when no key repeats.
    double MsToNextRepeat(double nowMs) const;

private:
    struct HeldKey
    {
        int holders = 0;
        double nextRepeatMs = 0.0;
    };

    static bool Repeats(int key);

    // Per pad, a bit for each control held.
    std::map<int32_t, uint32_t> m_held;
    std::map<int, HeldKey> m_keys;
};

} // namespace Quillo
