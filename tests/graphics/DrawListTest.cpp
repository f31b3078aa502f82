#include "TestImages.h"

#include "framework/graphics/AreaList.h"
#include "framework/graphics/DrawList.h"
#include "framework/graphics/DrawMode.h"
#include "framework/graphics/Graphics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

using namespace Quillo;
using QuilloTest::MakeImage;
using QuilloTest::OpaqueScreen;

namespace
{

constexpr Rect kWhole{0, 0, 200, 150};

// The areas in a fixed order: how the matching walks the lists is its own business.
std::vector<Rect> Sorted(std::vector<Rect> areas)
{
    std::sort(areas.begin(), areas.end(), [](const Rect& a, const Rect& b) {
        return std::tie(a.x, a.y, a.width, a.height) < std::tie(b.x, b.y, b.width, b.height);
    });
    return areas;
}

std::vector<uint32_t> Pixels(MemoryImage& image)
{
    return std::vector<uint32_t>(image.GetBits(), image.GetBits() + image.GetWidth() * image.GetHeight());
}

// Images with partial alpha everywhere, as sprites and their effects have.
struct Art
{
    Art()
    {
        std::mt19937 rng(7);
        background = MakeImage(200, 150, std::vector<uint32_t>(200 * 150, 0xFF204060u));
        sprite = MakeImage(40, 30, QuilloTest::RandomPixels(rng, 40 * 30));
        strip = MakeImage(90, 20, QuilloTest::RandomPixels(rng, 90 * 20));
        strip->numCols = 3;
    }
    std::unique_ptr<MemoryImage> background;
    std::unique_ptr<MemoryImage> sprite;
    std::unique_ptr<MemoryImage> strip;
};

// A scene like a board's: the background, then sprites in every way of
// drawing them; step moves some and changes the state of others.
void Scene(const Art& art, int step, DrawList& list)
{
    list.Clear();
    list.SetDrawMode(DRAWMODE_NORMAL);
    list.SetTintImages(false);
    list.DrawImage(art.background.get(), 0, 0);
    for (int i = 0; i < 6; ++i)
        list.DrawImage(art.sprite.get(), 10 + i * 30 + (i % 2 == 0 ? step : 0), 20 + i * 5);
    list.DrawImageCel(art.strip.get(), 120, 100, step % 3);
    list.DrawImage(art.sprite.get(), 5, 100, Rect{5, 5, 20 + step, 15});
    list.SetDrawMode(DRAWMODE_ADDITIVE);
    list.SetTintImages(true);
    list.SetColor(Color(255, 200, 200, 100 + 20 * step));
    list.DrawImage(art.sprite.get(), 60, 90);
    list.SetDrawMode(DRAWMODE_NORMAL);
    list.SetColor(Color(255, 255, 255, 180));
    list.DrawImage(art.sprite.get(), 150 - step, 60, 30 + 3 * step, 20 + 2 * step);
    list.SetTintImages(false);
    list.SetColor(Color(10, 200, 30));
    list.FillRect(170, 5, 10 + step, 6);
    for (int i = 0; i < step; ++i)
        list.DrawImage(art.sprite.get(), 100 + 7 * i, 120);
}

} // namespace

TEST(DrawList, AListShowsNoChangeAgainstItsTwin)
{
    Art art;
    DrawList a, b;
    Scene(art, 1, a);
    Scene(art, 1, b);
    AreaList areas;
    a.AddChangedAreas(b, kWhole, areas);
    EXPECT_TRUE(areas.Empty());
}

