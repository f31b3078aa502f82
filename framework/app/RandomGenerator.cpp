#include "framework/app/RandomGenerator.h"

namespace Quillo
{

RandomGenerator& RandomGenerator::Framework()
{
    static RandomGenerator generator;
    return generator;
}

void RandomGenerator::Seed(uint32_t seed)
{
    std::lock_guard lock(m_mutex);
    m_engine.seed(seed);
    m_seed = seed;
}

uint32_t RandomGenerator::Seed() const
{
    std::lock_guard lock(m_mutex);
    return m_seed;
}

uint32_t RandomGenerator::Next()
{
    std::lock_guard lock(m_mutex);
    return static_cast<uint32_t>(m_engine());
}

uint32_t RandomGenerator::Next(uint32_t bound)
{
    if (bound == 0)
        return 0;
    std::lock_guard lock(m_mutex);
    // Rejection keeps the values uniform (and the sequence portable,
    // unlike the standard distributions).
    const uint32_t limit = UINT32_MAX - UINT32_MAX % bound;
    uint32_t v;
    do
        v = static_cast<uint32_t>(m_engine());
    while (v >= limit);
    return v % bound;
}

double RandomGenerator::NextDouble()
{
    return (Next() >> 5) * (1.0 / 134217728.0);
}

} // namespace Quillo
