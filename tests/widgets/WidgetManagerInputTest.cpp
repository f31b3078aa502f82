#include "RecordingWidget.h"

#include "framework/widgets/CursorWidget.h"
#include "framework/widgets/KeyCode.h"
#include "framework/widgets/LayoutFlag.h"

using namespace Quillo;

namespace
{

using WidgetManagerInput = RecordingTest;

TEST_F(WidgetManagerInput, HitTestFindsTheFrontmostWidgetAndHonoursItsRules)
{
    RecordingWidget* back = Make("back", 0, 0, 200, 200);
    RecordingWidget* front = Make("front", 50, 50, 100, 100);
    EXPECT_EQ(manager.WidgetAt(60, 60), front);
    EXPECT_EQ(manager.WidgetAt(10, 10), back);
    EXPECT_EQ(manager.WidgetAt(150, 60), back) << "right edge is outside";
    EXPECT_EQ(manager.WidgetAt(300, 300), nullptr);

    front->insets = Insets{10, 10, 10, 10};
    EXPECT_EQ(manager.WidgetAt(55, 55), back) << "insets shrink the hit rectangle";
    EXPECT_EQ(manager.WidgetAt(65, 65), front);
    front->insets = Insets{};
    front->refuseLeftHalf = true;
    EXPECT_EQ(manager.WidgetAt(60, 60), back) << "refused points pass through";
    EXPECT_EQ(manager.WidgetAt(120, 60), front);
    front->refuseLeftHalf = false;
    front->mouseVisible = false;
    EXPECT_EQ(manager.WidgetAt(60, 60), back);
    front->mouseVisible = true;
    front->SetVisible(false);
    EXPECT_EQ(manager.WidgetAt(60, 60), back);
    front->SetVisible(true);

    front->SetDisabled(true);
    EXPECT_EQ(manager.WidgetAt(60, 60), nullptr) << "a disabled widget swallows the hit";
    Take();
    Play({{'c', 60, 60}});
    EXPECT_THAT(Take(), IsEmpty()) << "the click reaches nothing, not even the widget behind";
}

TEST_F(WidgetManagerInput, EnterMoveLeaveArePairedAndLocalAndFollowChanges)
{
    RecordingWidget* a = Make("a", 10, 10, 50, 50);
    Make("b", 100, 10, 50, 50);
    Take();
    Play({{'m', 20, 30}, {'m', 20, 30}, {'m', 25, 30}, {'m', 110, 20}});
    manager.MouseLeaveWindow(110, 20);
    EXPECT_THAT(Take(), ElementsAre("a:enter", "a:move 10,20", "a:move 15,20", "a:leave", "b:enter",
                                    "b:move 10,10", "b:leave"));
    EXPECT_FALSE(a->isOver);
    EXPECT_FALSE(manager.mouseIn);

    // Showing, moving and adding look at the mouse again.
    a->Resize(0, 0, 100, 100);
    Play({{'m', 50, 50}});
    Take();
    RecordingWidget* cover = Make("cover", 40, 40, 20, 20);
    EXPECT_THAT(Take(), ElementsAre("cover:attached", "a:leave", "cover:enter", "cover:move 10,10"));
    cover->Move(200, 200);
    EXPECT_THAT(Take(), ElementsAre("cover:leave", "a:enter", "a:move 50,50"));
    a->SetVisible(false);
    EXPECT_THAT(Take(), ElementsAre("a:leave"));

    // Removing the widget under a resting pointer enters the one it uncovers.
    a->SetVisible(true);
    Make("top", 40, 40, 20, 20);
    Take();
    manager.RemoveWidget(owned.back().get());
    EXPECT_THAT(Take(), ElementsAre("top:leave", "top:detached", "a:enter", "a:move 50,50"));
}

TEST_F(WidgetManagerInput, CaptureKeepsTheDragOnThePressedWidget)
{
    RecordingWidget* a = Make("a", 0, 0, 100, 100);
    RecordingWidget* b = Make("b", 200, 0, 100, 100);
    Play({{'m', 50, 50}});
    Take();
    Play({{'d', 50, 50}, {'m', 250, 50}, {'m', 260, 50}, {'m', 60, 50}, {'m', 250, 60}});
    EXPECT_TRUE(manager.AnyButtonDown());
    Play({{'u', 250, 60}});
    EXPECT_THAT(Take(), ElementsAre("a:down 50,50,1", "a:drag 250,50", "a:leave", "a:drag 260,50",
                                    "a:drag 60,50", "a:enter", "a:drag 250,60", "a:leave",
                                    "a:up 250,60,1", "b:enter", "b:move 50,60"));
    EXPECT_FALSE(manager.AnyButtonDown());
    EXPECT_EQ(manager.pressedWidget, nullptr);
    EXPECT_EQ(manager.overWidget, b);
    EXPECT_FALSE(a->isDown);
}

TEST_F(WidgetManagerInput, SecondButtonGoesToTheFirstWidgetAndCaptureEndsWithBoth)
{
    RecordingWidget* a = Make("a", 0, 0, 100, 100);
    Make("b", 200, 0, 100, 100);
    Play({{'m', 10, 10}, {'d', 10, 10}, {'m', 210, 10}});
    Take();
    Play({{'d', 210, 10, -1}});
    EXPECT_EQ(manager.downButtons, 3);
    EXPECT_EQ(manager.lastButton, -1);
    Play({{'u', 210, 10}});
    EXPECT_EQ(manager.pressedWidget, a) << "the capture lasts while the right button is held";
    Play({{'u', 210, 10, -1}});
    EXPECT_THAT(Take(), ElementsAre("a:down 210,10,-1", "a:up 210,10,1", "a:up 210,10,-1",
                                    "b:enter", "b:move 10,10"));
    EXPECT_EQ(manager.pressedWidget, nullptr);
    EXPECT_EQ(manager.physicalButtons, 0);
}

TEST_F(WidgetManagerInput, RemovingDisablingOrReleasingThePressedWidgetReleasesEveryButton)
{
    RecordingWidget* a = Make("a", 0, 0, 100, 100);
    Play({{'m', 10, 10}, {'d', 10, 10}, {'d', 10, 10, 3}, {'d', 10, 10, -1}});
    Take();
    manager.RemoveWidget(a);
    EXPECT_THAT(Take(), ElementsAre("a:leave", "a:up 10,10,1", "a:up 10,10,-1", "a:up 10,10,3",
                                    "a:detached"));
    EXPECT_EQ(manager.downButtons, 0);
    EXPECT_EQ(a->manager, nullptr);

    RecordingWidget* b = Make("b", 0, 0, 100, 100);
    b->wantsFocus = true;
    Play({{'u', 10, 10}, {'u', 10, 10, 3}, {'u', 10, 10, -1}, {'d', 10, 10}});
    Take();
    b->SetDisabled(true);
    EXPECT_THAT(Take(), ElementsAre("b:leave", "b:up 10,10,1", "b:lostfocus"));
    EXPECT_FALSE(manager.AnyButtonDown()) << "the capture ended with the release";
    b->SetDisabled(false);
    EXPECT_THAT(Take(), ElementsAre("b:enter", "b:move 10,10"));
    Play({{'u', 10, 10}});
    EXPECT_THAT(Take(), IsEmpty()) << "the late physical release reaches nobody";

    Play({{'d', 10, 10, 2}});
    Take();
    manager.ReleasePressedButtons();
    EXPECT_THAT(Take(), ElementsAre("b:up 10,10,1"));
    EXPECT_FALSE(manager.AnyButtonDown());
    Play({{'u', 10, 10}});
    EXPECT_THAT(Take(), IsEmpty()) << "a late release after the capture ended goes nowhere";
}

TEST_F(WidgetManagerInput, ModalWidgetBlocksMouseKeysAndFocusBehindIt)
{
    RecordingWidget* behind = Make("behind", 0, 0, 800, 600);
    RecordingWidget* dialog = Make("dialog", 300, 200, 200, 200);
    Make("button", 320, 350, 50, 20);
    manager.SetFocus(behind);
    Play({{'m', 10, 10}, {'d', 10, 10}});
    Take();
    manager.SetBaseModal(dialog);
    EXPECT_THAT(Take(), ElementsAre("behind:leave", "behind:up 10,10,1", "behind:lostfocus"));
    EXPECT_EQ(manager.focusWidget, nullptr);
    Play({{'u', 10, 10}, {'c', 20, 20}});
    manager.SetFocus(behind);
    manager.KeyDown('A');
    EXPECT_THAT(Take(), IsEmpty());

    Play({{'c', 330, 355}});
    EXPECT_THAT(Take(), ElementsAre("button:enter", "button:move 10,5", "button:down 10,5,1",
                                    "button:up 10,5,1"));
    manager.SetFocus(dialog);
    manager.KeyDown('B');
    EXPECT_THAT(Take(), ElementsAre("dialog:gotfocus", "dialog:keydown 66"));
    manager.RemoveWidget(dialog);
    EXPECT_EQ(manager.GetBaseModal(), nullptr);
}

TEST_F(WidgetManagerInput, FocusFollowsClicksAndTheApplicationFocus)
{
    RecordingWidget* a = Make("a", 0, 0, 100, 100);
    RecordingWidget* b = Make("b", 200, 0, 100, 100);
    a->wantsFocus = true;
    Play({{'c', 10, 10}});
    EXPECT_EQ(manager.focusWidget, a);
    EXPECT_TRUE(a->hasFocus);
    Take();
    manager.SetFocus(a);
    EXPECT_THAT(Take(), IsEmpty()) << "setting the same focus again does nothing";
    manager.SetFocus(b);
    EXPECT_THAT(Take(), ElementsAre("a:lostfocus", "b:gotfocus"));

    manager.KeyDown(KeyCode::Shift);
    manager.KeyDown('X');
    manager.FocusLost();
    manager.FocusLost();
    EXPECT_THAT(Take(), ElementsAre("b:keydown 16", "b:keydown 88", "b:keyup 16", "b:keyup 88",
                                    "b:lostfocus"));
    EXPECT_FALSE(manager.keyDown[KeyCode::Shift]);
    manager.SetFocus(a);
    EXPECT_THAT(Take(), IsEmpty()) << "no focus calls while the application is unfocused";
    manager.FocusGained();
    EXPECT_THAT(Take(), ElementsAre("a:gotfocus"));

    RecordingWidget detached("detached", &log);
    manager.SetFocus(&detached);
    EXPECT_THAT(Take(), ElementsAre("a:lostfocus"));
    EXPECT_EQ(manager.focusWidget, nullptr);
}

TEST_F(WidgetManagerInput, KeysAndWheelGoToTheFocusWidgetAndTabMovesIt)
{
    RecordingWidget* a = Make("a", 0, 0, 100, 100);
    RecordingWidget* b = Make("b", 200, 0, 100, 100);
    RecordingWidget* c = Make("c", 400, 0, 10, 10);
    manager.SetFocus(a);
    manager.defaultTabWidget = c;
    Play({{'m', 250, 50}});
    Take();
    manager.MouseWheel(-2);
    manager.KeyChar('q');
    manager.KeyDown(300);
    manager.KeyUp(300);
    EXPECT_THAT(Take(), ElementsAre("a:wheel -2", "a:char q", "a:keydown 300", "a:keyup 300"))
        << "out-of-range keys are passed on";
    EXPECT_FALSE(b->isDown);
    manager.KeyDown(KeyCode::Control);
    manager.KeyChar('\t');
    manager.KeyUp(KeyCode::Tab);
    manager.KeyUp(KeyCode::Control);
    EXPECT_THAT(Take(), ElementsAre("a:keydown 17", "c:char \t", "a:keyup 17"));

    a->tabNext = b;
    b->tabNext = c;
    b->tabPrev = a;
    for (RecordingWidget* expected : {b, c, c})
    {
        manager.KeyDown(KeyCode::Tab);
        EXPECT_EQ(manager.focusWidget, expected) << "without a next widget the focus stays";
    }
    manager.SetFocus(b);
    manager.KeyDown(KeyCode::Shift);
    manager.KeyDown(KeyCode::Tab);
    EXPECT_EQ(manager.focusWidget, a);
    EXPECT_TRUE(manager.keyDown[KeyCode::Shift]);
}

TEST_F(WidgetManagerInput, PopupGoesAwayOnAClickOutsideIt)
{
    Make("back", 0, 0, 800, 600);
    RecordingWidget* popup = Make("popup", 100, 100, 50, 50);
    manager.popupWidget = popup;
    Play({{'c', 120, 120}});
    EXPECT_TRUE(manager.HasWidget(popup));
    Take();
    Play({{'m', 300, 300}, {'d', 300, 300}});
    EXPECT_FALSE(manager.HasWidget(popup));
    EXPECT_EQ(manager.popupWidget, nullptr);
    EXPECT_THAT(Take(), ElementsAre("popup:leave", "back:enter", "back:move 300,300", "popup:detached",
                                    "back:down 300,300,1"));
}

TEST_F(WidgetManagerInput, UpdatePassSurvivesRemovalAndReorderingFromInsideUpdate)
{
    RecordingWidget* a = Make("a", 0, 0, 10, 10);
    RecordingWidget* b = Make("b", 0, 0, 10, 10);
    RecordingWidget* c = Make("c", 0, 0, 10, 10);
    b->onUpdate = [&] { manager.RemoveWidget(b); };
    manager.UpdatePass();
    EXPECT_EQ(a->updateCount, 1);
    EXPECT_EQ(b->updateCount, 1);
    EXPECT_EQ(c->updateCount, 1) << "the widget after the removed one is not skipped";

    a->onUpdate = [&] { manager.BringToFront(a); };
    RecordingWidget* added = nullptr;
    c->onUpdate = [&] { added = added ? added : Make("added", 0, 0, 10, 10); };
    manager.UpdatePass();
    EXPECT_EQ(a->updateCount, 2) << "moved to the front, still updated once";
    EXPECT_EQ(c->updateCount, 2);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->updateCount, 1) << "added at the front during the pass, reached in it";
    EXPECT_EQ(a->updateStamp, manager.updateNumber);

