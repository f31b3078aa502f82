#pragma once

#include "framework/audio/SoftwareMixer.h"

#include <memory>
#include <string>

namespace Quillo
{

class SdlAudioDevice;

// The mixer and the device it plays on, shared by the sound manager and
// the music interface so that both sound through one device.
//
//   auto output = AudioOutput::OpenDevice();
//   auto sounds = std::make_unique<MixerSoundManager>(output);
//   auto music = OpenMptMusicInterface::Create(output);
//
// Three kinds: a real device (the audio thread pulls the mix), offline (no
// device; whoever owns the output calls Render: tests, tools, writing to a
// file) and silent (no device could be opened: nothing is mixed at all).
class AudioOutput
{
public:
    enum class Kind
    {
        Device,
        Offline,
        Silent,
    };

    // Opens the sound device; when that fails (no sound card, a headless
    // run) the output is silent and DeviceError says why. Never throws.
    static std::shared_ptr<AudioOutput> OpenDevice();
    static std::shared_ptr<AudioOutput> CreateOffline();
    static std::shared_ptr<AudioOutput> CreateSilent();

    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    Kind GetKind() const { return m_kind; }
    // Something consumes the mix (a device, or an offline renderer).
    bool IsActive() const { return m_kind != Kind::Silent; }
    const std::string& DeviceError() const { return m_deviceError; }
    // The audio driver in use, or "" without a device.
    std::string DriverName() const;

    // Only touch the mixer while holding this.
    class Lock
    {
    public:
        explicit Lock(AudioOutput& output);
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        AudioOutput& m_output;
    };

    SoftwareMixer& Mixer() { return m_mixer; }

    // Closes the device while nothing is to be heard (a hidden, muted game),
    // so that its thread stops waking; everything goes on where it stood
    // once resumed. Nothing to do without a device.
    void Suspend(bool suspended);

    // Offline rendering: mixes `frames` stereo frames under the lock.
    void Render(int16_t* out, int frames);

private:
    explicit AudioOutput(Kind kind);
    static void RenderCallback(void* context, int16_t* out, int frames);

    Kind m_kind;
    std::string m_deviceError;
    SoftwareMixer m_mixer;
    // Declared after the mixer so that it stops before the mixer goes away.
    std::unique_ptr<SdlAudioDevice> m_device;
};

} // namespace Quillo
