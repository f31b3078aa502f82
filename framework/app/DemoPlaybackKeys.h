#pragma once

#include <cstdint>
#include <optional>

namespace Quillo
{

// What the playback keys have asked for.
struct DemoPlaybackState
{
    double speedFactor = 1.0;
    bool paused = false;
    // Run one update while paused.
    bool stepRequested = false;
    // Run without drawing (muted) until this update number.
    std::optional<uint32_t> jumpTarget;
};

// The keys the window still answers while a demo plays:
//   "0"                  jump to the end of the recording
//   "4" .. "9"           jump to 120, 90, 60, 30, 10 or 5 seconds before it
//   "1", "2", "3"        speed 1x, 2x, 4x
//   "P"                  pause or go on
//   "S"                  one step while paused
class DemoPlaybackKeys
{
public:
    // Returns true when the key (a virtual key code) is a playback key.
    static bool HandleKey(int key, uint32_t totalUpdates, uint32_t updateCount, int updateStepMs,
                          DemoPlaybackState& state);

    // The update number `seconds` before the end (0 at the least).
    static uint32_t TargetBeforeEnd(uint32_t totalUpdates, int seconds, int updateStepMs);
};

} // namespace Quillo
