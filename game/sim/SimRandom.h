#pragma once

#include <cstdint>

namespace Spindrel
{

// The simulated player's own dice (splitmix64), so that its choices never
// disturb the board's random numbers and a seed replays exactly.
class SimRandom
{
public:
    explicit SimRandom(uint64_t seed) : m_state(seed) {}

    uint64_t Next()
    {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, 1).
    double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
    float Between(float low, float high) { return low + static_cast<float>(Unit()) * (high - low); }
    bool Chance(double p) { return Unit() < p; }
    // Uniform in [0, n) for n > 0.
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }

private:
    uint64_t m_state;
};

} // namespace Spindrel
