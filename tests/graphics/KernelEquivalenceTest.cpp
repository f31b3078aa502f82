// Every vector kernel set must give exactly the words of the scalar reference.
#include "TestImages.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/PixelKernels.h"
#include "framework/graphics/StretchTaps.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace Quillo;
using QuilloTest::RandomPixels;

namespace
{

std::vector<const PixelKernels*> VectorSets()
{
    std::vector<const PixelKernels*> sets;
    for (const PixelKernels* set : {PixelKernels::Sse2(), PixelKernels::Avx2(), PixelKernels::Avx512()})
        if (set)
            sets.push_back(set);
    return sets;
}

// The pixels of a w x h destination after draw, with kernels as the active set.
std::vector<uint32_t> Drawn(const PixelKernels& kernels, int w, int h, const std::vector<uint32_t>& destPixels,
                            bool opaque, const std::function<void(Graphics&)>& draw)
{
    PixelKernels::Override(&kernels);
    auto dest = QuilloTest::MakeImage(w, h, destPixels);
    if (opaque)
        dest->ForceAlphaFlags(false, false);
    Graphics g(dest.get());
    draw(g);
    PixelKernels::Override(nullptr);
    return std::vector<uint32_t>(dest->GetBits(), dest->GetBits() + size_t(w) * size_t(h));
}

} // namespace

// Each row kernel on a fresh copy of random pixels, over widths 1..67 so
// that bodies, heads and tails all run.
TEST(KernelEquivalence, RowKernels)
{
    std::vector<std::pair<std::string, std::function<void(const PixelKernels&, uint32_t*, const uint32_t*, int)>>> ops;
    ops.emplace_back("compositeAlpha",
                     [](const auto& k, auto* d, const auto* s, int n) { k.compositeAlpha(d, s, n); });
    ops.emplace_back("fill", [](const auto& k, auto* d, const auto* s, int n) { k.fill(d, n, s[0]); });
    for (uint32_t color : {0xFF808080u, 0x80FF2000u, 0x01FFFFFFu, 0xFEFFFFFFu, 0x7F123456u})
        ops.emplace_back("modulate " + std::to_string(color),
                         [=](const auto& k, auto* d, const auto* s, int n) { k.modulate(d, s, n, color); });
    for (bool useAlpha : {false, true})
        for (uint32_t kk : {256u, 255u, 128u, 0u})
            ops.emplace_back("additive " + std::to_string(kk) + (useAlpha ? " alpha" : ""),
                             [=](const auto& k, auto* d, const auto* s, int n) {
                                 k.additive(d, s, n, kk, 256 - kk / 2, kk / 3, useAlpha);
                             });
    std::mt19937 rng(1234);
    for (const auto& [what, op] : ops)
        for (const PixelKernels* set : VectorSets())
            for (int n = 1; n <= 67; ++n)
                for (int rep = 0; rep < 20; ++rep)
                {
                    const auto src = RandomPixels(rng, size_t(n));
                    auto expected = RandomPixels(rng, size_t(n)), actual = expected;
                    op(PixelKernels::Scalar(), expected.data(), src.data(), n);
                    op(*set, actual.data(), src.data(), n);
                    ASSERT_EQ(actual, expected) << what << " " << set->name << " width " << n;
                }
}

