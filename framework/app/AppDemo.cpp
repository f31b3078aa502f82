// Demo recording and playback in the application object: starting and
// finishing a demo, feeding recorded input back as the live window
// messages would have, and the playback keys.
#include "framework/app/QuilloAppBase.h"

#include "framework/app/RandomGenerator.h"
#include "framework/audio/SoundManager.h"
#include "framework/widgets/WidgetManager.h"

#include <cstdio>

namespace Quillo
{

void QuilloAppBase::StartDemo(uint32_t tickSeed)
{
    auto counter = [this] { return static_cast<uint32_t>(updateCount); };
    switch (GetDemoMode())
    {
    case DemoMode::None:
        return;
    case DemoMode::Record:
        demo.StartRecording(demoFileName, tickSeed, productVersion, counter);
        break;
    case DemoMode::Play:
    {
        std::string error;
        if (!demo.StartPlayback(demoFileName, productVersion, counter, error))
        {
            ShowFatalError(error);
            EndProcess(0);
        }
        RandomGenerator::Framework().Seed(demo.Seed());
        break;
    }
    }
    settings.SetDemo(&demo);
}

void QuilloAppBase::FinishDemo()
{
    if (demo.Recording() && !demo.FinishRecording())
        std::fprintf(stderr, "Demo file not written: %s\n", demo.Path().c_str());
    demo.StopPlayback();
}

void QuilloAppBase::FeedDemoInput()
{
    if (demo.Playing() && !shutdownStarted)
        demo.Player()->ApplyDue(static_cast<uint32_t>(updateCount), *this);
}

bool QuilloAppBase::HandlePlaybackKey(int key)
{
    if (!demo.Playing() ||
        !DemoPlaybackKeys::HandleKey(key, demo.Player()->Header().totalUpdates, static_cast<uint32_t>(updateCount),
                                     updateStepMs, playbackState))
        return false;
    if (speedFactor != playbackState.speedFactor)
    {
        speedFactor = playbackState.speedFactor;
        ClearTimeBacklog();
    }
    paused = playbackState.paused;
    return true;
}

bool QuilloAppBase::StepDemoJump()
{
    if (!demo.Playing())
        return false;
    if (playbackState.stepRequested)
    {
        playbackState.stepRequested = false;
        const int before = updateCount;
        RunUpdateSequence(1.0);
        ClearTimeBacklog();
        if (updateCount != before)
        {
            updatedSinceDraw = true;
            DrawFrame();
        }
        return true;
    }
    const std::optional<uint32_t> target = playbackState.jumpTarget;
    if (target && static_cast<uint32_t>(updateCount) < *target)
    {
        if (!demoFastForward)
        {
            demoFastForward = true;
            Mute(true);
            demoFastDrawMs = platform->NowMs();
        }
        ClearTimeBacklog();
        const int before = updateCount;
        RunUpdateSequence(1.0);
        if (updateCount == before)
        {
            // Waiting for the loading thread: leave it the processor.
            platform->SleepMs(1);
            return true;
        }
        updatedSinceDraw = true;
        // Once a second of wall time the picture shows how far it got.
        const double now = platform->NowMs();
        if (now - demoFastDrawMs >= 1000.0)
        {
            demoFastDrawMs = now;
            DrawFrame();
        }
        return true;
    }
    playbackState.jumpTarget.reset();
    if (demoFastForward)
    {
        demoFastForward = false;
        if (soundManager)
            soundManager->StopAllInstances();
        Unmute(true);
        ClearTimeBacklog();
    }
    return false;
}

void QuilloAppBase::OnDemoMouseMove(int x, int y)
{
    widgetManager->MouseMove(x, y);
}

void QuilloAppBase::OnDemoMouseButton(int x, int y, int clickCode, bool down)
{
    if (down)
        widgetManager->MouseDown(x, y, clickCode);
    else
        widgetManager->MouseUp(x, y, clickCode);
}

void QuilloAppBase::OnDemoActivate(bool isActive)
{
    active = isActive;
    HandleActivation();
}

void QuilloAppBase::OnDemoMinimize(bool isMinimized)
{
    SetMinimized(isMinimized);
}

void QuilloAppBase::OnDemoKeyDown(int key)
{
    widgetManager->KeyDown(key);
}

void QuilloAppBase::OnDemoKeyUp(int key)
{
    widgetManager->KeyUp(key);
}

void QuilloAppBase::OnDemoKeyChar(int ch)
{
    widgetManager->KeyChar(static_cast<char32_t>(ch));
}

void QuilloAppBase::OnDemoClose()
{
    closePending = true;
    Shutdown();
}

void QuilloAppBase::OnDemoMouseEnter()
{
    mouseInWindow = true;
    ApplyCursor();
}

void QuilloAppBase::OnDemoMouseLeave(int x, int y)
{
    widgetManager->MouseLeaveWindow(x, y);
    mouseInWindow = false;
    ApplyCursor();
}

void QuilloAppBase::OnDemoWheel(int notches)
{
    widgetManager->MouseWheel(notches);
}

void QuilloAppBase::OnDemoDisplay(bool isWindowed, int rate)
{
    windowed = isWindowed;
    // A rate of 0 from a damaged file would divide by zero in the timing.
    if (rate > 0)
        refreshRate = rate;
}

} // namespace Quillo
