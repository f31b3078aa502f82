#include "TestApp.h"

#include "framework/graphics/DisplayImage.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/NativeDisplay.h"
#include "framework/platform/Letterbox.h"
#include "framework/widgets/Dialog.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

using namespace Quillo;

namespace
{

class WindowState : public ::testing::Test
{
protected:
    WindowState() { app.Init(); }

    // One loop pass a frame's time later.
    void Step()
    {
        fake.now += 20.0;
        app.StepFrame(true);
    }

    TestApp app;
    FakePlatform& fake = *app.platformFake;
};

// A widget whose update and end the test chooses, filled with a colour when
// drawn, as a screen's background is.
class HookWidget : public Widget
{
public:
    ~HookWidget() override
    {
        if (onDelete)
            onDelete();
    }
    void Update() override
    {
        if (onUpdate)
            onUpdate();
    }
    void Draw(Graphics* g) override
    {
        g->SetColor(Color(32, 64, 96));
        g->FillRect(0, 0, width, height);
    }
    std::function<void()> onUpdate, onDelete;
};

} // namespace

TEST_F(WindowState, MinimisingMutesTwiceAndUserMutesNestAndSurviveRestoring)
{
    app.Send(EventType::FocusGained);
    ASSERT_EQ(app.muteCount, 0);
    app.Send(EventType::Minimized);
    app.Send(EventType::FocusLost);
    EXPECT_EQ(app.muteCount, 2) << "minimise and the loss of focus each mute";
    EXPECT_EQ(app.autoMuteCount, 2);

    app.Mute(false);
    app.Mute(false);
    app.Send(EventType::FocusGained);
    app.Send(EventType::Restored);
    EXPECT_EQ(app.muteCount, 2) << "the user's mutes are still in force";
    EXPECT_EQ(app.autoMuteCount, 0);
    app.Unmute(false);
    EXPECT_TRUE(app.IsMuted()) << "nested mutes need as many unmutes";
    app.Unmute(false);
    EXPECT_FALSE(app.IsMuted());
    app.Unmute(false);
    EXPECT_EQ(app.muteCount, 0) << "unmuting at zero does nothing";
}

TEST_F(WindowState, AButtonHeldWhenTheFocusGoesIsForgotten)
{
    app.Send(EventType::MouseDown, 100, 100, 1);
    ASSERT_TRUE(app.mouseInWindow);
    // Alt+Tab with the button held; it is released in the other window.
    for (EventType type : {EventType::FocusLost, EventType::FocusGained})
    {
        fake.Push(type);
        app.PumpPlatformEvents();
        app.HandleQueuedEvents();
        EXPECT_EQ(app.focused, type == EventType::FocusGained);
    }
    EXPECT_FALSE(app.widgetManager->AnyButtonDown());
    app.Send(EventType::MouseMove, 900, 100, 0, false);
    EXPECT_FALSE(app.mouseInWindow) << "a move outside is a leave, not a drag";
    EXPECT_FALSE(fake.captured);
}

TEST_F(WindowState, TheLoopLooksForEventsAfterAFewBusyPassesOrAMoment)
{
    app.PumpPlatformEventsIfDue();
    // Passes that follow each other at once (the clock stands still, no sleep).
    fake.Push(EventType::FocusLost);
    int passes = 1;
    for (app.PumpPlatformEventsIfDue(); !fake.events.empty() && passes < 10; ++passes)
        app.PumpPlatformEventsIfDue();
    EXPECT_EQ(passes, 4) << "three busy passes go without looking";
    fake.Push(EventType::FocusGained);
    fake.now += 2.0;
    app.PumpPlatformEventsIfDue();
    EXPECT_TRUE(fake.events.empty()) << "a couple of milliseconds later it looks";
}

