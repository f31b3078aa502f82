#include "framework/app/DemoPlaybackKeys.h"

namespace Quillo
{

uint32_t DemoPlaybackKeys::TargetBeforeEnd(uint32_t totalUpdates, int seconds, int updateStepMs)
{
    const uint64_t back = static_cast<uint64_t>(seconds) * 1000u / static_cast<uint64_t>(updateStepMs > 0 ? updateStepMs : 10);
    return back >= totalUpdates ? 0 : static_cast<uint32_t>(totalUpdates - back);
}

bool DemoPlaybackKeys::HandleKey(int key, uint32_t totalUpdates, uint32_t updateCount, int updateStepMs,
                                 DemoPlaybackState& state)
{
    static constexpr int kJumpSeconds[] = {120, 90, 60, 30, 10, 5};
    if (key == '0' || (key >= '4' && key <= '9'))
    {
        const uint32_t target =
            key == '0' ? totalUpdates : TargetBeforeEnd(totalUpdates, kJumpSeconds[key - '4'], updateStepMs);
        // A demo only runs forwards: a point already passed is not a target.
        if (target > updateCount)
            state.jumpTarget = target;
        return true;
    }
    switch (key)
    {
    case '1':
        state.speedFactor = 1.0;
        return true;
    case '2':
        state.speedFactor = 2.0;
        return true;
    case '3':
        state.speedFactor = 4.0;
        return true;
    case 'P':
        state.paused = !state.paused;
        return true;
    case 'S':
        if (state.paused)
            state.stepRequested = true;
        return true;
    default:
        return false;
    }
}

} // namespace Quillo
