#pragma once

#include "framework/platform/Platform.h"

#include <cmath>
#include <deque>
#include <string>
#include <vector>

// A platform with a clock the test drives: sleeping and presenting advance
// it instead of waiting, so loop timing can be checked exactly and fast.
class FakePlatform : public Quillo::Platform
{
public:
    double NowMs() override { return now; }
    void SleepMs(int ms) override
    {
        if (ms <= 0)
            return;
        now += ms;
        sleptMs += ms;
        ++sleeps;
    }

    bool CreateWindow(const Quillo::WindowSpec& desired) override
    {
        window = desired;
        hasWindow = true;
        return true;
    }
    void DestroyWindow() override { hasWindow = false; }
    bool HasWindow() const override { return hasWindow; }
    Quillo::Rect WorkArea() override { return workArea; }
    // One display beside the primary one, on its right.
    Quillo::Rect WorkAreaAt(int x, int y) override { return second.Contains(x, y) ? second : workArea; }
    Quillo::WindowBorders Borders() override { return borders; }
    void SetWindowPosition(int x, int y) override { window.x = x, window.y = y; }
    void SetWindowSize(int w, int h) override { window.windowWidth = w, window.windowHeight = h; }
    Quillo::Point WindowPosition() override { return {window.x, window.y}; }
    void ShowWindow() override {}
    void HideWindow() override {}
    void RestoreWindow() override {}
    void RaiseWindow() override {}
    bool IsWindowMinimized() override { return false; }
    std::string LastError() override { return "fake"; }

    bool PollEvent(Quillo::PlatformEvent& event) override
    {
        if (events.empty())
            return false;
        event = events.front();
        events.pop_front();
        return true;
    }
    void FlushInput() override {}
    void CaptureMouse(bool on) override { captured = on; }
    bool CursorInClient(Quillo::Point& out) override
    {
        out = cursor;
        return cursorInside;
    }
    void SetSystemCursor(Quillo::SystemCursor c) override { systemCursor = c; }
    void SetImageCursor(const uint32_t*, int, int, int, int) override {}
    int ShowMessageBox(const std::string& text, const std::string& title,
                       Quillo::MessageBoxKind kind) override
    {
        boxes.push_back(title + ": " + text);
        boxUnderCapture = boxUnderCapture || captured;
        return kind == Quillo::MessageBoxKind::YesNo ? 6 : 1;
    }
    bool OpenUrl(const std::string&) override { return true; }
    std::string ClipboardText() override { return clipboard; }
    void SetClipboardText(const std::string& t) override { clipboard = t; }

    int InitPresenter(bool fullScreen, bool vsync) override
    {
        ++presenterInits;
        presenterVsync = vsync || fullScreen; // full screen always waits for the refresh
        return presenterResult;
    }
    bool Present(const uint32_t* argb, int, int width, int height, const Quillo::Rect&) override
    {
        ++presents;
        if (copyFrames)
            frameCopy.assign(argb, argb + size_t(width) * size_t(height));
        now += presentCostMs;
        if (vsyncHz > 0 && presenterVsync)
        {
            // Block until the next refresh boundary, as a real vsync would.
            const double period = 1000.0 / vsyncHz;
            now = std::ceil(now / period + 1e-9) * period;
        }
        return presentOk;
    }
    int RefreshRate() override { return refreshRate; }
    bool PresentsWaitForRefresh() override { return presentsWait; }
    bool AcquireSingleInstance(const std::string&) override { return true; }
    void SignalRunningInstance(const std::string&) override {}
    void AllowScreenSaver(bool allow) override { screenSaverAllowed = allow; }
    Quillo::ScreenSaverInfo ScreenSaver() override { return saver; }

    void Push(Quillo::EventType type, int x = 0, int y = 0, int code = 0)
    {
        events.push_back({.type = type, .x = x, .y = y, .code = code});
    }

    double now = 1000.0;
    double sleptMs = 0.0;
    int sleeps = 0;
    double presentCostMs = 1.0;
    double vsyncHz = 0.0;
    bool presentOk = true;
    int presenterResult = 0;
    int presenterInits = 0;
    bool presentsWait = true;
    bool presenterVsync = false;
    int refreshRate = 60;
    int presents = 0;
    // The presented picture as it was shown (the display puts back what a
    // drawn cursor covered right after presenting).
    bool copyFrames = false;
    std::vector<uint32_t> frameCopy;
    bool hasWindow = false;
    bool screenSaverAllowed = true; // as the system has it before the program says
    Quillo::ScreenSaverInfo saver;
    bool captured = false;
    Quillo::WindowSpec window;
    Quillo::WindowBorders borders{2, 30, 2, 2};
    Quillo::Rect workArea{0, 0, 1920, 1040};
    Quillo::Rect second{1920, 0, 2560, 1400};
    Quillo::Point cursor;
    bool cursorInside = false;
    Quillo::SystemCursor systemCursor = Quillo::SystemCursor::Arrow;
    std::deque<Quillo::PlatformEvent> events;
    std::vector<std::string> boxes;
    bool boxUnderCapture = false; // a box was shown while the mouse was captured
    std::string clipboard;
};
