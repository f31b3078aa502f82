// Our software drawing against pixman on the same 800x600 ARGB work, in
// one run. Prints "NAME: ours X ms, yardstick Y ms, ratio R" per pair, from
// CPU time, which stays meaningful on a machine shared with other work.
#include "bench/MedianReporter.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/PixelKernels.h"
#include "framework/platform/FrameScaler.h"

#include <benchmark/benchmark.h>
#include <emmintrin.h>
#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace Quillo;

namespace
{

constexpr int kW = 800, kH = 600;

uint32_t Premultiply(uint32_t p)
{
    const uint32_t a = p >> 24;
    auto c = [a](uint32_t v) { return (v * a + 127) / 255; };
    return (a << 24) | (c((p >> 16) & 0xFF) << 16) | (c((p >> 8) & 0xFF) << 8) | c(p & 0xFF);
}

std::vector<uint32_t> RandomAlpha(int w, int h, uint32_t seed)
{
    std::mt19937 rng(seed);
    std::vector<uint32_t> px(size_t(w) * size_t(h));
    for (auto& p : px)
        p = rng();
    return px;
}

// Opaque inside a disc, transparent outside, a soft edge in between: the
// alpha of a typical game sprite.
std::vector<uint32_t> SpriteAlpha(int w, int h, uint32_t seed)
{
    std::mt19937 rng(seed);
    std::vector<uint32_t> px(size_t(w) * size_t(h));
    const int cell = 60;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const double dx = (x % cell) - cell / 2 + 0.5, dy = (y % cell) - cell / 2 + 0.5;
            const double edge = 27.0 - std::sqrt(dx * dx + dy * dy);
            const int a = edge >= 1.0 ? 255 : (edge <= -1.0 ? 0 : int((edge + 1.0) * 127.5));
            px[size_t(y) * size_t(w) + size_t(x)] = (uint32_t(a) << 24) | (rng() & 0xFFFFFF);
        }
    return px;
}

struct Ours
{
    std::unique_ptr<MemoryImage> screen;
    std::unique_ptr<MemoryImage> src;

    Ours(const std::vector<uint32_t>& srcPixels, int sw, int sh)
    {
        screen = std::make_unique<MemoryImage>();
        std::vector<uint32_t> bg(size_t(kW) * kH, 0xFF336699u);
        screen->SetBits(bg.data(), kW, kH);
        screen->ForceAlphaFlags(false, false);
        src = std::make_unique<MemoryImage>();
        src->SetBits(srcPixels.data(), sw, sh);
    }
};

struct Pixman
{
    std::vector<uint32_t> destPixels;
    std::vector<uint32_t> srcPixels;
    pixman_image_t* dest = nullptr;
    pixman_image_t* src = nullptr;

    Pixman(const std::vector<uint32_t>& pixels, int sw, int sh)
        : destPixels(size_t(kW) * kH, 0xFF336699u), srcPixels(pixels)
    {
        for (auto& p : srcPixels)
            p = Premultiply(p);
        dest = pixman_image_create_bits(PIXMAN_x8r8g8b8, kW, kH, destPixels.data(), kW * 4);
        src = pixman_image_create_bits(PIXMAN_a8r8g8b8, sw, sh, srcPixels.data(), sw * 4);
    }
    ~Pixman()
    {
        pixman_image_unref(src);
        pixman_image_unref(dest);
    }
};

void OursFullFrame(benchmark::State& state, bool sprite)
{
    Ours o(sprite ? SpriteAlpha(kW, kH, 1) : RandomAlpha(kW, kH, 1), kW, kH);
    for (auto _ : state)
        o.screen->PaintImage(o.src.get(), 0, 0, Rect{0, 0, kW, kH}, Color::White, DRAWMODE_NORMAL);
}

void PixmanFullFrame(benchmark::State& state, bool sprite)
{
    Pixman p(sprite ? SpriteAlpha(kW, kH, 1) : RandomAlpha(kW, kH, 1), kW, kH);
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_OVER, p.src, nullptr, p.dest, 0, 0, 0, 0, 0, 0, kW, kH);
}

void OursAdditive(benchmark::State& state)
{
    Ours o(RandomAlpha(kW, kH, 2), kW, kH);
    for (auto _ : state)
        o.screen->PaintImage(o.src.get(), 0, 0, Rect{0, 0, kW, kH}, Color::White, DRAWMODE_ADDITIVE);
}

void PixmanAdditive(benchmark::State& state)
{
    Pixman p(RandomAlpha(kW, kH, 2), kW, kH);
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_ADD, p.src, nullptr, p.dest, 0, 0, 0, 0, 0, 0, kW, kH);
}

void OursModulated(benchmark::State& state)
{
    Ours o(RandomAlpha(kW, kH, 3), kW, kH);
    const Color tint(200, 150, 100, 200);
    for (auto _ : state)
        o.screen->PaintImage(o.src.get(), 0, 0, Rect{0, 0, kW, kH}, tint, DRAWMODE_NORMAL);
}