TEST(DrawList, ChangedCallsGiveWhatTheyCoverBeforeAndAfter)
{
    Art art;
    DrawList before, after;
    before.DrawImage(art.sprite.get(), 10, 10);
    before.DrawImage(art.sprite.get(), 100, 50);
    before.DrawImageCel(art.strip.get(), 0, 0, 0);
    after.DrawImage(art.sprite.get(), 12, 10);
    after.DrawImage(art.sprite.get(), 100, 50);
    after.SetColor(Color(1, 2, 3, 200));
    after.SetTintImages(true);
    after.DrawImageCel(art.strip.get(), 0, 0, 0); // only its tint differs
    after.SetTintImages(false);
    after.DrawImage(art.sprite.get(), 5, 5, 10, -8);
    AreaList areas;
    after.AddChangedAreas(before, kWhole, areas);
    EXPECT_EQ(Sorted(areas.Areas()), Sorted({{12, 10, 40, 30}, {10, 10, 40, 30}, {0, 0, 30, 20},
                                             {0, 0, 30, 20}, {5, -3, 10, 8}}));
    areas.Clear();
    before.AddChangedAreas(after, kWhole, areas);
    EXPECT_EQ(areas.Bounds(), (Rect{0, -3, 52, 43})) << "a call gone is covered as one come";

    // Untinted, an image is drawn in white whatever the colour left set.
    DrawList white, red;
    white.DrawImage(art.sprite.get(), 10, 10);
    red.SetColor(Color(255, 0, 0));
    red.DrawImage(art.sprite.get(), 10, 10);
    areas.Clear();
    red.AddChangedAreas(white, kWhole, areas);
    EXPECT_TRUE(areas.Empty());
    red.FillRect(0, 0, 5, 5);
    white.FillRect(0, 0, 5, 5);
    red.AddChangedAreas(white, kWhole, areas);
    EXPECT_EQ(areas.Areas(), (std::vector<Rect>{{0, 0, 5, 5}, {0, 0, 5, 5}})) << "a fill is drawn in the colour";

    DrawList turned;
    turned.DrawImageRotatedF(art.sprite.get(), 50.0f, 50.0f, 0.5, 20, 15, Rect{0, 0, 40, 30});
    areas.Clear();
    turned.AddChangedAreas(DrawList(), kWhole, areas);
    EXPECT_EQ(areas.Areas(), std::vector<Rect>{kWhole}) << "a turned image's pixels are not known before";
}

TEST(DrawList, ASpriteThatComesOrGoesDoesNotShiftWhatFollows)
{
    Art art;
    DrawList before, after;
    for (DrawList* list : {&before, &after})
    {
        list->DrawImage(art.background.get(), 0, 0);
        list->DrawImage(art.sprite.get(), 10, 10);
        if (list == &after)
            list->DrawImage(art.sprite.get(), 60, 60); // comes
        list->DrawImage(art.sprite.get(), 100, 10);
        list->SetTintImages(true);
        list->SetColor(Color(255, 255, 255, list == &after ? 90 : 80));
        list->DrawImage(art.sprite.get(), 150, 100); // fades
        list->SetTintImages(false);
        if (list == &before)
            list->DrawImage(art.sprite.get(), 0, 120); // goes
        list->DrawImage(art.strip.get(), 0, 130);
    }
    AreaList areas;
    after.AddChangedAreas(before, kWhole, areas);
    EXPECT_EQ(Sorted(areas.Areas()), Sorted({{60, 60, 40, 30}, {150, 100, 40, 30}, {150, 100, 40, 30},
                                             {0, 120, 40, 30}}));
}

TEST(DrawList, ANullImageOrABadCelRecordsNothing)
{
    Art art;
    DrawList list;
    list.DrawImage(nullptr, 0, 0);
    list.DrawImageCel(art.strip.get(), 0, 0, 3);
    list.DrawImageCel(art.strip.get(), 0, 0, -1);
    list.DrawString(nullptr, "text", 0, 0);
    EXPECT_TRUE(list.Empty());
}

TEST(DrawList, ReplayDrawsWhatTheCallsOfGraphicsDraw)
{
    Art art;
    // The same calls on the screen and on the list.
    auto draw = [&](auto& target) {
        target.DrawImage(art.background.get(), 0, 0);
        target.DrawImage(art.sprite.get(), 12, 20);
        target.DrawImageCel(art.strip.get(), 120, 100, 2);
        target.SetDrawMode(DRAWMODE_ADDITIVE);
        target.SetTintImages(true);
        target.SetColor(Color(255, 200, 200, 140));
        target.DrawImage(art.sprite.get(), 60, 90);
        target.SetDrawMode(DRAWMODE_NORMAL);
        target.SetColor(Color(255, 255, 255, 180));
        target.DrawImage(art.sprite.get(), 140, 60, 45, 26);
    };
    auto direct = OpaqueScreen(200, 150, 0xFF000000u);
    {
        Graphics g(direct.get());
        draw(g);
    }
    DrawList list;
    draw(list);
    auto replayed = OpaqueScreen(200, 150, 0xFF000000u);
    Graphics g(replayed.get());
    list.Replay(g);
    EXPECT_EQ(Pixels(*replayed), Pixels(*direct));
}

// The property the partial redraw rests on: the old picture with only the
// changed areas drawn again, each clipped to its area, is the new picture.
TEST(DrawList, TheOldPictureRedrawnInTheChangedAreasIsTheNewOne)
{
    Art art;
    for (int step = 1; step <= 6; ++step)
    {
        DrawList before, after;
        Scene(art, step - 1, before);
        Scene(art, step, after);
        auto screen = OpaqueScreen(200, 150, 0xFF000000u);
        {
            Graphics g(screen.get());
            before.Replay(g);
        }
        AreaList areas;
        after.AddChangedAreas(before, kWhole, areas);
        areas.Merge();
        ASSERT_FALSE(areas.Empty());
        for (const Rect& area : areas.Areas())
        {
            Graphics g(screen.get());
            g.IntersectClip(area);
            after.Replay(g);
        }
        auto whole = OpaqueScreen(200, 150, 0xFF000000u);
        Graphics g(whole.get());
        after.Replay(g);
        EXPECT_EQ(Pixels(*screen), Pixels(*whole)) << "step " << step;
    }
}

