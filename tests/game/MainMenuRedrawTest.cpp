// The main menu redraws only what changes (the glow of the lit ball, a
// ball lit or put out), and what those partial redraws leave on screen is
// what a whole redraw draws, pixel for pixel.
#include "Journey.h"

#include "framework/graphics/MemoryImage.h"

#include <functional>
#include <set>
#include <sstream>

using namespace Spindrel;

using MainMenuRedraw = JourneyWorld;

namespace
{

std::vector<uint32_t> ScreenPixels(JourneyApp& app)
{
    Quillo::MemoryImage* screen = app.widgetManager->screenImage;
    const uint32_t* bits = screen->GetBits();
    return {bits, bits + size_t(screen->GetWidth()) * size_t(screen->GetHeight())};
}

// Empty when equal; else how many pixels differ and the first of them.
std::string Difference(const std::vector<uint32_t>& partial, const std::vector<uint32_t>& whole, int width)
{
    size_t wrong = 0;
    std::ostringstream first;
    for (size_t i = 0; i < partial.size(); ++i)
    {
        if (partial[i] == whole[i])
            continue;
        if (wrong++ == 0)
            first << std::hex << " first at (" << std::dec << i % size_t(width) << ", " << i / size_t(width)
                  << "): " << std::hex << partial[i] << " instead of " << whole[i];
    }
    return wrong == 0 ? "" : std::to_string(wrong) + " pixels differ," + first.str();
}

} // namespace

TEST_F(MainMenuRedraw, PartialRedrawsOfTheGlowShowTheWholeRedrawPicture)
{
    JourneyApp app;
    Journey journey(app);
    journey.ArriveAsNewPlayer("Ann Lee");
    journey.Wait(100);

    int redraws = 0;
    std::set<uint32_t> glowColours;
    // The whole screen drawn, the change made, a few update steps, what
    // they changed drawn (only that), and the picture compared with the
    // whole screen drawn again.
    const auto look = [&](const std::string& what, const std::function<void(JourneyApp&)>& change) {
        journey.Do(what, [&, what, change](JourneyApp& a) {
            Quillo::WidgetManager& manager = *a.widgetManager;
            manager.MarkAllDirty();
            manager.DrawPass();
            if (change)
                change(a);
            for (int step = 0; step < 5; ++step)
                manager.UpdatePass();
            manager.DrawPass();
            const Quillo::Rect drawn = manager.DrawnAreas().Bounds();
            if (drawn.width > 0)
            {
                EXPECT_LT(drawn.width * drawn.height, manager.width * manager.height / 4) << what;
                ++redraws;
            }
            glowColours.insert(a.GetMainMenu()->GlowColour().ToArgb());
            const std::vector<uint32_t> partial = ScreenPixels(a);
            manager.MarkAllDirty();
            manager.DrawPass();
            EXPECT_EQ(Difference(partial, ScreenPixels(a), manager.width), "") << what;
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
    look("the player link under the mouse", [](JourneyApp& a) {
        const Quillo::Widget* link = a.GetMainMenu()->PlayerLink();
        a.widgetManager->MouseMove(link->x + link->width / 2, link->y + link->height / 2);
    });
    journey.Do("tiles", [&](JourneyApp& a) {
        Quillo::WidgetManager& manager = *a.widgetManager;
        manager.MarkAllDirty();
        manager.DrawPass();
        const std::vector<uint32_t> whole = ScreenPixels(a);
        for (int ty = 0; ty < 600; ty += 13)
            for (int tx = 0; tx < 800; tx += 17)
            {
                a.GetMainMenu()->InvalidateArea(Quillo::Rect{tx, ty, 17, 13});
                manager.DrawPass();
            }
        EXPECT_EQ(Difference(ScreenPixels(a), whole, manager.width), "") << "tiles";
    });
    journey.Do("quit", [](JourneyApp& a) { a.Shutdown(); });

    app.Init();
    app.Start();
    EXPECT_EQ(journey.Result(), "");
    EXPECT_GE(redraws, 16);
    EXPECT_GE(glowColours.size(), 8u) << "the glow changes as it is redrawn";
    app.ExpectNoMessageBoxes();
}
