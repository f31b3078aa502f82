#include "TestApp.h"
#include "support/TempDir.h"

#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace Quillo;

namespace
{

// A focused widget that logs its keys ("+65", "-65") and runs a hook on a
// mouse press.
class KeyWidget : public Widget
{
public:
    bool WantsFocus() override { return true; }
    void OnKeyDown(int key) override { log.push_back("+" + std::to_string(key)); }
    void OnKeyUp(int key) override { log.push_back("-" + std::to_string(key)); }
    void OnMouseDown(int, int, int) override
    {
        if (onPress)
            onPress();
    }
    std::vector<std::string> log;
    std::function<void()> onPress;
};

class DemoTestApp : public TestApp
{
public:
    using QuilloAppBase::FeedDemoInput;
    using QuilloAppBase::RunMainThreadTasks;
};

class KeysAndBoxes : public ::testing::Test
{
protected:
    // The app started, with the widget covering the window and focused.
    void Start(DemoTestApp& app)
    {
        app.Init();
        widget.Resize(0, 0, 800, 600);
        app.widgetManager->AddWidget(&widget);
        app.widgetManager->SetFocus(&widget);
    }
    void Stop(DemoTestApp& app) { app.widgetManager->RemoveWidget(&widget); }

    KeyWidget widget;
};

} // namespace

TEST_F(KeysAndBoxes, HeldSwitchKeysSwitchOnce)
{
    DemoTestApp app;
    Start(app);
    ASSERT_TRUE(app.windowed);
    const bool developerKeys = app.debugKeysEnabled;
    app.Send(EventType::KeyDown, 0, 0, 17);
    app.Send(EventType::KeyDown, 0, 0, 18);
    for (bool repeat : {false, true, true, true})
    {
        app.platformFake->events.push_back(
            {.type = EventType::KeyDown, .code = 13, .alt = true, .repeat = repeat});
        app.platformFake->events.push_back(
            {.type = EventType::KeyDown, .code = 'D', .alt = true, .repeat = repeat});
    }
    app.PumpPlatformEvents();
    app.HandleQueuedEvents();
    app.RunMainThreadTasks();
    EXPECT_FALSE(app.windowed) << "Alt+Enter: one switch, to full screen";
    EXPECT_NE(app.debugKeysEnabled, developerKeys) << "Ctrl+Alt+D: one switch";
    app.debugKeysEnabled = developerKeys;
    Stop(app);
}

TEST_F(KeysAndBoxes, ABoxOpenedFromAMouseHandlerRunsWithoutTheCapture)
{
    DemoTestApp app;
    Start(app);
    widget.onPress = [&] { app.ShowMessageBox("Really?", "Question", MessageBoxKind::YesNo); };
    app.Send(EventType::MouseDown, 100, 100, 1);
    ASSERT_EQ(app.platformFake->boxes.size(), 1u);
    EXPECT_FALSE(app.platformFake->boxUnderCapture);
    Stop(app);
}

// The box takes the releases of keys held when it opened: they reach the
// widgets afterwards, and a playback (which shows no box) releases them at
// the same update.
TEST_F(KeysAndBoxes, KeysHeldThroughABoxAreReleasedInTheRecordingAndItsPlayback)
{
    TempDir dir;
    const std::string demoFile = dir / "box.dmo";
    {
        DemoTestApp recording;
        recording.SetDemoMode(QuilloAppBase::DemoMode::Record, demoFile);
        Start(recording);
        recording.Send(EventType::KeyDown, 0, 0, 'A');
        recording.RunUntil(1100.0);
        recording.ShowMessageBox("Note", "Box", MessageBoxKind::Ok);
        EXPECT_FALSE(recording.widgetManager->keyDown['A']);
        EXPECT_EQ(widget.log, (std::vector<std::string>{"+65", "-65"}));
        recording.RunUntil(1200.0);
        recording.Shutdown();
        Stop(recording);
    }
    widget.log.clear();
    DemoTestApp playback;
    playback.SetDemoMode(QuilloAppBase::DemoMode::Play, demoFile);
    Start(playback);
    while (!playback.IsShuttingDown() && playback.platformFake->now < 1300.0)
    {
        playback.FeedDemoInput();
        playback.StepFrame(true);
    }
    EXPECT_FALSE(playback.widgetManager->keyDown['A']);
    EXPECT_EQ(widget.log, (std::vector<std::string>{"+65", "-65"}));
    Stop(playback);
}
