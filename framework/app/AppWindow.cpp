// The window side of the application object: making the main window,
// turning platform events into queued messages and handling them between
// frames, the screen mode switch, the cursor and the developer keys.
#include "framework/app/QuilloAppBase.h"

#include "framework/audio/AudioOutput.h"

#include "framework/diagnostics/CrashFilter.h"
#include "framework/graphics/DisplayImage.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/ImageDump.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/NativeDisplay.h"
#include "framework/graphics/PlatformDisplay.h"
#include "framework/widgets/WidgetManager.h"

#include <algorithm>
#include <cstdio>

namespace Quillo
{

namespace
{

constexpr int kKeyControl = 17;
constexpr int kKeyAlt = 18;
constexpr int kKeyReturn = 13;
constexpr int kKeyEscape = 27;
constexpr int kKeyF3 = 114;
constexpr int kKeyF4 = 115;
constexpr int kKeyF8 = 119;
constexpr int kKeyF9 = 120;
constexpr int kKeyF10 = 121;
constexpr int kKeyF11 = 122;

int ButtonBit(int clickCode)
{
    return clickCode < 0 ? 2 : clickCode == 3 ? 4 : 1;
}

} // namespace

void QuilloAppBase::CreateMainWindow()
{
    for (;;)
    {
        if (widgetManager)
            widgetManager->SetScreenImage(nullptr);

        WindowSpec desired;
        desired.title = title;
        desired.clientWidth = width;
        desired.clientHeight = height;
        desired.fullScreen = !(windowed || IsPlayingDemo());
        windowSize = WindowSize();
        desired.windowWidth = windowSize.x;
        desired.windowHeight = windowSize.y;
        if (desired.fullScreen && preferredX != -1)
        {
            // Full screen on the display the window was on.
            desired.x = preferredX;
            desired.y = preferredY;
        }
        if (!desired.fullScreen)
        {
            const Point at = WindowPlacement(windowSize);
            desired.x = at.x;
            desired.y = at.y;
            // The frame is often known only once the window is shown: the
            // first moves the window system reports settle the place.
            placementTries = 0;
            placementBorders = platform->Borders();
        }
        physicallyWindowed = !desired.fullScreen;
        if (!platform->CreateWindow(desired))
        {
            ShowFatalError("Failed to create the main window: " + platform->LastError());
            EndProcess(1);
        }

        if (!display)
            display = std::make_unique<PlatformDisplay>(imageRegistry, *platform);
        OnBeforeDisplay();
        const int code = static_cast<int>(display->Init(physicallyWindowed, waitForVSync));
        if (code == 0)
        {
            refreshRate = display->GetRefreshRate();
            // Presents that do not wait cannot pace the game: fixed steps at once.
            if (!physicallyWindowed && !platform->PresentsWaitForRefresh())
                refreshPacingBroken = true;
            demo.RecordDisplay(physicallyWindowed, refreshRate);
            // A report written from now on names the mode now in force.
            SetCrashFullscreen(!physicallyWindowed);
            break;
        }
        if (code == 6 && physicallyWindowed)
        {
            if (fullScreenImpossible)
            {
                ShowFatalError("Please set your desktop color depth to 16 bit.");
                EndProcess(1);
            }
            windowedImpossible = true;
            windowed = false;
            continue;
        }
        if ((code == 4 || code == 5) && !physicallyWindowed)
        {
            fullScreenImpossible = true;
            windowed = true;
            continue;
        }
        if (is3D)
        {
            is3D = false;
            continue;
        }
        ShowFatalError(std::string("Failed to initialize DirectDraw: ") + NativeDisplay::ResultName(code) + " " +
                       display->GetErrorText());
        EndProcess(1);
    }

    if (minimized)
    {
        if (muteOnLostFocus)
            Unmute(true);
        minimized = false;
        ReevaluateFocus();
    }
    widgetManager->SetScreenImage(display->GetScreenImage());
    widgetManager->MarkAllDirty();
    lastTimerMs = platform->NowMs();
    UpdateScreenSaverAllowance();
}

void QuilloAppBase::UpdateScreenSaverAllowance()
{
    // While loading, and in full screen (a dialog or a pause may sit there
    // for long), the player is watching. The screen saver itself may let
    // the monitor sleep once it has loaded.
    platform->AllowScreenSaver(loadingHandled && (physicallyWindowed || screenSaverMode));
}

Rect QuilloAppBase::WindowWorkArea()
{
    return preferredX == -1 ? platform->WorkArea() : platform->WorkAreaAt(preferredX, preferredY);
}

Point QuilloAppBase::WindowSize()
{
    const Rect work = WindowWorkArea();
    const WindowBorders b = platform->Borders();
    // The frame stays 4 pixels inside every edge, as the placement keeps it.
    const int roomW = work.width - 8 - b.left - b.right;
    const int roomH = work.height - 8 - b.top - b.bottom;
    if (preferredWidth >= width / 2 && preferredHeight >= height / 2 && preferredWidth <= roomW &&
        preferredHeight <= roomH)
        return Point{preferredWidth, preferredHeight};
    const int times = std::max(1, std::min(roomW / std::max(1, width), roomH / std::max(1, height)));
    return Point{width * times, height * times};
}

Point QuilloAppBase::WindowPlacement(Point size)
{
    const Rect work = WindowWorkArea();
    const WindowBorders b = platform->Borders();
    const int outerW = size.x + b.left + b.right;
    const int outerH = size.y + b.top + b.bottom;
    int outerX, outerY;
    if (preferredX == -1)
    {
        outerX = work.x + (work.width - outerW) / 2;
        outerY = work.y + static_cast<int>((work.height - outerH) * 0.382);
    }
    else
    {
        // Keep the whole frame 4 pixels inside every edge of the work area.
        outerX = std::max(preferredX - b.left, work.x + 4);
        outerY = std::max(preferredY - b.top, work.y + 4);
        if (outerX + outerW >= work.x + work.width - 4)
            outerX = work.x + work.width - 4 - outerW;
        if (outerY + outerH >= work.y + work.height - 4)
            outerY = work.y + work.height - 4 - outerH;
    }
    return Point{outerX + b.left, outerY + b.top};
}

void QuilloAppBase::SetScreenMode(bool wantWindowed, bool threeD)
{
    if (windowedImpossible)
        wantWindowed = false;
    if (wantWindowed == windowed && platform->HasWindow())
    {
        // The software display has no 3D path, so the switch stays off.
        (void)threeD;
        is3D = false;
        return;
    }
    is3D = false;
    windowed = wantWindowed;
    CreateMainWindow();
    platform->ShowWindow();
    if (!screenSaverMode)
        platform->RaiseWindow();
    RestoreImageSurfaces();
    lastPresentMs = platform->NowMs();
}

void QuilloAppBase::SetWindowed(bool wantWindowed)
{
    SetScreenMode(wantWindowed, is3D);
}

void QuilloAppBase::SetDisplayOption(bool on)
{
    if (on == displayOption)
        return;
    displayOption = on;
    if (widgetManager && display)
    {
        widgetManager->SetScreenImage(display->GetScreenImage());
        widgetManager->MarkAllDirty();
    }
}

bool QuilloAppBase::ApplyCursor()
{
    if (!platform)
        return true;
    if (IsPlayingDemo() && display)
    {
        // The recorded pointer is drawn into the picture: the system cursor
        // follows the real mouse, which playback does not use.
        Image* drawn = windowHidden || !mouseInWindow ? nullptr : cursorImages[std::clamp(cursorKind, 0, 5)];
        display->SetCursorImage(drawn, drawn ? drawn->GetWidth() / 2 : 0, drawn ? drawn->GetHeight() / 2 : 0);
        forceRedraw = true;
        if (drawn)
        {
            platform->SetSystemCursor(SystemCursor::None);
            return false;
        }
    }
    if (windowHidden || !mouseInWindow)
    {
        platform->SetSystemCursor(SystemCursor::Arrow);
        return true;
    }
    const int kind = std::clamp(cursorKind, 0, 5);
    Image* image = cursorImages[kind];
    if (image && (IsPlayingDemo() || customCursors))
    {
        if (auto* mem = dynamic_cast<MemoryImage*>(image))
        {
            platform->SetImageCursor(mem->GetBits(), mem->GetWidth(), mem->GetHeight(),
                                     mem->GetWidth() / 2, mem->GetHeight() / 2);
            return false;
        }
    }
    static constexpr SystemCursor kByKind[6] = {SystemCursor::Arrow,    SystemCursor::Hand,
                                                SystemCursor::Dragging, SystemCursor::TextBeam,
                                                SystemCursor::NotAllowed, SystemCursor::None};
    platform->SetSystemCursor(kByKind[kind]);
    return true;
}

// --- Events --------------------------------------------------------------

void QuilloAppBase::PumpPlatformEventsIfDue()
{
    // Each look costs a trip to the window system. Events come in while the
    // loop sleeps; a pass right after a busy one (an update, then its
    // picture) has hardly given them time. A few such passes in a row, or
    // a couple of milliseconds, and the loop looks anyway.
    constexpr double kBusyPassMs = 2.0;
    constexpr int kMostPassesWithout = 3;
    const double now = platform ? platform->NowMs() : 0.0;
    if (sleepCount == sleepCountAtPump && now - lastEventPumpMs < kBusyPassMs &&
        passesWithoutPump < kMostPassesWithout)
    {
        ++passesWithoutPump;
        return;
    }
    passesWithoutPump = 0;
    sleepCountAtPump = sleepCount;
    lastEventPumpMs = now;
    PumpPlatformEvents();
}

void QuilloAppBase::PumpPlatformEvents()
{
    if (!platform)
        return;
    PlatformEvent event;
    while (platform->PollEvent(event))
    {
        if (event.type == EventType::FocusGained || event.type == EventType::FocusLost)
        {
            if (!IsPlayingDemo())
                active = event.type == EventType::FocusGained;
        }
        if (event.type == EventType::NotifyInstance)
        {
            platform->RestoreWindow();
            platform->RaiseWindow();
            continue;
        }
        if (event.type == EventType::Exposed)
        {
            if (initialized && !windowHidden)
                PresentScreen(Rect{0, 0, width, height});
            continue;
        }
        if (event.type == EventType::KeyDown && event.code == kKeyReturn && event.alt)
        {
            // Alt+Enter toggles the screen mode, unless a mode has failed;
            // holding it switches once.
            if (!event.repeat && !windowedImpossible && !fullScreenImpossible)
                PostToMainThread([this] { SetWindowed(!windowed); });
            continue;
        }
        QueueEvent(event);
    }
    // The 10 ms window timer: it drives mouse-leave detection.
    const double now = platform->NowMs();
    if (now - lastTimerMs >= updateStepMs)
    {
        lastTimerMs = now;
        HandleMouseLeaveTimer();
    }
}

void QuilloAppBase::QueueEvent(const PlatformEvent& event)
{
    if (closeQueued)
        return;
    if (event.type == EventType::Close)
        closeQueued = true;
    messageQueue.push_back(event);
}

void QuilloAppBase::QueueKeyPress(int key)
{
    PlatformEvent e;
    e.type = EventType::KeyDown;
    e.code = key;
    QueueEvent(e);
    if (key == kKeyReturn || key == kKeyEscape)
    {
        e.type = EventType::Char;
        QueueEvent(e);
    }
    e.type = EventType::KeyUp;
    QueueEvent(e);
}

void QuilloAppBase::HandleQueuedEvents()
{
    while (!messageQueue.empty() && !shutdownStarted)
    {
        const PlatformEvent event = messageQueue.front();
        messageQueue.pop_front();
        HandleEvent(event);
    }
    // A frame made known after the window's last move: it was placed by the
    // frame it had before (none, back from full screen), and the window
    // system may send no further move to say so.
    if (physicallyWindowed && !minimized && placementTries < kPlacementTries && platform &&
        !(platform->Borders() == placementBorders))
        PlaceNewWindow(platform->WindowPosition(), false);
}

bool QuilloAppBase::PlaceNewWindow(Point now, bool moved)
{
    if (placementTries >= kPlacementTries)
        return false;
    // The first move of a new window, and a move that comes with a frame of
    // another size, are the window system placing it by a frame it may only
    // now have made known: the window is asked again to sit where its frame
    // needs it, at a size that fits with that frame. Any other move is the
    // player's.
    const WindowBorders b = platform->Borders();
    const Point size = WindowSize();
    const Point at = WindowPlacement(size);
    if ((placementTries == 0 || !(b == placementBorders)) && (!(now == at) || !(size == windowSize)))
    {
        ++placementTries;
        placementBorders = b;
        if (!(size == windowSize))
        {
            windowSize = size;
            platform->SetWindowSize(size.x, size.y);
        }
        platform->SetWindowPosition(at.x, at.y);
        return true;
    }
    // Only a move where asked settles the place: the window system has
    // shown the window by its frame, and the next move is the player's.
    if (moved)
        placementTries = kPlacementTries;
    else
        placementBorders = b;
    return false;
}

void QuilloAppBase::ReevaluateFocus()
{
    // A minimised game that mutes has nothing to play: its sound device
    // closes, so that the device's thread stops waking it.
    if (audioOutput)
        audioOutput->Suspend(minimized && muteOnLostFocus);
    const bool nowFocused = active && !minimized;
    if (nowFocused == focused)
        return;
    focused = nowFocused;
    if (focused)
    {
        if (muteOnLostFocus)
            Unmute(true);
        widgetManager->FocusGained();
        OnActivated();
    }
    else
    {
        if (muteOnLostFocus)
            Mute(true);
        widgetManager->FocusLost();
        OnDeactivated();
        platform->CaptureMouse(false);
        // The button's release goes to whichever window has the focus now.
        mouseButtonsDown = 0;
        widgetManager->ReleasePressedButtons();
    }
}

void QuilloAppBase::SetMinimized(bool nowMinimized)
{
    if (nowMinimized != minimized)
    {
        minimized = nowMinimized;
        if (minimized && muteOnLostFocus)
            Mute(true);
        if (!minimized)
        {
            if (muteOnLostFocus)
                Unmute(true);
            widgetManager->MarkAllDirty();
        }
    }
    ReevaluateFocus();
}

void QuilloAppBase::HandleActivation()
{
    ReevaluateFocus();
    if (active && !physicallyWindowed)
        widgetManager->MarkAllDirty();
    if (!active && screenSaverMode)
        OnAppLostFocus();
}

void QuilloAppBase::HandleMouseLeaveTimer()
{
    // While a demo plays, the recording says where the mouse is.
    if (!mouseLeaveTracking || !widgetManager || IsPlayingDemo())
        return;
    Point p;
    const bool inside = platform->CursorInClient(p) && p.x >= 0 && p.y >= 0 && p.x < width &&
                        p.y < height;
    if (mouseInWindow && !inside)
    {
        demo.RecordMouseLeave();
        widgetManager->MouseLeaveWindow(p.x, p.y);
        mouseInWindow = false;
        ApplyCursor();
    }
    else if (!mouseInWindow && inside)
    {
        demo.RecordMouseEnter();
        mouseInWindow = true;
        ApplyCursor();
    }
}

void QuilloAppBase::HandleEvent(const PlatformEvent& event)
{
    // While a demo plays, only its recorded input reaches the widgets.
    const bool liveInput = !IsPlayingDemo();
    switch (event.type)
    {
    case EventType::WindowMoved:
        if (physicallyWindowed && !minimized && !PlaceNewWindow(Point{event.x, event.y}, true))
        {
            preferredX = event.x;
            preferredY = event.y;
        }
        break;
    case EventType::WindowResized:
        // A size other than the one asked for is the player's, kept for the
        // next start; the one asked for is not, so that a first window
        // keeps fitting the display it opens on.
        if (physicallyWindowed && !minimized && !(Point{event.x, event.y} == windowSize))
        {
            windowSize = Point{event.x, event.y};
            preferredWidth = event.x;
            preferredHeight = event.y;
        }
        break;
    case EventType::Minimized:
    case EventType::Restored:
    {
        // Minimising stops the widget updates, so during playback only the
        // recorded state counts.
        if (!liveInput)
            break;
        const bool nowMinimized = event.type == EventType::Minimized;
        if (nowMinimized != minimized)
            demo.RecordMinimize(nowMinimized);
        SetMinimized(nowMinimized);
        break;
    }
    case EventType::FocusGained:
    case EventType::FocusLost:
        if (liveInput)
            demo.RecordActivate(active);
        HandleActivation();
        break;
    case EventType::KeyDown:
        lastInputMs = platform->NowMs();
        if (event.code == 'D' && widgetManager->keyDown[kKeyControl] && widgetManager->keyDown[kKeyAlt])
        {
            // Held down, the keys switch once.
            if (event.repeat)
                break;
            debugKeysEnabled = !debugKeysEnabled;
            break;
        }
        if (!liveInput)
        {
            // A playing demo shows its time in the frame-rate display.
            if (!HandleFrameRateKey(event.code))
                HandlePlaybackKey(event.code);
            break;
        }
        if (debugKeysEnabled && OnDebugKey(event.code))
            break;
        // Recorded as the widgets get it: keys the frame keeps for itself
        // must not reach them on playback.
        demo.RecordKeyDown(event.code);
        widgetManager->KeyDown(event.code);
        break;
    case EventType::KeyUp:
        if (liveInput)
        {
            demo.RecordKeyUp(event.code);
            widgetManager->KeyUp(event.code);
        }
        break;
    case EventType::Char:
        if (liveInput)
        {
            demo.RecordKeyChar(event.code);
            widgetManager->KeyChar(static_cast<char32_t>(event.code));
        }
        break;
    case EventType::MouseMove:
    case EventType::MouseDown:
    case EventType::MouseUp:
    {
        lastInputMs = platform->NowMs();
        if (!liveInput)
            break;
        // Coordinates outside the picture (full-screen bars, a drag beyond the
        // window) are clamped so that they fit the recorded 12-bit fields and
        // playback hands the widgets the very same positions.
        const int mx = DemoWriter::ClampCoordinate(event.x);
        const int my = DemoWriter::ClampCoordinate(event.y);
        if (event.type == EventType::MouseMove && !event.inside && mouseButtonsDown == 0)
        {
            if (mouseInWindow)
            {
                demo.RecordMouseLeave();
                widgetManager->MouseLeaveWindow(mx, my);
                mouseInWindow = false;
                ApplyCursor();
            }
            break;
        }
        if (event.type == EventType::MouseDown && !event.inside)
            break;
        // Only a move reaches the widgets, as only a move is recorded.
        if (mx != widgetMouseX || my != widgetMouseY)
        {
            widgetMouseX = mx;
            widgetMouseY = my;
            demo.RecordMouseMove(mx, my);
            widgetManager->MouseMove(mx, my);
        }
        if (!mouseInWindow)
        {
            demo.RecordMouseEnter();
            mouseInWindow = true;
            ApplyCursor();
        }
        if (event.type == EventType::MouseDown)
        {
            mouseButtonsDown |= ButtonBit(event.code);
            platform->CaptureMouse(true);
            demo.RecordMouseButton(true, event.code);
            widgetManager->MouseDown(mx, my, event.code);
        }
        else if (event.type == EventType::MouseUp)
        {
            mouseButtonsDown &= ~ButtonBit(event.code);
            demo.RecordMouseButton(false, event.code);
            widgetManager->MouseUp(mx, my, event.code);
            if (mouseButtonsDown == 0)
                platform->CaptureMouse(false);
        }
        break;
    }
    case EventType::MouseWheel:
        if (liveInput)
        {
            const int notches = static_cast<int8_t>(std::clamp(event.code, -128, 127));
            demo.RecordWheel(notches);
            widgetManager->MouseWheel(notches);
        }
        break;
    case EventType::Close:
        demo.RecordClose();
        closePending = true;
        Shutdown();
        break;
    case EventType::PadAdded:
        gamepadCount = event.code;
        OnGamepadAdded();
        break;
    case EventType::PadRemoved:
        gamepadCount = event.code;
        OnGamepadRemoved();
        break;
    case EventType::Exposed:
    case EventType::NotifyInstance:
        break;
    }
}

bool QuilloAppBase::HandleFrameRateKey(int key)
{
    if (key != kKeyF3 && key != kKeyF4)
        return false;
    if (key == kKeyF4 && frameRate.IsOn())
    {
        frameRate.CycleMode();
        return true;
    }
    frameRate.Toggle(platform->NowMs());
    // Turning the display off must repaint what it covered.
    widgetManager->MarkAllDirty();
    return true;
}

bool QuilloAppBase::OnDebugKey(int key)
{
    switch (key)
    {
    case kKeyF3:
    case kKeyF4:
        HandleFrameRateKey(key);
        return false;
    case kKeyF8:
        ShowMessageBox("3D-Mode: OFF", "Mode Switch", MessageBoxKind::Ok);
        return true;
    case kKeyF9:
        ShowMessageBox("n/a", "Video Memory", MessageBoxKind::Ok);
        return true;
    case kKeyF10:
        if (display && display->GetScreenImage())
        {
            char name[64];
            std::snprintf(name, sizeof name, "screenshot_%u.png", platform->TickCount());
            display->WriteScreenshot(outputFolder + name);
        }
        return true;
    case kKeyF11:
    {
        const int written = WriteImageDump(imageRegistry, outputFolder + "imagedump");
        ShowMessageBox(written < 0 ? "The image dump could not be written."
                                   : std::to_string(written) + " images written, listed in " +
                                         outputFolder + "imagedump/index.html",
                       "Image Dump", MessageBoxKind::Ok);
        return true;
    }
    default:
        return false;
    }
}

} // namespace Quillo
