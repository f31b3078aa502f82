// The frame loop of the application object: update steps, drawing,
// presenting and sleeping.
#include "framework/app/QuilloAppBase.h"

#include "framework/audio/MusicInterface.h"
#include "framework/diagnostics/CrashFilter.h"
#include "framework/graphics/DisplayImage.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/NativeDisplay.h"
#include "framework/widgets/WidgetManager.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace Quillo
{

bool QuilloAppBase::IsRefreshPacedActive() const
{
    // Demos are recorded and played in fixed steps: the partial updates of
    // refresh pacing follow the display, which playback cannot repeat.
    return refreshPaced && !IsPlayingDemo() && !IsRecordingDemo() && !lastDrawEmpty &&
           !refreshPacingBroken && !physicallyWindowed;
}

bool QuilloAppBase::IsIdleWhileHidden() const
{
    // A playing demo feeds its input by update count: it goes on, as recorded.
    return (minimized || screenSaverPaused) && !IsPlayingDemo();
}

void QuilloAppBase::CheckScreenSaverPause(double now)
{
    if (now - lastScreenSaverCheckMs < 1000.0)
        return;
    lastScreenSaverCheckMs = now;
    // Only where the screen saver is allowed to start at all.
    if (!physicallyWindowed || screenSaverMode || !loadingHandled)
    {
        screenSaverPaused = false;
        return;
    }
    if (now - lastScreenSaverReadMs >= 10000.0)
    {
        lastScreenSaverReadMs = now;
        screenSaverInfo = platform->ScreenSaver();
    }
    if (!screenSaverInfo.enabled)
    {
        screenSaverPaused = false;
        return;
    }
    const int t = screenSaverInfo.timeoutSeconds;
    const double limitMs = t >= 3 ? (t - 2) * 1000.0 : 1000.0;
    // The system knows of input to other windows too; the game's own is the fallback.
    const ScreenSaverInfo live = platform->ScreenSaver();
    const double idleMs = live.idleMs >= 0.0 ? live.idleMs : now - std::min(lastInputMs, now);
    if (screenSaverPaused)
    {
        if (idleMs < limitMs && !live.running)
        {
            screenSaverPaused = false;
            widgetManager->MarkAllDirty();
        }
    }
    else if (idleMs > limitMs)
        screenSaverPaused = true;
}

bool QuilloAppBase::StepFrame(bool allowSleep)
{
    if (closePending)
        Shutdown();
    if (shutdownStarted)
        return false;
    if (StepDemoJump())
        return true;
    CheckScreenSaverPause(platform->NowMs());
    if (IsIdleWhileHidden())
    {
        // Nobody sees the window: no update and no drawing. The loop sleeps
        // until the window system has something to say, and looks a few
        // times a second at what comes from elsewhere (tasks of other
        // threads, a second copy's signal). No catch-up follows.
        if (!allowSleep)
            return false;
        ++sleepCount;
        platform->WaitForEvent(kHiddenWaitMs);
        ClearTimeBacklog();
        DeleteQueuedWidgets();
        return true;
    }

    const bool paced = IsRefreshPacedActive();
    double step = updateStepMs / speedFactor;
    double updatesPerStep = 1.0;
    if (paced)
    {
        step = 1000.0 / refreshRate / speedFactor;
        updatesPerStep = 1000.0 / (static_cast<double>(refreshRate) * updateStepMs);
    }

    const double passStart = platform->NowMs();
    if (!paused && speedFactor > 0.0)
    {
        if (!paced)
        {
            const double elapsed = passStart - lastMeasureMs;
            timeAccumulator = std::min(1000.0, timeAccumulator + elapsed);
            if (noCatchUpMs > 0.0)
                noCatchUpMs = std::max(0.0, noCatchUpMs - elapsed);
        }
        lastMeasureMs = passStart;
    }

    ++updatesWithoutDraw;
    bool runUpdate = false;
    // Catching up, a picture at least every few updates, whatever the refresh.
    const bool drawDue =
        updatesWithoutDraw >= static_cast<int>(std::ceil(10.0 * speedFactor)) && loadingHandled;
    if (drawDue)
        runUpdate = false;
    else if (paced)
        runUpdate = !updatedSinceDraw || timeAccumulator >= std::trunc(step * 0.75);
    else
        runUpdate = timeAccumulator >= step;

    double slept = 0.0;
    if (runUpdate)
    {
        if (!IsPlayingDemo() && speedFactor == 1.0)
        {
            // A display that does not really wait for its refresh (or that
            // refreshes faster than it reports) lets a second's worth of
            // passes through in well under a second; three such checks in a
            // row and the loop keeps to fixed steps for the rest of the run.
            const int passesPerSecond = paced ? refreshRate : (updateStepMs + 999) / updateStepMs;
            if (++pacingPasses >= passesPerSecond)
            {
                pacingPasses = 0;
                const double now = platform->NowMs();
                if (now - lastPacingCheckMs <= 750.0)
                {
                    if (++pacingStrikes >= 3)
                        refreshPacingBroken = true;
                }
                else
                    pacingStrikes = 0;
                lastPacingCheckMs = now;
            }
        }
        RunUpdateSequence(updatesPerStep);
        timeAccumulator -= step;
        if (paced)
            timeAccumulator = std::max(0.0, timeAccumulator - 0.2);
        if (noCatchUpMs > 0.0)
            timeAccumulator = 0.0;
        updatedSinceDraw = true;
    }
    else
    {
        double drawWait = updatedSinceDraw && !drawDue ? ScheduledDrawWaitMs(passStart) : 0.0;
        // Nothing drawn changes before the next update: a picture due
        // before it is drawn at once, in the wake-up of the update it shows.
        if (drawWait < step - timeAccumulator)
            drawWait = 0.0;
        // Waiting for the refresh, the updates since the last picture still count.
        if (drawWait <= 0.0)
            updatesWithoutDraw = 0;
        if (updatedSinceDraw && drawWait <= 0.0)
            DrawFrame();
        else
        {
            // Rounded up: a remainder below 1 ms would otherwise spin until
            // the step (or the next frame's turn) is due.
            const double untilDue = updatedSinceDraw ? std::min(step - timeAccumulator, drawWait)
                                                     : step - timeAccumulator;
            const int sleepMs = static_cast<int>(std::ceil(untilDue));
            if (sleepMs >= 1)
            {
                if (!allowSleep)
                    return false;
                ++sleepCount;
                platform->SleepMs(sleepMs);
                slept = sleepMs;
            }
        }
    }

    if (throttleWhileLoading && !loadingThreadDone)
    {
        // Leave the processor to the loading thread: twice this pass's busy
        // time. Once it has finished, the hand-over is not kept waiting.
        const double busy = platform->NowMs() - passStart - slept;
        const double extra = std::min(250.0, busy * 2.0 - slept);
        if (extra >= 1.0)
        {
            if (!allowSleep)
                return false;
            platform->SleepMs(static_cast<int>(extra));
        }
    }

    DeleteQueuedWidgets();
    return true;
}

double QuilloAppBase::ScheduledDrawWaitMs(double now) const
{
    // Presents that do not wait for the refresh (a window, or full screen
    // without a renderer that waits) would otherwise draw after every
    // 10 ms step, more pictures than the display can show.
    if (IsRefreshPacedActive() || refreshRate <= 0)
        return 0.0;
    return nextScheduledDrawMs - now;
}

void QuilloAppBase::RunUpdateSequence(double updatesPerStep)
{
    // Whole updates fall due as the steps' shares of update time add up: one
    // per fixed step, one or two per refresh below 100 Hz, and on a faster
    // display none on some refreshes. The fractional update always carries
    // the step's share, so that motion follows the refresh smoothly.
    updateFractionAccumulator += updatesPerStep;
    bool ranOne = false;
    while (updateFractionAccumulator >= 1.0)
    {
        if (ranOne)
            FeedDemoInput();
        if (!TryUpdate())
        {
            if (ranOne)
                break;
            updateFractionAccumulator -= updatesPerStep;
            return;
        }
        ranOne = true;
        DeleteQueuedWidgets();
        updateFractionAccumulator -= 1.0;
    }
    UpdateFraction(updatesPerStep);
    DeleteQueuedWidgets();
}

bool QuilloAppBase::TryUpdate()
{
    if (screenSaverPaused)
        return false;
    DemoPlayer* player = demo.Player();
    // A demo hands over where the recording did, not when the thread ends.
    if (loadingThreadDone && !loadingHandled && (!player || player->LoadingDonePlayed()))
    {
        throttleWhileLoading = false;
        loadingHandled = true;
        UpdateScreenSaverAllowance();
        WaitForLoadingThread();
        // Recorded first, so that what OnLoadingFinished reads follows the
        // marker in the stream as it follows the hand-over on playback.
        demo.RecordLoadingDone();
        OnLoadingFinished();
    }
    if (player)
    {
        if (loadingHandled != player->LoadingDonePlayed() ||
            static_cast<uint32_t>(updateCount) >= player->Header().totalUpdates)
            return false;
        player->ApplyDue(static_cast<uint32_t>(updateCount), *this, true);
    }
    RunOneUpdate();
    return true;
}

void QuilloAppBase::RunOneUpdate()
{
    // "-crash": the first update fails on purpose, with the window up.
    if (frameworkParams.crash)
        CrashOnPurpose();
    ++updateCount;
    if (!minimized && widgetManager && widgetManager->UpdatePass())
        ++changedUpdateCount;
    if (musicInterface)
        musicInterface->UpdateFades();
}

void QuilloAppBase::UpdateFraction(double fraction)
{
    if (refreshPaced && !minimized && widgetManager)
        widgetManager->UpdatePartialPass(fraction);
}

bool QuilloAppBase::DrawFrame()
{
    if (displayLost)
    {
        // Nothing can be shown until the display is back: this draw is
        // done, so that the loop sleeps until the next update is due.
        updatedSinceDraw = false;
        PresentScreen(Rect{0, 0, width, height});
        return false;
    }
    const double drawStart = platform->NowMs();
    if (frameRate.IsOn())
    {
        std::optional<int64_t> demoMs;
        if (demo.Player())
            demoMs = int64_t(updateCount) * updateStepMs;
        frameRate.Refresh(drawStart, widgetManager ? widgetManager->lastMouseX : 0,
                          widgetManager ? widgetManager->lastMouseY : 0, demoMs);
    }
    if (IsPlayingDemo() && display && widgetManager &&
        display->SetCursorPos(widgetManager->lastMouseX, widgetManager->lastMouseY))
        forceRedraw = true;
    insideDraw = true;
    const bool drew = widgetManager && widgetManager->DrawPass();
    insideDraw = false;
    if (drew)
    {
        undrawnAreas.Add(widgetManager->DrawnAreas());
        undrawnAreas.Merge();
    }

    const double now = platform->NowMs();
    // The spacing of pictures while loading ends with the loading: the
    // picture of the hand-over is not held back.
    if ((drew || now - lastPresentMs > 999.0 || forceRedraw) && (now >= earliestDrawMs || loadingThreadDone))
    {
        ++drawCount;
        drawTimeMs += now - drawStart;
        if (frameRate.IsOn() && display)
        {
            frameRate.DrawOnto(display->GetScreenImage(), width, height);
            frameRate.CountPresent();
        }
        if (refreshRate > 0)
        {
            // On the refreshes' schedule, so that rounding does not add up;
            // a late picture puts the next one at least half a refresh away.
            const double period = 1000.0 / refreshRate;
            nextScheduledDrawMs = std::max(nextScheduledDrawMs + period, drawStart + period / 2);
        }
        const double presentStart = platform->NowMs();
        // The rate box is drawn over the screen image, not by a widget; a
        // present with nothing drawn is the once-a-second refresh.
        if (frameRate.IsOn() || forceRedraw || !drew)
            PresentScreen(Rect{0, 0, width, height});
        else
            PresentScreenAreas(undrawnAreas.Areas());
        undrawnAreas.Clear();
        const double presentEnd = platform->NowMs();
        lastPresentDurationMs = presentEnd - presentStart;
        if (IsRefreshPacedActive())
            timeAccumulator = std::min(1000.0, timeAccumulator + (presentEnd - lastPresentMs));
        lastPresentMs = presentEnd;

        if (loadingThreadStarted && !loadingThreadDone)
        {
            const double cost = presentEnd - drawStart;
            earliestDrawMs = cost < 16.0 ? earliestDrawMs + 50.0 : earliestDrawMs + cost + 35.0;
            if (earliestDrawMs < presentEnd)
                earliestDrawMs = presentEnd;
        }
        updatedSinceDraw = false;
        forceRedraw = false;
        lastDrawEmpty = false;
        return true;
    }
    updatedSinceDraw = false;
    lastDrawEmpty = true;
    return false;
}

void QuilloAppBase::PresentScreen(const Rect& rect) { PresentScreenAreas(std::vector<Rect>{rect}); }

void QuilloAppBase::PresentScreenAreas(const std::vector<Rect>& areas)
{
    if (insideDraw || shutdownStarted || !display || screenSaverPaused)
        return;
    ++presentCount;
    if (display->PresentScreenAreas(areas))
    {
        displayLost = false;
        return;
    }
    displayLost = true;
    if (minimized)
        return;
    // An inactive window tries again at most once a second (an inactive
    // full screen waits to be activated): remaking the display costs far
    // more than a frame.
    const double now = platform->NowMs();
    if (!active && !(physicallyWindowed && now - lastDisplayRetryMs >= 1000.0))
        return;
    lastDisplayRetryMs = now;
    // Try to bring the display back; on failure the next present tries again.
    widgetManager->SetScreenImage(nullptr);
    ReleaseImageSurfaces();
    if (display->Init(physicallyWindowed, waitForVSync) != NativeDisplay::Result::Ok)
        return;
    displayLost = false;
    RestoreImageSurfaces();
    widgetManager->SetScreenImage(display->GetScreenImage());
    widgetManager->MarkAllDirty();
}

void QuilloAppBase::ReleaseImageSurfaces()
{
    if (display)
        display->ReleaseImages();
}

void QuilloAppBase::RestoreImageSurfaces()
{
    if (display)
        display->RestoreImages();
}

} // namespace Quillo
