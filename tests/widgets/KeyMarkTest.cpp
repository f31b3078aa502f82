// The keyboard mark of the widget manager: where arrows and Tab move it,
// what Enter presses, what the mouse does to it (the game's dialogs show
// what a modal widget does).
#include "WidgetTestKit.h"

#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/Checkbox.h"
#include "framework/widgets/KeyCode.h"
#include "framework/widgets/ListWidget.h"
#include "framework/widgets/Slider.h"

namespace Key = Quillo::KeyCode;

namespace
{

// A screen taking the keys the mark leaves, with a grid of buttons in front:
// 1 2 on the top row, 3 below 1.
class KeyMarkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        screen.Resize(0, 0, 400, 300);
        wm.AddWidget(&screen);
        wm.SetFocus(&screen);
        Place(one, 10, 10);
        Place(two, 110, 10);
        Place(three, 10, 110);
        two.keyDefault = true;
    }
    void Place(Quillo::Widget& w, int x, int y)
    {
        w.Resize(x, y, 80, 40);
        w.keyMarkable = true;
        wm.AddWidget(&w);
    }
    void Press(int key)
    {
        wm.KeyDown(key);
        wm.KeyUp(key);
    }

    struct Screen : Quillo::Widget
    {
        void OnKeyDown(int key) override { keys.push_back(key); }
        std::vector<int> keys;
    };

    Quillo::WidgetManager wm;
    ControlLog log;
    Screen screen;
    Quillo::ButtonWidget one{1, &log}, two{2, &log}, three{3, &log};
};

TEST_F(KeyMarkTest, ArrowsAndTabMoveTheShownMarkAndEnterPressesIt)
{
    // Hidden at first: Enter is the screen's, the first arrow only shows the
    // mark on the default control.
    Press(Key::Enter);
    EXPECT_THAT(screen.keys, ElementsAre(Key::Enter));
    EXPECT_EQ(wm.KeyMark(), &two);
    EXPECT_FALSE(two.keyMarked);
    Press(Key::Down);
    EXPECT_TRUE(two.keyMarked);
    Press(Key::Left);
    EXPECT_EQ(wm.KeyMark(), &one);
    EXPECT_TRUE(one.keyMarked && !two.keyMarked);
    Press(Key::Down);
    EXPECT_EQ(wm.KeyMark(), &three);
    // Nothing lies further down: the screen gets the arrow.
    Press(Key::Down);
    EXPECT_EQ(wm.KeyMark(), &three);
    EXPECT_THAT(screen.keys, ElementsAre(Key::Enter, Key::Down));
    // Tab follows reading order and wraps; Shift+Tab goes back.
    Press(Key::Tab);
    EXPECT_EQ(wm.KeyMark(), &one);
    wm.KeyDown(Key::Shift);
    Press(Key::Tab);
    wm.KeyUp(Key::Shift);
    EXPECT_EQ(wm.KeyMark(), &three);
    log.Take();
    wm.KeyDown(Key::Enter);
    wm.KeyDown(Key::Enter); // the held key's repeat presses nothing more
    wm.KeyUp(Key::Enter);
    Press(Key::Space);
    EXPECT_THAT(log.Take(), ElementsAre("count 3 1", "pressed 3", "clicked 3", "count 3 1",
                                        "pressed 3", "clicked 3"));
    // A disabled control is passed over.
    one.SetDisabled(true);
    Press(Key::Up);
    EXPECT_EQ(wm.KeyMark(), &two);
}

TEST_F(KeyMarkTest, TheMouseHidesTheMarkAndLeavesItWhereItWent)
{
    Press(Key::Right);
    ASSERT_TRUE(two.keyMarked);
    wm.MouseMove(20, 120);
    EXPECT_FALSE(two.keyMarked);
    EXPECT_EQ(wm.KeyMark(), &three);
    EXPECT_FALSE(three.keyMarked);
    // Hidden, Enter stays the screen's; an arrow shows it where the mouse was.
    Press(Key::Enter);
    EXPECT_THAT(log.Take(), ::testing::Not(::testing::Contains("clicked 3")));
    Press(Key::Up);
    EXPECT_TRUE(three.keyMarked);
}

TEST_F(KeyMarkTest, SlidersCheckboxesAndListsTakeTheirOwnKeys)
{
    Quillo::Slider slider(nullptr, nullptr, 7, &log);
    Quillo::Checkbox box(nullptr, nullptr, 8, &log);
    Quillo::ListWidget list(9, nullptr, &log);
    Place(slider, 200, 10);
    Place(box, 200, 110);
    Place(list, 200, 200);
    list.AddLine("a");
    list.AddLine("b");
    wm.SetKeyMark(&slider);
    wm.ShowKeyMark(true);
    slider.SetValue(0.95);
    Press(Key::Right);
    Press(Key::Right);
    Press(Key::Left);
    EXPECT_THAT(log.values, ElementsAre(1.0, 0.9));
    EXPECT_EQ(wm.KeyMark(), &slider);
    Press(Key::Down);
    ASSERT_EQ(wm.KeyMark(), &box);
    Press(Key::Space);
    Press(Key::Enter);
    EXPECT_THAT(log.Take(), ElementsAre("checked 8 1", "checked 8 0"));
    Press(Key::Down);
    ASSERT_EQ(wm.KeyMark(), &list);
    Press(Key::Down);
    Press(Key::Down);
    EXPECT_EQ(list.GetSelect(), 1);
    EXPECT_EQ(wm.KeyMark(), &list);
    // Past the last line the arrow moves the mark on, as from any control.
    Press(Key::Down);
    EXPECT_EQ(wm.KeyMark(), &list);
    Press(Key::Up);
    EXPECT_EQ(list.GetSelect(), 0);
    Press(Key::Up);
    EXPECT_EQ(wm.KeyMark(), &box);
}

} // namespace
