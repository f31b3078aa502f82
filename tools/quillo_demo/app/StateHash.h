#pragma once

#include <cstdint>

namespace QuilloDemo
{

// FNV-1a over the numbers that make up a widget's state.
class StateHash
{
public:
    void Add(uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
        {
            m_hash ^= (value >> (8 * i)) & 0xFFu;
            m_hash *= 16777619u;
        }
    }
    uint32_t Value() const { return m_hash; }

private:
    uint32_t m_hash = 2166136261u;
};

} // namespace QuilloDemo
