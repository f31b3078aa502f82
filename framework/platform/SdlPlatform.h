#pragma once

#include "framework/platform/CursorImage.h"
#include "framework/platform/Letterbox.h"
#include "framework/platform/Platform.h"
#include "framework/platform/RendererChoice.h"
#include "framework/platform/SdlGamepads.h"
#include "framework/platform/SdlPresenter.h"

#include <deque>
#include <memory>
#include <string>

struct SDL_Window;
struct SDL_Cursor;
union SDL_Event;

namespace Quillo
{

class SingleInstance;

// The platform on SDL2 and POSIX: one window for the whole run (a mode
// switch changes it in place), a presenter of the path that costs least, events
// translated to the framework's virtual keys and click codes.
class SdlPlatform final : public Platform
{
public:
    // Starts SDL's video subsystem. Returns nullptr and fills error when that fails.
    static std::unique_ptr<SdlPlatform> Create(std::string& error);
    // The name the desktop matches the window with its launcher by (the X11
    // window class and the Wayland application id): the desktop entry's
    // name without ".desktop". Only takes effect before Create.
    static void SetDesktopId(const std::string& id);
    // Tells the user that the program cannot start, without a window (SDL's
    // message box needs none) and on the error stream, before it ends.
    static void ReportStartFailure(const std::string& text, const std::string& title);
    ~SdlPlatform() override;

    double NowMs() override;
    void SleepMs(int ms) override;
    void WaitForEvent(int ms) override;

    bool CreateWindow(const WindowSpec& desired) override;
    void DestroyWindow() override;
    bool HasWindow() const override { return m_window != nullptr; }
    Rect WorkArea() override;
    Rect WorkAreaAt(int x, int y) override;
    WindowBorders Borders() override;
    void SetWindowPosition(int x, int y) override;
    void SetWindowSize(int width, int height) override;
    Point WindowPosition() override;
    void ShowWindow() override;
    void HideWindow() override;
    void RestoreWindow() override;
    void RaiseWindow() override;
    bool IsWindowMinimized() override;
    std::string LastError() override;
    void SetWindowIcon(const uint32_t* argb, int width, int height) override;

    bool PollEvent(PlatformEvent& event) override;
    void FlushInput() override;

    void CaptureMouse(bool on) override;
    bool CursorInClient(Point& out) override;
    void SetSystemCursor(SystemCursor cursor) override;
    // The image is scaled with the picture (full screen, or a window larger
    // than the picture), so that it keeps its size against what is drawn.
    void SetImageCursor(const uint32_t* argb, int width, int height, int hotX, int hotY) override;
    // The size the image cursor is made at, in screen pixels (0 by 0 while
    // the system cursor is asked for).
    Point ImageCursorSize() const { return m_imageCursorSize; }

    int ShowMessageBox(const std::string& text, const std::string& title,
                       MessageBoxKind kind) override;

    bool OpenUrl(const std::string& url) override;
    std::string ClipboardText() override;
    void SetClipboardText(const std::string& utf8) override;

    int InitPresenter(bool fullScreen, bool vsync) override;
    void EnableRendererProbe(const std::string& cacheFolder) override;
    bool Present(const uint32_t* argb, int pitchPixels, int width, int height,
                 const Rect& dirty) override;
    bool PresentAreas(const uint32_t* argb, int pitchPixels, int width, int height,
                      const std::vector<Rect>& areas) override;
    uint32_t* FrameMemory(int width, int height) override;
    void SetFrameMemoryLost(std::function<void()> lost) override;
    int RefreshRate() override;
    bool PresentsWaitForRefresh() override { return m_presenter && m_presenter->PacedByRefresh(); }
    // The path frames take (null before InitPresenter).
    SdlPresenter* Presenter() { return m_presenter.get(); }

    bool AcquireSingleInstance(const std::string& name) override;
    void SignalRunningInstance(const std::string& name) override;

    void AllowScreenSaver(bool allow) override;
    ScreenSaverInfo ScreenSaver() override;

    // Pads connected now.
    int GamepadCount() const { return m_pads ? m_pads->Count() : 0; }

private:
    SdlPlatform();
    void Translate(const SDL_Event& e);
    static Rect UsableBounds(int display);
    // Windowed, and neither maximised nor minimised: its size and place are
    // the player's.
    bool IsWindowOrdinary();
    void ApplyCursor();
    // Where the picture lies in window coordinates (points, as mouse
    // positions come), from the presenter's real output size.
    bool WindowToClient(int windowX, int windowY, Point& out);
    // Puts the window over its whole display (before asking for full screen).
    void CoverDisplay();
    // Output pixels per picture pixel.
    float PictureScale();
    // Makes the image cursor again when the picture's scale has changed.
    void FitCursorToPicture();
    void MakeImageCursor(float scale);
    // Tells the user of FrameMemory that it is about to go.
    void LoseFrameMemory();
    // Sees a size change as SDL makes it, while the old window surface is
    // still there (SDL frees it on the next call that gets the surface).
    static int WatchEvent(void* self, SDL_Event* e);

    SDL_Window* m_window = nullptr;
    std::unique_ptr<SdlPresenter> m_presenter;
    std::function<void()> m_frameMemoryLost;
    bool m_frameMemoryLent = false;
    // What is known of the accelerated renderer, for every presenter made.
    std::unique_ptr<RendererChoice> m_rendererChoice;
    int m_clientWidth = 800;
    int m_clientHeight = 600;
    // The ordinary window's client size, in window units.
    int m_windowWidth = 800;
    int m_windowHeight = 600;
    bool m_fullScreen = false;
    bool m_vsync = false;
    std::deque<PlatformEvent> m_pending;
    int m_buttonsDown = 0;
    bool m_leftAltDown = false;
    bool m_ctrlDown = false;

    SystemCursor m_systemCursor = SystemCursor::Arrow;
    bool m_imageCursorActive = false;
    SDL_Cursor* m_cursors[6] = {};
    SDL_Cursor* m_imageCursor = nullptr;
    CursorImage m_cursorSource;
    float m_cursorScale = 1.0f;
    Point m_imageCursorSize;

    std::unique_ptr<SingleInstance> m_instance;
    bool m_logBoxes = false;
    std::unique_ptr<SdlGamepads> m_pads;
};

} // namespace Quillo