    a->onUpdate = nullptr;
    c->onUpdate = nullptr;
    manager.MarkAllDirty();
    for (const auto& w : owned)
        w->dirty = false;
    EXPECT_FALSE(manager.UpdatePass());
    c->onUpdate = [&] { c->Invalidate(); };
    EXPECT_TRUE(manager.UpdatePass());
}

TEST_F(WidgetManagerInput, PartialUpdatesReachEveryWidgetEachTime)
{
    struct Fractional : Widget
    {
        void UpdatePartial(double fraction) override
        {
            total += fraction;
            Invalidate();
        }
        double total = 0.0;
    } first, second;
    manager.AddWidget(&first);
    manager.AddWidget(&second);
    first.dirty = false;
    EXPECT_TRUE(manager.UpdatePartialPass(0.25));
    EXPECT_TRUE(manager.UpdatePartialPass(0.5));
    EXPECT_DOUBLE_EQ(first.total, 0.75);
    EXPECT_DOUBLE_EQ(second.total, 0.75);
    EXPECT_EQ(first.updateCount, 0) << "no fixed-step update";
    manager.RemoveWidget(&first);
    manager.RemoveWidget(&second);
}

TEST_F(WidgetManagerInput, OrderOperations)
{
    RecordingWidget* a = Make("a", 0, 0, 10, 10);
    RecordingWidget* b = Make("b", 0, 0, 10, 10);
    RecordingWidget* c = Make("c", 0, 0, 10, 10);
    manager.BringToFront(a);
    EXPECT_THAT(manager.Widgets(), ElementsAre(b, c, a));
    manager.PutInFront(a, b);
    EXPECT_THAT(manager.Widgets(), ElementsAre(b, a, c));
    manager.PutInFront(b, nullptr);
    EXPECT_THAT(manager.Widgets(), ElementsAre(a, c, b));
    EXPECT_TRUE(manager.IsBehind(a, b));
    EXPECT_FALSE(manager.IsBehind(b, a));

    manager.ShowCursorWidget(true);
    RecordingWidget* d = Make("d", 0, 0, 10, 10);
    manager.BringToFront(a);
    EXPECT_EQ(manager.Widgets().back(), manager.GetCursorWidget()) << "the cursor stays on top";
    EXPECT_TRUE(manager.IsBehind(d, a));
    manager.ShowCursorWidget(false);
    EXPECT_FALSE(manager.HasWidget(manager.GetCursorWidget()));
}

