#include "RecordingWidget.h"

#include "framework/widgets/CursorWidget.h"

#include <cstdlib>

using namespace Quillo;

namespace
{

constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kGreen = 0xFF00FF00;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kGrey = 0xFF808080;
constexpr uint32_t kWhite = 0xFFFFFFFF;

// A widget whose drawing spills far outside its bounds.
class SpillWidget : public Widget
{
public:
    void Draw(Graphics* g) override
    {
        g->SetColor(Color{255, 255, 255});
        g->FillRect(-20, -20, width + 40, height + 40);
    }
};

class WidgetManagerDraw : public RecordingTest
{
protected:
    WidgetManagerDraw()
    {
        screen.Create(100, 100);
        manager.SetSize(100, 100);
        manager.SetScreenImage(&screen);
    }
    ~WidgetManagerDraw() override { manager.SetScreenImage(nullptr); }

    // A draw pass with fresh draw counts.
    bool Redraw()
    {
        for (auto& w : owned)
            w->drawCount = 0;
        return manager.DrawPass();
    }
    static std::vector<int> Draws(std::initializer_list<RecordingWidget*> widgets)
    {
        std::vector<int> counts;
        for (RecordingWidget* w : widgets)
            counts.push_back(w->drawCount);
        return counts;
    }

    uint32_t Pixel(int x, int y) const { return screen.PixelAt(x, y); }

    // Image blending may round a channel down by one.
    static bool Near(uint32_t a, uint32_t b)
    {
        for (int shift = 0; shift < 32; shift += 8)
            if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 1)
                return false;
        return true;
    }

    MemoryImage screen;
};

TEST_F(WidgetManagerDraw, OnlyDirtyWidgetsAndWhatLiesInFrontOfThemAreRedrawn)
{
    RecordingWidget* back = Make("back", 0, 0, 100, 100, kGrey);
    RecordingWidget* left = Make("left", 10, 10, 30, 30, kRed);
    RecordingWidget* over = Make("over", 30, 30, 30, 30, kGreen);
    RecordingWidget* far = Make("far", 70, 70, 20, 20, kBlue);
    EXPECT_TRUE(manager.DrawPass());
    EXPECT_THAT(Draws({back, left, over, far}), ElementsAre(1, 1, 1, 1));
    EXPECT_EQ(Pixel(5, 5), kGrey);
    EXPECT_EQ(Pixel(15, 15), kRed);
    EXPECT_EQ(Pixel(35, 35), kGreen) << "the front widget wins where they overlap";
    EXPECT_EQ(Pixel(75, 75), kBlue);
    EXPECT_FALSE(Redraw()) << "nothing dirty, nothing drawn";
    EXPECT_THAT(Draws({back, left, over, far}), ElementsAre(0, 0, 0, 0));

    left->fill = Color::FromArgb(kWhite);
    left->Invalidate();
    EXPECT_TRUE(Redraw());
    EXPECT_THAT(Draws({back, left, over, far}), ElementsAre(0, 1, 1, 0))
        << "the overlapping widget in front is drawn again over it";
    EXPECT_EQ(Pixel(15, 15), kWhite);
    EXPECT_EQ(Pixel(35, 35), kGreen);
    manager.MarkAllDirty();
    Redraw();
    EXPECT_THAT(Draws({back, left, over, far}), ElementsAre(1, 1, 1, 1));
}

TEST_F(WidgetManagerDraw, HidingRedrawsWhatItUncoversAndStopsAtAnOpaqueCover)
{
    RecordingWidget* back = Make("back", 0, 0, 100, 100, kGrey);
    RecordingWidget* panel = Make("panel", 10, 10, 60, 60, kBlue);
    RecordingWidget* popup = Make("popup", 20, 20, 20, 20, kRed);
    RecordingWidget* badge = Make("badge", 35, 35, 10, 10, kGreen);
    RecordingWidget* far = Make("far", 80, 80, 10, 10, kWhite);
    manager.DrawPass();
    popup->SetVisible(false);
    Redraw();
    EXPECT_THAT(Draws({back, panel, popup, badge, far}), ElementsAre(0, 1, 0, 1, 0))
        << "the panel covers the popup and hides what lies further back";
    EXPECT_EQ(Pixel(25, 25), kBlue);
    EXPECT_EQ(Pixel(38, 38), kGreen);

    panel->seeThrough = true;
    popup->SetVisible(true);
    Redraw();
    EXPECT_THAT(Draws({panel, popup, badge}), ElementsAre(0, 1, 1)) << "showing only redraws what lies in front";
    EXPECT_EQ(Pixel(25, 25), kRed);
    popup->SetVisible(false);
    Redraw();
    EXPECT_THAT(Draws({back, panel, badge, far}), ElementsAre(1, 1, 1, 0))
        << "a see-through panel does not count as covering; only what shows where the popup was "
           "is drawn again";
}

