#pragma once

#include "framework/audio/SoundInstance.h"

#include <memory>

namespace Quillo
{

class AudioOutput;
struct PcmSound;

// A sound effect instance on one voice of the software mixer. Duplicating
// the loaded buffer is sharing its samples, which cannot fail. Without a
// voice (no output) the instance keeps its state but plays nothing.
class MixerSoundInstance : public SoundInstance
{
public:
    // `voice` is the mixer voice the instance owns, or -1 for a silent one.
    MixerSoundInstance(std::shared_ptr<AudioOutput> output, int voice,
                       std::shared_ptr<const PcmSound> sound, double masterVolume,
                       double baseVolume, int basePan);
    ~MixerSoundInstance() override;
    MixerSoundInstance(const MixerSoundInstance&) = delete;
    MixerSoundInstance& operator=(const MixerSoundInstance&) = delete;

    void Release() override;
    void SetBaseVolume(double volume) override;
    void SetBasePan(int pan) override;
    void ShiftPitch(double steps) override;
    void SetVolume(double volume) override;
    void SetPan(int pan) override;
    bool Play(bool looping, bool autoRelease) override;
    void Stop() override;
    bool IsPlaying() override;
    bool IsReleased() override;
    double GetVolume() override;

    // The manager's master volume changed.
    void SetMasterVolume(double volume);
    double Frequency() const { return m_frequency; }
    bool IsAutoRelease() const { return m_autoRelease; }
    void SetAutoRelease(bool autoRelease) { m_autoRelease = autoRelease; }

private:
    void ApplyGain();

    std::shared_ptr<AudioOutput> m_output;
    int m_voice;
    double m_masterVolume;
    double m_baseVolume;
    int m_basePan;
    double m_volume = 1.0;
    int m_pan = 0;
    double m_defaultFrequency = 44100.0;
    double m_frequency = 44100.0;
    bool m_released = false;
    bool m_autoRelease = false;
    bool m_hasPlayed = false;
};

} // namespace Quillo
