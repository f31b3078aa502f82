#include "framework/audio/SoftwareMixer.h"

#include <algorithm>
#include <cmath>

namespace Quillo
{

namespace
{

constexpr float kSampleScale = 1.0f / 32768.0f;

} // namespace

SoftwareMixer::SoftwareMixer(int outputRate)
    : m_outputRate(outputRate > 0 ? outputRate : 44100), m_mix(static_cast<size_t>(kChunkFrames) * 2)
{
}

SoftwareMixer::Voice* SoftwareMixer::Find(int voice)
{
    return voice >= 0 && voice < kVoiceCount ? &m_voices[static_cast<size_t>(voice)] : nullptr;
}

const SoftwareMixer::Voice* SoftwareMixer::Find(int voice) const
{
    return voice >= 0 && voice < kVoiceCount ? &m_voices[static_cast<size_t>(voice)] : nullptr;
}

void SoftwareMixer::AttachVoice(int voice, std::shared_ptr<const PcmSound> sound)
{
    Voice* v = Find(voice);
    if (!v)
        return;
    // The previous sound is released here, on the commanding thread.
    *v = Voice{};
    v->sound = std::move(sound);
    if (v->sound)
        v->step = static_cast<double>(v->sound->sampleRate) / m_outputRate;
}

std::shared_ptr<const PcmSound> SoftwareMixer::DetachVoice(int voice)
{
    Voice* v = Find(voice);
    if (!v)
        return nullptr;
    std::shared_ptr<const PcmSound> sound = std::move(v->sound);
    *v = Voice{};
    return sound;
}

void SoftwareMixer::PlayVoice(int voice, bool looping)
{
    Voice* v = Find(voice);
    if (!v || !v->sound || v->sound->Frames() == 0)
        return;
    v->looping = looping;
    v->playing = true;
}

void SoftwareMixer::StopVoice(int voice)
{
    if (Voice* v = Find(voice))
    {
        v->playing = false;
        v->position = 0.0;
    }
}

bool SoftwareMixer::IsVoicePlaying(int voice) const
{
    const Voice* v = Find(voice);
    return v && v->playing;
}

void SoftwareMixer::SetVoiceGain(int voice, float left, float right)
{
    if (Voice* v = Find(voice))
    {
        v->gainLeft = left;
        v->gainRight = right;
    }
}

void SoftwareMixer::SetVoiceFrequency(int voice, double frequency)
{
    if (Voice* v = Find(voice); v && frequency > 0.0)
        v->step = frequency / m_outputRate;
}

bool SoftwareMixer::AddSource(MixerSource* source)
{
    if (!source || std::find(m_sources.begin(), m_sources.end(), source) != m_sources.end())
        return source != nullptr;
    for (MixerSource*& slot : m_sources)
    {
        if (!slot)
        {
            slot = source;
            return true;
        }
    }
    return false;
}

void SoftwareMixer::RemoveSource(MixerSource* source)
{
    for (MixerSource*& slot : m_sources)
    {
        if (slot == source)
            slot = nullptr;
    }
}

bool SoftwareMixer::RenderPcm(const PcmSound& sound, double& position, double step, bool looping, float gainLeft,
                              float gainRight, float* mix, int frames)
{
    const size_t count = sound.Frames();
    if (count == 0)
        return false;
    const double length = static_cast<double>(count);
    if (!(position >= 0.0 && position < length))
    {
        if (!looping)
        {
            position = 0.0;
            return false;
        }
        position = position >= 0.0 ? std::fmod(position, length) : 0.0;
    }
    const int16_t* s = sound.samples.data();
    const bool stereo = sound.channels == 2;
    const float left = gainLeft * kSampleScale;
    const float right = gainRight * kSampleScale;
    for (int i = 0; i < frames; ++i)
    {
        const size_t index = static_cast<size_t>(position);
        const float t = static_cast<float>(position - static_cast<double>(index));
        size_t next = index + 1;
        if (next >= count)
            next = looping ? 0 : index;
        float l0, l1, r0, r1;
        if (stereo)
        {
            l0 = s[2 * index];
            r0 = s[2 * index + 1];
            l1 = s[2 * next];
            r1 = s[2 * next + 1];
        }
        else
        {
            l0 = r0 = s[index];
            l1 = r1 = s[next];
        }
        mix[2 * i] += (l0 + (l1 - l0) * t) * left;
        mix[2 * i + 1] += (r0 + (r1 - r0) * t) * right;
        position += step;
        if (position >= length)
        {
            if (!looping)
            {
                position = 0.0;
                return false;
            }
            position = std::fmod(position, length);
        }
    }
    return true;
}

void SoftwareMixer::Mix(int16_t* out, int frames)
{
    while (frames > 0)
    {
        const int n = std::min(frames, kChunkFrames);
        float* mix = m_mix.data();
        std::fill(mix, mix + 2 * n, 0.0f);
        for (Voice& v : m_voices)
        {
            if (v.playing && v.sound)
                v.playing = RenderPcm(*v.sound, v.position, v.step, v.looping, v.gainLeft, v.gainRight, mix, n);
        }
        for (MixerSource* source : m_sources)
        {
            if (source)
                source->MixInto(mix, n);
        }
        for (int i = 0; i < 2 * n; ++i)
        {
            const float scaled = mix[i] * 32768.0f;
            out[i] = static_cast<int16_t>(std::lrint(std::clamp(scaled, -32768.0f, 32767.0f)));
        }
        out += 2 * n;
        frames -= n;
    }
}

} // namespace Quillo