TEST_F(WidgetManagerInput, DestroyedWidgetsAndManagersLeaveNoDanglingReferences)
{
    RecordingWidget* a = Make("a", 0, 0, 100, 100);
    Play({{'m', 10, 10}, {'d', 10, 10}});
    manager.SetFocus(a);
    manager.SetBaseModal(a);
    owned.clear();
    EXPECT_TRUE(manager.Widgets().empty());
    EXPECT_EQ(manager.overWidget, nullptr);
    EXPECT_EQ(manager.pressedWidget, nullptr);
    EXPECT_EQ(manager.focusWidget, nullptr);
    EXPECT_EQ(manager.GetBaseModal(), nullptr);
    Play({{'u', 10, 10}});

    RecordingWidget survivor("survivor", &log);
    WidgetManager().AddWidget(&survivor);
    EXPECT_EQ(survivor.manager, nullptr);
    survivor.Invalidate();
    EXPECT_TRUE(survivor.dirty);
}

TEST(WidgetLayout, FlagsApplyInOrderRelativeToTheReference)
{
    struct Case
    {
        int flags, x, y, w, h;
        Rect expected;
    } cases[] = {
        {LayoutFlag::RightOf | LayoutFlag::SameTop, 5, 3, 0, 0, {155, 203, 10, 20}},
        {LayoutFlag::SameWidth | LayoutFlag::Below | LayoutFlag::CenterHorizontal, 0, 2, -10, 0,
         {105, 242, 40, 20}},
        {LayoutFlag::SetLeft | LayoutFlag::GrowToRight | LayoutFlag::Above, 20, -1, 0, 0, {20, 179, 130, 20}},
        {LayoutFlag::SetHeight | LayoutFlag::CenterVertical | LayoutFlag::LeftOf, 0, 0, 0, 10,
         {-30, 215, 130, 10}},
        {4 | 8, 1, 1, 1, 1, {-30, 215, 130, 10}},
    };
    Widget reference;
    reference.Resize(100, 200, 50, 40);
    Widget w;
    w.Resize(0, 0, 10, 20);
    for (const Case& c : cases)
    {
        w.Layout(c.flags, &reference, c.x, c.y, c.w, c.h);
        EXPECT_EQ(w.GetRect(), c.expected) << "flags " << c.flags;
    }
}

