#include "TestFont.h"
#include "TestHost.h"

#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/Checkbox.h"
#include "framework/widgets/CheckboxListener.h"
#include "framework/widgets/HyperlinkWidget.h"
#include "framework/widgets/Slider.h"
#include "framework/widgets/SliderListener.h"
#include "framework/widgets/WidgetManager.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace Quillo;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace
{

class ButtonLog : public ButtonListener
{
public:
    void OnButtonEnter(int id) override { events.push_back("enter " + std::to_string(id)); }
    void OnButtonLeave(int id) override { events.push_back("leave " + std::to_string(id)); }
    void OnButtonPressedCount(int id, int code) override
    {
        events.push_back("count " + std::to_string(id) + " " + std::to_string(code));
        ButtonListener::OnButtonPressedCount(id, code);
    }
    void OnButtonPressed(int id) override { events.push_back("pressed " + std::to_string(id)); }
    void OnButtonClicked(int id) override { events.push_back("clicked " + std::to_string(id)); }
    void OnButtonHeld(int id) override { ++held; (void)id; }
    std::vector<std::string> Take()
    {
        std::vector<std::string> out;
        out.swap(events);
        return out;
    }
    std::vector<std::string> events;
    int held = 0;
};

std::unique_ptr<MemoryImage> SolidImage(int w, int h, uint32_t argb)
{
    auto image = std::make_unique<MemoryImage>();
    image->Create(w, h);
    uint32_t* bits = image->GetBits();
    for (int i = 0; i < w * h; ++i)
        bits[i] = argb;
    image->MarkBitsChanged();
    image->CommitAlphaFlags();
    return image;
}

class Controls : public ::testing::Test
{
protected:
    Controls()
    {
        screen.Create(200, 100);
        // An opaque screen, as the display's is: images are copied exactly.
        screen.ForceAlphaFlags(false, false);
        manager.SetSize(200, 100);
        manager.SetScreenImage(&screen);
        manager.SetHost(&host);
    }

    uint32_t Pixel(int x, int y) const { return screen.PixelAt(x, y) & 0xFFFFFF; }

    void Click(int x, int y)
    {
        manager.MouseMove(x, y);
        manager.MouseDown(x, y, 1);
        manager.MouseUp(x, y, 1);
    }

    MemoryImage screen;
    TestHost host;
    WidgetManager manager;
    ButtonLog log;
};

TEST_F(Controls, AButtonClicksOnlyWhenReleasedOverItAfterAPressOnIt)
{
    ButtonWidget button(7, &log);
    button.Resize(10, 10, 50, 20);
    manager.AddWidget(&button);
    manager.MouseMove(20, 20);
    manager.MouseDown(20, 20, 1);
    manager.MouseMove(100, 80);
    manager.MouseUp(100, 80, 1);
    EXPECT_THAT(log.Take(), ElementsAre("enter 7", "count 7 1", "pressed 7", "leave 7"))
        << "dragged off and released: no click";

    manager.MouseMove(20, 20);
    manager.MouseDown(20, 20, 2);
    manager.MouseMove(100, 80);
    manager.MouseMove(25, 22);
    manager.MouseUp(25, 22, 1);
    EXPECT_THAT(log.Take(), ElementsAre("enter 7", "count 7 2", "pressed 7", "leave 7", "enter 7",
                                        "clicked 7"));

    manager.MouseMove(100, 80);
    manager.MouseDown(100, 80, 1);
    manager.MouseMove(20, 20);
    manager.MouseUp(20, 20, 1);
    EXPECT_THAT(log.Take(), ElementsAre("leave 7", "enter 7"))
        << "a press elsewhere does not click on release over the button";

    manager.FocusLost();
    manager.MouseDown(20, 20, 1);
    manager.MouseUp(20, 20, 1);
    EXPECT_THAT(log.Take(), ElementsAre("count 7 1", "pressed 7"))
        << "no click while the application is unfocused";
}

TEST_F(Controls, AHeldButtonTicksEveryUpdateWhileTheMouseIsOverIt)
{
    ButtonWidget button(1, &log);
    button.Resize(0, 0, 50, 20);
    manager.AddWidget(&button);
    manager.MouseMove(5, 5);
    manager.MouseDown(5, 5, 1);
    manager.UpdatePass();
    manager.UpdatePass();
    EXPECT_EQ(log.held, 2);
    manager.MouseMove(150, 50);
    manager.UpdatePass();
    EXPECT_EQ(log.held, 2);
    EXPECT_FALSE(button.IsPressedLook());
    manager.MouseMove(5, 5);
    EXPECT_TRUE(button.IsPressedLook());
}

TEST_F(Controls, ADisabledButtonReportsNothingButSwallowsTheMouse)
{
    ButtonLog behindLog;
    ButtonWidget behind(1, &behindLog);
    behind.Resize(0, 0, 200, 100);
    ButtonWidget button(2, &log);
    button.Resize(10, 10, 50, 20);
    manager.AddWidget(&behind);
    manager.AddWidget(&button);
    button.SetDisabled(true);
    behindLog.Take();
    Click(20, 20);
    manager.UpdatePass();
    EXPECT_THAT(log.Take(), IsEmpty());
    EXPECT_THAT(behindLog.Take(), IsEmpty()) << "nor does the widget behind it";
    EXPECT_FALSE(button.isDown);
}

TEST_F(Controls, TheOverImageFadesInAndOut)
{
    auto normal = SolidImage(50, 20, 0xFF000080);
    auto over = SolidImage(50, 20, 0xFF00FF00);
    ButtonWidget button(1, &log);
    button.normalImage = normal.get();
    button.overImage = over.get();
    button.fadeInSpeed = 0.1;
    button.fadeOutSpeed = 0.25;
    button.Resize(0, 0, 50, 20);
    manager.AddWidget(&button);
    manager.MouseMove(5, 5);
    for (int step = 1; step <= 9; ++step)
        manager.UpdatePass();
    EXPECT_LT(button.overAlpha, 1.0);
    manager.DrawPass();
    const uint32_t halfway = Pixel(5, 5);
    EXPECT_GT((halfway >> 8) & 0xFF, 0xC0u);
    EXPECT_GT(halfway & 0xFF, 0u) << "the normal image still shows through";
    manager.UpdatePass();
    EXPECT_EQ(button.overAlpha, 1.0) << "full strength after 10 steps of 0.1";

    manager.MouseMove(150, 50);
    manager.UpdatePass();
    EXPECT_DOUBLE_EQ(button.overAlpha, 0.75);
    for (int step = 0; step < 3; ++step)
        manager.UpdatePass();
    EXPECT_EQ(button.overAlpha, 0.0);
    manager.DrawPass();
    EXPECT_EQ(Pixel(5, 5), 0x000080u);

    button.fadeInSpeed = 0.0;
    manager.MouseMove(5, 5);
    manager.DrawPass();
    EXPECT_EQ(Pixel(5, 5), 0x00FF00u) << "without fading the over image shows at once";
    manager.MouseMove(150, 50);
    EXPECT_EQ(button.overAlpha, 1.0) << "leaving starts a full fade-out";
}

TEST_F(Controls, ButtonImagesFollowTheState)
{
    auto normal = SolidImage(40, 20, 0xFF000080);
    auto over = SolidImage(40, 20, 0xFF008000);
    auto down = SolidImage(40, 20, 0xFF800000);
    auto off = SolidImage(40, 20, 0xFF404040);
    ButtonWidget button(1, &log);
    button.normalImage = normal.get();
    button.overImage = over.get();
    button.downImage = down.get();
    button.disabledImage = off.get();
    button.Resize(10, 10, 40, 20);
    manager.AddWidget(&button);
    manager.DrawPass();
    EXPECT_EQ(Pixel(10, 10), 0x000080u);
    manager.MouseMove(20, 20);
    manager.DrawPass();
    EXPECT_EQ(Pixel(10, 10), 0x008000u);
    manager.MouseDown(20, 20, 1);
    manager.DrawPass();
    EXPECT_EQ(Pixel(11, 11), 0x800000u);
    EXPECT_EQ(Pixel(10, 10), 0x008000u) << "the pressed look is shifted by one pixel";
    manager.MouseUp(20, 20, 1);
    button.SetDisabled(true);
    manager.DrawPass();
    EXPECT_EQ(Pixel(10, 10), 0x404040u);
}

TEST_F(Controls, APlainButtonDrawsABevelAndItsLabel)
{
    TestFont font;
    ButtonWidget button(1, &log);
    button.label = "AB";
    button.SetFont(&font);
    button.SetColor(0, Color{0, 0, 255});
    button.SetColor(1, Color{255, 0, 0});
    button.Resize(0, 0, 40, 20);
    manager.AddWidget(&button);
    manager.DrawPass();
    EXPECT_EQ(Pixel(20, 2), 0xD4D4D4u) << "the face";
    EXPECT_EQ(Pixel(0, 0), 0xFFFFFFu) << "light top-left edge";
    EXPECT_EQ(Pixel(39, 19), 0x000000u) << "dark bottom-right edge";
    EXPECT_EQ(Pixel(38, 10), 0x848484u);
    // Label "AB" is 12 wide, centred at x 14; baseline (20 + 8 - 1 - 1) / 2 = 13.
    EXPECT_EQ(Pixel(15, 10), 0x0000FFu);
    manager.MouseMove(5, 5);
    manager.DrawPass();
    EXPECT_EQ(Pixel(15, 10), 0xFF0000u) << "slot 1 while the mouse is over it";
    manager.MouseDown(5, 5, 1);
    manager.DrawPass();
    EXPECT_EQ(Pixel(0, 0), 0x000000u) << "pressed: dark top-left edge";
    EXPECT_EQ(Pixel(14, 6), 0xD4D4D4u);
    EXPECT_EQ(Pixel(15, 7), 0x000000u) << "pressed label is black and shifted";
    EXPECT_TRUE(host.fontRequests.empty()) << "a font was set, none is made";
}

TEST_F(Controls, DefaultFontsComeFromTheHost)
{
    ButtonWidget button(1, &log);
    button.label = "x";
    button.Resize(0, 0, 40, 20);
    HyperlinkWidget link(2, &log);
    link.label = "link";
    link.Resize(50, 0, 60, 20);
    manager.AddWidget(&button);
    manager.AddWidget(&link);
    manager.DrawPass();
    EXPECT_THAT(host.fontRequests, ElementsAre("SansSerif 10", "SansSerif 10"));
    ASSERT_NE(button.font, nullptr);
    // The link's label is 24 wide, centred at 68; baseline (8 + 20) / 2 - 1 = 13.
    EXPECT_EQ(Pixel(70, 10), 0xFFFFFFu);
    EXPECT_EQ(Pixel(70, 16), 0xFFFFFFu) << "underlined 3 pixels below the baseline";
    EXPECT_EQ(Pixel(70, 15), 0x000000u);
    link.overColor = Color{255, 0, 0};
    manager.MouseMove(70, 10);
    EXPECT_EQ(host.cursorKinds.back(), 1) << "hand cursor over the link";
    link.Invalidate();
    manager.DrawPass();
    EXPECT_EQ(Pixel(70, 10), 0xFF0000u);
}

class CheckLog : public CheckboxListener
{
public:
    void OnCheckboxChanged(int id, bool checked) override { changes.push_back({id, checked}); }
    std::vector<std::pair<int, bool>> changes;
};

TEST_F(Controls, CheckboxTogglesOnPressAndSetCheckedNotifiesOnlyWhenAsked)
{
    auto off = SolidImage(10, 10, 0xFF000000);
    auto on = SolidImage(10, 10, 0xFFFFFFFF);
    CheckLog checks;
    Checkbox box(off.get(), on.get(), 4, &checks);
    box.Resize(0, 0, 10, 10);
    manager.AddWidget(&box);
    Click(5, 5);
    EXPECT_TRUE(box.IsChecked());
    manager.DrawPass();
    EXPECT_EQ(Pixel(5, 5), 0xFFFFFFu);
    Click(5, 5);
    EXPECT_FALSE(box.IsChecked());
    box.SetChecked(true, false);
    EXPECT_TRUE(box.IsChecked());
    box.SetChecked(false, true);
    EXPECT_EQ(checks.changes, (std::vector<std::pair<int, bool>>{{4, true}, {4, false}, {4, false}}));
    manager.DrawPass();
    EXPECT_EQ(Pixel(5, 5), 0x000000u);
}

class SlideLog : public SliderListener
{
public:
    void OnSliderMoved(int id, double value) override
    {
        (void)id;
        values.push_back(value);
    }
    std::vector<double> values;
};

TEST_F(Controls, SliderFollowsItsThumbAndJumpsToAClickOnTheTrack)
{
    auto track = SolidImage(30, 6, 0xFF202020);
    auto thumb = SolidImage(10, 10, 0xFFE0E0E0);
    SlideLog slides;
    Slider slider(track.get(), thumb.get(), 3, &slides);
    slider.Resize(0, 0, 110, 10);
    manager.AddWidget(&slider);

    // The thumb's middle goes to the click: (60 - 5) / 100.
    Click(60, 5);
    EXPECT_DOUBLE_EQ(slider.value, 0.55);
    EXPECT_THAT(slides.values, ElementsAre(0.55, 0.55)) << "the release reports, as after a drag";
    EXPECT_FALSE(slider.dragging);
    slider.SetValue(0.0);
    slides.values.clear();

    manager.MouseMove(4, 5);
    EXPECT_EQ(host.cursorKinds.back(), 2) << "drag cursor over the thumb";
    manager.MouseDown(4, 5, 1);
    manager.MouseMove(54, 5);
    EXPECT_DOUBLE_EQ(slider.value, 0.5);
    manager.MouseMove(54, 90);
    EXPECT_EQ(slides.values.size(), 1u) << "no report when the value does not change";
    manager.MouseMove(500, 5);
    EXPECT_EQ(slider.value, 1.0);
    manager.MouseMove(-500, 5);
    EXPECT_EQ(slider.value, 0.0);
    manager.MouseMove(24, 5);
    manager.MouseUp(24, 5, 1);
    EXPECT_THAT(slides.values, ElementsAre(0.5, 1.0, 0.0, 0.2, 0.2)) << "release reports once more";
    EXPECT_EQ(host.cursorKinds.back(), 0);
    EXPECT_EQ(slider.ThumbX(), 20);

    manager.DrawPass();
    EXPECT_EQ(Pixel(25, 5), 0xE0E0E0u) << "the thumb";
    EXPECT_EQ(Pixel(70, 5), 0x202020u) << "the repeated middle of the track";
    EXPECT_EQ(Pixel(70, 1), 0x000000u) << "the track is centred vertically";
}

} // namespace
