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
    : m_outputRate(outputRate > 0 ? outputRate : 44100),
      m_mix(static_cast<size_t>(kChunkFrames) * 2)
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

namespace
{

constexpr double kFixedOne = 4294967296.0; // positions are 32.32 fixed point
constexpr float kFractionScale = 1.0f / 4294967296.0f;

// The hot loop: every position in the run has a following sample, so it
// needs no end checks.
template <bool Stereo>
void MixRun(const int16_t* s, uint64_t& pos, uint64_t inc, float left, float right, float* mix,
            int frames)
{
    for (int j = 0; j < frames; ++j)
    {
        const size_t index = static_cast<size_t>(pos >> 32);
        const float t = static_cast<float>(static_cast<uint32_t>(pos)) * kFractionScale;
        if constexpr (Stereo)
        {
            const float l0 = s[2 * index], r0 = s[2 * index + 1];
            const float l1 = s[2 * index + 2], r1 = s[2 * index + 3];
            mix[2 * j] += (l0 + (l1 - l0) * t) * left;
            mix[2 * j + 1] += (r0 + (r1 - r0) * t) * right;
        }
        else
        {
            const float v0 = s[index], v1 = s[index + 1];
            const float v = v0 + (v1 - v0) * t;
            mix[2 * j] += v * left;
            mix[2 * j + 1] += v * right;
        }
        pos += inc;
    }
}

} // namespace

bool SoftwareMixer::RenderPcm(const PcmSound& sound, double& position, double step, bool looping,
                              float gainLeft, float gainRight, float* mix, int frames)
{
    const size_t count = sound.Frames();
    if (count == 0 || !(step > 0.0))
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
    uint64_t pos = static_cast<uint64_t>(position * kFixedOne);
    const uint64_t inc = std::max<uint64_t>(1, static_cast<uint64_t>(step * kFixedOne));
    const uint64_t end = static_cast<uint64_t>(count) << 32;
    // Below this a position has a following sample to interpolate towards.
    const uint64_t lastWhole = static_cast<uint64_t>(count - 1) << 32;
    int i = 0;
    auto reachedEnd = [&]
    {
        if (pos < end)
            return false;
        if (looping)
        {
            pos %= end;
            return false;
        }
        position = 0.0;
        return true;
    };
    while (i < frames)
    {
        if (reachedEnd())
            return false;
        if (pos < lastWhole)
        {
            const uint64_t room = (lastWhole - pos + inc - 1) / inc;
            const int n =
                static_cast<int>(std::min<uint64_t>(room, static_cast<uint64_t>(frames - i)));
            if (stereo)
                MixRun<true>(s, pos, inc, left, right, mix + 2 * i, n);
            else
                MixRun<false>(s, pos, inc, left, right, mix + 2 * i, n);
            i += n;
            continue;
        }
        // The last sample leads back to the first when looping, else holds.
        const size_t index = static_cast<size_t>(pos >> 32);
        const size_t next = looping ? 0 : index;
        const float t = static_cast<float>(static_cast<uint32_t>(pos)) * kFractionScale;
        const int lc = stereo ? 2 : 1;
        const float l0 = s[lc * index], l1 = s[lc * next];
        const float r0 = s[lc * index + lc - 1], r1 = s[lc * next + lc - 1];
        mix[2 * i] += (l0 + (l1 - l0) * t) * left;
        mix[2 * i + 1] += (r0 + (r1 - r0) * t) * right;
        pos += inc;
        ++i;
    }
    if (reachedEnd())
        return false;
    position = static_cast<double>(pos) / kFixedOne;
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
                v.playing = RenderPcm(*v.sound, v.position, v.step, v.looping, v.gainLeft,
                                      v.gainRight, mix, n);
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
