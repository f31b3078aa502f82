#include "TestApp.h"

#include "framework/graphics/DisplayImage.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/NativeDisplay.h"
#include "framework/platform/Letterbox.h"
#include "framework/widgets/Dialog.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

using namespace Quillo;

namespace
{

PlatformEvent Event(EventType type, int x = 0, int y = 0, int code = 0)
{
    PlatformEvent e;
    e.type = type;
    e.x = x;
    e.y = y;
    e.code = code;
    return e;
}

class DyingWidget : public Widget
{
public:
    explicit DyingWidget(bool* flag) : m_flag(flag) {}
    ~DyingWidget() override { *m_flag = true; }

private:
    bool* m_flag;
};

// Asks for another widget's deletion from inside its own update.
class Deleter : public Widget
{
public:
    void Update() override
    {
        if (victim)
        {
            gApp->DeleteLater(victim);
            victim = nullptr;
            deletedDuringUpdate = *flag;
        }
    }
    Widget* victim = nullptr;
    bool* flag = nullptr;
    bool deletedDuringUpdate = true;
};

} // namespace

TEST(WindowState, MinimisingMutesTwiceAndAUserMuteSurvivesRestoring)
{
    TestApp app;
    app.Init();
    app.HandleEvent(Event(EventType::FocusGained));
    ASSERT_EQ(app.muteCount, 0);

    app.HandleEvent(Event(EventType::Minimized));
    app.HandleEvent(Event(EventType::FocusLost));
    EXPECT_EQ(app.muteCount, 2) << "minimise and the loss of focus each mute";
    EXPECT_EQ(app.autoMuteCount, 2);

    app.Mute(false);
    app.HandleEvent(Event(EventType::FocusGained));
    app.HandleEvent(Event(EventType::Restored));
    EXPECT_EQ(app.muteCount, 1) << "the user's mute is still in force";
    EXPECT_EQ(app.autoMuteCount, 0);
    EXPECT_TRUE(app.IsMuted());

    app.Unmute(false);
    EXPECT_FALSE(app.IsMuted());
    app.Unmute(false);
    EXPECT_EQ(app.muteCount, 0) << "unmuting at zero does nothing";
}

TEST(WindowState, AButtonHeldWhenTheFocusGoesIsForgotten)
{
    TestApp app;
    app.Init();
    PlatformEvent down = Event(EventType::MouseDown, 100, 100, 1);
    down.inside = true;
    app.HandleEvent(down);
    ASSERT_TRUE(app.mouseInWindow);
    // Alt+Tab with the button held; it is released in the other window.
    app.platformFake->events.push_back(Event(EventType::FocusLost));
    app.PumpPlatformEvents();
    app.HandleQueuedEvents();
    EXPECT_FALSE(app.focused);
    app.platformFake->events.push_back(Event(EventType::FocusGained));
    app.PumpPlatformEvents();
    app.HandleQueuedEvents();
    EXPECT_FALSE(app.widgetManager->AnyButtonDown());
    PlatformEvent away = Event(EventType::MouseMove, 900, 100);
    away.inside = false;
    app.HandleEvent(away);
    EXPECT_FALSE(app.mouseInWindow) << "a move outside is a leave, not a drag";
    EXPECT_FALSE(app.platformFake->captured);
}

namespace
{

// The application as demo playback sees it once started, without a demo file.
class PlaybackApp : public TestApp
{
public:
    bool playing = false;

protected:
    bool IsPlayingDemo() const override { return playing; }
};

} // namespace

TEST(WindowState, PlaybackDrawsTheRecordedPointerIntoThePicture)
{
    PlaybackApp app;
    app.Init();
    app.playing = true;
    FakePlatform& fake = *app.platformFake;
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

    fake.now += 20.0;
    ASSERT_TRUE(app.DrawFrame());
    ASSERT_EQ(fake.frameCopy.size(), 800u * 600u);
    EXPECT_EQ(fake.frameCopy[50 * 800 + 100], 0xFFFFFF00u) << "centred on the recorded position";
    EXPECT_EQ(fake.frameCopy[48 * 800 + 98], 0xFFFFFF00u);
    EXPECT_NE(fake.frameCopy[47 * 800 + 98], 0xFFFFFF00u);

    // The recorded pointer moves: the next frame shows it there, and only there.
    app.widgetManager->lastMouseX = 300;
    fake.now += 20.0;
    ASSERT_TRUE(app.DrawFrame());
    EXPECT_EQ(fake.frameCopy[50 * 800 + 300], 0xFFFFFF00u);
    EXPECT_NE(fake.frameCopy[50 * 800 + 100], 0xFFFFFF00u);

    // Leaving the window takes the drawn cursor away.
    app.mouseInWindow = false;
    app.ApplyCursor();
    fake.now += 20.0;
    ASSERT_TRUE(app.DrawFrame());
    EXPECT_NE(fake.frameCopy[50 * 800 + 300], 0xFFFFFF00u);
    app.cursorImages[0] = nullptr;
}