// The vertical kernel with the weights stretches really make, shrinks by
// factors up to 100 among them, on rows of channel sums as large as the
// horizontal pass makes; the horizontal pairs with any two weights.
TEST(KernelEquivalence, VerticalResampleAndHorizontalPairs)
{
    std::mt19937 rng(99);
    std::vector<StretchTaps> stretches;
    for (int factor = 1; factor <= 100; ++factor)
        stretches.push_back(StretchTaps::Build(0.0, factor + 0.37 * (factor % 3), 0, 3, 0, 3 * factor + factor));
    for (int destRows : {3, 7, 64})
        stretches.push_back(StretchTaps::Build(0.5, 5.0 / destRows, 0, destRows, 0, 6));
    for (const PixelKernels* set : VectorSets())
        for (size_t which = 0; which < stretches.size(); ++which)
        {
            const StretchTaps& taps = stretches[which];
            const int n = 1 + int(which % 67);
            for (size_t row = 0; row < taps.first.size(); ++row)
            {
                const int count = taps.count[row];
                const int32_t* weights = &taps.weights[size_t(taps.offset[row])];
                std::vector<std::vector<uint16_t>> rows(size_t(count), std::vector<uint16_t>(size_t(n) * 4));
                std::vector<const uint16_t*> ptrs;
                for (auto& r : rows)
                {
                    for (auto& v : r)
                        v = uint16_t(rng() % 2 ? 65280 : rng() % 65281);
                    ptrs.push_back(r.data());
                }
                std::vector<uint32_t> expected(static_cast<size_t>(n)), actual(static_cast<size_t>(n));
                PixelKernels::Scalar().verticalResample(expected.data(), ptrs.data(), weights, count, n);
                set->verticalResample(actual.data(), ptrs.data(), weights, count, n);
                ASSERT_EQ(actual, expected) << set->name << " vertical, width " << n << " taps " << count;
            }
            const auto line = RandomPixels(rng, 40);
            std::vector<int32_t> first;
            std::vector<uint16_t> weights;
            for (int i = 0; i < n; ++i)
            {
                first.push_back(int32_t(rng() % 39));
                const uint16_t w0 = uint16_t(rng() % 257), w1 = uint16_t(256 - w0);
                weights.insert(weights.end(), {w0, w0, w0, w0, w1, w1, w1, w1});
            }
            std::vector<uint16_t> expected(size_t(n) * 4), actual(size_t(n) * 4);
            PixelKernels::Scalar().horizontalPairs(expected.data(), line.data(), first.data(), weights.data(), n);
            set->horizontalPairs(actual.data(), line.data(), first.data(), weights.data(), n);
            ASSERT_EQ(actual, expected) << set->name << " horizontal, width " << n;
        }
}

// Large shrinks on every set, the reference too, against averages worked
// out by hand: 100 x 60 pixels to 1 x 2, each destination pixel the mean of
// a 100 x 30 block. Red is 40 in the upper block and 200 in the lower, green
// falls by 2 a column from 255 (mean 156), blue is 90 throughout.
TEST(KernelEquivalence, LargeShrinksAverageTheCoveredArea)
{
    std::vector<uint32_t> px;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 100; ++x)
            px.push_back(QuilloTest::Argb(255, y < 30 ? 40 : 200, uint32_t(255 - 2 * x), 90));
    auto src = QuilloTest::MakeImage(100, 60, px);
    std::vector<const PixelKernels*> sets = VectorSets();
    sets.push_back(&PixelKernels::Scalar());
    for (const PixelKernels* set : sets)
    {
        const auto out = Drawn(*set, 1, 2, {0u, 0u}, false,
                               [&](Graphics& g) { g.DrawImage(src.get(), Rect{0, 0, 1, 2}, Rect{0, 0, 100, 60}); });
        for (int row = 0; row < 2; ++row)
        {
            const int red = row == 0 ? 40 : 200;
            const uint32_t p = out[size_t(row)];
            EXPECT_EQ(p >> 24, 255u) << set->name;
            EXPECT_NEAR(int(p >> 16 & 0xFF), red, 1) << set->name << " row " << row;
            EXPECT_NEAR(int(p >> 8 & 0xFF), 156, 1) << set->name << " row " << row;
            EXPECT_NEAR(int(p & 0xFF), 90, 1) << set->name << " row " << row;
        }
    }
}

TEST(KernelEquivalence, RotateRow)
{
    std::mt19937 rng(21);
    for (const PixelKernels* set : VectorSets())
        for (int round = 0; round < 400; ++round)
        {
            const int w = 1 + int(rng() % 20), h = 1 + int(rng() % 20), pitch = w + 2;
            std::vector<uint32_t> padded(size_t(pitch) * size_t(h + 2), 0u);
            const auto px = RandomPixels(rng, size_t(w) * size_t(h));
            for (int y = 0; y < h; ++y)
                std::copy(px.begin() + y * w, px.begin() + (y + 1) * w, padded.begin() + (y + 1) * pitch + 1);
            const RotateSource src{&padded[size_t(pitch) + 1], pitch, w, h};
            RotateRow row;
            row.count = 1 + int(rng() % 67);
            row.sx = int32_t(rng() % (uint32_t(w + 4) << 16)) - (2 << 16);
            row.sy = int32_t(rng() % (uint32_t(h + 4) << 16)) - (2 << 16);
            row.dsx = int32_t(rng() % 131072) - 65536;
            row.dsy = int32_t(rng() % 131072) - 65536;
            const auto dest = RandomPixels(rng, size_t(row.count));
            for (bool additive : {false, true})
            {
                auto expected = dest, actual = dest;
                row.dest = expected.data();
                PixelKernels::Scalar().rotateRow(src, row, additive);
                row.dest = actual.data();
                set->rotateRow(src, row, additive);
                ASSERT_EQ(actual, expected) << set->name << " round " << round << " additive " << additive;
            }
        }
}

