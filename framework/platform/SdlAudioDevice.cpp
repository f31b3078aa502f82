#include "framework/platform/SdlAudioDevice.h"

#include "framework/platform/PosixCrashHandler.h"

#include <SDL.h>
#include <cstring>

namespace Quillo
{

std::unique_ptr<SdlAudioDevice> SdlAudioDevice::Open(RenderCallback callback, void* context,
                                                     std::string* error)
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
    {
        if (error)
            *error = SDL_GetError();
        return nullptr;
    }
    // The object must exist before the device starts calling back into it,
    // so it is made first and handed to SDL as the callback's user data.
    std::unique_ptr<SdlAudioDevice> device(new SdlAudioDevice(0, callback, context));

    SDL_AudioSpec want{};
    want.freq = kSampleRate;
    want.format = AUDIO_S16SYS;
    want.channels = kChannels;
    want.samples = kBufferFrames;
    want.callback = [](void* self, Uint8* stream, int length) { Fill(self, stream, length); };
    want.userdata = device.get();
    SDL_AudioSpec have{};
    const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (id == 0)
    {
        if (error)
            *error = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    device->m_id = id;
    SDL_PauseAudioDevice(id, 0);
    return device;
}

SdlAudioDevice::SdlAudioDevice(uint32_t id, RenderCallback callback, void* context)
    : m_id(id), m_callback(callback), m_context(context)
{
}

SdlAudioDevice::~SdlAudioDevice()
{
    if (m_id == 0)
        return;
    // Closing waits for a running callback to return, so the renderer may be
    // destroyed safely afterwards.
    SDL_CloseAudioDevice(m_id);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudioDevice::Lock()
{
    SDL_LockAudioDevice(m_id);
}

void SdlAudioDevice::Unlock()
{
    SDL_UnlockAudioDevice(m_id);
}

std::string SdlAudioDevice::DriverName() const
{
    const char* name = SDL_GetCurrentAudioDriver();
    return name ? name : "";
}

void SdlAudioDevice::Fill(void* self, uint8_t* stream, int length)
{
    // SDL's audio thread needs a signal stack of its own for a crash report.
    thread_local bool threadPrepared = false;
    if (!threadPrepared)
    {
        PosixCrashHandler::PrepareThread();
        threadPrepared = true;
    }
    auto* device = static_cast<SdlAudioDevice*>(self);
    const int frames = length / static_cast<int>(kChannels * sizeof(int16_t));
    if (PosixCrashHandler::CrashMuted() || !device->m_callback)
    {
        std::memset(stream, 0, static_cast<size_t>(length));
        return;
    }
    device->m_callback(device->m_context, reinterpret_cast<int16_t*>(stream), frames);
}

} // namespace Quillo
