#include "framework/platform/SystemClock.h"
#include "framework/audio/MixerSoundManager.h"

#include "framework/audio/AudioOutput.h"
#include "framework/audio/MixerSoundInstance.h"
#include "framework/audio/PcmSound.h"
#include "framework/audio/SoundFile.h"
#include "framework/platform/FileSystem.h"

namespace Quillo
{

namespace
{

constexpr uint32_t kSweepIntervalMs = 1000;

bool ValidId(int id)
{
    return id >= 0 && id < SoundManager::kMaxEffects;
}

uint32_t SteadyMilliseconds()
{
    return static_cast<uint32_t>(static_cast<uint64_t>(SystemClock::SteadyMs()));
}

// A cache or plain WAVE that names a source is valid only while the source
// still has the recorded last-write time.
bool DependencyHolds(const std::optional<SoundFile::Dependency>& dep)
{
    return !dep ||
           (FileSystem::Exists(dep->path) && FileSystem::ModificationTime(dep->path) == dep->time);
}

} // namespace

MixerSoundManager::MixerSoundManager(std::shared_ptr<AudioOutput> output,
                                     std::function<uint32_t()> clock)
    : m_output(std::move(output)),
      m_clock(clock ? std::move(clock) : std::function<uint32_t()>(SteadyMilliseconds))
{
    m_lastSweep = m_clock();
}

MixerSoundManager::~MixerSoundManager()
{
    DeleteAllInstances();
    UnloadAllEffects();
}

bool MixerSoundManager::HasDevice()
{
    return m_output && m_output->IsActive();
}

std::shared_ptr<const PcmSound> MixerSoundManager::LoadFromFiles(const std::string& path)
{
    const std::string base = FileSystem::NormalizePath(path);
    const size_t slash = base.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : base.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? base : base.substr(slash + 1);
    const std::string cachePath = folder + "cached_" + name + ".wav";

    std::string reason;
    bool anyFile = false;
    auto note = [&](const std::string& file, const std::string& why)
    {
        anyFile = true;
        if (reason.empty())
            reason = file + ": " + why;
    };

    for (const std::string& wave : {cachePath, base + ".wav"})
    {
        auto bytes = FileSystem::ReadFile(wave);
        if (!bytes)
            continue;
        std::string error;
        auto contents = SoundFile::DecodeWave(*bytes, error);
        if (contents && DependencyHolds(contents->dependency))
            return std::make_shared<PcmSound>(std::move(contents->sound));
        // A stale cache is expected and rebuilt below; it is not an error.
        if (!contents && wave != cachePath)
            note(wave, error);
    }

    std::optional<PcmSound> decoded;
    std::string source;
    for (const std::string& ext : {std::string(".ogg"), std::string(".au")})
    {
        source = base + ext;
        auto bytes = FileSystem::ReadFile(source);
        if (!bytes)
            continue;
        std::string error;
        decoded = ext == ".ogg" ? SoundFile::DecodeOgg(*bytes, error)
                                : SoundFile::DecodeSnd(*bytes, error);
        if (decoded)
            break;
        note(source, error);
    }
    if (!decoded)
    {
        m_lastError = anyFile ? reason : "no .wav, .ogg or .au file for " + base;
        return nullptr;
    }

    // Decoding is done once: later starts load the cache directly. A cache
    // that cannot be written only costs the decoding next time.
    const std::string cacheFolder =
        folder.empty() ? std::string() : FileSystem::ResolvePath(folder) + "/";
    const std::string cacheFile =
        FileSystem::NormalizePath(cacheFolder + "cached_" + name + ".wav");
    const auto cache =
        SoundFile::EncodeWaveCache(*decoded, {source, FileSystem::ModificationTime(source)});
    (void)FileSystem::WriteFileAtomic(cacheFile, cache.data(), cache.size());
    return std::make_shared<PcmSound>(std::move(*decoded));
}

bool MixerSoundManager::LoadEffect(int id, const std::string& path)
{
    if (!ValidId(id))
    {
        m_lastError = "sound id " + std::to_string(id) + " is out of range";
        return false;
    }
    UnloadEffect(id);
    if (!HasDevice())
        return true;
    auto sound = LoadFromFiles(path);
    if (!sound)
        return false;
    m_sounds[static_cast<size_t>(id)].sound = std::move(sound);
    return true;
}

void MixerSoundManager::UnloadEffect(int id)
{
    if (ValidId(id))
        m_sounds[static_cast<size_t>(id)].sound.reset();
}

void MixerSoundManager::SetEffectsVolume(double volume)
{
    m_masterVolume = volume;
    for (auto& instance : m_instances)
    {
        if (instance)
            instance->SetMasterVolume(volume);
    }
}

bool MixerSoundManager::SetEffectBaseVolume(int id, double volume)
{
    if (!ValidId(id))
        return false;
    m_sounds[static_cast<size_t>(id)].baseVolume = volume;
    return true;
}

bool MixerSoundManager::SetEffectBasePan(int id, int pan)
{
    if (!ValidId(id))
        return false;
    m_sounds[static_cast<size_t>(id)].basePan = pan;
    return true;
}

void MixerSoundManager::SweepReleased()
{
    for (auto& instance : m_instances)
    {
        if (instance && instance->IsReleased())
            instance.reset();
    }
}

SoundInstance* MixerSoundManager::NewInstance(int id)
{
    if (!ValidId(id))
        return nullptr;
    const uint32_t now = m_clock();
    if (now - m_lastSweep > kSweepIntervalMs)
    {
        SweepReleased();
        m_lastSweep = now;
    }
    int slot = -1;
    for (int i = 0; i < kMaxInstances && slot < 0; ++i)
    {
        auto& instance = m_instances[static_cast<size_t>(i)];
        if (!instance || instance->IsReleased())
            slot = i;
    }
    if (slot < 0)
        return nullptr;
    const LoadedSound& loaded = m_sounds[static_cast<size_t>(id)];
    if (HasDevice() && !loaded.sound)
        return nullptr;
    auto& instance = m_instances[static_cast<size_t>(slot)];
    instance.reset();
    instance =
        std::make_unique<MixerSoundInstance>(HasDevice() ? m_output : nullptr, slot, loaded.sound,
                                             m_masterVolume, loaded.baseVolume, loaded.basePan);
    return instance.get();
}

void MixerSoundManager::UnloadAllEffects()
{
    for (int id = 0; id < kMaxEffects; ++id)
        UnloadEffect(id);
}

void MixerSoundManager::DeleteAllInstances()
{
    for (auto& instance : m_instances)
        instance.reset();
}

double MixerSoundManager::GetSystemVolume()
{
    return 1.0;
}

void MixerSoundManager::SetSystemVolume(double)
{
}

void MixerSoundManager::AttachToWindow(void*, bool)
{
}

void MixerSoundManager::StopAllInstances()
{
    for (auto& instance : m_instances)
    {
        if (!instance)
            continue;
        // Stopping clears the automatic release; this keeps it as it was.
        const bool autoRelease = instance->IsAutoRelease();
        instance->Stop();
        instance->SetAutoRelease(autoRelease);
    }
}

std::shared_ptr<const PcmSound> MixerSoundManager::Effect(int id) const
{
    return ValidId(id) ? m_sounds[static_cast<size_t>(id)].sound : nullptr;
}

} // namespace Quillo