TEST(WindowState, NestedUserMutesNeedAsManyUnmutes)
{
    TestApp app;
    app.Init();
    app.Mute(false);
    app.Mute(false);
    app.Unmute(false);
    EXPECT_TRUE(app.IsMuted());
    app.Unmute(false);
    EXPECT_FALSE(app.IsMuted());
}

TEST(WindowState, CentredWindowSitsAtTheGoldenSectionOfTheWorkArea)
{
    TestApp app;
    app.Init();
    FakePlatform& fake = *app.platformFake;
    const int outerW = 800 + fake.borders.left + fake.borders.right;
    const int outerH = 600 + fake.borders.top + fake.borders.bottom;
    EXPECT_EQ(fake.window.x - fake.borders.left, (1920 - outerW) / 2);
    EXPECT_EQ(fake.window.y - fake.borders.top, static_cast<int>((1040 - outerH) * 0.382));
    EXPECT_FALSE(fake.window.fullScreen);
}

TEST(WindowState, RememberedPositionIsPulledBackInsideTheWorkArea)
{
    TestApp app;
    app.preferredX = 1800;
    app.preferredY = -50;
    app.Init();
    FakePlatform& fake = *app.platformFake;
    const int outerX = fake.window.x - fake.borders.left;
    const int outerY = fake.window.y - fake.borders.top;
    const int outerW = 800 + fake.borders.left + fake.borders.right;
    EXPECT_EQ(outerY, 4);
    EXPECT_EQ(outerX + outerW, 1920 - 4);
}

TEST(WindowState, MovesAreRememberedOnlyWhileWindowed)
{
    TestApp app;
    app.Init();
    app.HandleEvent(Event(EventType::WindowMoved, 300, 200));
    EXPECT_EQ(app.preferredX, 300);
    EXPECT_EQ(app.preferredY, 200);
    app.SetWindowed(false);
    app.HandleEvent(Event(EventType::WindowMoved, 0, 0));
    EXPECT_EQ(app.preferredX, 300);
}

TEST(WindowState, ACloseRequestDropsLaterMessagesAndShutsDown)
{
    TestApp app;
    app.Init();
    app.QueueEvent(Event(EventType::Close));
    app.QueueEvent(Event(EventType::KeyDown, 0, 0, 'A'));
    app.HandleQueuedEvents();
    EXPECT_TRUE(app.IsShuttingDown());
    EXPECT_FALSE(app.widgetManager->keyDown['A']);
}

TEST(WindowState, WidgetsAreDeletedOnlyAfterTheUpdateSequence)
{
    TestApp app;
    app.Init();
    bool deleted = false;
    auto* victim = new DyingWidget(&deleted);
    auto* deleter = new Deleter;
    deleter->victim = victim;
    deleter->flag = &deleted;
    app.widgetManager->AddWidget(victim);
    app.widgetManager->AddWidget(deleter);
    app.widgetManager->RemoveWidget(victim);
    app.platformFake->now += 20.0;
    app.StepFrame(true);
    EXPECT_FALSE(deleter->deletedDuringUpdate);
    EXPECT_TRUE(deleted);
    app.widgetManager->RemoveWidget(deleter);
    delete deleter;
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
        const Letterbox box = Letterbox::Fit(c.w, c.h, 800, 600);
        EXPECT_EQ(box.target, c.target) << c.w << "x" << c.h;
        Point p;
        EXPECT_TRUE(box.ToLogical(c.target.x, c.target.y, p));
        EXPECT_EQ(p, (Point{0, 0}));
        EXPECT_TRUE(box.ToLogical(c.target.x + c.target.width - 1, c.target.y + c.target.height - 1, p));
        EXPECT_EQ(p, (Point{799, 599}));
        EXPECT_FALSE(box.ToLogical(c.target.x + c.target.width, c.target.y, p)) << "right edge";
        if (c.target.x > 0)
        {
            EXPECT_FALSE(box.ToLogical(c.target.x - 1, c.h / 2, p)) << "left bar";
        }
        if (c.target.y > 0)
        {
            EXPECT_FALSE(box.ToLogical(c.w / 2, c.target.y - 1, p)) << "top bar";
        }
    }
    // A pixel in the middle of a 1.8x scaled picture.
    const Letterbox box = Letterbox::Fit(1920, 1080, 800, 600);
    Point p;
    ASSERT_TRUE(box.ToLogical(240 + 900, 540, p));
    EXPECT_EQ(p, (Point{500, 300}));
}

