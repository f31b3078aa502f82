#include "framework/platform/FrameScaler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

using namespace Quillo;

namespace
{

std::vector<uint32_t> Noise(size_t n, uint32_t seed)
{
    std::mt19937 rng(seed);
    std::vector<uint32_t> px(n);
    for (auto& p : px)
        p = rng();
    return px;
}

std::vector<const ScaleKernels*> VectorSets()
{
    std::vector<const ScaleKernels*> sets{ScaleKernels::Sse2()};
    if (const ScaleKernels* avx2 = ScaleKernels::Avx2())
        sets.push_back(avx2);
    return sets;
}

constexpr int kFw = 100, kFh = 75;

// The output area of the frame area, scaled by the given kernels into an
// output of outW x outH (other pixels stay 0).
std::vector<uint32_t> Scaled(const ScaleKernels& kernels, const std::vector<uint32_t>& frame, int outW, int outH,
                             const Rect& frameArea)
{
    FrameScaler scaler(kernels);
    scaler.Resize(kFw, kFh, outW, outH);
    std::vector<uint32_t> out(size_t(outW) * size_t(outH));
    const Rect o = scaler.OutputArea(frameArea);
    scaler.Scale(frame.data(), kFw, o, &out[size_t(o.y) * size_t(outW) + size_t(o.x)], outW);
    return out;
}

} // namespace

// Every width from 0 to 17 runs both the vector body and the row end.
TEST(ScaleKernelsTest, VectorSetsGiveTheReferenceWords)
{
    const ScaleKernels& ref = ScaleKernels::Scalar();
    const auto src = Noise(32, 1);
    std::mt19937 rng(2);
    for (const ScaleKernels* set : VectorSets())
        for (int n = 0; n <= 17; ++n)
        {
            SCOPED_TRACE(testing::Message() << set->name << ", " << n << " pixels");
            for (int factor = 1; factor <= 10; ++factor)
            {
                std::vector<uint32_t> a(size_t(n * factor) + 1, 7), b = a;
                ref.repeatRow(a.data(), src.data(), n, factor);
                set->repeatRow(b.data(), src.data(), n, factor);
                EXPECT_EQ(a, b) << "factor " << factor;
            }
            std::vector<int32_t> first(static_cast<size_t>(n));
            std::vector<uint16_t> weights(size_t(n) * 8);
            for (int i = 0; i < n; ++i)
            {
                first[size_t(i)] = int32_t(rng() % 31);
                const uint16_t w = uint16_t(rng() % 129);
                for (int c = 0; c < 4; ++c)
                {
                    weights[size_t(i) * 8 + size_t(c)] = uint16_t(128 - w);
                    weights[size_t(i) * 8 + 4 + size_t(c)] = w;
                }
            }
            std::vector<uint16_t> top(size_t(n) * 4), bottom(size_t(n) * 4), check(size_t(n) * 4);
            ref.blendAcross(top.data(), src.data(), first.data(), weights.data(), n);
            set->blendAcross(check.data(), src.data(), first.data(), weights.data(), n);
            EXPECT_EQ(top, check);
            std::reverse(first.begin(), first.end());
            ref.blendAcross(bottom.data(), src.data(), first.data(), weights.data(), n);
            for (int weight : {0, 1, 77, 128})
            {
                std::vector<uint32_t> a(static_cast<size_t>(n)), b = a;
                ref.blendDown(a.data(), top.data(), bottom.data(), weight, n);
                set->blendDown(b.data(), top.data(), bottom.data(), weight, n);
                EXPECT_EQ(a, b) << "weight " << weight;
            }
        }
}

