// The main menu redraws only what changes (the lit ball's glow, a ball lit
// or put out), and what those partial redraws leave on screen is what a
// whole redraw draws, pixel for pixel.
#include "Journey.h"

#include "framework/graphics/MemoryImage.h"

#include <functional>
#include <numeric>
#include <set>

using namespace Spindrel;

using MainMenuRedraw = JourneyWorld;

namespace
{

std::vector<uint32_t> ScreenPixels(Quillo::WidgetManager& manager)
{
    const uint32_t* bits = manager.screenImage->GetBits();
    return {bits, bits + size_t(manager.width) * size_t(manager.height)};
}

// How many pixels a whole redraw changes on the screen.
long ChangedByWholeRedraw(Quillo::WidgetManager& manager)
{
    const std::vector<uint32_t> before = ScreenPixels(manager);
    manager.MarkAllDirty();
    manager.DrawPass();
    const std::vector<uint32_t> after = ScreenPixels(manager);
    return std::inner_product(before.begin(), before.end(), after.begin(), 0L, std::plus<>(),
                              std::not_equal_to<>());
}

} // namespace

TEST_F(MainMenuRedraw, PartialRedrawsShowTheWholeRedrawPicture)
{
    JourneyApp app;
    Journey journey(app);
    journey.ArriveAsNewPlayer("Ann Lee");
    int redraws = 0;
    std::set<uint32_t> glowColours;
    // From a whole picture: the change, a few update steps, only what they
    // changed drawn, and no pixel different from a whole redraw.
    const auto look = [&](const std::string& what, const std::function<void(JourneyApp&)>& change) {
        journey.Do(what, [&, what, change](JourneyApp& a) {
            Quillo::WidgetManager& manager = *a.widgetManager;
            ChangedByWholeRedraw(manager);
            if (change)
                change(a);
            for (int step = 0; step < 5; ++step)
                manager.UpdatePass();
            manager.DrawPass();
            const Quillo::Rect drawn = manager.DrawnAreas().Bounds();
            EXPECT_LT(drawn.width * drawn.height, manager.width * manager.height / 4) << what;
            redraws += drawn.width > 0;
            glowColours.insert(a.GetMainMenu()->GlowColour().ToArgb());
            EXPECT_EQ(ChangedByWholeRedraw(manager), 0) << what;
        });
    };
    const auto toBall = [](int index) {
        return [index](JourneyApp& a) {
            const Quillo::ButtonWidget* b = a.GetMainMenu()->Button(index);
            a.widgetManager->MouseMove(b->x + b->width / 2, b->y + 82);
        };
    };
    look("the first ball lit", toBall(0));
    // Half a period of the glow.
    for (int i = 0; i < 16; ++i)
    {
        journey.Wait(100);
        look("glowing " + std::to_string(i), nullptr);
    }
    look("the second ball lit", toBall(1));
    look("no ball lit", [](JourneyApp& a) { a.widgetManager->MouseMove(400, 590); });
    // Any small area of the menu drawn alone looks as in the whole picture.
    journey.Do("tiles", [](JourneyApp& a) {
        for (int y = 0; y < 600; y += 13)
            for (int x = 0; x < 800; x += 17)
            {
                a.GetMainMenu()->InvalidateArea(Quillo::Rect{x, y, 17, 13});
                a.widgetManager->DrawPass();
            }
        EXPECT_EQ(ChangedByWholeRedraw(*a.widgetManager), 0);
    });
    journey.Do("quit", [](JourneyApp& a) { a.Shutdown(); });

    app.Init();
    app.Start();
    EXPECT_EQ(journey.Result(), "");
    EXPECT_GE(redraws, 16);
    EXPECT_GE(glowColours.size(), 8u) << "the glow changes as it is redrawn";
    app.ExpectNoMessageBoxes();
}
