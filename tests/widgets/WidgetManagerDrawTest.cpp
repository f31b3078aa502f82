#include "RecordingWidget.h"

#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/CursorWidget.h"
#include "framework/widgets/WidgetManager.h"

#include <gtest/gtest.h>

#include <memory>

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

class WidgetManagerDraw : public ::testing::Test
{
protected:
    WidgetManagerDraw()
    {
        screen.Create(100, 100);
        manager.SetSize(100, 100);
        manager.SetScreenImage(&screen);
    }

    RecordingWidget* Make(const std::string& name, int x, int y, int w, int h, uint32_t argb)
    {
        owned.push_back(std::make_unique<RecordingWidget>(name, &log));
        RecordingWidget* widget = owned.back().get();
        widget->Resize(x, y, w, h);
        widget->fill = Color::FromArgb(argb);
        manager.AddWidget(widget);
        return widget;
    }

    void ResetCounts()
    {
        for (auto& w : owned)
            w->drawCount = 0;
    }

    uint32_t Pixel(int x, int y) const { return screen.PixelAt(x, y); }

    // Image blending may round a channel down by one.
    static bool Near(uint32_t a, uint32_t b)
    {
        for (int shift = 0; shift < 32; shift += 8)
        {
            const int ca = static_cast<int>((a >> shift) & 0xFF);
            const int cb = static_cast<int>((b >> shift) & 0xFF);
            if (ca - cb > 1 || cb - ca > 1)
                return false;
        }
        return true;
    }

    std::vector<std::string> log;
    std::vector<std::unique_ptr<RecordingWidget>> owned;
    MemoryImage screen;
    WidgetManager manager;
};

TEST_F(WidgetManagerDraw, OnlyDirtyWidgetsAndWhatLiesInFrontOfThemAreRedrawn)
{
    RecordingWidget* back = Make("back", 0, 0, 100, 100, kGrey);
    RecordingWidget* left = Make("left", 10, 10, 30, 30, kRed);
    RecordingWidget* over = Make("over", 30, 30, 30, 30, kGreen);
    RecordingWidget* far = Make("far", 70, 70, 20, 20, kBlue);
    EXPECT_TRUE(manager.DrawPass());
    EXPECT_EQ(back->drawCount, 1);
    EXPECT_EQ(far->drawCount, 1);
    EXPECT_EQ(Pixel(5, 5), kGrey);
    EXPECT_EQ(Pixel(15, 15), kRed);
    EXPECT_EQ(Pixel(35, 35), kGreen) << "the front widget wins where they overlap";
    EXPECT_EQ(Pixel(75, 75), kBlue);

    ResetCounts();
    EXPECT_FALSE(manager.DrawPass()) << "nothing dirty, nothing drawn";
    EXPECT_EQ(back->drawCount + left->drawCount + over->drawCount + far->drawCount, 0);

    left->fill = Color::FromArgb(kWhite);
    left->Invalidate();
    EXPECT_TRUE(manager.DrawPass());
    EXPECT_EQ(back->drawCount, 0);
    EXPECT_EQ(left->drawCount, 1);
    EXPECT_EQ(over->drawCount, 1) << "overlapping widget in front is drawn again over it";
    EXPECT_EQ(far->drawCount, 0);
    EXPECT_EQ(Pixel(15, 15), kWhite);
    EXPECT_EQ(Pixel(35, 35), kGreen);

    ResetCounts();
    manager.MarkAllDirty();
    manager.DrawPass();
    EXPECT_EQ(back->drawCount + left->drawCount + over->drawCount + far->drawCount, 4);
}

