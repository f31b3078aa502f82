#include "framework/platform/SdlGamepads.h"

#include <SDL2/SDL.h>
#include <optional>

namespace Quillo
{

namespace
{

std::optional<PadControl> ControlOf(uint8_t button)
{
    switch (button)
    {
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return PadControl::DpadUp;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return PadControl::DpadDown;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return PadControl::DpadLeft;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return PadControl::DpadRight;
    case SDL_CONTROLLER_BUTTON_A: return PadControl::A;
    case SDL_CONTROLLER_BUTTON_B: return PadControl::B;
    case SDL_CONTROLLER_BUTTON_START: return PadControl::Start;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: return PadControl::LeftShoulder;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: return PadControl::RightShoulder;
    default: return std::nullopt;
    }
}

} // namespace

SdlGamepads::SdlGamepads()
{
    // Pads already plugged in arrive as device events once the subsystem
    // runs, as later ones do.
    m_started = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
}

SdlGamepads::~SdlGamepads()
{
    for (auto& [instance, pad] : m_pads)
        SDL_GameControllerClose(pad);
    if (m_started)
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool SdlGamepads::Translate(const SDL_Event& e, double nowMs, std::deque<PlatformEvent>& out)
{
    switch (e.type)
    {
    case SDL_CONTROLLERDEVICEADDED:
        Open(e.cdevice.which, out);
        return true;
    case SDL_CONTROLLERDEVICEREMOVED:
        Close(e.cdevice.which, out);
        return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        // Only the pads opened here: a controller another part of the
        // process opened is none of the game's business.
        if (m_pads.count(e.cbutton.which) == 0)
            return true;
        if (const auto control = ControlOf(e.cbutton.button))
        {
            if (e.type == SDL_CONTROLLERBUTTONDOWN)
                m_keys.Press(e.cbutton.which, *control, nowMs, out);
            else
                m_keys.Release(e.cbutton.which, *control, out);
        }
        return true;
    case SDL_CONTROLLERAXISMOTION:
        if (m_pads.count(e.caxis.which) == 0)
            return true;
        if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX || e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY)
            m_keys.StickAxis(e.caxis.which, e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY, e.caxis.value,
                             nowMs, out);
        return true;
    default:
        return false;
    }
}

void SdlGamepads::Open(int deviceIndex, std::deque<PlatformEvent>& out)
{
    const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    if (instance < 0 || m_pads.count(instance) != 0)
        return;
    SDL_GameController* pad = SDL_GameControllerOpen(deviceIndex);
    if (!pad)
        return;
    m_pads[instance] = pad;
    PlatformEvent added;
    added.type = EventType::PadAdded;
    added.code = Count();
    out.push_back(added);
}

void SdlGamepads::Close(int32_t instance, std::deque<PlatformEvent>& out)
{
    auto pos = m_pads.find(instance);
    if (pos == m_pads.end())
        return;
    m_keys.ReleasePad(instance, out);
    SDL_GameControllerClose(pos->second);
    m_pads.erase(pos);
    PlatformEvent removed;
    removed.type = EventType::PadRemoved;
    removed.code = Count();
    out.push_back(removed);
}

} // namespace Quillo
