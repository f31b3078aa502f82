#pragma once

#include <string>

namespace Quillo
{

// Music tracks by id: module music started at an order position, or
// streams. This base plays nothing; it stands in when there is no sound.
//
// `offset` is the order position for module music and whole seconds into
// a stream; -1 continues from where the track is.
class MusicInterface
{
public:
    virtual ~MusicInterface() = default;

    virtual bool LoadTrack(int /*id*/, const std::string& /*path*/) { return false; }
    virtual void PlayTrack(int /*id*/, int /*offset*/, bool /*noLoop*/) {}
    virtual void StopTrack(int /*id*/) {}
    virtual void PauseTrack(int /*id*/) {}
    virtual void ResumeTrack(int /*id*/) {}
    virtual void StopAllTracks() {}
    virtual void UnloadTrack(int /*id*/) {}
    virtual void UnloadAllTracks() {}
    virtual void PauseAllTracks() {}
    virtual void ResumeAllTracks() {}
    virtual void FadeInTrack(int /*id*/, int /*offset*/, double /*speed*/, bool /*noLoop*/) {}
    virtual void FadeOutTrack(int /*id*/, bool /*stopAtSilence*/, double /*speed*/) {}
    virtual void FadeOutAllTracks(bool /*stopAtSilence*/, double /*speed*/) {}
    virtual void SetTrackVolume(int /*id*/, double /*volume*/) {}
    virtual void SetTrackVolumeCap(int /*id*/, double /*cap*/) {}
    virtual bool IsTrackPlaying(int /*id*/) { return false; }
    virtual void SetMasterMusicVolume(double /*volume*/) {}
    virtual void SetTrackAmplify(int /*id*/, double /*amplify*/) {}
    // Once per 10 ms update step.
    virtual void UpdateFades() {}
};

} // namespace Quillo