void PixmanModulated(benchmark::State& state)
{
    Pixman p(RandomAlpha(kW, kH, 3), kW, kH);
    const pixman_color_t c{uint16_t(200 * 257), uint16_t(150 * 257), uint16_t(100 * 257), uint16_t(200 * 257)};
    pixman_image_t* mask = pixman_image_create_solid_fill(&c);
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_OVER, p.src, mask, p.dest, 0, 0, 0, 0, 0, 0, kW, kH);
    pixman_image_unref(mask);
}

std::vector<std::pair<int, int>> SpritePositions()
{
    std::mt19937 rng(5);
    std::vector<std::pair<int, int>> pos;
    for (int i = 0; i < 500; ++i)
        pos.emplace_back(int(rng() % (kW - 60)), int(rng() % (kH - 60)));
    return pos;
}

void OursSprites(benchmark::State& state)
{
    Ours o(SpriteAlpha(60, 60, 4), 60, 60);
    const auto pos = SpritePositions();
    Graphics g(o.screen.get());
    for (auto _ : state)
        for (const auto& [x, y] : pos)
            g.DrawImage(o.src.get(), x, y);
}

void PixmanSprites(benchmark::State& state)
{
    Pixman p(SpriteAlpha(60, 60, 4), 60, 60);
    const auto pos = SpritePositions();
    for (auto _ : state)
        for (const auto& [x, y] : pos)
            pixman_image_composite32(PIXMAN_OP_OVER, p.src, nullptr, p.dest, 0, 0, 0, 0, x, y, 60, 60);
}

void OursStretch(benchmark::State& state)
{
    Ours o(SpriteAlpha(kW / 2, kH / 2, 6), kW / 2, kH / 2);
    for (auto _ : state)
        o.screen->PaintImageStretched(o.src.get(), Rect{0, 0, kW, kH}, Rect{0, 0, kW / 2, kH / 2},
                                      Rect{0, 0, kW, kH}, Color::White, DRAWMODE_NORMAL, false);
}

void PixmanStretch(benchmark::State& state)
{
    Pixman p(SpriteAlpha(kW / 2, kH / 2, 6), kW / 2, kH / 2);
    pixman_transform_t t;
    pixman_transform_init_scale(&t, pixman_double_to_fixed(0.5), pixman_double_to_fixed(0.5));
    pixman_image_set_transform(p.src, &t);
    pixman_image_set_filter(p.src, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_OVER, p.src, nullptr, p.dest, 0, 0, 0, 0, 0, 0, kW, kH);
}

constexpr double kAngle = 30.0 * 3.14159265358979323846 / 180.0;

void OursRotate(benchmark::State& state)
{
    Ours o(SpriteAlpha(90, 90, 7), 90, 90);
    for (auto _ : state)
        o.screen->PaintImageRotated(o.src.get(), 300.0f, 200.0f, Rect{0, 0, 90, 90}, Rect{0, 0, kW, kH},
                                    Color::White, DRAWMODE_NORMAL, kAngle, 45, 45);
}

void PixmanRotate(benchmark::State& state)
{
    Pixman p(SpriteAlpha(90, 90, 7), 90, 90);
    // The bounding box of the rotated picture, centred where ours puts it.
    const int box = int(std::ceil(90.0 * (std::cos(kAngle) + std::sin(kAngle))));
    const int bx = 345 - box / 2, by = 245 - box / 2;
    // Box position -> source position: about the box centre onto the source centre.
    pixman_f_transform_t f;
    pixman_f_transform_init_identity(&f);
    pixman_f_transform_translate(&f, nullptr, -box / 2.0, -box / 2.0);
    pixman_f_transform_rotate(&f, nullptr, std::cos(kAngle), std::sin(kAngle));
    pixman_f_transform_translate(&f, nullptr, 45.0, 45.0);
    pixman_transform_t t;
    pixman_transform_from_pixman_f_transform(&t, &f);
    pixman_image_set_transform(p.src, &t);
    pixman_image_set_filter(p.src, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_OVER, p.src, nullptr, p.dest, 0, 0, 0, 0, bx, by, box, box);
}

void OursFill(benchmark::State& state)
{
    Ours o(RandomAlpha(1, 1, 8), 1, 1);
    for (auto _ : state)
        o.screen->FillRect(Rect{0, 0, kW, kH}, Color(10, 200, 30), DRAWMODE_NORMAL);
}

void PixmanFill(benchmark::State& state)
{
    Pixman p(RandomAlpha(1, 1, 8), 1, 1);
    const pixman_color_t c{uint16_t(10 * 257), uint16_t(200 * 257), uint16_t(30 * 257), 0xFFFF};
    const pixman_rectangle16_t r{0, 0, kW, kH};
    for (auto _ : state)
        pixman_image_fill_rectangles(PIXMAN_OP_SRC, p.dest, &c, 1, &r);
}

