#pragma once

#include <cstdint>

namespace Quillo
{

// The process-wide pseudo-random integer generator the game draws its
// picture, bonus and ball choices from: values 0..32767. Demo recording
// and playback seed it from the demo's seed so that a run repeats exactly.
void SeedRandomInt(uint32_t seed);
int RandomInt();

} // namespace Quillo
