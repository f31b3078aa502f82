#pragma once

#include "framework/audio/MixerSource.h"
#include "framework/audio/PcmSound.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace Quillo
{

// Mixes up to 32 voices of decoded sound and a few streaming sources into
// interleaved 16-bit stereo. It holds no lock of its own: the owner
// (AudioOutput) serialises commands with the audio thread, and `Mix` only
// reads what the commands set up, so it never allocates or frees.
class SoftwareMixer
{
public:
    static constexpr int kVoiceCount = 32;
    static constexpr int kMaxSources = 4;
    static constexpr int kChunkFrames = 1024;

    explicit SoftwareMixer(int outputRate = 44100);

    int OutputRate() const { return m_outputRate; }

    // Voices. A voice keeps its sound until it is detached, so the sample
    // data is never freed on the audio thread.
    void AttachVoice(int voice, std::shared_ptr<const PcmSound> sound);
    [[nodiscard]] std::shared_ptr<const PcmSound> DetachVoice(int voice);
    void PlayVoice(int voice, bool looping);
    // Stops and rewinds to the start.
    void StopVoice(int voice);
    bool IsVoicePlaying(int voice) const;
    void SetVoiceGain(int voice, float left, float right);
    // Playback rate of the voice's samples in Hz.
    void SetVoiceFrequency(int voice, double frequency);

    // Sources are not owned; remove one before destroying it.
    bool AddSource(MixerSource* source);
    void RemoveSource(MixerSource* source);

    // Fills `frames` interleaved stereo frames: the sum of all voices and
    // sources, clipped to the 16-bit range.
    void Mix(int16_t* out, int frames);

    // Adds a stretch of `sound` from `position` (in source frames, advanced
    // by `step` per output frame, linearly interpolated) to `mix`. Returns
    // false when a non-looping sound has reached its end.
    static bool RenderPcm(const PcmSound& sound, double& position, double step, bool looping,
                          float gainLeft, float gainRight, float* mix, int frames);

private:
    struct Voice
    {
        std::shared_ptr<const PcmSound> sound;
        double position = 0.0;
        double step = 1.0;
        float gainLeft = 1.0f;
        float gainRight = 1.0f;
        bool playing = false;
        bool looping = false;
    };

    Voice* Find(int voice);
    const Voice* Find(int voice) const;

    int m_outputRate;
    std::array<Voice, kVoiceCount> m_voices;
    std::array<MixerSource*, kMaxSources> m_sources{};
    std::vector<float> m_mix;
};

} // namespace Quillo
