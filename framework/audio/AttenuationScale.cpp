#include "framework/audio/AttenuationScale.h"

#include <algorithm>
#include <cmath>

namespace Quillo::AttenuationScale
{

int VolumeToAttenuation(double volume)
{
    // log10 of anything at or below 1/9 below zero is undefined or silent anyway.
    const double arg = 9.0 * volume + 1.0;
    if (!(arg > 0.0))
        return kSilence;
    const int a = static_cast<int>(std::trunc((std::log10(arg) - 1.0) * 2333.0));
    return a < -2000 ? kSilence : std::min(a, 0);
}

float AttenuationToGain(int attenuation)
{
    if (attenuation <= kSilence)
        return 0.0f;
    return static_cast<float>(std::pow(10.0, std::min(attenuation, 0) / 2000.0));
}

StereoGain PanGains(float gain, int pan)
{
    pan = std::clamp(pan, kPanLeft, kPanRight);
    const float other = AttenuationToGain(-std::abs(pan)) * gain;
    StereoGain g{gain, gain};
    if (pan > 0)
        g.left = other;
    else if (pan < 0)
        g.right = other;
    return g;
}

} // namespace Quillo::AttenuationScale
