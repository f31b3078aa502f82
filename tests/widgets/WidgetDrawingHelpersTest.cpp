#include "WidgetTestKit.h"

#include "framework/widgets/DialogButton.h"
#include "framework/widgets/ScrollbuttonWidget.h"
#include "framework/widgets/Widget.h"

using namespace Quillo;

namespace
{

class Helpers : public ScreenTest
{
protected:
    Helpers() : ScreenTest(120, 60) {}
};

TEST_F(Helpers, DigitStripDrawsEachDigitFromItsCell)
{
    // A strip of ten 4-pixel cells; cell d has the colour (d * 20, 0, 0).
    auto strip = SolidImage(40, 5, 0);
    for (int i = 0; i < 40 * 5; ++i)
        strip->GetBits()[i] = 0xFF000000u | (static_cast<uint32_t>((i % 40 / 4) * 20) << 16);
    strip->MarkBitsChanged();
    strip->CommitAlphaFlags();
    Widget widget;
    Graphics g(&screen);
    widget.DrawDigitStrip(&g, 305, 10, 10, strip.get(), 2);
    ExpectPixels({{10, 12, 3u * 20 << 16}, {13, 12, 3u * 20 << 16},
                  {14, 12, 0u, "the spacing between cells stays empty"},
                  {16, 12, 0u, "digit 0 has colour 0 too"}, {22, 12, 5u * 20 << 16},
                  {26, 12, 0u, "nothing past the last digit"},
                  {10, 15, 0u, "clipped to the strip's height"}});
}

TEST_F(Helpers, CenteredTextReturnsWhatItCovers)
{
    Widget widget;
    widget.Resize(0, 0, 100, 40);
    Graphics g(&screen);
    g.SetFont(&font);
    const Rect plain = widget.DrawCenteredText(&g, 20, "abcd");
    EXPECT_EQ(plain, (Rect{38, 12, 24, 10}));
    const Rect both = widget.DrawCenteredTextShadowed(&g, 40, "ab", Color{255, 0, 0},
                                                      Color{0, 0, 255}, Point{2, 2});
    EXPECT_EQ(both, (Rect{44, 32, 14, 12}));
    EXPECT_EQ(Pixel(44, 35), 0xFF0000u);
    EXPECT_EQ(Pixel(46, 41), 0x0000FFu) << "the shadow shows below and right of the text";
    Graphics noFont(&screen);
    EXPECT_EQ(widget.DrawCenteredText(&noFont, 20, "x"), Rect{});
}

TEST_F(Helpers, DialogButtonFramesTheStatePartOfItsImage)
{
    // Blue above, green below.
    auto face = SolidImage(30, 60, 0xFF00C000);
    std::fill(face->GetBits(), face->GetBits() + 30 * 30, 0xFF0000C0);
    face->MarkBitsChanged();
    DialogButton button(face.get(), 2001, nullptr);
    button.normalRect = Rect{0, 0, 30, 30};
    button.overRect = Rect{0, 30, 30, 30};
    button.downRect = Rect{0, 30, 30, 30};
    Place(button, 10, 10, 80, 30);
    manager.DrawPass();
    EXPECT_EQ(Pixel(10, 10), 0x0000C0u);
    EXPECT_EQ(Pixel(89, 39), 0x0000C0u) << "stretched over the whole button";
    Play({{'m', 50, 20}});
    manager.DrawPass();
    EXPECT_EQ(Pixel(50, 20), 0x00C000u) << "the over part";
    Play({{'d', 50, 20}});
    manager.DrawPass();
    EXPECT_EQ(Pixel(11, 11), 0x00C000u) << "pressed: the down part";
    EXPECT_TRUE(button.IsPressedLook());
    EXPECT_EQ(host.cursorKinds.back(), 1) << "the hand cursor over a dialog button";
    Play({{'u', 50, 20}});
    manager.RemoveWidget(&button);
}

TEST_F(Helpers, ScrollbuttonArrowsPointAwayFromTheBar)
{
    ScrollbuttonWidget up(0, nullptr);
    ScrollbuttonWidget down(1, nullptr);
    up.Resize(0, 0, 30, 30);
    down.Resize(40, 0, 30, 30);
    manager.AddWidget(&up);
    manager.AddWidget(&down);
    manager.DrawPass();
    // The arrows span 10 pixels around the centre: the tip row is narrow.
    ExpectPixels({{15, 11, 0x000000}, {7, 11, 0xD4D4D4, "the up arrow is narrow at the top"},
                  {8, 19, 0x000000}, {47, 11, 0x000000, "the down arrow is wide at the top"},
                  {48, 18, 0xD4D4D4}, {55, 17, 0x000000}});
    up.SetDisabled(true);
    manager.DrawPass();
    EXPECT_EQ(Pixel(15, 15), 0x848484u) << "grey when disabled";
}

} // namespace
