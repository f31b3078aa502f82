#pragma once

namespace Quillo
{

// One playing copy of a loaded sound effect, made by SoundManager::NewInstance
// and owned by the manager. Keep it only until it is released.
class SoundInstance
{
public:
    virtual ~SoundInstance() = default;

    // Stops and marks the instance finished; the manager deletes it later.
    virtual void Release() = 0;
    virtual void SetBaseVolume(double volume) = 0;
    virtual void SetBasePan(int pan) = 0;
    // Semitones up (or down, when negative) from the sound's own frequency.
    virtual void ShiftPitch(double steps) = 0;
    virtual void SetVolume(double volume) = 0;
    // -10000 (left) .. 10000 (right), added to the base pan.
    virtual void SetPan(int pan) = 0;
    virtual bool Play(bool looping, bool autoRelease) = 0;
    // Stops, rewinds and clears the automatic release.
    virtual void Stop() = 0;
    virtual bool IsPlaying() = 0;
    // Releases a finished auto-release instance first.
    virtual bool IsReleased() = 0;
    virtual double GetVolume() = 0;
};

} // namespace Quillo