// A whole frame to a window twice its size, each pixel a 2x2 block, as the
// window surface gets it full screen at 1600x1200.
void OursScale2x(benchmark::State& state)
{
    const auto frame = RandomAlpha(kW, kH, 10);
    std::vector<uint32_t> out(size_t(4) * kW * kH);
    FrameScaler scaler;
    scaler.Resize(kW, kH, 2 * kW, 2 * kH);
    for (auto _ : state)
    {
        scaler.Scale(frame.data(), kW, Rect{0, 0, 2 * kW, 2 * kH}, out.data(), 2 * kW);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}

void PixmanScale2x(benchmark::State& state)
{
    auto frame = RandomAlpha(kW, kH, 10);
    std::vector<uint32_t> out(size_t(4) * kW * kH);
    pixman_image_t* src = pixman_image_create_bits(PIXMAN_x8r8g8b8, kW, kH, frame.data(), kW * 4);
    pixman_image_t* dest = pixman_image_create_bits(PIXMAN_x8r8g8b8, 2 * kW, 2 * kH, out.data(), 2 * kW * 4);
    pixman_transform_t t;
    pixman_transform_init_scale(&t, pixman_double_to_fixed(0.5), pixman_double_to_fixed(0.5));
    pixman_image_set_transform(src, &t);
    pixman_image_set_filter(src, PIXMAN_FILTER_NEAREST, nullptr, 0);
    for (auto _ : state)
    {
        pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dest, 0, 0, 0, 0, 0, 0, 2 * kW, 2 * kH);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(dest);
    pixman_image_unref(src);
}

// The least any full-frame blend can take: read the source and the
// destination and write the destination once, with no arithmetic.
void MemoryFloor(benchmark::State& state)
{
    std::vector<uint32_t> src = RandomAlpha(kW, kH, 9), dest(size_t(kW) * kH, 0xFF336699u);
    for (auto _ : state)
    {
        for (size_t i = 0; i < dest.size(); i += 4)
        {
            auto* d = reinterpret_cast<__m128i*>(&dest[i]);
            const auto* s = reinterpret_cast<const __m128i*>(&src[i]);
            _mm_storeu_si128(d, _mm_xor_si128(_mm_loadu_si128(d), _mm_loadu_si128(s)));
        }
        benchmark::DoNotOptimize(dest.data());
        benchmark::ClobberMemory();
    }
}

struct Pair
{
    const char* name;
    void (*ours)(benchmark::State&);
    void (*yardstick)(benchmark::State&);
};

void FullRandom(benchmark::State& s) { OursFullFrame(s, false); }
void FullRandomPixman(benchmark::State& s) { PixmanFullFrame(s, false); }
void FullSprite(benchmark::State& s) { OursFullFrame(s, true); }
void FullSpritePixman(benchmark::State& s) { PixmanFullFrame(s, true); }

const Pair kPairs[] = {
    {"FullFrameOverRandomAlpha", FullRandom, FullRandomPixman},
    {"FullFrameOverSpriteAlpha", FullSprite, FullSpritePixman},
    {"FullFrameAdditive", OursAdditive, PixmanAdditive},
    {"FullFrameModulated", OursModulated, PixmanModulated},
    {"Sprites500x60", OursSprites, PixmanSprites},
    {"Stretch2xBilinear", OursStretch, PixmanStretch},
    {"Rotate90x90By30", OursRotate, PixmanRotate},
    {"SolidFill", OursFill, PixmanFill},
    {"Scale2xNearest", OursScale2x, PixmanScale2x},
};

} // namespace

int main(int argc, char** argv)
{
    for (const Pair& p : kPairs)
    {
        for (auto [side, fn] : {std::pair{"/ours", p.ours}, std::pair{"/yardstick", p.yardstick}})
            benchmark::RegisterBenchmark((std::string(p.name) + side).c_str(), fn)
                ->Unit(benchmark::kMillisecond)
                ->MinTime(0.2)
                ->Repetitions(5);
    }
    benchmark::RegisterBenchmark("FrameMemoryFloor", MemoryFloor)
        ->Unit(benchmark::kMillisecond)
        ->MinTime(0.2)
        ->Repetitions(5);
    // Repetitions of ours and of the yardstick interleaved, so that a spell
    // of load from elsewhere falls on both sides of a comparison.
    std::vector<char*> args(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave.data());
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("kernels: %s, scaling %s\n", PixelKernels::Active().name, ScaleKernels::Active().name);
    if (const double floor = reporter.Ms("FrameMemoryFloor"); floor > 0)
        std::printf("FrameMemoryFloor: %.3f ms (read source and destination, write destination)\n", floor);
    for (const Pair& p : kPairs)
    {
        const double ours = reporter.Ms(std::string(p.name) + "/ours");
        const double yard = reporter.Ms(std::string(p.name) + "/yardstick");
        if (ours > 0 && yard > 0)
            std::printf("%s: ours %.3f ms, yardstick %.3f ms, ratio %.2f\n", p.name, ours, yard, ours / yard);
    }
    benchmark::Shutdown();
    return 0;
}
