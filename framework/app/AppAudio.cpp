// The application's sound and music: one audio output shared by the sound
// effects and the music, silent when no device can be opened.
#include "framework/app/QuilloAppBase.h"

#include "framework/audio/AudioOutput.h"
#include "framework/audio/MixerSoundManager.h"
#include "framework/audio/OpenMptMusicInterface.h"

namespace Quillo
{

std::shared_ptr<AudioOutput> QuilloAppBase::GetAudioOutput()
{
    if (!audioOutput)
        audioOutput = AudioOutput::OpenDevice();
    return audioOutput;
}

std::unique_ptr<SoundManager> QuilloAppBase::CreateSoundManager()
{
    return std::make_unique<MixerSoundManager>(GetAudioOutput(),
                                               [this] { return platform ? platform->TickCount() : 0u; });
}

std::unique_ptr<MusicInterface> QuilloAppBase::CreateMusicPlayer()
{
    return OpenMptMusicInterface::Create(GetAudioOutput());
}

} // namespace Quillo
