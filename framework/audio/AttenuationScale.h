#pragma once

// Volumes and pans on the attenuation scale that sound effects use:
// attenuation in hundredths of a decibel, 0 = full level, -10000 = silence.
namespace Quillo::AttenuationScale
{

constexpr int kSilence = -10000;
constexpr int kPanLeft = -10000;
constexpr int kPanRight = 10000;

// A linear volume 0..1 to attenuation: trunc((log10(9v + 1) - 1) × 2333),
// and anything below -2000 becomes silence.
int VolumeToAttenuation(double volume);

// 10^(a / 2000); silence (or less) gives exactly 0.
float AttenuationToGain(int attenuation);

struct StereoGain
{
    float left = 1.0f;
    float right = 1.0f;
};

// A pan (clamped to -10000..10000) attenuates the side it points away from
// by |pan| hundredths of a decibel; the other side keeps `gain`.
StereoGain PanGains(float gain, int pan);

} // namespace Quillo::AttenuationScale
