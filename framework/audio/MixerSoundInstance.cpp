#include "framework/audio/MixerSoundInstance.h"

#include "framework/audio/AttenuationScale.h"
#include "framework/audio/AudioOutput.h"
#include "framework/audio/PcmSound.h"

#include <algorithm>
#include <cmath>

namespace Quillo
{

namespace
{

constexpr double kSemitone = 1.0594630943592953;
constexpr double kMinFrequency = 100.0;
constexpr double kMaxFrequency = 100000.0;

} // namespace

MixerSoundInstance::MixerSoundInstance(std::shared_ptr<AudioOutput> output, int voice,
                                       std::shared_ptr<const PcmSound> sound, double masterVolume,
                                       double baseVolume, int basePan)
    : m_output(std::move(output)), m_voice(m_output && sound ? voice : -1),
      m_masterVolume(masterVolume), m_baseVolume(baseVolume), m_basePan(basePan)
{
    if (sound)
        m_defaultFrequency = m_frequency = sound->sampleRate;
    if (m_voice < 0)
        return;
    {
        AudioOutput::Lock lock(*m_output);
        m_output->Mixer().AttachVoice(m_voice, std::move(sound));
    }
    ApplyGain();
}

MixerSoundInstance::~MixerSoundInstance()
{
    if (m_voice < 0)
        return;
    std::shared_ptr<const PcmSound> sound;
    {
        AudioOutput::Lock lock(*m_output);
        sound = m_output->Mixer().DetachVoice(m_voice);
    }
    // `sound` may be the last owner; it is freed here, outside the lock.
}

void MixerSoundInstance::ApplyGain()
{
    if (m_voice < 0)
        return;
    const int attenuation =
        AttenuationScale::VolumeToAttenuation(m_masterVolume * m_volume * m_baseVolume);
    const auto gains = AttenuationScale::PanGains(AttenuationScale::AttenuationToGain(attenuation),
                                                  m_pan + m_basePan);
    AudioOutput::Lock lock(*m_output);
    m_output->Mixer().SetVoiceGain(m_voice, gains.left, gains.right);
}

void MixerSoundInstance::Release()
{
    Stop();
    m_released = true;
}

void MixerSoundInstance::SetBaseVolume(double volume)
{
    m_baseVolume = volume;
    ApplyGain();
}

void MixerSoundInstance::SetBasePan(int pan)
{
    m_basePan = pan;
    ApplyGain();
}

void MixerSoundInstance::ShiftPitch(double steps)
{
    m_frequency =
        std::clamp(m_defaultFrequency * std::pow(kSemitone, steps), kMinFrequency, kMaxFrequency);
    if (m_voice < 0)
        return;
    AudioOutput::Lock lock(*m_output);
    m_output->Mixer().SetVoiceFrequency(m_voice, m_frequency);
}

void MixerSoundInstance::SetVolume(double volume)
{
    m_volume = volume;
    ApplyGain();
}

void MixerSoundInstance::SetPan(int pan)
{
    m_pan = pan;
    ApplyGain();
}

bool MixerSoundInstance::Play(bool looping, bool autoRelease)
{
    Stop();
    m_hasPlayed = true;
    m_autoRelease = autoRelease;
    if (m_voice >= 0)
    {
        AudioOutput::Lock lock(*m_output);
        m_output->Mixer().PlayVoice(m_voice, looping);
    }
    return true;
}

void MixerSoundInstance::Stop()
{
    m_autoRelease = false;
    if (m_voice < 0)
        return;
    AudioOutput::Lock lock(*m_output);
    m_output->Mixer().StopVoice(m_voice);
}

bool MixerSoundInstance::IsPlaying()
{
    if (!m_hasPlayed || m_voice < 0)
        return false;
    AudioOutput::Lock lock(*m_output);
    return m_output->Mixer().IsVoicePlaying(m_voice);
}

bool MixerSoundInstance::IsReleased()
{
    if (!m_released && m_autoRelease && m_hasPlayed && !IsPlaying())
        Release();
    return m_released;
}

double MixerSoundInstance::GetVolume()
{
    return m_volume;
}

void MixerSoundInstance::SetMasterVolume(double volume)
{
    m_masterVolume = volume;
    ApplyGain();
}

} // namespace Quillo