TEST(WidgetBasics, ColourTableGrowsWithOpaqueBlackAndMouseCodesTranslateToButtons)
{
    struct Probe : Widget
    {
        void OnMouseDownEx(int, int, int button, int count) override { downs.push_back({button, count}); }
        void OnMouseUpEx(int, int, int button, int count) override { ups.push_back({button, count}); }
        std::vector<std::pair<int, int>> downs, ups;
    } w;
    const int rgb[2][3] = {{1, 2, 3}, {4, 5, 6}};
    w.SetColorsRGB(rgb, 2);
    EXPECT_EQ(w.GetColor(1), (Color{4, 5, 6, 255}));
    EXPECT_EQ(w.GetColor(4), Color::Black);
    EXPECT_EQ(w.colors.size(), 5u);
    w.SetColor(7, Color{9, 9, 9, 9});
    EXPECT_EQ(w.colors.size(), 8u);
    EXPECT_EQ(w.GetColor(6), Color::Black);
    for (auto [value, digits] : {std::pair{0, 1}, {9, 1}, {10, 2}, {2147483647, 10}})
        EXPECT_EQ(w.CountDigits(value), digits) << value;

    w.OnMouseDown(0, 0, 2);
    w.OnMouseDown(0, 0, -2);
    w.OnMouseDown(0, 0, 3);
    w.OnMouseUp(0, 0, -1);
    EXPECT_EQ(w.downs, (std::vector<std::pair<int, int>>{{0, 2}, {1, 2}, {2, 1}}));
    EXPECT_EQ(w.ups, (std::vector<std::pair<int, int>>{{1, 1}}));
    EXPECT_FALSE(w.isDown);
}

} // namespace
