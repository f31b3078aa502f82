#include "framework/graphics/AnimInfo.h"

#include <cstddef>
#include <cstdint>
#include <numeric>

namespace Quillo
{
namespace
{

// Delays come from the manifest unchecked: a sum past the range of the
// field stays at its largest value instead of wrapping to a negative time.
int32_t Saturated(int64_t total)
{
    return total > INT32_MAX ? INT32_MAX : static_cast<int32_t>(total);
}

} // namespace

void AnimInfo::SetPerFrameDelay(int32_t frame, int32_t delay)
{
    if (frame < 0)
        return;
    if (perFrameDelay.size() <= static_cast<size_t>(frame))
        perFrameDelay.resize(static_cast<size_t>(frame) + 1, 0);
    perFrameDelay[static_cast<size_t>(frame)] = delay;
}

void AnimInfo::Compute(int32_t cels, int32_t beginDelay, int32_t endDelay)
{
    numCels = cels > 0 ? cels : 1;
    if (frameDelay <= 0)
        frameDelay = 1;

    if (animType == AnimPingPong && numCels > 1)
    {
        frameMap.clear();
        for (int32_t i = 0; i < numCels; ++i)
            frameMap.push_back(i);
        for (int32_t i = numCels - 2; i >= 1; --i)
            frameMap.push_back(i);
    }
    if (!frameMap.empty())
        numCels = static_cast<int32_t>(frameMap.size());

    if (beginDelay > 0)
        SetPerFrameDelay(0, beginDelay);
    if (endDelay > 0)
        SetPerFrameDelay(numCels - 1, endDelay);

    if (!perFrameDelay.empty())
    {
        perFrameDelay.resize(static_cast<size_t>(numCels), 0);
        for (int32_t& d : perFrameDelay)
            if (d < 1)
                d = frameDelay;
        totalAnimTime = Saturated(std::accumulate(perFrameDelay.begin(), perFrameDelay.end(), int64_t(0)));
    }
    else
    {
        totalAnimTime = Saturated(int64_t(numCels) * frameDelay);
    }
}

} // namespace Quillo
