#include "framework/audio/OpenMptMusicInterface.h"

#include "framework/audio/AudioOutput.h"
#include "framework/audio/PcmSound.h"
#include "framework/audio/SoftwareMixer.h"
#include "framework/audio/SoundFile.h"
#include "framework/audio/StereoRing.h"
#include "framework/platform/FileSystem.h"
#include "framework/platform/PosixCrashHandler.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <libopenmpt/libopenmpt.h>

namespace Quillo
{

namespace
{

// Decoded music streams may be longer than effects: up to about 12 minutes
// of 44.1 kHz stereo.
constexpr size_t kMaxStreamSamples = size_t{64} << 20;

// Fades add a step of a few hundredths many times over; this absorbs the
// rounding so that 100 steps of 0.01 land exactly on 1.
constexpr double kFadeEpsilon = 1e-9;

// About 370 ms of music buffered per module track: enough to ride out a
// busy machine. A start renders the first 90 ms at once, so it is heard
// without a gap.
constexpr size_t kRingFrames = 16384;
constexpr size_t kPrefillFrames = 4096;
constexpr size_t kRenderChunk = 1024;

struct ModuleDeleter
{
    void operator()(openmpt_module* module) const { openmpt_module_destroy(module); }
};

// Whole hundredths, truncated, within 0..100.
double Hundredths(double v, double top = 1.0)
{
    return std::clamp(std::trunc(v * 100.0 + kFadeEpsilon), 0.0, top * 100.0) / 100.0;
}

std::string LowerExtension(const std::string& path)
{
    const size_t dot = path.rfind('.');
    std::string ext = dot == std::string::npos ? std::string() : path.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

} // namespace

struct OpenMptMusicInterface::Track
{
    std::unique_ptr<openmpt_module, ModuleDeleter> module;
    std::unique_ptr<StereoRing> ring; // with the module
    std::shared_ptr<const PcmSound> stream;

    // Main thread only.
    double volume = 0.0;
    double fadeStep = 0.0;
    double cap = 1.0;
    bool stopAtSilence = false;
    double amplify = 1.0; // a gain factor: SetTrackAmplify(0.5) is unity

