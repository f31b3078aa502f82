#pragma once

#include "framework/platform/Rect.h"
#include "framework/platform/ScaleKernels.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Quillo
{

// Scales the fixed-size frame to the size it has on the output, one area
// at a time. At whole multiples each frame pixel becomes a square block
// (crisp); at any other size the picture is filtered bilinearly (smooth),
// which keeps thin lines and moving edges steady where repeating some
// pixels and not others would make them shimmer.
class FrameScaler
{
public:
    explicit FrameScaler(const ScaleKernels& kernels = ScaleKernels::Active()) : m_kernels(kernels) {}

    // The whole factor that scales the frame to the output, or 0 when there
    // is none (1 for the same size).
    static int WholeFactor(int frameWidth, int frameHeight, int outWidth, int outHeight);

    // Sets the frame's size (at least 2x2: the filter has two taps) and the
    // size it is scaled to.
    void Resize(int frameWidth, int frameHeight, int outWidth, int outHeight);
    int Factor() const { return m_factor; }

    // The output area (in output pixels, from the scaled picture's corner)
    // whose pixels depend on the frame area: the area scaled, widened by
    // the filter's reach when smooth.
    Rect OutputArea(const Rect& frameArea) const;
    // Writes the output area's pixels to dest (its first pixel; pitch in
    // pixels) from the whole frame.
    void Scale(const uint32_t* frame, int framePitch, const Rect& outArea, uint32_t* dest, ptrdiff_t destPitch);

private:
    // One smooth axis: for each output position its first tap and the
    // second tap's weight (0 to 128).
    struct Taps
    {
        std::vector<int32_t> first;
        std::vector<uint16_t> weight;
    };
    static void MakeTaps(Taps& taps, int outLength, int frameLength);
    void ScaleCrisp(const uint32_t* frame, int framePitch, const Rect& outArea, uint32_t* dest, ptrdiff_t destPitch);
    void ScaleSmooth(const uint32_t* frame, int framePitch, const Rect& outArea, uint32_t* dest, ptrdiff_t destPitch);

    const ScaleKernels& m_kernels;
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    int m_outWidth = 0;
    int m_outHeight = 0;
    int m_factor = 1;
    Taps m_columns;
    Taps m_rows;
    // The columns' weights as blendAcross takes them, eight per column.
    std::vector<uint16_t> m_columnWeights;
    // Frame rows scaled across, kept by row parity: consecutive output rows
    // share their two source rows.
    std::vector<uint16_t> m_across[2];
    int m_acrossRow[2] = {-1, -1};
};

} // namespace Quillo
