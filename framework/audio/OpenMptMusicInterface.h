#pragma once

#include "framework/audio/MixerSource.h"
#include "framework/audio/MusicInterface.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace Quillo
{

class AudioOutput;

// Music on libopenmpt (module files, including MO3) and decoded streams
// (".wav", ".ogg"), mixed into the shared output as one mixer source.
//
// Made by the application with the output it gave the sound manager:
//   m_musicInterface = OpenMptMusicInterface::Create(output);
// which gives the silent base MusicInterface when the output is silent.
//
// With a device, modules are rendered ahead on a thread of their own into a
// ring per track, so the audio callback only copies and scales samples (the
// module library may allocate when a song wraps). Offline, the rendering
// happens on demand inside Render, which keeps tests deterministic.
//
// Volumes follow the library this replaces: a track's channel volume, the
// master volume and the amplification are whole hundredths (truncated), and
// an amplification of 0.5 is unity gain.
class OpenMptMusicInterface : public MusicInterface, private MixerSource
{
public:
    explicit OpenMptMusicInterface(std::shared_ptr<AudioOutput> output);
    ~OpenMptMusicInterface() override;
    OpenMptMusicInterface(const OpenMptMusicInterface&) = delete;
    OpenMptMusicInterface& operator=(const OpenMptMusicInterface&) = delete;

    // This interface when `output` mixes, else the silent base.
    static std::unique_ptr<MusicInterface> Create(std::shared_ptr<AudioOutput> output);

    bool LoadTrack(int id, const std::string& path) override;
    void PlayTrack(int id, int offset, bool noLoop) override;
    void StopTrack(int id) override;
    void PauseTrack(int id) override;
    void ResumeTrack(int id) override;
    void StopAllTracks() override;
    void UnloadTrack(int id) override;
    void UnloadAllTracks() override;
    void PauseAllTracks() override;
    void ResumeAllTracks() override;
    void FadeInTrack(int id, int offset, double speed, bool noLoop) override;
    void FadeOutTrack(int id, bool stopAtSilence, double speed) override;
    void FadeOutAllTracks(bool stopAtSilence, double speed) override;
    void SetTrackVolume(int id, double volume) override;
    void SetTrackVolumeCap(int id, double cap) override;
    bool IsTrackPlaying(int id) override;
    void SetMasterMusicVolume(double volume) override;
    void SetTrackAmplify(int id, double amplify) override;
    void UpdateFades() override;

    // The volume (0..1) of a track, or nothing for an unknown id.
    std::optional<double> TrackVolume(int id) const;
    // Why the last LoadTrack failed.
    const std::string& LastError() const { return m_lastError; }

private:
    struct Track;

    Track* Find(int id);
    // Renders up to `frames` of a module track into its ring; the render
    // mutex must be held. Returns the frames rendered.
    size_t Produce(Track& track, size_t frames);
    void ProducerLoop();
    // How long the producer may sleep with every ring full. `least` is the
    // emptiest ring's fill, `lastLeast` what it was at the previous wake.
    std::chrono::milliseconds IdleWait(size_t& lastLeast) const;
    void Start(Track& track, int offset, bool noLoop);
    void Stop(Track& track);
    float ChannelGain(const Track& track) const;
    void ApplyVolume(Track& track);
    void MixInto(float* mix, int frames) override;

    std::shared_ptr<AudioOutput> m_output;
    // A device pulls the mix: modules are rendered ahead by m_producer.
    const bool m_renderAhead;
    // Changed only on the main thread while holding both the render mutex
    // and the output lock; the producer reads it under the first, the audio
    // callback under the second.
    std::map<int, std::unique_ptr<Track>> m_tracks;
    double m_masterVolume = 1.0;
    std::string m_lastError;

    // Guards the modules and the producing side of the rings.
    std::mutex m_renderMutex;
    std::condition_variable m_wake;
    bool m_stopProducer = false;
    std::thread m_producer;
};

} // namespace Quillo
