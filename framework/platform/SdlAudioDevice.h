#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace Quillo
{

// The one sound output of the process: SDL's default playback device at
// 44100 Hz, 16-bit signed stereo. SDL converts if the hardware wants
// another format, so the render callback always fills that format.
//
// The callback runs on SDL's audio thread while SDL holds the device lock;
// commands from the main thread that touch what the callback reads must
// run between Lock and Unlock, and must keep that span short. Once the
// crash handler has started on a fault the device plays only silence, so
// a dying process does not leave a buffer buzzing.
class SdlAudioDevice
{
public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kChannels = 2;
    static constexpr int kBufferFrames = 1024;

    // Fills `frames` interleaved stereo frames. Must not block, allocate or
    // touch files: it runs on the audio thread.
    using RenderCallback = void (*)(void* context, int16_t* out, int frames);

    // Opens and starts the device. Returns nothing when there is no sound
    // system (no card, a headless run) and puts SDL's reason into `error`.
    static std::unique_ptr<SdlAudioDevice> Open(RenderCallback callback, void* context,
                                                std::string* error = nullptr);

    ~SdlAudioDevice();
    SdlAudioDevice(const SdlAudioDevice&) = delete;
    SdlAudioDevice& operator=(const SdlAudioDevice&) = delete;

    void Lock();
    void Unlock();

    // The name of the audio driver in use ("pulseaudio", "alsa", "dummy").
    std::string DriverName() const;

private:
    SdlAudioDevice(uint32_t id, RenderCallback callback, void* context);
    static void Fill(void* self, uint8_t* stream, int length);

    uint32_t m_id;
    RenderCallback m_callback;
    void* m_context;
};

} // namespace Quillo
