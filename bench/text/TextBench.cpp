// A full 800x600 screen of text in the game's two-layer image font (a face
// over a shadow), drawn through the drawing context. The yardstick in the
// same run blits the same glyph cells, one per character and layer, with
// pixman's OVER operator from a glyph-sized atlas: the cost of the pixel
// work alone, without any of the font's layout.
#include "bench/MedianReporter.h"
#include "framework/graphics/FontHost.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/MemoryImage.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace Quillo;

namespace
{

constexpr int kW = 800;
constexpr int kH = 600;
constexpr int kLayers = 2;
const char* const kLine = "Stage 7-3  Score: 124560  Lives: 3  The quick brown fox jumps over the lazy dog";

std::string FontPath()
{
    const char* data = std::getenv("QUILLO_DATA_DIR");
    const std::string root = data ? data : "bin";
    return root + "/gfx/fonts/game1.txt";
}

struct Screen
{
    std::unique_ptr<MemoryImage> image = std::make_unique<MemoryImage>();
    Screen()
    {
        std::vector<uint32_t> bg(size_t(kW) * kH, 0xFF2A3350u);
        image->SetBits(bg.data(), kW, kH);
        image->ForceAlphaFlags(false, false);
    }
};

// Where each glyph of the screen goes, from the font's own metrics.
struct GlyphCell
{
    int x, y, w;
};

std::vector<GlyphCell> Layout(ImageFont& font)
{
    std::vector<GlyphCell> cells;
    const std::string line = kLine;
    for (int y = 0; y + font.Height() <= kH; y += font.LineSpacing())
    {
        int x = 0;
        for (unsigned char ch : line)
        {
            const int w = font.GlyphWidth(static_cast<char32_t>(ch));
            if (x + w > kW)
                break;
            if (ch != ' ')
                cells.push_back({x, y, w});
            x += w;
        }
    }
    return cells;
}

void BM_TextScreen(benchmark::State& state)
{
    ImageFont font(FontHost::Default(), FontPath());
    if (font.Height() <= 0)
    {
        state.SkipWithError("the game's fonts are not generated (QUILLO_DATA_DIR)");
        return;
    }
    Screen screen;
    Graphics g(screen.image.get());
    g.SetFont(&font);
    g.SetColor(Color(255, 230, 160));
    for (auto _ : state)
    {
        for (int y = font.Ascent(); y < kH; y += font.LineSpacing())
            g.DrawString(kLine, 0, y);
        benchmark::DoNotOptimize(screen.image->GetBits());
    }
    state.counters["glyphs"] = static_cast<double>(Layout(font).size());
}

void BM_TextScreenYardstick(benchmark::State& state)
{
    ImageFont font(FontHost::Default(), FontPath());
    if (font.Height() <= 0)
    {
        state.SkipWithError("the game's fonts are not generated (QUILLO_DATA_DIR)");
        return;
    }
    const std::vector<GlyphCell> cells = Layout(font);
    const int cellH = font.Height();
    // A soft-edged glyph-like atlas: opaque strokes with anti-aliased edges.
    const int atlasW = 64;
    std::vector<uint32_t> atlas(size_t(atlasW) * cellH);
    for (int y = 0; y < cellH; ++y)
        for (int x = 0; x < atlasW; ++x)
        {
            const uint32_t a = static_cast<uint32_t>(((x * 37 + y * 11) % 5 == 0) ? 255 : ((x + y) % 3) * 60);
            const uint32_t c = (a * 0xE6 / 255) << 16 | (a * 0xA0 / 255) << 8 | (a * 0x60 / 255);
            atlas[size_t(y) * atlasW + x] = a << 24 | c;
        }
    std::vector<uint32_t> dest(size_t(kW) * kH, 0xFF2A3350u);
    pixman_image_t* dst = pixman_image_create_bits(PIXMAN_x8r8g8b8, kW, kH, dest.data(), kW * 4);
    pixman_image_t* src = pixman_image_create_bits(PIXMAN_a8r8g8b8, atlasW, cellH, atlas.data(), atlasW * 4);
    for (auto _ : state)
    {
        for (int layer = 0; layer < kLayers; ++layer)
            for (const GlyphCell& c : cells)
                pixman_image_composite32(PIXMAN_OP_OVER, src, nullptr, dst, 0, 0, 0, 0, c.x + layer,
                                         c.y + layer, std::min(c.w, atlasW), cellH);
        benchmark::DoNotOptimize(dest.data());
    }
    pixman_image_unref(src);
    pixman_image_unref(dst);
    state.counters["glyphs"] = static_cast<double>(cells.size());
}

} // namespace

int main(int argc, char** argv)
{
    using Run = void (*)(benchmark::State&);
    for (auto [name, fn] : {std::pair<const char*, Run>{"TextScreen/ours", BM_TextScreen},
                            std::pair<const char*, Run>{"TextScreen/yardstick", BM_TextScreenYardstick}})
        benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kMillisecond)->MinTime(0.2)->Repetitions(7);
    // Ours and the yardstick interleaved, so that load from elsewhere falls on both.
    std::vector<char*> args(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave.data());
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double ours = reporter.Ms("TextScreen/ours"), yard = reporter.Ms("TextScreen/yardstick");
    if (ours > 0 && yard > 0)
        std::printf("TextScreen: ours %.3f ms, yardstick %.3f ms, ratio %.2f\n", ours, yard, ours / yard);
    benchmark::Shutdown();
    return 0;
}