// Whole drawing operations through a context with random positions and
// clip rectangles, on destinations with and without alpha.
TEST(KernelEquivalence, DrawingOperations)
{
    std::mt19937 rng(7);
    for (const PixelKernels* set : VectorSets())
        for (int round = 0; round < 60; ++round)
        {
            const int sw = 1 + int(rng() % 67), sh = 1 + int(rng() % 9);
            auto src = QuilloTest::MakeImage(sw, sh, RandomPixels(rng, size_t(sw) * size_t(sh)));
            if (round % 5 == 0)
                src->ConvertToPalette();
            const auto destPixels = RandomPixels(rng, 80 * 12);
            const Rect clip{int(rng() % 20), int(rng() % 4), 1 + int(rng() % 80), 1 + int(rng() % 12)};
            const int x = int(rng() % 40) - 10, y = int(rng() % 8) - 3;
            const int op = round % 6;
            const Color tint(int(rng() % 256), int(rng() % 256), int(rng() % 256), int(rng() % 256));
            const double angle = double(rng() % 628) / 100.0;
            auto draw = [&](Graphics& g) {
                g.IntersectClip(clip);
                g.SetDrawMode(op == 1 ? DRAWMODE_ADDITIVE : DRAWMODE_NORMAL);
                g.SetTintImages(op == 2 || op == 1);
                g.SetColor(tint);
                switch (op)
                {
                case 0:
                case 1:
                case 2: g.DrawImage(src.get(), x, y); break;
                case 3: g.DrawImage(src.get(), x, y, sw * 2 + 1, sh * 3); break;
                case 4: g.DrawImage(src.get(), Rect{x, y, 1 + sw / 3, 1 + sh / 2}, Rect{0, 0, sw, sh}); break;
                default: g.DrawImageRotatedF(src.get(), float(x) + 0.3f, float(y), angle, sw / 2, sh / 2); break;
                }
                g.FillRect(x, y, 7, 3);
            };
            const bool opaque = round % 2 == 0;
            ASSERT_EQ(Drawn(*set, 80, 12, destPixels, opaque, draw),
                      Drawn(PixelKernels::Scalar(), 80, 12, destPixels, opaque, draw))
                << set->name << " round " << round;
        }
}

// Sprites onto an opaque destination, the case whose kernels skip the
// transparent ends of rows and copy opaque middles: every width up to 67
// and some rows longer than one run-length byte can hold, clipped at random,
// from both pixel forms.
TEST(KernelEquivalence, OpaqueDestinationSprites)
{
    std::vector<int> widths;
    for (int w = 1; w <= 67; ++w)
        widths.push_back(w);
    widths.insert(widths.end(), {255, 256, 300, 530});
    std::mt19937 rng(31);
    for (const PixelKernels* set : VectorSets())
        for (int w : widths)
            for (int rep = 0; rep < 4; ++rep)
            {
                const int h = 1 + int(rng() % 6);
                const bool palette = rep == 3;
                auto src = QuilloTest::MakeImage(w, h, QuilloTest::SpritePixels(rng, w, h, palette));
                if (palette)
                {
                    ASSERT_TRUE(src->ConvertToPalette());
                }
                const int dw = w + 40, dh = h + 4;
                const auto destPixels = RandomPixels(rng, size_t(dw) * size_t(dh));
                const Rect clip{int(rng() % 24), int(rng() % 3), 1 + int(rng() % uint32_t(dw)),
                                1 + int(rng() % uint32_t(dh))};
                const int x = int(rng() % 48) - 8, y = int(rng() % 6) - 2;
                auto draw = [&](Graphics& g) {
                    g.IntersectClip(clip);
                    g.DrawImage(src.get(), x, y);
                };
                ASSERT_EQ(Drawn(*set, dw, dh, destPixels, true, draw),
                          Drawn(PixelKernels::Scalar(), dw, dh, destPixels, true, draw))
                    << set->name << " width " << w << " rep " << rep;
            }
}
