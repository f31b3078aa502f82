#include "PresenterFrames.h"

#include "framework/platform/SdlPresenter.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>
#include <string>

using namespace Quillo;
using namespace PresenterFrames;

namespace
{

void Paint(std::vector<uint32_t>& frame, const Rect& r, uint32_t argb)
{
    for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x)
            frame[size_t(y) * kW + size_t(x)] = argb;
}

// On SDL's dummy video driver both paths can be read back exactly.
class PresentAreas : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        window = SDL_CreateWindow("areas", 0, 0, kW, kH, SDL_WINDOW_HIDDEN);
        ASSERT_NE(window, nullptr) << SDL_GetError();
    }
    void TearDown() override
    {
        if (window)
            SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    std::unique_ptr<SdlPresenter> Make(PresentPath path)
    {
        int code = -1;
        auto p = SdlPresenter::CreateWithPath(window, path, kW, kH, false, code);
        EXPECT_TRUE(p) << "code " << code;
        return p;
    }
    std::vector<uint32_t> Shown(SdlPresenter& p)
    {
        std::vector<uint32_t> px;
        int w = 0, h = 0;
        EXPECT_TRUE(p.ReadOutput(px, w, h));
        EXPECT_EQ(w, kW);
        EXPECT_EQ(h, kH);
        return px;
    }
    // Writes straight into the window's surface, behind the presenter's back.
    void Scribble(const Rect& r, uint32_t rgb)
    {
        SDL_Surface* s = SDL_GetWindowSurface(window);
        ASSERT_NE(s, nullptr);
        const SDL_Rect at{r.x, r.y, r.width, r.height};
        SDL_FillRect(s, &at, SDL_MapRGB(s->format, (rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
    }
    uint32_t ShownAt(SdlPresenter& p, int x, int y) { return Shown(p)[size_t(y) * kW + size_t(x)]; }

    SDL_Window* window = nullptr;
};

} // namespace

TEST_F(PresentAreas, ChangesInsideOverlappingAreasShowAsTheWholeFrameWouldOnBothPaths)
{
    for (PresentPath path : {PresentPath::Texture, PresentPath::WindowSurface})
    {
        auto p = Make(path);
        ASSERT_TRUE(p);
        auto frame = Frame(3);
        ASSERT_TRUE(p->Present(frame.data(), kW, std::vector<Rect>{}));
        EXPECT_EQ(Shown(*p), frame) << "the first present sends everything";
        // Sprites moved: their areas overlap, reach past the frame and lie
        // far apart in the same rows.
        const std::vector<Rect> areas{{100, 100, 60, 60}, {130, 120, 60, 60}, {700, 110, 150, 40},
                                      {-20, 580, 50, 50}};
        Paint(frame, Rect{110, 105, 45, 50}, 0xFF102030u);
        Paint(frame, Rect{150, 125, 35, 30}, 0xFF203040u);
        Paint(frame, Rect{720, 115, 80, 20}, 0xFF405060u);
        Paint(frame, Rect{0, 590, 20, 10}, 0xFF708090u);
        ASSERT_TRUE(p->Present(frame.data(), kW, areas));
        EXPECT_EQ(Shown(*p), frame) << (path == PresentPath::Texture ? "texture" : "window surface");
    }
}

TEST_F(PresentAreas, OnlyTheAreasAreComparedAndSent)
{
    auto p = Make(PresentPath::WindowSurface);
    ASSERT_TRUE(p);
    auto frame = Frame(4);
    ASSERT_TRUE(p->Present(frame.data(), kW, Rect{0, 0, kW, kH}));
    // A frame that changes nothing inside its areas presents nothing.
    ASSERT_TRUE(p->Present(frame.data(), kW, std::vector<Rect>{{150, 150, 100, 100}}));
    EXPECT_TRUE(p->LastChanges().empty());
    // A change outside the areas is the caller's word that there is none.
    Paint(frame, Rect{400, 400, 5, 5}, 0xFFFFFFFFu);
    ASSERT_TRUE(p->Present(frame.data(), kW, std::vector<Rect>{{0, 0, 10, 10}}));
    EXPECT_NE(ShownAt(*p, 402, 402), 0xFFFFFFFFu);
    // Compared again, the change is found and sent alone.
    ASSERT_TRUE(p->Present(frame.data(), kW, Rect{0, 0, kW, kH}));
    EXPECT_EQ(p->LastChanges(), (std::vector<Rect>{{400, 400, 5, 5}}));
    EXPECT_EQ(Shown(*p), frame);
    // The window lost its picture: everything goes again.
    Scribble(Rect{200, 200, 10, 10}, 0x00FF00u);
    p->Invalidate();
    ASSERT_TRUE(p->Present(frame.data(), kW, std::vector<Rect>{}));
    EXPECT_EQ(Shown(*p), frame);
}

TEST_F(PresentAreas, ChangesFarApartInOneBandGoAsRunsOfTheirOwn)
{
    auto p = Make(PresentPath::WindowSurface);
    ASSERT_TRUE(p);
    auto frame = Frame(5);
    ASSERT_TRUE(p->Present(frame.data(), kW, Rect{0, 0, kW, kH}));
    // Between the changes of two areas in one band of rows the columns are
    // not sent again.
    const std::vector<Rect> sprites{{0, 30, 100, 30}, {600, 30, 200, 30}, {280, 30, 60, 30}};
    Paint(frame, Rect{10, 40, 20, 4}, 0xFF111111u);
    Paint(frame, Rect{700, 42, 20, 4}, 0xFF222222u);
    ASSERT_TRUE(p->Present(frame.data(), kW, sprites));
    EXPECT_EQ(p->LastChanges(), (std::vector<Rect>{{10, 40, 20, 6}, {700, 40, 20, 6}}));
    EXPECT_EQ(Shown(*p), frame);
    // Changes closer than a run's worth go as one.
    Paint(frame, Rect{300, 41, 2, 2}, 0xFF333333u);
    Paint(frame, Rect{330, 41, 2, 2}, 0xFF444444u);
    ASSERT_TRUE(p->Present(frame.data(), kW, std::vector<Rect>{{290, 30, 20, 30}, {325, 30, 20, 30}}));
    EXPECT_EQ(p->LastChanges(), (std::vector<Rect>{{300, 41, 32, 2}}));
    EXPECT_EQ(Shown(*p), frame);
}

TEST_F(PresentAreas, TheChangedColumnsAreFoundWhereverTheyLieInTheirArea)
{
    auto p = Make(PresentPath::WindowSurface);
    ASSERT_TRUE(p);
    auto frame = Frame(6);
    ASSERT_TRUE(p->Present(frame.data(), kW, Rect{0, 0, kW, kH}));
    // Areas of every width up to past a few blocks of compared pixels, with
    // one pixel changed at either end or inside, then both ends.
    const int y = 200, x0 = 37;
    for (int w = 1; w <= 40; ++w)
    {
        SCOPED_TRACE("width " + std::to_string(w));
        const std::vector<Rect> area{{x0, y, w, 1}};
        for (int at : {0, w / 2, w - 1})
        {
            frame[size_t(y) * kW + size_t(x0 + at)] ^= 0x00FFFFFFu;
            ASSERT_TRUE(p->Present(frame.data(), kW, area));
            EXPECT_EQ(p->LastChanges(), (std::vector<Rect>{{x0 + at, y, 1, 1}})) << "at " << at;
        }
        if (w == 1)
            continue;
        frame[size_t(y) * kW + size_t(x0)] ^= 0x00FFFFFFu;
        frame[size_t(y) * kW + size_t(x0 + w - 1)] ^= 0x00FFFFFFu;
        ASSERT_TRUE(p->Present(frame.data(), kW, area));
        EXPECT_EQ(p->LastChanges(), (std::vector<Rect>{{x0, y, w, 1}}));
    }
    EXPECT_EQ(Shown(*p), frame);
}
