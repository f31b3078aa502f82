#include "WidgetTestKit.h"

#include "framework/widgets/ListWidget.h"
#include "framework/widgets/ScrollbarWidget.h"
#include "framework/widgets/ScrollbuttonWidget.h"

using namespace Quillo;

namespace
{

class Lists : public ScreenTest
{
protected:
    Lists() : list(9, &font, &log)
    {
        // 4 + 5 lines of 10 pixels + 4.
        Place(list, 0, 0, 100, 58);
        for (int i = 0; i < 8; ++i)
            list.AddLine("line" + std::to_string(i));
    }

    ListWidget list;
};

TEST_F(Lists, ClicksReportTheLineUnderTheMouse)
{
    EXPECT_EQ(list.pageSize, 5);
    Play({{'c', 10, 4 + 25}});
    EXPECT_EQ(list.hiliteIdx, 2);
    list.SetPosition(2);
    Play({{'d', 10, 4 + 5, -1}, {'u', 10, 4 + 5, -1}, {'d', 10, 2}, {'u', 10, 2}});
    EXPECT_THAT(log.Take(), ElementsAre("line 9 2 1", "line 9 2 -1"))
        << "the inset above the lines is no line";

    list.RemoveAll();
    list.AddLine("only");
    Play({{'d', 10, 4 + 15}, {'u', 10, 4 + 15}});
    EXPECT_THAT(log.Take(), IsEmpty()) << "below the last line nothing is reported";
}

TEST_F(Lists, TheWheelAndThePositionStayInRange)
{
    manager.SetFocus(&list);
    manager.MouseWheel(-2);
    EXPECT_EQ(list.position, 2);
    manager.MouseWheel(-10);
    EXPECT_EQ(list.position, 3) << "8 lines, 5 on a page";
    manager.MouseWheel(10);
    EXPECT_EQ(list.position, 0);
    list.ScrollToLine(7);
    EXPECT_EQ(list.position, 3);
    list.ScrollToLine(1);
    EXPECT_EQ(list.position, 1);
    for (int i = 0; i < 3; ++i)
        list.RemoveLine(0);
    EXPECT_EQ(list.position, 0);
}

TEST_F(Lists, TheWheelScrollsTheListUnderTheMouseWhateverHasTheFocus)
{
    struct Holder : Widget
    {
        void OnMouseWheel(int delta) override { wheel += delta; }
        int wheel = 0;
    } dialog;
    Place(dialog, 0, 0, 150, 100);
    manager.BringToFront(&list);
    manager.SetFocus(&dialog);
    Play({{'m', 10, 10}});
    manager.MouseWheel(-2);
    EXPECT_EQ(list.position, 2);
    EXPECT_EQ(dialog.wheel, 0);
    Play({{'m', 120, 70}});
    manager.MouseWheel(-1);
    EXPECT_EQ(dialog.wheel, -1) << "elsewhere the wheel goes to the focus widget";
    EXPECT_EQ(list.position, 2);
    manager.RemoveWidget(&dialog);
}

TEST_F(Lists, SelectionAndHighlightAreDrawnInTheirColours)
{
    list.SetColor(4, Color{0, 0, 128});
    list.SetColor(5, Color{255, 255, 0});
    list.SetColor(3, Color{0, 200, 0});
    list.SetLineColor(3, Color{200, 0, 0});
    list.SetSelect(1);
    Play({{'m', 10, 4 + 25}});
    manager.DrawPass();
    ExpectPixels({{5, 4 + 14, 0xFFFF00, "selected line text"},
                  {60, 4 + 14, 0x000080, "selection bar across the width"},
                  {5, 4 + 24, 0x00C800, "highlighted line"},
                  {5, 4 + 34, 0xC80000, "the line's own colour"},
                  {5, 4 + 4, 0x000000, "slot 2 for lines without a colour"},
                  {99, 30, 0x000000, "outline"}});
    list.SetSelect(42);
    EXPECT_EQ(list.GetSelect(), -1);
}

TEST_F(Lists, AScrollbarFollowsAndMovesTheList)
{
    ScrollbarWidget bar(3, nullptr);
    EXPECT_TRUE(bar.disabled) << "disabled until there is something to scroll";
    Place(bar, 100, 0, 10, 58);
    list.SetScrollbar(&bar);
    EXPECT_FALSE(bar.disabled);
    EXPECT_EQ(bar.MaxPosition(), 3.0);
    ASSERT_TRUE(manager.HasWidget(bar.UpButton()));
    EXPECT_EQ(bar.DownButton()->GetRect(), (Rect{100, 48, 10, 10}));

    Play({{'c', 105, 52}});
    EXPECT_EQ(list.position, 1) << "an arrow click moves by one line";

    Play({{'d', 105, 52}});
    for (int step = 0; step < ScrollbarWidget::kRepeatDelay + ScrollbarWidget::kRepeatInterval; ++step)
        manager.UpdatePass();
    Play({{'u', 105, 52}});
    EXPECT_EQ(list.position, 3) << "held arrows repeat after a delay";

    Play({{'c', 105, 5}});
    EXPECT_EQ(list.position, 2);

    const Rect thumb = bar.ThumbRect();
    Play({{'m', 105, thumb.y + 1}, {'d', 105, thumb.y + 1}, {'m', 105, 0}, {'u', 105, 0}});
    EXPECT_EQ(list.position, 0) << "the thumb drags the view";

    list.SetPosition(3);
    EXPECT_EQ(bar.GetValue(), 3.0);
    list.RemoveAll();
    EXPECT_TRUE(bar.disabled);
    manager.RemoveWidget(&bar);
    EXPECT_FALSE(manager.HasWidget(bar.UpButton())) << "the arrows go with the bar";
}

TEST(Scrollbar, ReportsOnlyChangesItMakesItself)
{
    ControlLog log;
    ScrollbarWidget bar(1, &log);
    bar.Resize(0, 0, 10, 100);
    bar.SetMaxValue(20);
    bar.SetPageSize(5);
    bar.SetValue(4);
    EXPECT_THAT(log.values, IsEmpty());
    bar.OnButtonPressed(1);
    bar.OnButtonPressed(0);
    bar.OnButtonPressed(0);
    bar.SetValue(100, true);
    EXPECT_THAT(log.values, ElementsAre(5.0, 4.0, 3.0, 15.0));
    bar.OnMouseWheel(2);
    EXPECT_EQ(bar.GetValue(), 13.0);

    bar.hideWhenNothingToScroll = true;
    bar.SetPageSize(30);
    EXPECT_FALSE(bar.visible);
    EXPECT_FALSE(bar.UpButton()->visible);
    EXPECT_EQ(bar.GetValue(), 0.0);
    bar.SetPageSize(10);
    EXPECT_TRUE(bar.visible);
    EXPECT_FALSE(bar.disabled);
}

} // namespace
