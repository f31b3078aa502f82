#include "PresenterFrames.h"

#include "framework/platform/SdlPresenter.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>

using namespace Quillo;
using namespace PresenterFrames;

namespace
{

// What a window of the given size must show: the frame at 1:1 inside the
// letterbox at (ox, oy), black around it.
std::vector<uint32_t> Expected(const std::vector<uint32_t>& frame, int w, int h, int ox, int oy)
{
    std::vector<uint32_t> out(size_t(w) * size_t(h), 0xFF000000u);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            out[size_t(y + oy) * size_t(w) + size_t(x + ox)] = frame[size_t(y) * kW + size_t(x)];
    return out;
}

// Runs on SDL's dummy video driver, whose renderer is SDL's software one:
// both paths can be read back exactly.
class PresenterFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        window = SDL_CreateWindow("presenter", 0, 0, kW, kH, SDL_WINDOW_HIDDEN);
        ASSERT_NE(window, nullptr) << SDL_GetError();
    }
    void TearDown() override
    {
        SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    std::unique_ptr<SdlPresenter> Make(PresentPath path)
    {
        int code = -1;
        auto p = SdlPresenter::CreateWithPath(window, path, kW, kH, false, code);
        EXPECT_EQ(code, p ? 0 : code);
        return p;
    }
    std::vector<uint32_t> Shown(SdlPresenter& p)
    {
        std::vector<uint32_t> px;
        EXPECT_TRUE(p.ReadOutput(px, w, h));
        return px;
    }
    SDL_Window* window = nullptr;
    int w = 0, h = 0; // of the output last read
};

} // namespace

TEST_F(PresenterFixture, TextureAndWindowSurfaceShowTheSamePixels)
{
    const auto frame = Frame(1);
    // The frame's own size, then a wider window: the same picture between bars.
    for (const auto& [ww, wh, ox, oy] : {std::tuple{kW, kH, 0, 0}, std::tuple{1000, 600, 100, 0},
                                        std::tuple{800, 700, 0, 50}})
        for (PresentPath path : {PresentPath::Texture, PresentPath::WindowSurface})
        {
            SCOPED_TRACE(testing::Message() << "window " << ww << "x" << wh << ", path " << int(path));
            SDL_SetWindowSize(window, ww, wh);
            auto p = Make(path);
            ASSERT_TRUE(p);
            ASSERT_TRUE(p->Present(frame.data(), kW, Rect{0, 0, kW, kH}));
            const auto shown = Shown(*p);
            ASSERT_EQ(w, ww);
            ASSERT_EQ(h, wh);
            EXPECT_TRUE(shown == Expected(frame, ww, wh, ox, oy));
        }
}

TEST_F(PresenterFixture, WindowSurfaceSendsOnWhatChangedAndFollowsTheWindowSize)
{
    auto p = Make(PresentPath::WindowSurface);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Path(), PresentPath::WindowSurface);
    auto frame = Frame(2);
    ASSERT_TRUE(p->Present(frame.data(), kW, Rect{0, 0, kW, kH}));

    // Scattered changes in one present (a cursor, a sprite, one pixel at
    // each corner), and one outside the dirty rectangle, which waits.
    for (int y = 100; y < 132; ++y)
        for (int x = 300; x < 340; ++x)
            frame[size_t(y) * kW + size_t(x)] ^= 0x00FFFFFFu;
    for (auto [x, y] : {std::pair{0, 0}, std::pair{kW - 1, 0}, std::pair{0, kH - 2}, std::pair{kW - 1, kH - 2}})
        frame[size_t(y) * kW + size_t(x)] = 0xFF123456u;
    ASSERT_TRUE(p->Present(frame.data(), kW, Rect{0, 0, kW, kH - 1}));
    auto shown = Shown(*p);
    EXPECT_TRUE(shown == frame);
    frame[size_t(kH - 1) * kW + 5] = 0xFFABCDEFu;
    ASSERT_TRUE(p->Present(frame.data(), kW, Rect{0, 0, kW, kH - 1}));
    EXPECT_NE(Shown(*p)[size_t(kH - 1) * kW + 5], 0xFFABCDEFu) << "outside the dirty rectangle";
    ASSERT_TRUE(p->Present(frame.data(), kW, Rect{0, kH - 1, kW, 1}));
    EXPECT_TRUE(Shown(*p) == frame);

    // Twice the size: each frame pixel becomes a 2x2 block; then a window
    // of 1000x600 puts it 1:1 between bars.
    SDL_SetWindowSize(window, 2 * kW, 2 * kH);
    const auto blocks = [&] {
        shown = Shown(*p);
        bool same = w == 2 * kW && h == 2 * kH;
        for (int y = 0; y < 2 * kH && same; ++y)
            for (int x = 0; x < 2 * kW && same; ++x)
                same = shown[size_t(y) * size_t(w) + size_t(x)] == frame[size_t(y / 2) * kW + size_t(x / 2)];
        return same;
    };
    ASSERT_TRUE(p->Present(frame.data(), kW, Rect{}));
    EXPECT_TRUE(blocks());
    EXPECT_EQ(p->OutputLetterbox().target, (Rect{0, 0, 2 * kW, 2 * kH}));

    // An uncovered window gets the whole frame again, unchanged or not.
    SDL_Surface* s = SDL_GetWindowSurface(window);
    ASSERT_NE(s, nullptr);
    SDL_FillRect(s, nullptr, 0);
    ASSERT_TRUE(p->Present(frame.data(), kW, Rect{0, 0, kW, kH}));
    EXPECT_FALSE(blocks()) << "nothing changed, so nothing was sent";
    p->Invalidate();
    ASSERT_TRUE(p->Present(frame.data(), kW, Rect{0, 0, kW, kH}));
    EXPECT_TRUE(blocks());

    SDL_SetWindowSize(window, 1000, 600);
    ASSERT_TRUE(p->Present(frame.data(), kW, Rect{}));
    EXPECT_TRUE(Shown(*p) == Expected(frame, 1000, 600, 100, 0));
}

