#include "WidgetTestKit.h"

#include "framework/widgets/Dialog.h"
#include "framework/widgets/DialogButton.h"

using namespace Quillo;

namespace
{

class Dialogs : public ScreenTest
{
protected:
    Dialogs() : ScreenTest(400, 300) {}

    std::unique_ptr<MemoryImage> box = SolidImage(30, 30, 0xFF204060);
    std::unique_ptr<MemoryImage> buttonFace = SolidImage(30, 30, 0xFF606060);
};

TEST_F(Dialogs, ButtonsCarryTheDialogIdAndSetTheResult)
{
    Dialog dialog(box.get(), buttonFace.get(), 7, true, "Title", "Body", "", Dialog::kButtonsYesNo);
    ASSERT_NE(dialog.SecondButton(), nullptr);
    EXPECT_EQ(dialog.FirstButton()->label, "YES");
    EXPECT_EQ(dialog.SecondButton()->label, "NO");
    EXPECT_EQ(dialog.result, -1);
    EXPECT_TRUE(dialog.seeThrough && dialog.translucent);

    Place(dialog, 50, 50, 300, 200);
    EXPECT_TRUE(manager.HasWidget(dialog.FirstButton()));
    // Buttons: top 50 + 200 - 24 - 30 = 196; width (300 - 24 - 8 - 24) / 2 = 122.
    EXPECT_EQ(dialog.FirstButton()->GetRect(), (Rect{74, 196, 122, 30}));
    EXPECT_EQ(dialog.SecondButton()->GetRect(), (Rect{204, 196, 122, 30}));

    Play({{'c', 210, 200}});
    EXPECT_EQ(dialog.result, 0);
    Play({{'c', 80, 200}});
    EXPECT_EQ(dialog.result, 1);
    EXPECT_THAT(host.events, ElementsAre("pressed 3007", "clicked 3007", "pressed 2007", "clicked 2007"))
        << "the buttons carry the dialog's id";

    dialog.OnButtonClicked(42);
    EXPECT_EQ(dialog.result, 1) << "other ids are ignored";
    EXPECT_EQ(host.events.size(), 4u);

    dialog.SetColor(4, Color{255, 0, 0});
    EXPECT_EQ(dialog.SecondButton()->GetColor(1), (Color{255, 0, 0}));
    manager.RemoveWidget(&dialog);
    EXPECT_FALSE(manager.HasWidget(dialog.SecondButton()));
}

TEST_F(Dialogs, ButtonModesAndLabels)
{
    Dialog::okLabel = "Fine";
    Dialog okCancel(nullptr, nullptr, 1, false, "", "", "", Dialog::kButtonsOkCancel);
    EXPECT_EQ(okCancel.FirstButton()->label, "Fine");
    EXPECT_EQ(okCancel.SecondButton()->label, "CANCEL");
    Dialog::okLabel = "OK";

    Dialog single(nullptr, nullptr, 1, false, "", "", "Continue", Dialog::kButtonFooter);
    EXPECT_EQ(single.FirstButton()->label, "Continue");
    EXPECT_EQ(single.SecondButton(), nullptr);
    single.Resize(0, 0, 200, 100);
    EXPECT_EQ(single.FirstButton()->GetRect(), (Rect{24, 52, 152, 24}));

    Dialog none(nullptr, nullptr, 1, false, "", "", "", 9);
    EXPECT_EQ(none.FirstButton(), nullptr) << "unknown modes have no buttons";
}

TEST_F(Dialogs, PreferredHeightAddsUpTheBlocks)
{
    Dialog empty(nullptr, nullptr, 1, false, "", "", "", Dialog::kButtonsNone);
    empty.backgroundInsets = Insets{1, 2, 3, 4};
    EXPECT_EQ(empty.GetPreferredHeight(300), 48 + 6);

    Dialog full(nullptr, buttonFace.get(), 1, false, "Head", "one two three four", "Foot",
                Dialog::kButtonsYesNo);
    full.SetHeaderFont(&font);
    full.SetBodyFont(&font);
    // Body width 100 - 48 - 4 = 48: 8 characters a line, so "one two" /
    // "three" / "four": 8 + 2 x 10 + 2 = 30.
    const int expected = 48 + (10 - 0) + 10 + 30 + 8 + 10 + 8 + 30 + 8;
    EXPECT_EQ(full.GetPreferredHeight(100), expected);

    Dialog footerButton(nullptr, buttonFace.get(), 1, false, "", "", "Foot", Dialog::kButtonFooter);
    footerButton.SetHeaderFont(&font);
    EXPECT_EQ(footerButton.GetPreferredHeight(100), 48 + 30 + 8) << "the footer is the button";
}

TEST_F(Dialogs, DrawsTheBoxHeaderAndBodyButNoFooterLineInButtonMode)
{
    Dialog dialog(box.get(), nullptr, 1, false, "H", "B", "F", Dialog::kButtonFooter);
    dialog.SetHeaderFont(&font);
    dialog.SetBodyFont(&font);
    dialog.SetButtonFont(&font);
    Place(dialog, 0, 0, 100, 150);
    manager.DrawPass();
    ExpectPixels({{2, 2, 0x204060, "the framed box"}, {49, 30, 0xFFFFFF, "header centred, white"},
                  {28, 50, 0xFFFF00, "body at the content inset, yellow"}});
    for (int y = 52; y < 90; ++y)
        EXPECT_NE(Pixel(49, y), 0xFFFFFFu) << "no footer line at y " << y;

    Dialog withFooter(box.get(), nullptr, 2, false, "", "", "F", Dialog::kButtonsNone);
    withFooter.SetHeaderFont(&font);
    Place(withFooter, 200, 0, 100, 150);
    manager.DrawPass();
    // Baseline 24 + 0 + 10 + 8 = 42.
    EXPECT_EQ(Pixel(249, 40), 0xFFFFFFu);
    manager.RemoveWidget(&withFooter);
    manager.RemoveWidget(&dialog);
}

TEST_F(Dialogs, DraggingStopsEightPixelsBeyondTheScreen)
{
    Dialog dialog(nullptr, nullptr, 1, false, "", "", "", Dialog::kButtonsNone);
    Place(dialog, 100, 100, 100, 80);
    Play({{'m', 150, 120}, {'d', 150, 120}});
    EXPECT_EQ(host.cursorKinds.back(), 2);
    Play({{'m', 160, 130}});
    EXPECT_EQ(dialog.GetRect(), (Rect{110, 110, 100, 80}));
    Play({{'m', -500, -500}});
    EXPECT_EQ(dialog.GetRect(), (Rect{-8, -8, 100, 80}));
    Play({{'m', 5000, 5000}, {'u', 5000, 5000}});
    EXPECT_EQ(dialog.GetRect(), (Rect{400 + 8 - 100, 300 + 8 - 80, 100, 80}));
    EXPECT_EQ(host.cursorKinds.back(), 0);
    EXPECT_FALSE(dialog.dragging);

    Play({{'m', 350, 250}, {'d', 350, 250}, {'m', 340, 240}, {'u', 340, 240}});
    EXPECT_EQ(dialog.GetRect(), (Rect{298, 218, 100, 80})) << "grabbed again from the new place";
    Play({{'d', 340, 240, -1}, {'m', 300, 200}, {'u', 300, 200, -1}});
    EXPECT_EQ(dialog.x, 298) << "only a left click drags";
    manager.RemoveWidget(&dialog);
}

TEST_F(Dialogs, WaitForResultRunsTheLoopUntilThereIsAResult)
{
    Dialog dialog(nullptr, nullptr, 12, true, "", "", "", Dialog::kButtonsOkCancel);
    dialog.Resize(0, 0, 200, 100);
    EXPECT_EQ(dialog.WaitForResult(true), -1) << "not attached: nothing to wait for";
    manager.AddWidget(&dialog);
    host.duringLoop = [&] { dialog.OnButtonClicked(3012); };
    EXPECT_EQ(dialog.WaitForResult(false), 0);
    EXPECT_THAT(host.loopsRun, ElementsAre(12));
    EXPECT_THAT(host.closed, IsEmpty());

    dialog.result = 1;
    EXPECT_EQ(dialog.WaitForResult(true), 1);
    EXPECT_THAT(host.loopsRun, ElementsAre(12)) << "a result is returned at once";
    EXPECT_THAT(host.closed, ElementsAre(12));
    manager.RemoveWidget(&dialog);
}

} // namespace