TEST_F(WindowState, PlaybackDrawsTheRecordedPointerIntoThePicture)
{
    app.playingDemo = true;
    fake.copyFrames = true;
    MemoryImage arrow;
    arrow.Create(4, 4);
    std::fill(arrow.GetBits(), arrow.GetBits() + 16, 0xFFFFFF00u);
    arrow.MarkBitsChanged();
    app.cursorImages[0] = &arrow;
    app.mouseInWindow = true;
    app.widgetManager->lastMouseX = 100;
    app.widgetManager->lastMouseY = 50;
    EXPECT_FALSE(app.ApplyCursor());
    EXPECT_EQ(fake.systemCursor, SystemCursor::None) << "the real mouse is not shown";
    const auto arrowAt = [&](int x, int y)
    { return fake.frameCopy[size_t(y) * 800 + size_t(x)] == 0xFFFFFF00u; };

    fake.now += 20.0;
    ASSERT_TRUE(app.DrawFrame());
    ASSERT_EQ(fake.frameCopy.size(), 800u * 600u);
    EXPECT_TRUE(arrowAt(100, 50)) << "centred on the recorded position";
    EXPECT_TRUE(arrowAt(98, 48));
    EXPECT_FALSE(arrowAt(98, 47));

    // The recorded pointer moves: the next frame shows it there, and only there.
    app.widgetManager->lastMouseX = 300;
    fake.now += 20.0;
    ASSERT_TRUE(app.DrawFrame());
    EXPECT_TRUE(arrowAt(300, 50));
    EXPECT_FALSE(arrowAt(100, 50));

    // Leaving the window takes the drawn cursor away.
    app.mouseInWindow = false;
    app.ApplyCursor();
    fake.now += 20.0;
    ASSERT_TRUE(app.DrawFrame());
    EXPECT_FALSE(arrowAt(300, 50));
    app.cursorImages[0] = nullptr;
}

TEST_F(WindowState, TheWindowSitsAtTheGoldenSectionAndARememberedPlaceIsPulledInside)
{
    const int outerW = 800 + fake.borders.left + fake.borders.right;
    const int outerH = 600 + fake.borders.top + fake.borders.bottom;
    EXPECT_EQ(fake.window.x - fake.borders.left, (1920 - outerW) / 2);
    EXPECT_EQ(fake.window.y - fake.borders.top, static_cast<int>((1040 - outerH) * 0.382));
    EXPECT_FALSE(fake.window.fullScreen);

    TestApp remembered;
    remembered.preferredX = 1800;
    remembered.preferredY = -50;
    remembered.Init();
    const FakePlatform& placed = *remembered.platformFake;
    EXPECT_EQ(placed.window.y - placed.borders.top, 4);
    EXPECT_EQ(placed.window.x - placed.borders.left + outerW, 1920 - 4);

    // Moves are remembered only while windowed, once the window sits where
    // it was put.
    app.Send(EventType::WindowMoved, fake.window.x, fake.window.y);
    app.Send(EventType::WindowMoved, 300, 200);
    EXPECT_EQ(app.preferredX, 300);
    EXPECT_EQ(app.preferredY, 200);
    app.SetWindowed(false);
    app.Send(EventType::WindowMoved, 0, 0);
    EXPECT_EQ(app.preferredX, 300);
}

