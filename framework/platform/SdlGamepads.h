#pragma once

#include "framework/platform/GamepadKeys.h"
#include "framework/platform/PlatformEvent.h"

#include <cstdint>
#include <deque>
#include <map>

struct _SDL_GameController;
union SDL_Event;

namespace Quillo
{

// The pads SDL knows by its mapping database (and SDL_GAMECONTROLLERCONFIG),
// opened as they arrive and closed as they go, their controls turned into
// key presses. Without SDL's controller subsystem there are simply no pads.
class SdlGamepads
{
public:
    SdlGamepads();
    ~SdlGamepads();
    SdlGamepads(const SdlGamepads&) = delete;
    SdlGamepads& operator=(const SdlGamepads&) = delete;

    // Translates a controller event into platform events; false for any
    // other event.
    bool Translate(const SDL_Event& e, double nowMs, std::deque<PlatformEvent>& out);
    void Repeat(double nowMs, std::deque<PlatformEvent>& out) { m_keys.Repeat(nowMs, out); }
    double MsToNextRepeat(double nowMs) const { return m_keys.MsToNextRepeat(nowMs); }
    int Count() const { return static_cast<int>(m_pads.size()); }

private:
    void Open(int deviceIndex, std::deque<PlatformEvent>& out);
    void Close(int32_t instance, std::deque<PlatformEvent>& out);

    bool m_started = false;
    std::map<int32_t, _SDL_GameController*> m_pads; // by joystick instance id
    GamepadKeys m_keys;
};

} // namespace Quillo