// Whole multiples, crisp (3x by shuffles, 7x by permutes, 9x by stores),
// and sizes in between, up and down; whole frames and an area with odd
// edges, as the window surface scales a changed area.
TEST(FrameScalerTest, VectorSetsScaleAsTheReference)
{
    const auto frame = Noise(size_t(kFw) * kFh, 3);
    for (const ScaleKernels* set : VectorSets())
        for (auto [w, h] : {std::pair{300, 225}, std::pair{700, 525}, std::pair{900, 675}, std::pair{160, 120},
                            std::pair{117, 88}, std::pair{61, 45}})
            for (const Rect& area : {Rect{0, 0, kFw, kFh}, Rect{3, 5, 17, 9}})
            {
                SCOPED_TRACE(testing::Message() << set->name << " at " << w << "x" << h << ", area x " << area.x);
                EXPECT_TRUE(Scaled(ScaleKernels::Scalar(), frame, w, h, area) == Scaled(*set, frame, w, h, area));
            }
}

TEST(FrameScalerTest, CrispAtWholeMultiplesSmoothInBetween)
{
    const auto frame = Noise(size_t(kFw) * kFh, 4);
    const ScaleKernels& ref = ScaleKernels::Scalar();
    // 3x: every frame pixel a 3x3 block.
    auto out = Scaled(ref, frame, 300, 225, Rect{0, 0, kFw, kFh});
    bool blocks = true;
    for (int y = 0; y < 225 && blocks; ++y)
        for (int x = 0; x < 300 && blocks; ++x)
            blocks = out[size_t(y) * 300 + size_t(x)] == frame[size_t(y / 3) * kFw + size_t(x / 3)];
    EXPECT_TRUE(blocks);

    // 1.6x and 0.61x: bilinear between pixel centres, the edges held, to
    // within the rounding of 7-bit weights.
    for (auto [w, h] : {std::pair{160, 120}, std::pair{61, 45}})
    {
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        out = Scaled(ref, frame, w, h, Rect{0, 0, kFw, kFh});
        int worst = 0;
        auto at = [&](double p, int length, int& i0) {
            p = std::clamp(p, 0.0, double(length - 1));
            i0 = std::min(int(p), length - 2);
            return p - i0;
        };
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                int fx = 0, fy = 0;
                const double ax = at((x + 0.5) * kFw / w - 0.5, kFw, fx);
                const double ay = at((y + 0.5) * kFh / h - 0.5, kFh, fy);
                for (int c = 0; c < 32; c += 8)
                {
                    auto ch = [&](int px, int py) { return double((frame[size_t(py) * kFw + size_t(px)] >> c) & 0xFF); };
                    const double v = (ch(fx, fy) * (1 - ax) + ch(fx + 1, fy) * ax) * (1 - ay) +
                                     (ch(fx, fy + 1) * (1 - ax) + ch(fx + 1, fy + 1) * ax) * ay;
                    const int got = int((out[size_t(y) * size_t(w) + size_t(x)] >> c) & 0xFF);
                    worst = std::max(worst, int(std::abs(got - v) + 0.5));
                }
            }
        EXPECT_LE(worst, 2);
    }
}

// A changed frame area reaches as far as the filter does: rescaling only
// the output area it names gives what rescaling everything gives.
TEST(FrameScalerTest, AnAreaRescalesAllItTouches)
{
    auto frame = Noise(size_t(kFw) * kFh, 5);
    for (auto [w, h] : {std::pair{160, 120}, std::pair{61, 45}, std::pair{200, 150}})
    {
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        FrameScaler scaler(ScaleKernels::Scalar());
        scaler.Resize(kFw, kFh, w, h);
        std::vector<uint32_t> out(size_t(w) * size_t(h));
        scaler.Scale(frame.data(), kFw, Rect{0, 0, w, h}, out.data(), w);
        for (const Rect& area : {Rect{40, 30, 1, 1}, Rect{0, 0, 2, 3}, Rect{kFw - 1, kFh - 2, 1, 2}})
        {
            for (int y = area.y; y < area.y + area.height; ++y)
                for (int x = area.x; x < area.x + area.width; ++x)
                    frame[size_t(y) * kFw + size_t(x)] ^= 0x00FFFFFFu;
            const Rect o = scaler.OutputArea(area);
            scaler.Scale(frame.data(), kFw, o, &out[size_t(o.y) * size_t(w) + size_t(o.x)], w);
        }
        EXPECT_TRUE(out == Scaled(ScaleKernels::Scalar(), frame, w, h, Rect{0, 0, kFw, kFh}));
    }
}
