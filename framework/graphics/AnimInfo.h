#pragma once

#include <cstdint>
#include <vector>

namespace Quillo
{

// How an image's cels play as an animation; the manifest fills it in and
// calls Compute once.
struct AnimInfo
{
    enum AnimType : int32_t
    {
        AnimNone = 0,
        AnimOnce = 1,
        AnimPingPong = 2,
        AnimLoop = 3,
    };

    int32_t animType = AnimNone;
    int32_t frameDelay = 1;
    int32_t numCels = 1;
    std::vector<int32_t> perFrameDelay;
    std::vector<int32_t> frameMap;
    int32_t totalAnimTime = 0;

    void SetPerFrameDelay(int32_t frame, int32_t delay);
    void Compute(int32_t numCels, int32_t beginDelay, int32_t endDelay);
};

} // namespace Quillo
