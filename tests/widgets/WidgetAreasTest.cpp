#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <vector>

using namespace Quillo;

namespace Quillo
{
void PrintTo(const Rect& r, std::ostream* os)
{
    *os << "{" << r.x << ", " << r.y << ", " << r.width << ", " << r.height << "}";
}
} // namespace Quillo

namespace
{

// Fills itself with a colour (translucent ones show double drawing) and a
// square of another, and notes the clip of every draw.
class SquareWidget : public Widget
{
public:
    SquareWidget(Rect bounds, Color baseColor, Color squareColor) : base(baseColor), square(squareColor)
    {
        Resize(bounds);
    }
    void Draw(Graphics* g) override
    {
        clips.push_back(g->GetClipRect());
        g->SetColor(base);
        g->FillRect(0, 0, width, height);
        g->SetColor(square);
        g->FillRect(squareAt);
    }
    bool IsOpaque() override { return base.alpha == 255; }
    void BeforeDrawPass() override
    {
        if (onBeforeDraw)
            onBeforeDraw();
    }
    // Moves the square and invalidates where it was and where it is.
    void MoveSquare(const Rect& to)
    {
        InvalidateArea(squareAt);
        squareAt = to;
        InvalidateArea(squareAt);
    }

    Color base;
    Color square;
    Rect squareAt{10, 10, 8, 8};
    std::vector<Rect> clips;
    std::function<void()> onBeforeDraw;
};

class WidgetAreas : public ::testing::Test
{
protected:
    WidgetAreas()
    {
        glass.translucent = true;
        far.translucent = true;
        screen.Create(100, 100);
        manager.SetSize(100, 100);
        manager.SetScreenImage(&screen);
        manager.AddWidget(&under);
        manager.AddWidget(&back);
        manager.AddWidget(&glass);
        manager.AddWidget(&far);
        EXPECT_TRUE(manager.DrawPass());
        for (SquareWidget* w : {&under, &back, &glass, &far})
            w->clips.clear();
    }
    ~WidgetAreas() override
    {
        for (SquareWidget* w : {&under, &back, &glass, &far})
            manager.RemoveWidget(w);
    }

    std::vector<uint32_t> Pixels()
    {
        return std::vector<uint32_t>(screen.GetBits(), screen.GetBits() + 100 * 100);
    }
    // The picture every widget draws whole, for comparison.
    std::vector<uint32_t> WholePicture()
    {
        const std::vector<uint32_t> kept = Pixels();
        manager.MarkAllDirty();
        manager.DrawPass();
        std::vector<uint32_t> whole = Pixels();
        std::copy(kept.begin(), kept.end(), screen.GetBits());
        return whole;
    }

    MemoryImage screen;
    WidgetManager manager;
    // Hidden behind back, which is opaque everywhere.
    SquareWidget under{Rect{0, 0, 100, 100}, Color(200, 0, 0), Color(0, 0, 0)};
    SquareWidget back{Rect{0, 0, 100, 100}, Color(0, 90, 0), Color(250, 250, 0)};
    // In front, half transparent: drawing it twice over the same pixels shows.
    SquareWidget glass{Rect{5, 5, 30, 30}, Color(0, 0, 255, 128), Color(0, 0, 0, 0)};
    SquareWidget far{Rect{60, 60, 30, 30}, Color(255, 255, 255, 100), Color(0, 0, 0, 0)};
};

} // namespace

TEST_F(WidgetAreas, OnlyTheAreasAreDrawnFromTheOpaqueWidgetUpAndThePictureIsTheWholeOne)
{
    back.MoveSquare(Rect{14, 12, 8, 8});
    EXPECT_TRUE(manager.DrawPass());
    // The two areas overlap and become one; what lies in front is drawn
    // clipped to it, what lies behind the opaque widget and elsewhere not.
    const Rect area{10, 10, 12, 10};
    EXPECT_EQ(back.clips, std::vector<Rect>{area});
    EXPECT_EQ(glass.clips, std::vector<Rect>{area});
    EXPECT_TRUE(under.clips.empty());
    EXPECT_TRUE(far.clips.empty());
    EXPECT_EQ(manager.DrawnAreas().Areas(), std::vector<Rect>{area});
    EXPECT_FALSE(manager.DrawPass()) << "the areas are used up";
    EXPECT_EQ(Pixels(), WholePicture());
}

