#pragma once

#include <cstdint>
#include <mutex>
#include <random>

namespace Quillo
{

// The framework's random generator, seeded at start-up with the tick count
// (or from a demo's seed), which demo files store.
class RandomGenerator
{
public:
    explicit RandomGenerator(uint32_t seed = 5489u) : m_engine(seed), m_seed(seed) {}

    // The one generator of the framework.
    static RandomGenerator& Framework();

    void Seed(uint32_t seed);
    uint32_t Seed() const;
    uint32_t Next();
    // Uniform in [0, bound); 0 when bound is 0.
    uint32_t Next(uint32_t bound);
    // Uniform in [0, 1).
    double NextDouble();

private:
    mutable std::mutex m_mutex;
    std::mt19937 m_engine;
    uint32_t m_seed;
};

} // namespace Quillo