// Full screen at 1600x1200 and 1280x1024: square blocks on both paths at
// 2x; at 1.6x the window surface filters, on changed areas as on whole
// frames, and the renderer is told to filter.
TEST_F(PresenterFixture, CrispAtWholeMultiplesSmoothInBetween)
{
    auto frame = Frame(3);
    for (PresentPath path : {PresentPath::Texture, PresentPath::WindowSurface})
    {
        SCOPED_TRACE(testing::Message() << "path " << int(path));
        SDL_SetWindowSize(window, 2 * kW, 2 * kH);
        auto p = Make(path);
        ASSERT_TRUE(p);
        ASSERT_TRUE(p->Present(frame.data(), kW, Rect{0, 0, kW, kH}));
        const auto shown = Shown(*p);
        ASSERT_EQ(w, 2 * kW);
        bool blocks = true;
        for (int y = 0; y < 2 * kH && blocks; ++y)
            for (int x = 0; x < 2 * kW && blocks; ++x)
                blocks = shown[size_t(y) * size_t(w) + size_t(x)] == frame[size_t(y / 2) * kW + size_t(x / 2)];
        EXPECT_TRUE(blocks);
    }

    SDL_SetWindowSize(window, 1280, 1024);
    auto p = Make(PresentPath::WindowSurface);
    ASSERT_TRUE(p);
    ASSERT_TRUE(p->Present(frame.data(), kW, Rect{0, 0, kW, kH}));
    for (int y = 300; y < 303; ++y)
        frame[size_t(y) * kW + 401] ^= 0x00FFFFFFu;
    ASSERT_TRUE(p->Present(frame.data(), kW, Rect{400, 300, 2, 3}));
    FrameScaler scaler;
    scaler.Resize(kW, kH, 1280, 960);
    std::vector<uint32_t> expected(size_t(1280) * 1024, 0xFF000000u);
    scaler.Scale(frame.data(), kW, Rect{0, 0, 1280, 960}, &expected[size_t(32) * 1280], 1280);
    EXPECT_TRUE(Shown(*p) == expected);

    // Columns black and white by turns come out grey where filtered.
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = i % 2 ? 0xFFFFFFFFu : 0xFF000000u;
    p = Make(PresentPath::Texture);
    ASSERT_TRUE(p);
    ASSERT_TRUE(p->Present(frame.data(), kW, Rect{0, 0, kW, kH}));
    const auto shown = Shown(*p);
    EXPECT_TRUE(std::any_of(shown.begin() + 32 * 1280, shown.end() - 32 * 1280,
                            [](uint32_t px) { return px != 0xFF000000u && px != 0xFFFFFFFFu; }));
}

TEST_F(PresenterFixture, TheUsersRenderDriverIsHonoured)
{
    int code = -1;
    // Over the environment's value, as the user's own setting would be.
    SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "software", SDL_HINT_OVERRIDE);
    auto surface = SdlPresenter::Create(window, kW, kH, false, code);
    ASSERT_TRUE(surface);
    EXPECT_EQ(surface->Path(), PresentPath::WindowSurface) << "SDL's software path is the window surface";
    surface.reset();

    // This build's dummy video has no accelerated renderer: the automatic
    // choice falls to the window surface rather than a rasteriser.
    SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "", SDL_HINT_OVERRIDE);
    auto automatic = SdlPresenter::Create(window, kW, kH, false, code);
    ASSERT_TRUE(automatic);
    EXPECT_EQ(automatic->Path(), PresentPath::WindowSurface);
    EXPECT_FALSE(automatic->PacedByRefresh());
    SDL_ResetHint(SDL_HINT_RENDER_DRIVER);
}
