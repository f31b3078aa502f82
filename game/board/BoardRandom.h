#pragma once

#include <cstdint>

namespace Spindrel
{

// The board's own generator for float intervals: one 32-bit state for the
// whole run, never reseeded.
class IntervalGenerator
{
public:
    // A value in [1, 2): the low 23 bits of the state as a mantissa.
    float Next()
    {
        m_state = m_state * 1664525u + 1013904223u;
        return 1.0f + static_cast<float>(m_state & 0x7FFFFFu) / 8388608.0f;
    }

    uint32_t State() const { return m_state; }

private:
    uint32_t m_state = 0x12345678u;
};

// A small generator of values 0..32767 for hosts and tests that have no
// process-wide one (the classic multiply-and-add with a 15-bit result).
class Random15
{
public:
    explicit Random15(uint32_t seed = 1) : m_state(seed) {}

    int Next()
    {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & 0x7FFFu);
    }

private:
    uint32_t m_state;
};

} // namespace Spindrel
