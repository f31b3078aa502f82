#include "WidgetTestKit.h"

#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/Checkbox.h"
#include "framework/widgets/HyperlinkWidget.h"
#include "framework/widgets/Slider.h"

using namespace Quillo;

namespace
{

using Controls = ScreenTest;

TEST_F(Controls, AButtonClicksOnlyWhenReleasedOverItAfterAPressOnIt)
{
    ButtonWidget button(7, &log);
    Place(button, 10, 10, 50, 20);
    Play({{'m', 20, 20}, {'d', 20, 20}, {'m', 100, 80}, {'u', 100, 80}});
    EXPECT_THAT(log.Take(), ElementsAre("enter 7", "count 7 1", "pressed 7", "leave 7"))
        << "dragged off and released: no click";
    Play({{'m', 20, 20}, {'d', 20, 20, 2}, {'m', 100, 80}, {'m', 25, 22}, {'u', 25, 22}});
    EXPECT_THAT(log.Take(), ElementsAre("enter 7", "count 7 2", "pressed 7", "leave 7", "enter 7",
                                        "clicked 7"));
    Play({{'m', 100, 80}, {'d', 100, 80}, {'m', 20, 20}, {'u', 20, 20}});
    EXPECT_THAT(log.Take(), ElementsAre("leave 7", "enter 7"))
        << "a press elsewhere does not click on release over the button";
    manager.FocusLost();
    Play({{'d', 20, 20}, {'u', 20, 20}});
    EXPECT_THAT(log.Take(), ElementsAre("count 7 1", "pressed 7"))
        << "no click while the application is unfocused";
}

TEST_F(Controls, AHeldButtonTicksEveryUpdateWhileTheMouseIsOverIt)
{
    ButtonWidget button(1, &log);
    Place(button, 0, 0, 50, 20);
    Play({{'m', 5, 5}, {'d', 5, 5}});
    manager.UpdatePass();
    manager.UpdatePass();
    EXPECT_EQ(log.held, 2);
    Play({{'m', 150, 50}});
    manager.UpdatePass();
    EXPECT_EQ(log.held, 2);
    EXPECT_FALSE(button.IsPressedLook());
    Play({{'m', 5, 5}});
    EXPECT_TRUE(button.IsPressedLook());
}

TEST_F(Controls, ButtonImagesFollowTheStateAndTheOverImageFadesInAndOut)
{
    auto normal = SolidImage(40, 20, 0xFF000080);
    auto over = SolidImage(40, 20, 0xFF00FF00);
    auto down = SolidImage(40, 20, 0xFF800000);
    auto off = SolidImage(40, 20, 0xFF404040);
    ButtonWidget button(1, &log);
    button.normalImage = normal.get();
    button.overImage = over.get();
    button.downImage = down.get();
    button.disabledImage = off.get();
    button.fadeOutSpeed = 0.25;
    Place(button, 10, 10, 40, 20);
    manager.DrawPass();
    EXPECT_EQ(Pixel(10, 10), 0x000080u);
    Play({{'m', 20, 20}});
    manager.DrawPass();
    EXPECT_EQ(Pixel(10, 10), 0x00FF00u) << "without fading the over image shows at once";
    Play({{'d', 20, 20}});
    manager.DrawPass();
    EXPECT_EQ(Pixel(11, 11), 0x800000u);
    EXPECT_EQ(Pixel(10, 10), 0u) << "the pressed look is shifted by one pixel, over what lies behind";
    Play({{'u', 20, 20}, {'m', 150, 50}});
    EXPECT_EQ(button.overAlpha, 1.0) << "leaving starts a full fade-out";

    manager.UpdatePass();
    EXPECT_DOUBLE_EQ(button.overAlpha, 0.75);
    for (int step = 0; step < 3; ++step)
        manager.UpdatePass();
    EXPECT_EQ(button.overAlpha, 0.0);
    manager.DrawPass();
    EXPECT_EQ(Pixel(15, 15), 0x000080u);
    button.fadeInSpeed = 0.1;
    Play({{'m', 20, 20}});
    for (int step = 1; step <= 9; ++step)
        manager.UpdatePass();
    EXPECT_LT(button.overAlpha, 1.0);
    manager.DrawPass();
    const uint32_t halfway = Pixel(15, 15);
    EXPECT_GT((halfway >> 8) & 0xFF, 0xC0u);
    EXPECT_GT(halfway & 0xFF, 0u) << "the normal image still shows through";
    manager.UpdatePass();
    EXPECT_EQ(button.overAlpha, 1.0) << "full strength after 10 steps of 0.1";
    button.SetDisabled(true);
    manager.DrawPass();
    EXPECT_EQ(Pixel(10, 10), 0x404040u);
}

TEST_F(Controls, APlainButtonDrawsABevelAndItsLabel)
{
    ButtonWidget button(1, &log);
    button.label = "AB";
    button.SetFont(&font);
    button.SetColor(0, Color{0, 0, 255});
    button.SetColor(1, Color{255, 0, 0});
    Place(button, 0, 0, 40, 20);
    manager.DrawPass();
    ExpectPixels({{20, 2, 0xD4D4D4, "the face"}, {0, 0, 0xFFFFFF, "light top-left edge"},
                  {39, 19, 0x000000, "dark bottom-right edge"}, {38, 10, 0x848484}});
    // Label "AB" is 12 wide, centred at x 14; baseline (20 + 8 - 1 - 1) / 2 = 13.
    EXPECT_EQ(Pixel(15, 10), 0x0000FFu);
    Play({{'m', 5, 5}});
    manager.DrawPass();
    EXPECT_EQ(Pixel(15, 10), 0xFF0000u) << "slot 1 while the mouse is over it";
    Play({{'d', 5, 5}});
    manager.DrawPass();
    ExpectPixels({{0, 0, 0x000000, "pressed: dark top-left edge"}, {14, 6, 0xD4D4D4},
                  {15, 7, 0x000000, "pressed label is black and shifted"}});
    EXPECT_TRUE(host.fontRequests.empty()) << "a font was set, none is made";
}

TEST_F(Controls, DefaultFontsComeFromTheHost)
{
    ButtonWidget button(1, &log);
    button.label = "x";
    HyperlinkWidget link(2, &log);
    link.label = "link";
    Place(button, 0, 0, 40, 20);
    Place(link, 50, 0, 60, 20);
    manager.DrawPass();
    EXPECT_THAT(host.fontRequests, ElementsAre("SansSerif 10", "SansSerif 10"));
    ASSERT_NE(button.font, nullptr);
    // The link's label is 24 wide, centred at 68; baseline (8 + 20) / 2 - 1 = 13.
    ExpectPixels({{70, 10, 0xFFFFFF}, {70, 16, 0xFFFFFF, "underlined 3 pixels below the baseline"},
                  {70, 15, 0x000000}});
    link.overColor = Color{255, 0, 0};
    Play({{'m', 70, 10}});
    EXPECT_EQ(host.cursorKinds.back(), 1) << "hand cursor over the link";
    link.Invalidate();
    manager.DrawPass();
    EXPECT_EQ(Pixel(70, 10), 0xFF0000u);
}

TEST_F(Controls, CheckboxTogglesOnPressAndSetCheckedNotifiesOnlyWhenAsked)
{
    auto off = SolidImage(10, 10, 0xFF000000);
    auto on = SolidImage(10, 10, 0xFFFFFFFF);
    Checkbox box(off.get(), on.get(), 4, &log);
    Place(box, 0, 0, 10, 10);
    Play({{'c', 5, 5}});
    EXPECT_TRUE(box.IsChecked());
    manager.DrawPass();
    EXPECT_EQ(Pixel(5, 5), 0xFFFFFFu);
    Play({{'c', 5, 5}});
    EXPECT_FALSE(box.IsChecked());
    box.SetChecked(true, false);
    EXPECT_TRUE(box.IsChecked());
    box.SetChecked(false, true);
    EXPECT_THAT(log.Take(), ElementsAre("checked 4 1", "checked 4 0", "checked 4 0"));
    manager.DrawPass();
    EXPECT_EQ(Pixel(5, 5), 0x000000u);
}

TEST_F(Controls, SliderFollowsItsThumbAndJumpsToAClickOnTheTrack)
{
    auto track = SolidImage(30, 6, 0xFF202020);
    auto thumb = SolidImage(10, 10, 0xFFE0E0E0);
    Slider slider(track.get(), thumb.get(), 3, &log);
    Place(slider, 0, 0, 110, 10);

    // The thumb's middle goes to the click: (60 - 5) / 100.
    Play({{'c', 60, 5}});
    EXPECT_DOUBLE_EQ(slider.value, 0.55);
    EXPECT_THAT(log.values, ElementsAre(0.55, 0.55)) << "the release reports, as after a drag";
    EXPECT_FALSE(slider.dragging);
    slider.SetValue(0.0);
    log.values.clear();

    Play({{'m', 4, 5}});
    EXPECT_EQ(host.cursorKinds.back(), 2) << "drag cursor over the thumb";
    Play({{'d', 4, 5}, {'m', 54, 5}});
    EXPECT_DOUBLE_EQ(slider.value, 0.5);
    Play({{'m', 54, 90}});
    EXPECT_EQ(log.values.size(), 1u) << "no report when the value does not change";
    Play({{'m', 500, 5}});
    EXPECT_EQ(slider.value, 1.0);
    Play({{'m', -500, 5}});
    EXPECT_EQ(slider.value, 0.0);
    Play({{'m', 24, 5}, {'u', 24, 5}});
    EXPECT_THAT(log.values, ElementsAre(0.5, 1.0, 0.0, 0.2, 0.2)) << "release reports once more";
    EXPECT_EQ(host.cursorKinds.back(), 0);
    EXPECT_EQ(slider.ThumbX(), 20);

    manager.DrawPass();
    ExpectPixels({{25, 5, 0xE0E0E0, "the thumb"},
                  {70, 5, 0x202020, "the repeated middle of the track"},
                  {70, 1, 0x000000, "the track is centred vertically"}});
}

} // namespace