TEST_F(WidgetManagerDraw, WhatShowsThroughAWidgetIsDrawnAgainBehindItOnce)
{
    RecordingWidget* back = Make("back", 0, 0, 100, 100, kGrey);
    RecordingWidget* glass = Make("glass", 20, 20, 20, 20, 0x80FF0000);
    manager.DrawPass();
    for (int i = 0; i < 2; ++i)
    {
        glass->Invalidate();
        Redraw();
        EXPECT_THAT(Draws({back, glass}), ElementsAre(1, 1));
        const uint32_t blended = Pixel(25, 25);
        EXPECT_EQ(blended >> 24, 0xFFu);
        EXPECT_GT((blended >> 16) & 0xFF, 0x80u) << "drawn once over a fresh background, not twice";
        EXPECT_LT((blended >> 16) & 0xFF, 0xD0u);
    }
}

TEST_F(WidgetManagerDraw, WidgetsAreClippedToTheirBoundsUnlessTheyOptOut)
{
    Make("back", 0, 0, 100, 100, kGrey);
    SpillWidget spill;
    spill.Resize(40, 40, 10, 10);
    manager.AddWidget(&spill);
    manager.DrawPass();
    EXPECT_EQ(Pixel(45, 45), kWhite);
    EXPECT_EQ(Pixel(39, 45), kGrey);
    EXPECT_EQ(Pixel(50, 45), kGrey);

    spill.clips = false;
    spill.Invalidate();
    manager.DrawPass();
    EXPECT_EQ(Pixel(25, 25), kWhite);
    EXPECT_EQ(Pixel(69, 69), kWhite);
    manager.RemoveWidget(&spill);
}

TEST_F(WidgetManagerDraw, TheCursorOverlayMovesWithoutRedrawingTheWidgets)
{
    RecordingWidget* back = Make("back", 0, 0, 100, 100, kGrey);
    RecordingWidget* box = Make("box", 10, 10, 30, 30, kRed);
    auto arrow = SolidImage(4, 4, kBlue);
    manager.GetCursorWidget()->SetImage(arrow.get());
    manager.ShowCursorWidget(true);
    manager.MouseMove(20, 20);
    EXPECT_TRUE(manager.DrawPass());
    EXPECT_TRUE(Near(Pixel(20, 20), kBlue)) << "the hot spot is the centre of the image";
    EXPECT_TRUE(Near(Pixel(18, 18), kBlue));
    EXPECT_EQ(Pixel(22, 22), kRed);

    manager.MouseMove(60, 60);
    EXPECT_TRUE(Redraw());
    EXPECT_THAT(Draws({back, box}), ElementsAre(0, 0));
    EXPECT_EQ(Pixel(20, 20), kRed) << "restored from the cache below the overlay";
    EXPECT_TRUE(Near(Pixel(60, 60), kBlue));

    box->fill = Color::FromArgb(kGreen);
    box->Invalidate();
    Redraw();
    EXPECT_THAT(Draws({back, box}), ElementsAre(0, 1));
    EXPECT_EQ(Pixel(20, 20), kGreen);
    EXPECT_TRUE(Near(Pixel(60, 60), kBlue)) << "the cursor is drawn again over the changed picture";

    manager.ShowCursorWidget(false);
    EXPECT_TRUE(Redraw()) << "losing the overlay redraws everything once";
    EXPECT_EQ(back->drawCount, 1);
    EXPECT_EQ(Pixel(60, 60), kGrey);
    EXPECT_FALSE(manager.DrawPass());

    // Without a screen image nothing is drawn and the widgets stay dirty.
    back->Invalidate();
    manager.SetScreenImage(nullptr);
    EXPECT_FALSE(manager.DrawPass());
    EXPECT_TRUE(back->dirty);
    manager.SetScreenImage(&screen);
    EXPECT_TRUE(manager.DrawPass());
    EXPECT_FALSE(back->dirty);
}

} // namespace