TEST(AreaList, TouchingAndOverlappingAreasJoinOthersStayApart)
{
    AreaList row;
    // A chain of sprites, each moved by a pixel: old and new place overlap,
    // and neighbours touch.
    for (int i = 0; i < 8; ++i)
    {
        row.Add(Rect{i * 60, 100, 60, 60});
        row.Add(Rect{i * 60 + 1, 100, 60, 60});
    }
    row.Merge();
    EXPECT_EQ(row.Areas(), std::vector<Rect>{(Rect{0, 100, 481, 60})});

    AreaList apart;
    apart.Add(Rect{0, 0, 10, 10});
    apart.Add(Rect{50, 50, 10, 10});
    apart.Add(Rect{5, 0, 10, 10});
    apart.Add(Rect{3, 3, 0, 5});
    apart.Merge();
    EXPECT_EQ(apart.Areas(), (std::vector<Rect>{{0, 0, 15, 10}, {50, 50, 10, 10}}));
    apart.ClipTo(Rect{0, 0, 55, 55});
    EXPECT_EQ(apart.Areas(), (std::vector<Rect>{{0, 0, 15, 10}, {50, 50, 5, 5}}));
    apart.ClipTo(Rect{100, 100, 5, 5});
    EXPECT_TRUE(apart.Empty());
}

TEST(AreaList, AreasThatStillOverlapAreCutApartCoveringTheSamePixels)
{
    // An L-shaped pair is not worth joining into its bounds.
    AreaList areas;
    areas.Add(Rect{0, 0, 40, 10});
    areas.Add(Rect{30, 0, 10, 40});
    areas.Add(Rect{35, 35, 20, 20});
    areas.Merge();
    std::vector<int> covered(60 * 60);
    for (const Rect& r : areas.Areas())
        for (int y = r.y; y < r.y + r.height; ++y)
            for (int x = r.x; x < r.x + r.width; ++x)
                ++covered[size_t(y * 60 + x)];
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
        {
            const bool inside = (y < 10 && x < 40) || (x >= 30 && x < 40 && y < 40) ||
                                (x >= 35 && y >= 35 && x < 55 && y < 55);
            ASSERT_EQ(covered[size_t(y * 60 + x)], inside ? 1 : 0) << x << "," << y;
        }
}

TEST(AreaList, TooManyAreasBecomeTheirBounds)
{
    AreaList scattered;
    for (int i = 0; i < int(AreaList::kMaxAreas) + 1; ++i)
        scattered.Add(Rect{(i % 20) * 40, (i / 20) * 40, 4, 4});
    scattered.Merge();
    EXPECT_EQ(scattered.Areas(), std::vector<Rect>{(Rect{0, 0, 764, 164})});
}

// Areas are drawn clipped: a stretched image must come out the same in
// pieces as whole, at any scale, filtered or quick.
TEST(DrawList, AStretchedImageDrawnInClippedPiecesIsTheWholeOne)
{
    std::mt19937 rng(11);
    auto source = MakeImage(37, 23, QuilloTest::RandomPixels(rng, 37 * 23));
    for (bool quick : {false, true})
    {
        for (const Rect& dest : {Rect{3, 4, 101, 67}, Rect{10, 7, 29, 11}, Rect{0, 0, 140, 9}})
        {
            auto whole = OpaqueScreen(150, 100, 0xFF102030u);
            Graphics g(whole.get());
            g.SetQuickStretch(quick);
            g.DrawImage(source.get(), dest.x, dest.y, dest.width, dest.height);
            auto pieces = OpaqueScreen(150, 100, 0xFF102030u);
            for (int y = 0; y < 100; y += 13)
            {
                for (int x = 0; x < 150; x += 17)
                {
                    Graphics piece(pieces.get());
                    piece.SetQuickStretch(quick);
                    piece.IntersectClip(Rect{x, y, 17, 13});
                    piece.DrawImage(source.get(), dest.x, dest.y, dest.width, dest.height);
                }
            }
            EXPECT_EQ(Pixels(*pieces), Pixels(*whole)) << (quick ? "quick " : "filtered ") << dest.width << "x"
                                                       << dest.height;
        }
    }
}
