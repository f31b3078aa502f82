#include "framework/platform/FrameScaler.h"

#include <algorithm>
#include <cstring>

namespace Quillo
{

int FrameScaler::WholeFactor(int frameWidth, int frameHeight, int outWidth, int outHeight)
{
    if (frameWidth <= 0 || frameHeight <= 0 || outWidth < frameWidth || outWidth % frameWidth != 0)
        return 0;
    const int factor = outWidth / frameWidth;
    return outHeight == factor * frameHeight ? factor : 0;
}

void FrameScaler::MakeTaps(Taps& taps, int outLength, int frameLength)
{
    taps.first.resize(size_t(outLength));
    taps.weight.resize(size_t(outLength));
    // The frame position under each output pixel's centre, in 16.16 fixed
    // point, kept inside the frame: the edges repeat their outer pixels.
    const int64_t last = int64_t(frameLength - 1) << 16;
    for (int i = 0; i < outLength; ++i)
    {
        int64_t p = (int64_t(2 * i + 1) * frameLength << 16) / (2 * int64_t(outLength)) - 32768;
        p = std::clamp<int64_t>(p, 0, last);
        int32_t first = int32_t(p >> 16);
        uint16_t weight = uint16_t(((p & 0xFFFF) + 256) >> 9);
        if (first >= frameLength - 1)
        {
            first = frameLength - 2;
            weight = 128;
        }
        taps.first[size_t(i)] = first;
        taps.weight[size_t(i)] = weight;
    }
}

void FrameScaler::Resize(int frameWidth, int frameHeight, int outWidth, int outHeight)
{
    m_frameWidth = frameWidth;
    m_frameHeight = frameHeight;
    m_outWidth = std::max(0, outWidth);
    m_outHeight = std::max(0, outHeight);
    m_factor = WholeFactor(frameWidth, frameHeight, outWidth, outHeight);
    m_acrossRow[0] = m_acrossRow[1] = -1;
    if (m_factor > 0)
        return;
    MakeTaps(m_columns, m_outWidth, frameWidth);
    MakeTaps(m_rows, m_outHeight, frameHeight);
    m_columnWeights.resize(size_t(m_outWidth) * 8);
    for (size_t i = 0; i < m_columns.weight.size(); ++i)
        for (int c = 0; c < 4; ++c)
        {
            m_columnWeights[8 * i + size_t(c)] = uint16_t(128 - m_columns.weight[i]);
            m_columnWeights[8 * i + 4 + size_t(c)] = m_columns.weight[i];
        }
}

namespace
{

// The output range whose taps [first, first + 1] reach into [from, to) of
// the frame.
std::pair<int, int> Reach(const std::vector<int32_t>& first, int from, int to)
{
    const auto a = std::lower_bound(first.begin(), first.end(), from - 1);
    const auto b = std::lower_bound(a, first.end(), to);
    return {int(a - first.begin()), int(b - first.begin())};
}

} // namespace

Rect FrameScaler::OutputArea(const Rect& frameArea) const
{
    Rect out;
    if (m_factor > 0)
        out = Rect{frameArea.x * m_factor, frameArea.y * m_factor, frameArea.width * m_factor,
                   frameArea.height * m_factor};
    else
    {
        const auto [x0, x1] = Reach(m_columns.first, frameArea.x, frameArea.x + frameArea.width);
        const auto [y0, y1] = Reach(m_rows.first, frameArea.y, frameArea.y + frameArea.height);
        out = Rect{x0, y0, x1 - x0, y1 - y0};
    }
    return out.Intersection(Rect{0, 0, m_outWidth, m_outHeight});
}

void FrameScaler::Scale(const uint32_t* frame, int framePitch, const Rect& outArea, uint32_t* dest,
                        ptrdiff_t destPitch)
{
    if (outArea.width <= 0 || outArea.height <= 0)
        return;
    if (m_factor > 0)
        ScaleCrisp(frame, framePitch, outArea, dest, destPitch);
    else
        ScaleSmooth(frame, framePitch, outArea, dest, destPitch);
}

void FrameScaler::ScaleCrisp(const uint32_t* frame, int framePitch, const Rect& outArea, uint32_t* dest,
                             ptrdiff_t destPitch)
{
    const int k = m_factor;
    const int x0 = outArea.x, w = outArea.width;
    const bool whole = x0 % k == 0 && w % k == 0;
    const uint32_t* previousSource = nullptr;
    uint32_t* previousOut = nullptr;
    for (int y = 0; y < outArea.height; ++y)
    {
        uint32_t* out = dest + y * destPitch;
        const uint32_t* source = frame + ptrdiff_t((outArea.y + y) / k) * framePitch;
        if (source == previousSource)
            std::memcpy(out, previousOut, size_t(w) * 4); // a row the scaling repeats
        else if (k == 1)
            std::memcpy(out, source + x0, size_t(w) * 4);
        else if (whole)
            m_kernels.repeatRow(out, source + x0 / k, w / k, k);
        else
            for (int x = 0; x < w; ++x)
                out[x] = source[(x0 + x) / k];
        previousSource = source;
        previousOut = out;
    }
}

void FrameScaler::ScaleSmooth(const uint32_t* frame, int framePitch, const Rect& outArea, uint32_t* dest,
                              ptrdiff_t destPitch)
{
    const int x0 = outArea.x, w = outArea.width;
    // The rows scaled across belong to this area's columns only.
    m_acrossRow[0] = m_acrossRow[1] = -1;
    for (auto& row : m_across)
        row.resize(size_t(w) * 4);
    auto across = [&](int row) -> const uint16_t* {
        const int slot = row & 1;
        if (m_acrossRow[slot] != row)
        {
            m_kernels.blendAcross(m_across[slot].data(), frame + ptrdiff_t(row) * framePitch, &m_columns.first[size_t(x0)],
                                  &m_columnWeights[size_t(x0) * 8], w);
            m_acrossRow[slot] = row;
        }
        return m_across[slot].data();
    };
    for (int y = 0; y < outArea.height; ++y)
    {
        const size_t oy = size_t(outArea.y + y);
        const int row = m_rows.first[oy];
        const uint16_t* top = across(row);
        const uint16_t* bottom = across(row + 1);
        m_kernels.blendDown(dest + y * destPitch, top, bottom, m_rows.weight[oy], w);
    }
}

} // namespace Quillo
