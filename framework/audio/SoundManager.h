#pragma once

#include <string>

namespace Quillo
{

class SoundInstance;

// Sound effects: up to 256 decoded sounds by id, played through short-lived
// instances that share the loaded samples.
class SoundManager
{
public:
    static constexpr int kMaxEffects = 256;
    static constexpr int kMaxInstances = 32;

    virtual ~SoundManager() = default;

    virtual bool HasDevice() = 0;
    // `path` has no extension; the cache, ".wav", ".ogg" and ".au" are tried.
    virtual bool LoadEffect(int id, const std::string& path) = 0;
    virtual void UnloadEffect(int id) = 0;
    virtual void SetEffectsVolume(double volume) = 0;
    virtual bool SetEffectBaseVolume(int id, double volume) = 0;
    virtual bool SetEffectBasePan(int id, int pan) = 0;
    // Nothing when the id is out of range or unloaded, or all slots are busy.
    virtual SoundInstance* NewInstance(int id) = 0;
    virtual void UnloadAllEffects() = 0;
    virtual void DeleteAllInstances() = 0;
    virtual double GetSystemVolume() = 0;
    virtual void SetSystemVolume(double volume) = 0;
    // `window` is the platform's window handle; may be null.
    virtual void AttachToWindow(void* window, bool windowed) = 0;
    virtual void StopAllInstances() = 0;
};

} // namespace Quillo
