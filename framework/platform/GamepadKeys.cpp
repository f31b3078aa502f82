#include "framework/platform/GamepadKeys.h"

#include <algorithm>

namespace Quillo
{

namespace
{

constexpr int kKeyEnter = 13;
constexpr int kKeyEscape = 27;
constexpr int kKeyPageUp = 33;
constexpr int kKeyPageDown = 34;
constexpr int kKeyLeft = 37;
constexpr int kKeyUp = 38;
constexpr int kKeyRight = 39;
constexpr int kKeyDown = 40;

uint32_t Bit(PadControl control)
{
    return 1u << static_cast<int>(control);
}

PlatformEvent KeyEvent(EventType type, int key, bool repeat = false)
{
    PlatformEvent e;
    e.type = type;
    e.code = key;
    e.repeat = repeat;
    return e;
}

} // namespace

int GamepadKeys::KeyOf(PadControl control)
{
    switch (control)
    {
    case PadControl::DpadUp:
    case PadControl::StickUp: return kKeyUp;
    case PadControl::DpadDown:
    case PadControl::StickDown: return kKeyDown;
    case PadControl::DpadLeft:
    case PadControl::StickLeft: return kKeyLeft;
    case PadControl::DpadRight:
    case PadControl::StickRight: return kKeyRight;
    case PadControl::A: return kKeyEnter;
    case PadControl::B:
    case PadControl::Start: return kKeyEscape;
    case PadControl::LeftShoulder: return kKeyPageUp;
    case PadControl::RightShoulder: return kKeyPageDown;
    case PadControl::Count: break;
    }
    return 0;
}

bool GamepadKeys::Repeats(int key)
{
    return key != kKeyEnter && key != kKeyEscape;
}

void GamepadKeys::Press(int32_t pad, PadControl control, double nowMs, std::deque<PlatformEvent>& out)
{
    uint32_t& held = m_held[pad];
    if (held & Bit(control))
        return;
    held |= Bit(control);
    const int key = KeyOf(control);
    HeldKey& k = m_keys[key];
    if (k.holders++ > 0)
        return;
    k.nextRepeatMs = nowMs + kRepeatDelayMs;
    out.push_back(KeyEvent(EventType::KeyDown, key));
    // A keyboard's Enter and Escape also arrive as characters, which the
    // edit fields take.
    if (key == kKeyEnter || key == kKeyEscape)
        out.push_back(KeyEvent(EventType::Char, key));
}

void GamepadKeys::Release(int32_t pad, PadControl control, std::deque<PlatformEvent>& out)
{
    auto pos = m_held.find(pad);
    if (pos == m_held.end() || !(pos->second & Bit(control)))
        return;
    pos->second &= ~Bit(control);
    const int key = KeyOf(control);
    auto k = m_keys.find(key);
    if (k == m_keys.end() || --k->second.holders > 0)
        return;
    m_keys.erase(k);
    out.push_back(KeyEvent(EventType::KeyUp, key));
}

void GamepadKeys::StickAxis(int32_t pad, bool vertical, int value, double nowMs,
                            std::deque<PlatformEvent>& out)
{
    const PadControl low = vertical ? PadControl::StickUp : PadControl::StickLeft;
    const PadControl high = vertical ? PadControl::StickDown : PadControl::StickRight;
    const uint32_t held = m_held[pad];
    const bool lowHeld = (held & Bit(low)) != 0;
    const bool highHeld = (held & Bit(high)) != 0;
    const bool wantLow = value <= -kStickPress || (lowHeld && value < -kStickRelease);
    const bool wantHigh = value >= kStickPress || (highHeld && value > kStickRelease);
    // Releases first: a flick across goes up on one side before it goes
    // down on the other.
    if (lowHeld && !wantLow)
        Release(pad, low, out);
    if (highHeld && !wantHigh)
        Release(pad, high, out);
    if (wantLow && !lowHeld)
        Press(pad, low, nowMs, out);
    if (wantHigh && !highHeld)
        Press(pad, high, nowMs, out);
}

void GamepadKeys::ReleasePad(int32_t pad, std::deque<PlatformEvent>& out)
{
    auto pos = m_held.find(pad);
    if (pos == m_held.end())
        return;
    for (int c = 0; c < static_cast<int>(PadControl::Count); ++c)
        Release(pad, static_cast<PadControl>(c), out);
    m_held.erase(pad);
}

void GamepadKeys::Repeat(double nowMs, std::deque<PlatformEvent>& out)
{
    for (auto& [key, k] : m_keys)
    {
        if (!Repeats(key) || nowMs < k.nextRepeatMs)
            continue;
        out.push_back(KeyEvent(EventType::KeyDown, key, true));
        k.nextRepeatMs += kRepeatIntervalMs;
        if (k.nextRepeatMs <= nowMs)
            k.nextRepeatMs = nowMs + kRepeatIntervalMs;
    }
}

double GamepadKeys::MsToNextRepeat(double nowMs) const
{
    double next = -1.0;
    for (const auto& [key, k] : m_keys)
    {
        if (!Repeats(key))
            continue;
        const double wait = std::max(0.0, k.nextRepeatMs - nowMs);
        next = next < 0.0 ? wait : std::min(next, wait);
    }
    return next;
}

} // namespace Quillo