TEST(DialogRegistry, ClosingAModalHandsTheRoleToTheLastRemainingModal)
{
    TestApp app;
    app.Init();
    auto* first = new Dialog(nullptr, nullptr, 10, true, "one", "", "", Dialog::kButtonsNone);
    auto* plain = new Dialog(nullptr, nullptr, 11, false, "two", "", "", Dialog::kButtonsNone);
    auto* second = new Dialog(nullptr, nullptr, 12, true, "three", "", "", Dialog::kButtonsNone);
    app.AddDialog(10, first);
    app.AddDialog(11, plain);
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
    auto* replacement = new Dialog(nullptr, nullptr, 10, true, "again", "", "", Dialog::kButtonsNone);
    app.AddDialog(10, replacement);
    EXPECT_EQ(app.FindDialog(10), replacement);
    EXPECT_EQ(app.DialogCount(), 2);
    app.platformFake->now += 20.0;
    app.StepFrame(true); // the closed dialogs are deleted after the update
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
    {
        // Nobody closes it: the run would end only by the quit timer.
        TestApp app;
        app.Init();
        auto* dialog = new SelfClosingDialog(20);
        app.AddDialog(20, dialog);
        app.autoQuitAtMs = app.platformFake->now + 5000.0;
        EXPECT_EQ(dialog->WaitForResult(true), 7);
        EXPECT_FALSE(app.IsShuttingDown()) << "the wait ended only with the program";
        EXPECT_EQ(app.FindDialog(20), nullptr);
        EXPECT_EQ(SelfClosingDialog::Parked().size(), 1u) << "deleted during the wait";
    }
    {
        TestApp app;
        app.Init();
        auto* dialog = new SelfClosingDialog(21);
        app.AddDialog(21, dialog);
        app.autoQuitAtMs = app.platformFake->now + 5000.0;
        app.RunLoop(21);
        EXPECT_FALSE(app.IsShuttingDown());
        EXPECT_EQ(app.FindDialog(21), nullptr);
    }
    SelfClosingDialog::ReleaseParked();
}

namespace
{

// Paints its whole area when it is dirty, as a screen's background does.
class BackgroundWidget : public Widget
{
public:
    void Draw(Graphics* g) override
    {
        g->SetColor(Color(32, 64, 96));
        g->FillRect(0, 0, width, height);
    }
};

uint32_t ScreenPixel(TestApp& app, int x, int y)
{
    return app.display->GetScreenImage()->GetBits()[size_t(y) * 800 + size_t(x)];
}

} // namespace

TEST(DeveloperKeys, FrameRateDisplayShowsRateOrMouseAndLeavesNoTrace)
{
    TestApp app;
    app.Init();
    BackgroundWidget background;
    background.Resize(0, 0, 800, 600);
    app.widgetManager->AddWidget(&background);
    QuilloAppBase::debugKeysEnabled = true;
    constexpr int kF3 = 114, kF4 = 115;
    const int boxX = 800 - FrameRateOverlay::kMargin - FrameRateOverlay::kBoxWidth;
    const int boxY = 600 - FrameRateOverlay::kMargin - FrameRateOverlay::kBoxHeight;
    const uint32_t backgroundPixel = 0xFF204060u;

    app.HandleEvent(Event(EventType::KeyDown, 0, 0, kF3));
    app.RunUntil(app.platformFake->now + 2500.0);
    EXPECT_EQ(app.frameRate.Text().rfind("FPS: ", 0), 0u) << app.frameRate.Text();
    EXPECT_GT(std::stoi(app.frameRate.Text().substr(5)), 0);
    EXPECT_EQ(ScreenPixel(app, boxX + 1, boxY + 1), 0xFF000000u);
    int textPixels = 0;
    for (int y = boxY; y < boxY + FrameRateOverlay::kBoxHeight; ++y)
        for (int x = boxX; x < boxX + FrameRateOverlay::kBoxWidth; ++x)
            textPixels += (ScreenPixel(app, x, y) & 0xFFFF00u) != 0;
    EXPECT_GT(textPixels, 10);

    app.HandleEvent(Event(EventType::MouseMove, 321, 123));
    app.HandleEvent(Event(EventType::KeyDown, 0, 0, kF4));
    app.RunUntil(app.platformFake->now + 1100.0);
    EXPECT_EQ(app.frameRate.Text(), "321,123");
    EXPECT_TRUE(app.frameRate.DemoTimeText().empty());

    // Off again: everything is repainted, the corner included.
    app.HandleEvent(Event(EventType::KeyDown, 0, 0, kF3));
    app.RunUntil(app.platformFake->now + 100.0);
    EXPECT_FALSE(app.frameRate.IsOn());
    EXPECT_EQ(ScreenPixel(app, boxX + 1, boxY + 1), backgroundPixel);

    QuilloAppBase::debugKeysEnabled = false;
    app.widgetManager->RemoveWidget(&background);
}