// A first window is the largest whole multiple of the picture whose frame
// fits the work area of its display; a size the player gives it is kept,
// unless it no longer fits or is no size at all.
TEST(WindowSize, AFirstWindowFillsItsDisplayByWholeStepsAndThePlayersSizeIsKept)
{
    struct Case
    {
        const char* what;
        Rect work;
        Point place;
        Point saved;
        Point expected;
    } cases[] = {
        {"1920x1040 has no room for 2x with the frame", {0, 0, 1920, 1040}, {-1, -1}, {-1, -1}, {800, 600}},
        {"2560x1440", {0, 0, 2560, 1440}, {-1, -1}, {-1, -1}, {1600, 1200}},
        {"3840x2160", {0, 0, 3840, 2160}, {-1, -1}, {-1, -1}, {2400, 1800}},
        {"the display of the remembered place", {0, 0, 1920, 1040}, {2000, 100}, {-1, -1}, {1600, 1200}},
        {"a place on a display since gone", {0, 0, 1920, 1040}, {-4000, 100}, {-1, -1}, {800, 600}},
        {"the player's size", {0, 0, 1920, 1040}, {-1, -1}, {1000, 700}, {1000, 700}},
        {"a saved size too large", {0, 0, 1920, 1040}, {-1, -1}, {1900, 1010}, {800, 600}},
        {"a saved size too small", {0, 0, 1920, 1040}, {-1, -1}, {10, 10}, {800, 600}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        TestApp app;
        FakePlatform& fake = *app.platformFake;
        fake.workArea = c.work;
        app.preferredX = c.place.x;
        app.preferredY = c.place.y;
        app.preferredWidth = c.saved.x;
        app.preferredHeight = c.saved.y;
        app.Init();
        EXPECT_EQ((Point{fake.window.windowWidth, fake.window.windowHeight}), c.expected);
        const Rect work = fake.WorkAreaAt(c.place.x, c.place.y);
        EXPECT_TRUE(work.Contains(fake.window.x, fake.window.y)) << "on the display it was on, or the primary one";
    }

    // Only a size the window was not asked for is the player's.
    TestApp app;
    FakePlatform& fake = *app.platformFake;
    app.Init();
    app.Send(EventType::WindowResized, 800, 600);
    EXPECT_EQ(app.preferredWidth, -1);
    app.Send(EventType::WindowResized, 1000, 700);
    EXPECT_EQ((Point{app.preferredWidth, app.preferredHeight}), (Point{1000, 700}));
    // Full screen and back comes back at that size.
    app.SetWindowed(false);
    app.Send(EventType::WindowResized, 1920, 1080);
    app.SetWindowed(true);
    EXPECT_EQ((Point{fake.window.windowWidth, fake.window.windowHeight}), (Point{1000, 700}));
    EXPECT_EQ(app.preferredWidth, 1000);
}

TEST(WindowPlace, AFrameMadeKnownOnlyOnceShownNeitherMovesTheWindowNorLetsItLeaveTheWorkArea)
{
    // As a window manager does: the frame goes where the window was asked
    // to be, so the client area lands lower and further right, and the
    // frame's size is known only from then on.
    for (const bool throughFullScreen : {false, true})
    {
        TestApp app;
        FakePlatform& fake = *app.platformFake;
        fake.borders = {};
        app.preferredX = 300;
        app.preferredY = 436; // the bottom edge 4 pixels above the work area's without a frame
        app.Init();
        if (throughFullScreen)
        {
            app.SetWindowed(false);
            app.SetWindowed(true);
        }
        fake.borders = {1, 20, 1, 1};
        app.Send(EventType::WindowMoved, fake.window.x + 1, fake.window.y + 20);
        app.Send(EventType::WindowMoved, fake.window.x, fake.window.y);
        EXPECT_EQ(fake.window.x, 300);
        EXPECT_EQ(fake.window.y, 1040 - 4 - 1 - 600) << "the frame's bottom edge stays inside";
        EXPECT_EQ(app.preferredX, 300);
        EXPECT_EQ(app.preferredY, fake.window.y);
        // The player's own moves count again.
        app.Send(EventType::WindowMoved, 310, 400);
        EXPECT_EQ(app.preferredX, 310);
    }
}

TEST(WindowPlace, AFrameMadeKnownAfterTheMovesBackFromFullScreenStillPlacesTheWindow)
{
    // The window system puts the frame where the window was asked to be and
    // says so before the frame's size is known; asking again by the stale
    // frame changes nothing, so no further move comes.
    TestApp app;
    FakePlatform& fake = *app.platformFake;
    app.preferredX = 300;
    app.preferredY = 436;
    app.Init();
    app.SetWindowed(false);
    fake.borders = {};
    app.SetWindowed(true);
    const Quillo::Point asked{fake.window.x, fake.window.y};
    app.Send(EventType::WindowMoved, asked.x + 1, asked.y + 20);
    EXPECT_EQ(fake.window.x, asked.x) << "asked again by the stale frame";

    fake.borders = {1, 20, 1, 1};
    app.HandleQueuedEvents();
    EXPECT_EQ(fake.window.x, 300);
    EXPECT_EQ(fake.window.y, 1040 - 4 - 1 - 600) << "placed by the frame now known";
    app.Send(EventType::WindowMoved, fake.window.x, fake.window.y);
    EXPECT_EQ(app.preferredY, 1040 - 4 - 1 - 600);
    app.Send(EventType::WindowMoved, 310, 400);
    EXPECT_EQ(app.preferredX, 310) << "the player's own moves count again";
}

TEST(ScreenSaver, IsAllowedOnlyOnceLoadedAndWhileWindowed)
{
    TestApp app(false);
    app.Init();
    FakePlatform& fake = *app.platformFake;
    EXPECT_FALSE(fake.screenSaverAllowed) << "not while loading";
    app.RunUntil(fake.now + 100.0);
    EXPECT_FALSE(fake.screenSaverAllowed);
    app.loadingThreadDone = true;
    app.RunUntil(fake.now + 100.0);
    EXPECT_TRUE(fake.screenSaverAllowed);
    app.SetWindowed(false);
    EXPECT_FALSE(fake.screenSaverAllowed) << "a full-screen game on a dialog is being watched";
    app.SetWindowed(true);
    EXPECT_TRUE(fake.screenSaverAllowed);
}

TEST_F(WindowState, ACloseRequestDropsLaterMessagesAndShutsDown)
{
    app.QueueEvent({.type = EventType::KeyDown, .code = 'B'});
    app.QueueEvent({.type = EventType::Close});
    app.QueueEvent({.type = EventType::KeyDown, .code = 'A'});
    EXPECT_EQ(app.messageQueue.size(), 2u) << "what arrives after the close is not even queued";
    app.HandleQueuedEvents();
    EXPECT_TRUE(app.IsShuttingDown());
    EXPECT_TRUE(app.widgetManager->keyDown['B']) << "what came before is handled in order";
    EXPECT_FALSE(app.widgetManager->keyDown['A']);
}

TEST_F(WindowState, WidgetsAreDeletedOnlyAfterTheUpdateSequence)
{
    bool deleted = false;
    bool deletedDuringUpdate = true;
    auto* victim = new HookWidget;
    victim->onDelete = [&] { deleted = true; };
    HookWidget deleter;
    // Asks for the other widget's deletion from inside its own update.
    deleter.onUpdate = [&]
    {
        if (HookWidget* doomed = std::exchange(victim, nullptr))
        {
            gApp->DeleteLater(doomed);
            deletedDuringUpdate = deleted;
        }
    };
    app.widgetManager->AddWidget(victim);
    app.widgetManager->AddWidget(&deleter);
    app.widgetManager->RemoveWidget(victim);
    Step();
    EXPECT_FALSE(deletedDuringUpdate);
    EXPECT_TRUE(deleted);
    app.widgetManager->RemoveWidget(&deleter);
}

TEST(Letterbox, MapsWindowPixelsBackToThePicture)
{
    struct Case
    {
        int w, h;
        Rect target;
    } cases[] = {
        {800, 600, {0, 0, 800, 600}},
        {1920, 1080, {240, 0, 1440, 1080}},
        {1280, 1024, {0, 32, 1280, 960}},
        {1600, 1200, {0, 0, 1600, 1200}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        const Letterbox box = Letterbox::Fit(c.w, c.h, 800, 600);
        const Rect& t = c.target;
        EXPECT_EQ(box.target, t);
        Point p;
        EXPECT_TRUE(box.ToLogical(t.x, t.y, p));
        EXPECT_EQ(p, (Point{0, 0}));
        EXPECT_TRUE(box.ToLogical(t.x + t.width - 1, t.y + t.height - 1, p));
        EXPECT_EQ(p, (Point{799, 599}));
        EXPECT_FALSE(box.ToLogical(t.x + t.width, t.y, p)) << "right edge";
        EXPECT_TRUE(t.x == 0 || !box.ToLogical(t.x - 1, c.h / 2, p)) << "left bar";
        EXPECT_TRUE(t.y == 0 || !box.ToLogical(c.w / 2, t.y - 1, p)) << "top bar";
    }
    // A pixel in the middle of a 1.8x scaled picture.
    Point p;
    ASSERT_TRUE(Letterbox::Fit(1920, 1080, 800, 600).ToLogical(240 + 900, 540, p));
    EXPECT_EQ(p, (Point{500, 300}));
}

namespace
{

Dialog* MakeDialog(int id, bool modal)
{
    return new Dialog(nullptr, nullptr, id, modal, "", "", "", Dialog::kButtonsNone);
}

} // namespace

TEST_F(WindowState, ClosingAModalHandsTheRoleToTheLastRemainingModal)
{
    Dialog* first = MakeDialog(10, true);
    Dialog* second = MakeDialog(12, true);
    app.AddDialog(10, first);
    app.AddDialog(11, MakeDialog(11, false));
    app.AddDialog(12, second);
    EXPECT_EQ(app.DialogCount(), 3);
    EXPECT_EQ(app.widgetManager->GetBaseModal(), second);
    EXPECT_FALSE(app.CloseDialogById(99)) << "no such dialog";
    EXPECT_EQ(app.DialogCount(), 3);

    EXPECT_TRUE(app.CloseDialogById(12));
    EXPECT_EQ(second->result, 0) << "an open dialog's -1 becomes 0";
    EXPECT_EQ(app.widgetManager->GetBaseModal(), first);
    EXPECT_EQ(app.FindDialog(12), nullptr);
    EXPECT_EQ(app.FindDialog(10), first);

    // Adding under an id in use replaces the old dialog.
    Dialog* replacement = MakeDialog(10, true);
    app.AddDialog(10, replacement);
    EXPECT_EQ(app.FindDialog(10), replacement);
    EXPECT_EQ(app.DialogCount(), 2);
    Step(); // the closed dialogs are deleted after the update
}

namespace
{

// A modal dialog that gives itself a result and closes from its own update,
// as a timed message does. Deleted ones keep their memory, filled with 0xFF,
// until the test releases it: a loop that still reads the dialog after its
// deletion then sees a result of -1 instead of whatever the allocator left.
class SelfClosingDialog : public Dialog
{
public:
    explicit SelfClosingDialog(int dialogId)
        : Dialog(nullptr, nullptr, dialogId, true, "closing", "", "", Dialog::kButtonsNone)
    {
    }
    void Update() override
    {
        Dialog::Update();
        if (++updates == 3)
        {
            result = 7;
            gApp->CloseDialogById(id);
        }
    }
    static void* operator new(size_t size) { return ::operator new(size); }
    static void operator delete(void* memory, size_t size)
    {
        std::memset(memory, 0xFF, size);
        Parked().push_back(memory);
    }
    static void ReleaseParked()
    {
        for (void* memory : Parked())
            ::operator delete(memory);
        Parked().clear();
    }
    static std::vector<void*>& Parked()
    {
        static std::vector<void*> parked;
        return parked;
    }
    int updates = 0;
};

} // namespace

TEST(DialogRegistry, WaitingForADialogThatClosesInItsOwnUpdate)
{
    // Nobody else closes it: the run would end only by the quit timer.
    for (bool byWait : {true, false})
    {
        SCOPED_TRACE(byWait ? "WaitForResult" : "RunLoop");
        TestApp app;
        app.Init();
        auto* dialog = new SelfClosingDialog(20);
        app.AddDialog(20, dialog);
        app.autoQuitAtMs = app.platformFake->now + 5000.0;
        if (byWait)
            EXPECT_EQ(dialog->WaitForResult(true), 7);
        else
            app.RunLoop(20);
        EXPECT_FALSE(app.IsShuttingDown()) << "the wait ended only with the program";
        EXPECT_EQ(app.FindDialog(20), nullptr);
        EXPECT_EQ(SelfClosingDialog::Parked().size(), byWait ? 1u : 2u) << "deleted during the wait";
    }
    SelfClosingDialog::ReleaseParked();
}

TEST_F(WindowState, FrameRateDisplayShowsRateOrMouseAndLeavesNoTrace)
{
    HookWidget background;
    background.Resize(0, 0, 800, 600);
    app.widgetManager->AddWidget(&background);
    QuilloAppBase::debugKeysEnabled = true;
    constexpr int kF3 = 114, kF4 = 115;
    const int boxX = 800 - FrameRateOverlay::kMargin - FrameRateOverlay::kBoxWidth;
    const int boxY = 600 - FrameRateOverlay::kMargin - FrameRateOverlay::kBoxHeight;
    const auto pixel = [&](int x, int y)
    { return app.display->GetScreenImage()->GetBits()[size_t(y) * 800 + size_t(x)]; };

    app.Send(EventType::KeyDown, 0, 0, kF3);
    app.RunUntil(fake.now + 2500.0);
    EXPECT_EQ(app.frameRate.Text().rfind("FPS: ", 0), 0u) << app.frameRate.Text();
    EXPECT_GT(std::stoi(app.frameRate.Text().substr(5)), 0);
    EXPECT_EQ(pixel(boxX + 1, boxY + 1), 0xFF000000u);
    int textPixels = 0;
    for (int y = boxY; y < boxY + FrameRateOverlay::kBoxHeight; ++y)
        for (int x = boxX; x < boxX + FrameRateOverlay::kBoxWidth; ++x)
            textPixels += (pixel(x, y) & 0xFFFF00u) != 0;
    EXPECT_GT(textPixels, 10);

    app.Send(EventType::MouseMove, 321, 123);
    app.Send(EventType::KeyDown, 0, 0, kF4);
    app.RunUntil(fake.now + 1100.0);
    EXPECT_EQ(app.frameRate.Text(), "321,123");
    EXPECT_TRUE(app.frameRate.DemoTimeText().empty());

    // Off again: everything is repainted, the corner included.
    app.Send(EventType::KeyDown, 0, 0, kF3);
    app.RunUntil(fake.now + 100.0);
    EXPECT_FALSE(app.frameRate.IsOn());
    EXPECT_EQ(pixel(boxX + 1, boxY + 1), 0xFF204060u) << "the background";
    QuilloAppBase::debugKeysEnabled = false;
    app.widgetManager->RemoveWidget(&background);
}