TEST_F(WidgetAreas, AreasAcrossSeveralWidgetsAndAWholeInvalidationInOnePass)
{
    SquareWidget tile{Rect{40, 70, 15, 15}, Color(90, 0, 90), Color(0, 0, 0, 0)};
    manager.AddWidget(&tile);
    EXPECT_TRUE(manager.DrawPass());
    tile.clips.clear();
    back.MoveSquare(Rect{70, 56, 8, 8});
    tile.base = Color(0, 200, 200);
    tile.Invalidate();
    EXPECT_TRUE(manager.DrawPass());
    // The areas stay apart; tile is drawn once, whole, in its place in the order.
    EXPECT_EQ(back.clips, (std::vector<Rect>{{10, 10, 8, 8}, {70, 56, 8, 8}}));
    EXPECT_EQ(glass.clips, std::vector<Rect>{(Rect{10, 10, 8, 8})});
    EXPECT_EQ(far.clips, std::vector<Rect>{(Rect{70, 60, 8, 4})}) << "the new square reaches under far";
    EXPECT_EQ(tile.clips, std::vector<Rect>{(Rect{40, 70, 15, 15})});
    EXPECT_EQ(Pixels(), WholePicture());
    manager.RemoveWidget(&tile);
}

TEST_F(WidgetAreas, AnEmptyAreaAsksForAFrameWithoutDrawing)
{
    back.InvalidateArea(Rect{});
    EXPECT_TRUE(manager.markedDirty);
    EXPECT_TRUE(manager.DrawPass()) << "an animation's frame that looks the same";
    EXPECT_TRUE(manager.DrawnAreas().Empty());
    EXPECT_TRUE(back.clips.empty());
    EXPECT_TRUE(glass.clips.empty());
    EXPECT_FALSE(manager.DrawPass());
}

TEST_F(WidgetAreas, AreasOutsideTheWidgetOrTheScreenAreCut)
{
    back.InvalidateArea(Rect{-10, -10, 20, 20});
    EXPECT_TRUE(manager.DrawPass());
    EXPECT_EQ(manager.DrawnAreas().Areas(), std::vector<Rect>{(Rect{0, 0, 10, 10})});
    EXPECT_EQ(glass.clips, std::vector<Rect>{(Rect{5, 5, 5, 5})});
    back.InvalidateArea(Rect{95, 95, 20, 20});
    EXPECT_TRUE(manager.DrawPass());
    EXPECT_EQ(manager.DrawnAreas().Areas(), std::vector<Rect>{(Rect{95, 95, 5, 5})});
    EXPECT_EQ(Pixels(), WholePicture());
}

TEST_F(WidgetAreas, AnAreaOfASeeThroughWidgetIsDrawnFromTheOpaqueWidgetBehind)
{
    for (bool translucent : {false, true})
    {
        glass.seeThrough = !translucent;
        glass.translucent = translucent;
        glass.clips.clear();
        back.clips.clear();
        glass.InvalidateArea(Rect{1, 1, 4, 4});
        EXPECT_TRUE(manager.DrawPass());
        EXPECT_EQ(back.clips, std::vector<Rect>{(Rect{6, 6, 4, 4})});
        EXPECT_EQ(glass.clips, std::vector<Rect>{(Rect{6, 6, 4, 4})});
        EXPECT_EQ(Pixels(), WholePicture());
    }
}

TEST_F(WidgetAreas, AnAreaFromBeforeTheDrawPassIsDrawnInThatPass)
{
    back.onBeforeDraw = [this] {
        if (back.squareAt.x < 40)
            back.MoveSquare(Rect{40, 40, 8, 8});
    };
    EXPECT_TRUE(manager.DrawPass());
    EXPECT_EQ(back.clips.size(), 2u) << "old and new place, apart";
    EXPECT_EQ(manager.DrawnAreas().Bounds(), (Rect{10, 10, 38, 38}));
    EXPECT_EQ(Pixels(), WholePicture());
}

TEST_F(WidgetAreas, WithAnOverlayTheWholeScreenIsPresented)
{
    SquareWidget dialog{Rect{20, 20, 40, 40}, Color(90, 90, 90), Color(0, 0, 0, 0)};
    manager.AddWidget(&dialog);
    dialog.SetOverlay(true);
    EXPECT_TRUE(manager.DrawPass());
    back.MoveSquare(Rect{24, 24, 8, 8});
    dialog.clips.clear();
    EXPECT_TRUE(manager.DrawPass());
    EXPECT_EQ(manager.DrawnAreas().Areas(), std::vector<Rect>{(Rect{0, 0, 100, 100})});
    EXPECT_EQ(dialog.clips.size(), 1u) << "the overlay is drawn again over the cache";
    const std::vector<uint32_t> partial = Pixels();
    EXPECT_EQ(partial, WholePicture());
    manager.RemoveWidget(&dialog);
}