    // Shared with the audio thread: changed only under the output lock.
    float gain = 0.0f;
    bool playing = false;
    bool paused = false;
    bool looping = true;
    double streamPosition = 0.0;
};

OpenMptMusicInterface::OpenMptMusicInterface(std::shared_ptr<AudioOutput> output)
    : m_output(output ? std::move(output) : AudioOutput::CreateSilent()),
      m_renderAhead(m_output->GetKind() == AudioOutput::Kind::Device)
{
    if (m_renderAhead)
        m_producer = std::thread([this] { ProducerLoop(); });
    AudioOutput::Lock lock(*m_output);
    m_output->Mixer().AddSource(this);
}

OpenMptMusicInterface::~OpenMptMusicInterface()
{
    {
        AudioOutput::Lock lock(*m_output);
        m_output->Mixer().RemoveSource(this);
    }
    if (m_producer.joinable())
    {
        {
            std::lock_guard<std::mutex> guard(m_renderMutex);
            m_stopProducer = true;
        }
        m_wake.notify_one();
        m_producer.join();
    }
    m_tracks.clear();
}

size_t OpenMptMusicInterface::Produce(Track& track, size_t frames)
{
    if (!track.module || track.ring->HasEnd())
        return 0;
    const int rate = m_output->Mixer().OutputRate();
    size_t total = 0;
    while (total < frames)
    {
        size_t n = std::min(frames - total, kRenderChunk);
        float* out = track.ring->WriteSpan(n);
        if (n == 0)
            break;
        const size_t got =
            openmpt_module_read_interleaved_float_stereo(track.module.get(), rate, n, out);
        track.ring->Commit(got);
        total += got;
        if (got < n)
        {
            track.ring->MarkEnd();
            break;
        }
    }
    return total;
}

void OpenMptMusicInterface::ProducerLoop()
{
    PosixCrashHandler::PrepareThread();
    std::unique_lock<std::mutex> lock(m_renderMutex);
    size_t lastLeast = 0;
    while (!m_stopProducer)
    {
        bool rendered = false;
        for (auto& [id, track] : m_tracks)
            rendered |= Produce(*track, kRenderChunk) > 0;
        if (rendered)
        {
            // Let waiting commands in between chunks.
            lock.unlock();
            std::this_thread::yield();
            lock.lock();
            continue;
        }
        m_wake.wait_for(lock, IdleWait(lastLeast));
    }
}

std::chrono::milliseconds OpenMptMusicInterface::IdleWait(size_t& lastLeast) const
{
    // Every ring is full: sleep until the emptiest has played a quarter of
    // itself, rather than look every few milliseconds (a minimised game
    // should hardly wake). Commands wake the loop at once.
    constexpr auto kLongest = std::chrono::milliseconds(250);
    size_t least = kRingFrames;
    for (const auto& [id, track] : m_tracks)
        if (track->module && !track->ring->HasEnd())
            least = std::min(least, track->ring->Available());
    // Nothing played since the last look (a suspended or stalled device):
    // the longest sleep, which a full ring still outlasts once it plays.
    const bool still = least == lastLeast;
    lastLeast = least;
    if (still)
        return kLongest;
    const size_t keep = kRingFrames * 3 / 4;
    const size_t spare = least > keep ? least - keep : 0;
    const auto rate = static_cast<size_t>(std::max(1, m_output->Mixer().OutputRate()));
    return std::clamp(std::chrono::milliseconds(spare * 1000 / rate), std::chrono::milliseconds(10), kLongest);
}

std::unique_ptr<MusicInterface> OpenMptMusicInterface::Create(std::shared_ptr<AudioOutput> output)
{
    if (!output || !output->IsActive())
        return std::make_unique<MusicInterface>();
    return std::make_unique<OpenMptMusicInterface>(std::move(output));
}

OpenMptMusicInterface::Track* OpenMptMusicInterface::Find(int id)
{
    const auto it = m_tracks.find(id);
    return it == m_tracks.end() ? nullptr : it->second.get();
}

std::optional<double> OpenMptMusicInterface::TrackVolume(int id) const
{
    const auto it = m_tracks.find(id);
    if (it == m_tracks.end())
        return std::nullopt;
    return it->second->volume;
}

bool OpenMptMusicInterface::LoadTrack(int id, const std::string& path)
{
    const auto bytes = FileSystem::ReadFile(path);
    if (!bytes)
    {
        m_lastError = "cannot read " + path;
        return false;
    }
    auto track = std::make_unique<Track>();
    const std::string ext = LowerExtension(path);
    std::string error;
    if (ext == "wav")
    {
        auto wave = SoundFile::DecodeWave(*bytes, error);
        if (wave)
            track->stream = std::make_shared<PcmSound>(std::move(wave->sound));
    }
    else if (ext == "ogg")
    {
        auto sound = SoundFile::DecodeOgg(*bytes, error, kMaxStreamSamples);
        if (sound)
            track->stream = std::make_shared<PcmSound>(std::move(*sound));
    }
    else if (ext == "mp3")
    {
        error = "MP3 streams are not supported";
    }
    else
    {
        int code = 0;
        const char* message = nullptr;
        openmpt_module* module = openmpt_module_create_from_memory2(
            bytes->data(), bytes->size(), openmpt_log_func_silent, nullptr, nullptr, nullptr, &code,
            &message, nullptr);
        if (module)
        {
            track->module.reset(module);
            track->ring = std::make_unique<StereoRing>(kRingFrames);
        }
        else
            error = message && *message ? message : "not a module file";
        openmpt_free_string(message);
    }
    if (!track->module && !track->stream)
    {
        m_lastError = path + ": " + error;
        return false;
    }
    // A track loaded under an id in use replaces the old one, which is
    // stopped and freed rather than left behind.
    UnloadTrack(id);
    std::lock_guard<std::mutex> render(m_renderMutex);
    AudioOutput::Lock lock(*m_output);
    m_tracks[id] = std::move(track);
    return true;
}

float OpenMptMusicInterface::ChannelGain(const Track& track) const
{
    return static_cast<float>(Hundredths(track.volume) * m_masterVolume * track.amplify);
}

void OpenMptMusicInterface::ApplyVolume(Track& track)
{
    const float gain = ChannelGain(track);
    AudioOutput::Lock lock(*m_output);
    track.gain = gain;
}

void OpenMptMusicInterface::Start(Track& track, int offset, bool noLoop)
{
    const float gain = ChannelGain(track);
    std::unique_lock<std::mutex> render(m_renderMutex);
    if (track.module)
    {
        openmpt_module_set_repeat_count(track.module.get(), noLoop ? 0 : -1);
        if (offset >= 0)
            openmpt_module_set_position_order_row(track.module.get(), offset, 0);
    }
    {
        AudioOutput::Lock lock(*m_output);
        track.paused = false;
        track.gain = gain;
        track.looping = !noLoop;
        // What was rendered ahead belongs to the old position; the mixer
        // leaves the track alone until the new position is rendered ahead,
        // or a loaded machine would hear the start with a gap.
        if (track.module && offset >= 0)
        {
            track.playing = false;
            track.ring->Clear();
        }
        if (track.stream && offset >= 0)
            track.streamPosition = static_cast<double>(offset) * track.stream->sampleRate;
    }
    if (track.module)
        Produce(track, kPrefillFrames);
    {
        AudioOutput::Lock lock(*m_output);
        track.playing = true;
    }
    render.unlock();
    m_wake.notify_one();
}

void OpenMptMusicInterface::PlayTrack(int id, int offset, bool noLoop)
{
    Track* track = Find(id);
    if (!track)
        return;
    track->volume = track->cap;
    track->fadeStep = 0.0;
    track->stopAtSilence = noLoop;
    Start(*track, offset, noLoop);
}

void OpenMptMusicInterface::FadeInTrack(int id, int offset, double speed, bool noLoop)
{
    Track* track = Find(id);
    if (!track)
        return;
    track->fadeStep = speed;
    track->stopAtSilence = noLoop;
    Start(*track, offset, noLoop);
}

void OpenMptMusicInterface::Stop(Track& track)
{
    track.volume = 0.0;
    AudioOutput::Lock lock(*m_output);
    track.playing = false;
    track.paused = false;
    track.gain = 0.0f;
}

void OpenMptMusicInterface::StopTrack(int id)
{
    if (Track* track = Find(id))
        Stop(*track);
}

void OpenMptMusicInterface::PauseTrack(int id)
{
    Track* track = Find(id);
    if (!track)
        return;
    AudioOutput::Lock lock(*m_output);
    if (track->playing)
        track->paused = true;
}

void OpenMptMusicInterface::ResumeTrack(int id)
{
    Track* track = Find(id);
    if (!track)
        return;
    AudioOutput::Lock lock(*m_output);
    track->paused = false;
}

void OpenMptMusicInterface::StopAllTracks()
{
    for (auto& [id, track] : m_tracks)
        Stop(*track);
}

void OpenMptMusicInterface::UnloadTrack(int id)
{
    const auto it = m_tracks.find(id);
    if (it == m_tracks.end())
        return;
    Stop(*it->second);
    std::unique_ptr<Track> doomed;
    {
        std::lock_guard<std::mutex> render(m_renderMutex);
        AudioOutput::Lock lock(*m_output);
        doomed = std::move(it->second);
        m_tracks.erase(it);
    }
    // The module is freed here, after the audio thread can no longer see it.
}

void OpenMptMusicInterface::UnloadAllTracks()
{
    StopAllTracks();
    std::map<int, std::unique_ptr<Track>> doomed;
    {
        std::lock_guard<std::mutex> render(m_renderMutex);
        AudioOutput::Lock lock(*m_output);
        doomed.swap(m_tracks);
    }
}

void OpenMptMusicInterface::PauseAllTracks()
{
    for (auto& [id, track] : m_tracks)
        PauseTrack(id);
}

void OpenMptMusicInterface::ResumeAllTracks()
{
    for (auto& [id, track] : m_tracks)
        ResumeTrack(id);
}

void OpenMptMusicInterface::FadeOutTrack(int id, bool stopAtSilence, double speed)
{
    Track* track = Find(id);
    if (!track || track->volume == 0.0)
        return;
    track->fadeStep = -speed;
    track->stopAtSilence = stopAtSilence;
}

void OpenMptMusicInterface::FadeOutAllTracks(bool stopAtSilence, double speed)
{
    for (auto& [id, track] : m_tracks)
    {
        track->fadeStep = -speed;
        track->stopAtSilence = stopAtSilence;
    }
}

void OpenMptMusicInterface::SetTrackVolume(int id, double volume)
{
    if (Track* track = Find(id))
    {
        track->volume = volume;
        ApplyVolume(*track);
    }
}

void OpenMptMusicInterface::SetTrackVolumeCap(int id, double cap)
{
    if (Track* track = Find(id))
    {
        track->cap = cap;
        track->volume = std::min(track->volume, cap);
        ApplyVolume(*track);
    }
}

bool OpenMptMusicInterface::IsTrackPlaying(int id)
{
    Track* track = Find(id);
    if (!track)
        return false;
    AudioOutput::Lock lock(*m_output);
    return track->playing && !track->paused;
}

void OpenMptMusicInterface::SetMasterMusicVolume(double volume)
{
    m_masterVolume = Hundredths(volume);
    for (auto& [id, track] : m_tracks)
        ApplyVolume(*track);
}

void OpenMptMusicInterface::SetTrackAmplify(int id, double amplify)
{
    if (Track* track = Find(id))
    {
        track->amplify = Hundredths(amplify) * 2.0;
        ApplyVolume(*track);
    }
}

void OpenMptMusicInterface::UpdateFades()
{
    for (auto& [id, entry] : m_tracks)
    {
        Track& track = *entry;
        if (track.fadeStep == 0.0)
            continue;
        track.volume += track.fadeStep;
        if (std::abs(track.volume - track.cap) < kFadeEpsilon)
            track.volume = track.cap;
        else if (std::abs(track.volume) < kFadeEpsilon)
            track.volume = 0.0;
        if (track.volume > track.cap)
        {
            track.volume = track.cap;
            track.fadeStep = 0.0;
        }
        else if (track.volume < 0.0)
        {
            track.fadeStep = 0.0;
            if (track.stopAtSilence)
                Stop(track);
            track.volume = 0.0;
        }
        ApplyVolume(track);
    }
}

void OpenMptMusicInterface::MixInto(float* mix, int frames)
{
    const int rate = m_output->Mixer().OutputRate();
    for (auto& [id, entry] : m_tracks)
    {
        Track& track = *entry;
        if (!track.playing || track.paused)
            continue;
        if (track.module)
        {
            const size_t wanted = static_cast<size_t>(frames);
            if (!m_renderAhead && track.ring->Available() < wanted)
            {
                std::lock_guard<std::mutex> render(m_renderMutex);
                Produce(track, wanted - track.ring->Available());
            }
            track.ring->MixInto(mix, wanted, track.gain);
            if (track.ring->Finished())
                track.playing = false;
        }
        else if (track.stream)
        {
            track.playing =
                SoftwareMixer::RenderPcm(*track.stream, track.streamPosition,
                                         static_cast<double>(track.stream->sampleRate) / rate,
                                         track.looping, track.gain, track.gain, mix, frames);
        }
    }
}

} // namespace Quillo
