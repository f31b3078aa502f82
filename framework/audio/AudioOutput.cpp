#include "framework/audio/AudioOutput.h"

#include "framework/platform/SdlAudioDevice.h"

namespace Quillo
{

AudioOutput::AudioOutput(Kind kind) : m_kind(kind), m_mixer(SdlAudioDevice::kSampleRate)
{
}

AudioOutput::~AudioOutput()
{
    m_device.reset();
}

std::shared_ptr<AudioOutput> AudioOutput::OpenDevice()
{
    std::shared_ptr<AudioOutput> output(new AudioOutput(Kind::Device));
    output->m_device =
        SdlAudioDevice::Open(&AudioOutput::RenderCallback, output.get(), &output->m_deviceError);
    if (!output->m_device)
        output->m_kind = Kind::Silent;
    return output;
}

std::shared_ptr<AudioOutput> AudioOutput::CreateOffline()
{
    return std::shared_ptr<AudioOutput>(new AudioOutput(Kind::Offline));
}

std::shared_ptr<AudioOutput> AudioOutput::CreateSilent()
{
    return std::shared_ptr<AudioOutput>(new AudioOutput(Kind::Silent));
}

std::string AudioOutput::DriverName() const
{
    return m_device ? m_device->DriverName() : std::string();
}

AudioOutput::Lock::Lock(AudioOutput& output) : m_output(output)
{
    if (m_output.m_device)
        m_output.m_device->Lock();
}

AudioOutput::Lock::~Lock()
{
    if (m_output.m_device)
        m_output.m_device->Unlock();
}

void AudioOutput::Suspend(bool suspended)
{
    if (m_device)
        m_device->Suspend(suspended);
}

void AudioOutput::Render(int16_t* out, int frames)
{
    Lock lock(*this);
    m_mixer.Mix(out, frames);
}

void AudioOutput::RenderCallback(void* context, int16_t* out, int frames)
{
    static_cast<AudioOutput*>(context)->m_mixer.Mix(out, frames);
}

} // namespace Quillo
