#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace PresenterFrames
{

constexpr int kW = 800;
constexpr int kH = 600;

// A frame with detail everywhere: neighbouring pixels all differ.
inline std::vector<uint32_t> Frame(uint32_t seed)
{
    std::mt19937 rng(seed);
    std::vector<uint32_t> px(size_t(kW) * kH);
    for (auto& p : px)
        p = 0xFF000000u | (rng() & 0xFFFFFFu);
    return px;
}

} // namespace PresenterFrames
