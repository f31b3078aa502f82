#pragma once

#include "framework/audio/SoundManager.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace Quillo
{

class AudioOutput;
class MixerSoundInstance;
struct PcmSound;

// Sound effects on the software mixer. Loaded sounds are decoded once and
// shared by every instance that plays them; instance slot i plays on mixer
// voice i.
//
// Made by the application with the shared output:
//   m_soundManager = std::make_unique<MixerSoundManager>(output);
// With a silent output HasDevice is false, loads report success without
// reading anything and instances play silently.
class MixerSoundManager : public SoundManager
{
public:
    // The clock gives milliseconds and is used only to pace the sweep of
    // finished instances; tests may pass their own.
    explicit MixerSoundManager(std::shared_ptr<AudioOutput> output,
                               std::function<uint32_t()> clock = {});
    ~MixerSoundManager() override;
    MixerSoundManager(const MixerSoundManager&) = delete;
    MixerSoundManager& operator=(const MixerSoundManager&) = delete;

    bool HasDevice() override;
    bool LoadEffect(int id, const std::string& path) override;
    void UnloadEffect(int id) override;
    void SetEffectsVolume(double volume) override;
    bool SetEffectBaseVolume(int id, double volume) override;
    bool SetEffectBasePan(int id, int pan) override;
    SoundInstance* NewInstance(int id) override;
    void UnloadAllEffects() override;
    void DeleteAllInstances() override;
    // There is no system mixer to drive: the system volume is always full.
    double GetSystemVolume() override;
    void SetSystemVolume(double volume) override;
    // The device is not tied to a window; nothing to do.
    void AttachToWindow(void* window, bool windowed) override;
    void StopAllInstances() override;

    // Why the last LoadEffect failed, for the resource manager's error text.
    const std::string& LastError() const { return m_lastError; }
    // The loaded sound of an id, or nothing.
    std::shared_ptr<const PcmSound> Effect(int id) const;
    double MasterVolume() const { return m_masterVolume; }

private:
    struct LoadedSound
    {
        std::shared_ptr<const PcmSound> sound;
        double baseVolume = 1.0;
        int basePan = 0;
    };

    std::shared_ptr<const PcmSound> LoadFromFiles(const std::string& path);
    void SweepReleased();

    std::shared_ptr<AudioOutput> m_output;
    std::function<uint32_t()> m_clock;
    std::array<LoadedSound, kMaxEffects> m_sounds;
    std::array<std::unique_ptr<MixerSoundInstance>, kMaxInstances> m_instances;
    double m_masterVolume = 1.0;
    uint32_t m_lastSweep = 0;
    std::string m_lastError;
};

} // namespace Quillo