TEST_F(WidgetManagerDraw, HidingRedrawsWhatItUncoversAndStopsAtAnOpaqueCover)
{
    RecordingWidget* back = Make("back", 0, 0, 100, 100, kGrey);
    RecordingWidget* panel = Make("panel", 10, 10, 60, 60, kBlue);
    RecordingWidget* popup = Make("popup", 20, 20, 20, 20, kRed);
    RecordingWidget* badge = Make("badge", 35, 35, 10, 10, kGreen);
    RecordingWidget* far = Make("far", 80, 80, 10, 10, kWhite);
    manager.DrawPass();
    ResetCounts();

    popup->SetVisible(false);
    manager.DrawPass();
    EXPECT_EQ(back->drawCount, 0) << "the panel covers the popup and hides what lies further back";
    EXPECT_EQ(panel->drawCount, 1);
    EXPECT_EQ(popup->drawCount, 0);
    EXPECT_EQ(badge->drawCount, 1);
    EXPECT_EQ(far->drawCount, 0);
    EXPECT_EQ(Pixel(25, 25), kBlue);
    EXPECT_EQ(Pixel(38, 38), kGreen);

    ResetCounts();
    panel->seeThrough = true;
    popup->SetVisible(true);
    manager.DrawPass();
    EXPECT_EQ(popup->drawCount, 1);
    EXPECT_EQ(badge->drawCount, 1);
    EXPECT_EQ(panel->drawCount, 0) << "showing only redraws what lies in front";
    EXPECT_EQ(Pixel(25, 25), kRed);

    ResetCounts();
    popup->SetVisible(false);
    manager.DrawPass();
    EXPECT_EQ(panel->drawCount, 1);
    EXPECT_EQ(back->drawCount, 1) << "a see-through panel does not count as covering";
    EXPECT_EQ(far->drawCount, 1) << "the redrawn background brings everything in front of it";
}

TEST_F(WidgetManagerDraw, TranslucentWidgetsRedrawWhatLiesBehind)
{
    RecordingWidget* back = Make("back", 0, 0, 100, 100, kGrey);
    RecordingWidget* glass = Make("glass", 20, 20, 20, 20, 0x80FF0000);
    manager.DrawPass();
    ResetCounts();
    glass->Invalidate();
    manager.DrawPass();
    EXPECT_EQ(glass->drawCount, 1);
    EXPECT_EQ(back->drawCount, 0) << "an ordinary widget does not redraw what is behind it";

    glass->translucent = true;
    ResetCounts();
    glass->Invalidate();
    manager.DrawPass();
    EXPECT_EQ(back->drawCount, 1);
    EXPECT_EQ(glass->drawCount, 1);
    const uint32_t blended = Pixel(25, 25);
    EXPECT_EQ(blended >> 24, 0xFFu);
    EXPECT_GT((blended >> 16) & 0xFF, 0x80u) << "drawn once over a fresh background, not twice";
    EXPECT_LT((blended >> 16) & 0xFF, 0xD0u);
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
    MemoryImage arrow;
    arrow.Create(4, 4);
    uint32_t* bits = arrow.GetBits();
    for (int i = 0; i < 16; ++i)
        bits[i] = kBlue;
    arrow.MarkBitsChanged();
    arrow.CommitAlphaFlags();
    manager.GetCursorWidget()->SetImage(&arrow);
    manager.ShowCursorWidget(true);
    manager.MouseMove(20, 20);
    EXPECT_TRUE(manager.DrawPass());
    EXPECT_TRUE(Near(Pixel(20, 20), kBlue)) << "the hot spot is the centre of the image";
    EXPECT_TRUE(Near(Pixel(18, 18), kBlue));
    EXPECT_EQ(Pixel(22, 22), kRed);

    ResetCounts();
    manager.MouseMove(60, 60);
    EXPECT_TRUE(manager.DrawPass());
    EXPECT_EQ(back->drawCount, 0);
    EXPECT_EQ(box->drawCount, 0);
    EXPECT_EQ(Pixel(20, 20), kRed) << "restored from the cache below the overlay";
    EXPECT_TRUE(Near(Pixel(60, 60), kBlue));

    box->fill = Color::FromArgb(kGreen);
    box->Invalidate();
    manager.DrawPass();
    EXPECT_EQ(box->drawCount, 1);
    EXPECT_EQ(Pixel(20, 20), kGreen);
    EXPECT_TRUE(Near(Pixel(60, 60), kBlue)) << "the cursor is drawn again over the changed picture";

    ResetCounts();
    manager.ShowCursorWidget(false);
    EXPECT_TRUE(manager.DrawPass()) << "losing the overlay redraws everything once";
    EXPECT_EQ(back->drawCount, 1);
    EXPECT_EQ(Pixel(60, 60), kGrey);
    EXPECT_FALSE(manager.DrawPass());
}

TEST_F(WidgetManagerDraw, NoScreenImageDrawsNothingAndKeepsTheWidgetsDirty)
{
    RecordingWidget* back = Make("back", 0, 0, 100, 100, kGrey);
    manager.SetScreenImage(nullptr);
    EXPECT_FALSE(manager.DrawPass());
    EXPECT_TRUE(back->dirty);
    manager.SetScreenImage(&screen);
    EXPECT_TRUE(manager.DrawPass());
    EXPECT_FALSE(back->dirty);
}

} // namespace
