#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

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
//
// A device can go away while the game runs (the sound server restarts,
// the sink is removed). A watcher thread notices, keeps the lost device
// calling back meanwhile (SDL goes on pulling from a lost device at its
// own pace, so music and effects keep their time), opens the default
// device again about once a second until that works, and moves the
// callback over. Each change is one line on standard error and the crash
// report's sound line.
class SdlAudioDevice
{
public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kChannels = 2;
    // About 23 ms a buffer: a new sound starts at the next buffer.
    static constexpr int kBufferFrames = 1024;
    // What a sound server queues ahead of the device's buffers (where it
    // lets the client choose): deep enough that a busy machine never lets
    // it run dry, short enough that a click's sound is heard within about
    // 60 ms.
    static constexpr int kServerQueueMs = 60;

    // Fills `frames` interleaved stereo frames. Must not block, allocate or
    // touch files: it runs on the audio thread.
    using RenderCallback = void (*)(void* context, int16_t* out, int frames);

    // Opens and starts the device. Returns nothing when there is no sound
    // system (no card, a headless run) and puts the reason into `error`.
    // Either way one line on standard error says what sounds, or why
    // nothing does.
    static std::unique_ptr<SdlAudioDevice> Open(RenderCallback callback, void* context,
                                                std::string* error = nullptr);

    ~SdlAudioDevice();
    SdlAudioDevice(const SdlAudioDevice&) = delete;
    SdlAudioDevice& operator=(const SdlAudioDevice&) = delete;

    void Lock();
    void Unlock();

    // The name of the audio driver in use ("pulseaudio", "alsa", "dummy").
    std::string DriverName() const;

    // A suspended device is closed, so its thread no longer wakes for every
    // buffer: for a hidden game with nothing to hear. Sounds and music stand
    // still meanwhile and go on where they were once it resumes. Resuming
    // opens the default device again; when that fails the watcher keeps
    // trying, as for a lost device.
    void Suspend(bool suspended);

private:
    SdlAudioDevice(RenderCallback callback, void* context);
    static void Fill(void* self, uint8_t* stream, int length);
    // Opens the default device paused, with a signal stack made for its
    // thread. Returns 0 and the reason on failure.
    uint32_t OpenPaused(void*& signalStack, std::string& error);
    void Watch();
    bool Reopen(bool quietIfSame = false);
    void HandOverStackLow();

    RenderCallback m_callback;
    void* m_context;

    // Held from Lock to Unlock, so that the watcher never swaps the device
    // under a command. Commands may nest.
    std::recursive_mutex m_deviceMutex;
    uint32_t m_id = 0;
    // The driver and the device as the start-up line names them; the
    // watcher's once the device is open.
    std::string m_description;
    // The signal stack the device's thread installs on its first call, and
    // that thread once known (a pthread_t, 0 before), for the watcher to
    // find its stack's lower end.
    std::atomic<void*> m_signalStack{nullptr};
    std::atomic<uint64_t> m_audioThread{0};
    std::atomic<uintptr_t> m_stackLow{0};

    // Guard the watcher's state; held while the watcher replaces a device,
    // so that a suspension never crosses a reopening.
    std::mutex m_watchMutex;
    std::condition_variable m_wake;
    bool m_stopWatching = false;
    bool m_suspended = false;
    bool m_lost = false;
    std::thread m_watcher;
};

} // namespace Quillo
