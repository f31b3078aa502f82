#include "framework/platform/SdlAudioDevice.h"

#include "framework/platform/PosixCrashHandler.h"

#include <SDL.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <pthread.h>

namespace Quillo
{

namespace
{

// How often the watcher looks at a working device, and how often it tries
// to open one while there is none.
constexpr auto kWatchPeriod = std::chrono::milliseconds(250);
constexpr auto kRetryPeriod = std::chrono::seconds(1);

std::string SdlVersion()
{
    SDL_version v;
    SDL_GetVersion(&v);
    return std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.patch);
}

// The start-up line on standard error and the crash report's sound line.
void Announce(const std::string& text)
{
    std::fprintf(stderr, "Sound: %s\n", text.c_str());
    PosixCrashHandler::SetSoundVersion((SdlVersion() + ", " + text).c_str());
}

std::string DefaultDeviceName()
{
    char* name = nullptr;
    SDL_AudioSpec format{};
    if (SDL_GetDefaultAudioInfo(&name, &format, 0) != 0 || !name)
        return "default";
    std::string result = name;
    SDL_free(name);
    return result;
}

} // namespace

std::unique_ptr<SdlAudioDevice> SdlAudioDevice::Open(RenderCallback callback, void* context,
                                                     std::string* error)
{
    // SDL asks a PulseAudio server to queue about one buffer, so the queue
    // runs dry whenever the audio thread is a little late, and the server
    // then waits for a full queue before it plays on. The client library
    // takes a deeper queue from the environment; a player's own choice wins.
    setenv("PULSE_LATENCY_MSEC", std::to_string(kServerQueueMs).c_str(), 0);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
    {
        const std::string reason = SDL_GetError();
        Announce("none, no audio driver works (" + reason + ")");
        if (error)
            *error = reason;
        return nullptr;
    }
    // The object must exist before the device starts calling back into it,
    // so it is made first and handed to SDL as the callback's user data.
    std::unique_ptr<SdlAudioDevice> device(new SdlAudioDevice(callback, context));
    void* stack = nullptr;
    std::string reason;
    const uint32_t id = device->OpenPaused(stack, reason);
    if (id == 0)
    {
        Announce("none, driver " + device->DriverName() + " opens no device (" + reason + ")");
        if (error)
            *error = reason;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    device->m_id = id;
    device->m_signalStack = stack;
    device->m_description = device->DriverName() + ", device \"" + DefaultDeviceName() + "\"";
    Announce(device->m_description);
    SDL_PauseAudioDevice(id, 0);
    device->m_watcher = std::thread([d = device.get()] { d->Watch(); });
    return device;
}

SdlAudioDevice::SdlAudioDevice(RenderCallback callback, void* context) : m_callback(callback), m_context(context)
{
}

SdlAudioDevice::~SdlAudioDevice()
{
    if (!m_watcher.joinable())
        return;
    {
        std::lock_guard<std::mutex> guard(m_watchMutex);
        m_stopWatching = true;
    }
    m_wake.notify_one();
    m_watcher.join();
    // Closing waits for a running callback to return and ends the device's
    // thread, so the renderer may be destroyed and the stack freed afterwards.
    if (m_id != 0)
        SDL_CloseAudioDevice(m_id);
    PosixCrashHandler::FreeSignalStack(m_signalStack.load());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

uint32_t SdlAudioDevice::OpenPaused(void*& signalStack, std::string& error)
{
    SDL_AudioSpec want{};
    want.freq = kSampleRate;
    want.format = AUDIO_S16SYS;
    want.channels = kChannels;
    want.samples = kBufferFrames;
    want.callback = [](void* self, Uint8* stream, int length) { Fill(self, stream, length); };
    want.userdata = this;
    SDL_AudioSpec have{};
    // A new device starts paused: its thread does not call back until it
    // is started, so it never runs beside the one it replaces.
    const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (id == 0)
    {
        error = SDL_GetError();
        return 0;
    }
    signalStack = PosixCrashHandler::MakeSignalStack();
    return id;
}

void SdlAudioDevice::Lock()
{
    m_deviceMutex.lock();
    if (m_id != 0)
        SDL_LockAudioDevice(m_id);
}

void SdlAudioDevice::Unlock()
{
    if (m_id != 0)
        SDL_UnlockAudioDevice(m_id);
    m_deviceMutex.unlock();
}

std::string SdlAudioDevice::DriverName() const
{
    const char* name = SDL_GetCurrentAudioDriver();
    return name ? name : "";
}

void SdlAudioDevice::Watch()
{
    PosixCrashHandler::PrepareThread();
    std::unique_lock<std::mutex> lock(m_watchMutex);
    while (!m_stopWatching)
    {
        // A suspended device has nothing to watch: sleep until it resumes.
        if (m_suspended)
        {
            m_wake.wait(lock, [this] { return m_stopWatching || !m_suspended; });
            continue;
        }
        if (m_wake.wait_for(lock, m_lost ? kRetryPeriod : kWatchPeriod,
                            [this] { return m_stopWatching || m_suspended; }))
            continue;
        HandOverStackLow();
        // Only this thread and a resumption change m_id once the device is
        // open, both under the watch lock.
        if (m_lost || SDL_GetAudioDeviceStatus(m_id) == SDL_AUDIO_STOPPED)
        {
            if (!m_lost)
                Announce("the device was lost (" + m_description + "), opening the default device again");
            m_lost = !Reopen();
        }
    }
}

void SdlAudioDevice::Suspend(bool suspended)
{
    std::lock_guard<std::mutex> watch(m_watchMutex);
    if (suspended == m_suspended)
        return;
    m_suspended = suspended;
    if (suspended)
    {
        void* oldStack = nullptr;
        {
            std::lock_guard<std::recursive_mutex> guard(m_deviceMutex);
            // Waits for a running callback to return and ends the thread.
            SDL_CloseAudioDevice(m_id);
            oldStack = m_signalStack.exchange(nullptr);
            m_audioThread = 0;
            m_stackLow = 0;
            m_id = 0;
        }
        PosixCrashHandler::FreeSignalStack(oldStack);
    }
    else
    {
        m_lost = !Reopen(true);
        if (m_lost)
            Announce("the device could not be opened again (" + m_description + "), trying once a second");
    }
    m_wake.notify_one();
}

bool SdlAudioDevice::Reopen(bool quietIfSame)
{
    void* stack = nullptr;
    std::string error;
    const uint32_t id = OpenPaused(stack, error);
    if (id == 0)
        return false;
    void* oldStack = nullptr;
    {
        std::lock_guard<std::recursive_mutex> guard(m_deviceMutex);
        // The lost device has called back until now; closing it waits for
        // its thread to end. A suspended device is closed already.
        if (m_id != 0)
            SDL_CloseAudioDevice(m_id);
        oldStack = m_signalStack.exchange(stack);
        m_audioThread = 0;
        m_stackLow = 0;
        m_id = id;
    }
    const std::string description = DriverName() + ", device \"" + DefaultDeviceName() + "\"";
    PosixCrashHandler::FreeSignalStack(oldStack);
    // A resumed device that is the one it was goes unannounced.
    if (!quietIfSame || description != m_description)
        Announce(description);
    m_description = description;
    SDL_PauseAudioDevice(id, 0);
    return true;
}

void SdlAudioDevice::HandOverStackLow()
{
    const uint64_t thread = m_audioThread.load();
    if (thread != 0 && m_stackLow.load() == 0)
        m_stackLow = PosixCrashHandler::StackLowOf(thread);
}

void SdlAudioDevice::Fill(void* self, uint8_t* stream, int length)
{
    auto* device = static_cast<SdlAudioDevice*>(self);
    // The device's thread installs the signal stack made for it when the
    // device opened: nothing is allocated or mapped here.
    thread_local bool threadPrepared = false;
    thread_local bool stackLowKnown = false;
    if (!threadPrepared)
    {
        PosixCrashHandler::UseSignalStack(device->m_signalStack.load());
        device->m_audioThread = static_cast<uint64_t>(::pthread_self());
        threadPrepared = true;
    }
    if (!stackLowKnown)
    {
        if (const uintptr_t low = device->m_stackLow.load())
        {
            PosixCrashHandler::SetThreadStackLow(low);
            stackLowKnown = true;
        }
    }
    const int frames = length / static_cast<int>(kChannels * sizeof(int16_t));
    if (PosixCrashHandler::CrashMuted() || !device->m_callback)
    {
        std::memset(stream, 0, static_cast<size_t>(length));
        return;
    }
    device->m_callback(device->m_context, reinterpret_cast<int16_t*>(stream), frames);
}

} // namespace Quillo
