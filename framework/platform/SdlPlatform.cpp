#include "framework/platform/SdlPlatform.h"

#include "framework/platform/BuiltinCursors.h"
#include "framework/platform/FileSystem.h"
#include "framework/platform/SdlKeyMap.h"
#include "framework/platform/SingleInstance.h"
#include "framework/platform/TextEncoding.h"
#include "framework/platform/X11ScreenSaver.h"

#include <SDL2/SDL.h>
#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace Quillo
{

namespace
{

SDL_Cursor* MakeBitmapCursor(const char* const rows[32], int hotX, int hotY)
{
    Uint8 data[32 * 4] = {};
    Uint8 mask[32 * 4] = {};
    for (int y = 0; y < 32; ++y)
    {
        for (int x = 0; x < 32; ++x)
        {
            const char c = rows[y][x];
            const int byte = y * 4 + x / 8;
            const Uint8 bit = static_cast<Uint8>(0x80 >> (x % 8));
            if (c == 'X')
                data[byte] |= bit, mask[byte] |= bit;
            else if (c == '.')
                mask[byte] |= bit;
        }
    }
    return SDL_CreateCursor(data, mask, 32, 32, hotX, hotY);
}

// The display that holds the point; the primary one when none does.
int DisplayAt(int x, int y)
{
    const SDL_Point p{x, y};
    return std::max(0, SDL_GetPointDisplayIndex(&p));
}

} // namespace

std::unique_ptr<SdlPlatform> SdlPlatform::Create(std::string& error)
{
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // SDL keeps the screen saver off from the start; the application
    // allows it when the game may be blanked.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "0");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "0");
    // The X input method turns keys into text in the locale's character
    // set, and a program starts in the "C" locale: without the user's,
    // letters outside ASCII typed on the keyboard are lost. Only the
    // character classes change; numbers keep their "C" format.
    std::setlocale(LC_CTYPE, "");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
    {
        error = SDL_GetError();
        return nullptr;
    }
    return std::unique_ptr<SdlPlatform>(new SdlPlatform());
}

void SdlPlatform::ReportStartFailure(const std::string& text, const std::string& title)
{
    std::fprintf(stderr, "[%s] %s\n", title.c_str(), text.c_str());
    const char* box = std::getenv("QUILLO_MSGBOX");
    if (!(box && std::strcmp(box, "log") == 0))
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), text.c_str(), nullptr);
}

SdlPlatform::SdlPlatform()
{
    const char* box = std::getenv("QUILLO_MSGBOX");
    m_logBoxes = box && std::strcmp(box, "log") == 0;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0))
        m_logBoxes = true;
    m_cursors[static_cast<int>(SystemCursor::Arrow)] = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    m_cursors[static_cast<int>(SystemCursor::TextBeam)] = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_IBEAM);
    m_cursors[static_cast<int>(SystemCursor::NotAllowed)] = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_NO);
    m_cursors[static_cast<int>(SystemCursor::Hand)] =
        MakeBitmapCursor(BuiltinCursors::kHand, BuiltinCursors::kHandHotX, BuiltinCursors::kHandHotY);
    m_cursors[static_cast<int>(SystemCursor::Dragging)] = MakeBitmapCursor(
        BuiltinCursors::kDragging, BuiltinCursors::kDraggingHotX, BuiltinCursors::kDraggingHotY);
    m_pads = std::make_unique<SdlGamepads>();
    SDL_AddEventWatch(&SdlPlatform::WatchEvent, this);
}

int SdlPlatform::WatchEvent(void* self, SDL_Event* e)
{
    auto* platform = static_cast<SdlPlatform*>(self);
    if (e->type == SDL_WINDOWEVENT && e->window.event == SDL_WINDOWEVENT_SIZE_CHANGED && platform->m_window &&
        e->window.windowID == SDL_GetWindowID(platform->m_window))
        platform->LoseFrameMemory();
    return 1;
}

void SdlPlatform::LoseFrameMemory()
{
    if (m_frameMemoryLent && m_frameMemoryLost)
        m_frameMemoryLost();
    m_frameMemoryLent = false;
}

uint32_t* SdlPlatform::FrameMemory(int width, int height)
{
    if (!m_presenter || width != m_clientWidth || height != m_clientHeight)
        return nullptr;
    uint32_t* memory = m_presenter->FrameMemory();
    m_frameMemoryLent = m_frameMemoryLent || memory;
    return memory;
}

void SdlPlatform::SetFrameMemoryLost(std::function<void()> lost)
{
    m_frameMemoryLost = std::move(lost);
}

SdlPlatform::~SdlPlatform()
{
    DestroyWindow();
    SDL_DelEventWatch(&SdlPlatform::WatchEvent, this);
    if (m_imageCursor)
        SDL_FreeCursor(m_imageCursor);
    for (SDL_Cursor* c : m_cursors)
    {
        if (c)
            SDL_FreeCursor(c);
    }
    m_instance.reset();
    m_pads.reset();
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

double SdlPlatform::NowMs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1e6;
}

void SdlPlatform::SleepMs(int ms)
{
    if (ms <= 0)
        return;
    timespec ts{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
    while (clock_nanosleep(CLOCK_MONOTONIC, 0, &ts, &ts) == EINTR)
    {
    }
}

void SdlPlatform::WaitForEvent(int ms)
{
    if (!m_pending.empty() || ms <= 0)
        return;
    // A held pad key wakes the loop for its next repeat.
    const double repeatMs = m_pads->MsToNextRepeat(NowMs());
    if (repeatMs >= 0.0)
        ms = std::min(ms, static_cast<int>(repeatMs) + 1);
    SDL_WaitEventTimeout(nullptr, ms);
}

bool SdlPlatform::CreateWindow(const WindowSpec& desired)
{
    m_clientWidth = desired.clientWidth;
    m_clientHeight = desired.clientHeight;
    m_windowWidth = desired.windowWidth > 0 ? desired.windowWidth : desired.clientWidth;
    m_windowHeight = desired.windowHeight > 0 ? desired.windowHeight : desired.clientHeight;
    m_fullScreen = desired.fullScreen;
    if (!m_window)
    {
        Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_RESIZABLE;
        SDL_Rect r{desired.x, desired.y, m_windowWidth, m_windowHeight};
        if (desired.fullScreen)
        {
            flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
            // Made as large as the display: where no window manager grants
            // full screen, the window still covers it, and is the size SDL
            // takes it to be.
            if (SDL_GetDisplayBounds(DisplayAt(desired.x, desired.y), &r) != 0)
                r = SDL_Rect{0, 0, m_windowWidth, m_windowHeight};
        }
        m_window = SDL_CreateWindow(desired.title.c_str(), r.x, r.y, r.w, r.h, flags);
        // Below half the picture's size, text can no longer be read.
        if (m_window)
            SDL_SetWindowMinimumSize(m_window, m_clientWidth / 2, m_clientHeight / 2);
        return m_window != nullptr;
    }
    // The window stays for the whole run; a mode switch changes it in place.
    SDL_SetWindowTitle(m_window, desired.title.c_str());
    if (desired.fullScreen)
        CoverDisplay();
    if (SDL_SetWindowFullscreen(m_window, desired.fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0)
        return false;
    if (!desired.fullScreen)
    {
        SDL_SetWindowSize(m_window, m_windowWidth, m_windowHeight);
        SDL_SetWindowPosition(m_window, desired.x, desired.y);
    }
    return true;
}

void SdlPlatform::CoverDisplay()
{
    SDL_Rect r;
    if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(m_window)), &r) != 0)
        return;
    SDL_SetWindowPosition(m_window, r.x, r.y);
    SDL_SetWindowSize(m_window, r.w, r.h);
}

void SdlPlatform::DestroyWindow()
{
    LoseFrameMemory();
    m_presenter.reset();
    if (m_window)
    {
        SDL_DestroyWindow(m_window);
        m_window = nullptr;
    }
}

Rect SdlPlatform::WorkArea()
{
    return UsableBounds(m_window ? std::max(0, SDL_GetWindowDisplayIndex(m_window)) : 0);
}

Rect SdlPlatform::WorkAreaAt(int x, int y)
{
    return UsableBounds(DisplayAt(x, y));
}

Rect SdlPlatform::UsableBounds(int display)
{
    SDL_Rect r{0, 0, 800, 600};
    if (SDL_GetDisplayUsableBounds(display, &r) != 0)
        SDL_GetDisplayBounds(display, &r);
    return Rect{r.x, r.y, r.w, r.h};
}

WindowBorders SdlPlatform::Borders()
{
    WindowBorders b;
    if (m_window)
        SDL_GetWindowBordersSize(m_window, &b.top, &b.left, &b.bottom, &b.right);
    return b;
}

void SdlPlatform::SetWindowPosition(int x, int y)
{
    if (m_window)
        SDL_SetWindowPosition(m_window, x, y);
}

void SdlPlatform::SetWindowSize(int width, int height)
{
    m_windowWidth = width;
    m_windowHeight = height;
    if (m_window && !m_fullScreen)
        SDL_SetWindowSize(m_window, width, height);
}

bool SdlPlatform::IsWindowOrdinary()
{
    return m_window && !m_fullScreen &&
           (SDL_GetWindowFlags(m_window) &
            (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_MAXIMIZED | SDL_WINDOW_MINIMIZED)) == 0;
}

Point SdlPlatform::WindowPosition()
{
    Point p;
    if (m_window)
        SDL_GetWindowPosition(m_window, &p.x, &p.y);
    return p;
}

void SdlPlatform::ShowWindow()
{
    if (m_window)
        SDL_ShowWindow(m_window);
}

void SdlPlatform::HideWindow()
{
    if (m_window)
        SDL_HideWindow(m_window);
}

void SdlPlatform::RestoreWindow()
{
    if (m_window)
        SDL_RestoreWindow(m_window);
}

void SdlPlatform::RaiseWindow()
{
    if (m_window)
        SDL_RaiseWindow(m_window);
}

bool SdlPlatform::IsWindowMinimized()
{
    return m_window && (SDL_GetWindowFlags(m_window) & SDL_WINDOW_MINIMIZED) != 0;
}

std::string SdlPlatform::LastError()
{
    return SDL_GetError();
}

bool SdlPlatform::WindowToClient(int windowX, int windowY, Point& out)
{
    if (m_presenter)
    {
        const Point p = m_presenter->WindowToOutput(windowX, windowY);
        return m_presenter->OutputLetterbox().ToLogical(p.x, p.y, out);
    }
    int w = m_clientWidth, h = m_clientHeight;
    if (m_window)
        SDL_GetWindowSize(m_window, &w, &h);
    return Letterbox::Fit(w, h, m_clientWidth, m_clientHeight).ToLogical(windowX, windowY, out);
}

void SdlPlatform::Translate(const SDL_Event& e)
{
    if (m_pads->Translate(e, NowMs(), m_pending))
        return;
    PlatformEvent ev;
    auto mapMouse = [&](int wx, int wy) {
        Point p;
        ev.inside = WindowToClient(wx, wy, p);
        ev.x = p.x;
        ev.y = p.y;
    };
    switch (e.type)
    {
    case SDL_QUIT:
        ev.type = EventType::Close;
        m_pending.push_back(ev);
        break;
    case SDL_WINDOWEVENT:
        switch (e.window.event)
        {
        case SDL_WINDOWEVENT_MOVED:
            // A maximised window's place is the window manager's, not the
            // player's.
            if (!IsWindowOrdinary())
                return;
            ev.type = EventType::WindowMoved;
            ev.x = e.window.data1;
            ev.y = e.window.data2;
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            // The picture is laid out anew over the whole window.
            if (m_presenter)
                m_presenter->Invalidate();
            if (IsWindowOrdinary())
            {
                m_windowWidth = e.window.data1;
                m_windowHeight = e.window.data2;
                ev.type = EventType::WindowResized;
                ev.x = e.window.data1;
                ev.y = e.window.data2;
                m_pending.push_back(ev);
            }
            ev.type = EventType::Exposed;
            break;
        // A window the system no longer shows (on another desktop) is as
        // good as minimised.
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_HIDDEN: ev.type = EventType::Minimized; break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SHOWN: ev.type = EventType::Restored; break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: ev.type = EventType::FocusGained; break;
        case SDL_WINDOWEVENT_FOCUS_LOST: ev.type = EventType::FocusLost; break;
        case SDL_WINDOWEVENT_EXPOSED:
            // A window surface that was covered has lost its picture.
            if (m_presenter)
                m_presenter->Invalidate();
            ev.type = EventType::Exposed;
            break;
        case SDL_WINDOWEVENT_CLOSE: ev.type = EventType::Close; break;
        default: return;
        }
        m_pending.push_back(ev);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    {
        const int vk = VirtualKeyFromSdl(e.key.keysym.sym, e.key.keysym.scancode);
        const bool down = e.type == SDL_KEYDOWN;
        if (e.key.keysym.sym == SDLK_LALT)
            m_leftAltDown = down;
        if (vk == 17)
            m_ctrlDown = down;
        if (vk == 0)
            return;
        ev.type = down ? EventType::KeyDown : EventType::KeyUp;
        ev.code = vk;
        ev.alt = (e.key.keysym.mod & KMOD_ALT) != 0;
        ev.repeat = down && e.key.repeat != 0;
        m_pending.push_back(ev);
        if (!down)
            break;
        // Control characters do not arrive as text input; make them up the
        // way the edit fields expect them (Ctrl+letter gives 1..26).
        int ch = 0;
        if (vk == 8 || vk == 9 || vk == 13 || vk == 27)
            ch = vk;
        else if ((e.key.keysym.mod & KMOD_CTRL) && vk >= 'A' && vk <= 'Z')
            ch = vk - 'A' + 1;
        if (ch)
        {
            PlatformEvent c;
            c.type = EventType::Char;
            c.code = ch;
            c.alt = ev.alt;
            m_pending.push_back(c);
        }
        break;
    }
    case SDL_TEXTINPUT:
    {
        // Text typed with the left Alt held is a shortcut, not text; the
        // right Alt is AltGr on most layouts and types characters.
        if (m_leftAltDown || (SDL_GetModState() & KMOD_LALT))
            return;
        const std::string_view typed = e.text.text;
        for (size_t pos = 0; pos < typed.size();)
        {
            PlatformEvent t;
            t.type = EventType::Char;
            t.code = static_cast<int32_t>(TextEncoding::Next(typed, pos));
            m_pending.push_back(t);
        }
        break;
    }
    case SDL_MOUSEMOTION:
        ev.type = EventType::MouseMove;
        mapMouse(e.motion.x, e.motion.y);
        m_pending.push_back(ev);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    {
        const bool down = e.type == SDL_MOUSEBUTTONDOWN;
        int code = 0;
        if (e.button.button == SDL_BUTTON_LEFT)
            code = 1;
        else if (e.button.button == SDL_BUTTON_RIGHT)
            code = -1;
        else if (e.button.button == SDL_BUTTON_MIDDLE)
            code = 3;
        else
            return;
        if (down && code != 3 && e.button.clicks >= 2 && e.button.clicks % 2 == 0)
            code *= 2;
        ev.type = down ? EventType::MouseDown : EventType::MouseUp;
        ev.code = code;
        mapMouse(e.button.x, e.button.y);
        m_pending.push_back(ev);
        break;
    }
    case SDL_MOUSEWHEEL:
        ev.type = EventType::MouseWheel;
        ev.code = std::clamp(e.wheel.y, -128, 127);
        if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED)
            ev.code = -ev.code;
        m_pending.push_back(ev);
        break;
    default:
        break;
    }
}

bool SdlPlatform::PollEvent(PlatformEvent& event)
{
    if (m_pending.empty())
    {
        if (m_instance && m_instance->PollSignal())
        {
            PlatformEvent n;
            n.type = EventType::NotifyInstance;
            m_pending.push_back(n);
        }
        SDL_Event e;
        while (m_pending.empty() && SDL_PollEvent(&e))
            Translate(e);
        if (m_pending.empty())
            m_pads->Repeat(NowMs(), m_pending);
    }
    if (m_pending.empty())
        return false;
    event = m_pending.front();
    m_pending.pop_front();
    return true;
}

void SdlPlatform::FlushInput()
{
    SDL_FlushEvent(SDL_KEYDOWN);
    SDL_FlushEvents(SDL_TEXTEDITING, SDL_TEXTINPUT);
    SDL_FlushEvent(SDL_MOUSEMOTION);
    SDL_FlushEvent(SDL_MOUSEBUTTONDOWN);
    SDL_FlushEvent(SDL_MOUSEWHEEL);
    SDL_FlushEvent(SDL_CONTROLLERBUTTONDOWN);
    m_pending.erase(std::remove_if(m_pending.begin(), m_pending.end(),
                                   [](const PlatformEvent& e) {
                                       return e.type >= EventType::KeyDown &&
                                              e.type <= EventType::MouseWheel &&
                                              e.type != EventType::KeyUp &&
                                              e.type != EventType::MouseUp;
                                   }),
                    m_pending.end());
}

void SdlPlatform::CaptureMouse(bool on)
{
    SDL_CaptureMouse(on ? SDL_TRUE : SDL_FALSE);
}

bool SdlPlatform::CursorInClient(Point& out)
{
    if (!m_window || SDL_GetMouseFocus() != m_window)
        return false;
    int x = 0, y = 0;
    SDL_GetMouseState(&x, &y);
    return WindowToClient(x, y, out);
}

void SdlPlatform::ApplyCursor()
{
    if (m_imageCursorActive && m_imageCursor)
    {
        SDL_SetCursor(m_imageCursor);
        SDL_ShowCursor(SDL_ENABLE);
        return;
    }
    if (m_systemCursor == SystemCursor::None)
    {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    SDL_Cursor* c = m_cursors[static_cast<int>(m_systemCursor)];
    if (!c)
        c = m_cursors[static_cast<int>(SystemCursor::Arrow)];
    if (c)
        SDL_SetCursor(c);
    SDL_ShowCursor(SDL_ENABLE);
}

void SdlPlatform::SetSystemCursor(SystemCursor cursor)
{
    const bool changed = cursor != m_systemCursor || m_imageCursorActive;
    m_systemCursor = cursor;
    m_imageCursorActive = false;
    m_cursorSource = CursorImage{};
    m_imageCursorSize = Point{};
    if (changed)
        ApplyCursor();
}

void SdlPlatform::SetImageCursor(const uint32_t* argb, int width, int height, int hotX, int hotY)
{
    m_cursorSource = CursorImage{};
    if (argb && width > 0 && height > 0)
    {
        m_cursorSource.argb.assign(argb, argb + static_cast<size_t>(width) * static_cast<size_t>(height));
        m_cursorSource.width = width;
        m_cursorSource.height = height;
        m_cursorSource.hotX = hotX;
        m_cursorSource.hotY = hotY;
    }
    MakeImageCursor(PictureScale());
}

float SdlPlatform::PictureScale()
{
    return m_presenter ? m_presenter->OutputLetterbox().scale : 1.0f;
}

void SdlPlatform::FitCursorToPicture()
{
    if (!m_cursorSource.argb.empty() && PictureScale() != m_cursorScale)
        MakeImageCursor(PictureScale());
}

void SdlPlatform::MakeImageCursor(float scale)
{
    if (m_imageCursor)
    {
        SDL_FreeCursor(m_imageCursor);
        m_imageCursor = nullptr;
    }
    m_imageCursorActive = false;
    m_imageCursorSize = Point{};
    m_cursorScale = scale;
    if (!m_cursorSource.argb.empty())
    {
        CursorImage shown = m_cursorSource.Scaled(scale);
        m_imageCursorSize = Point{shown.width, shown.height};
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(shown.argb.data(), shown.width,
                                                            shown.height, 32, shown.width * 4,
                                                            SDL_PIXELFORMAT_ARGB8888);
        if (s)
        {
            m_imageCursor = SDL_CreateColorCursor(s, shown.hotX, shown.hotY);
            SDL_FreeSurface(s);
            m_imageCursorActive = m_imageCursor != nullptr;
        }
    }
    ApplyCursor();
}

int SdlPlatform::ShowMessageBox(const std::string& text, const std::string& title,
                                MessageBoxKind kind)
{
    const int fallback = kind == MessageBoxKind::YesNo ? 6 : 1;
    if (!m_logBoxes)
    {
        SDL_MessageBoxButtonData yesNo[2] = {
            {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 6, "Yes"},
            {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 7, "No"},
        };
        SDL_MessageBoxButtonData ok[1] = {
            {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 1, "OK"},
        };
        SDL_MessageBoxData data{};
        data.flags = kind == MessageBoxKind::Error ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
        data.window = m_window;
        data.title = title.c_str();
        data.message = text.c_str();
        data.numbuttons = kind == MessageBoxKind::YesNo ? 2 : 1;
        data.buttons = kind == MessageBoxKind::YesNo ? yesNo : ok;
        int answer = 0;
        if (SDL_ShowMessageBox(&data, &answer) == 0 && answer > 0)
            return answer;
    }
    std::fprintf(stderr, "[%s] %s\n", title.c_str(), text.c_str());
    return fallback;
}

bool SdlPlatform::OpenUrl(const std::string& url)
{
    if (url.rfind("http://", 0) != 0 && url.rfind("https://", 0) != 0 && url.rfind("mailto:", 0) != 0)
        return false;
    return SDL_OpenURL(url.c_str()) == 0;
}

std::string SdlPlatform::ClipboardText()
{
    char* utf8 = SDL_GetClipboardText();
    if (!utf8)
        return {};
    std::string text = TextEncoding::StoredToUtf8(utf8);
    SDL_free(utf8);
    text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }),
               text.end());
    return text;
}

void SdlPlatform::SetClipboardText(const std::string& utf8)
{
    SDL_SetClipboardText(utf8.c_str());
}

int SdlPlatform::InitPresenter(bool fullScreen, bool vsync)
{
    if (!m_window)
        return 1;
    // A renderer made on the window may take its surface away with it.
    LoseFrameMemory();
    m_presenter.reset();
    if (fullScreen != m_fullScreen)
    {
        if (fullScreen)
            CoverDisplay();
        if (SDL_SetWindowFullscreen(m_window, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0)
            return 5;
        if (!fullScreen)
            SDL_SetWindowSize(m_window, m_windowWidth, m_windowHeight);
        m_fullScreen = fullScreen;
    }
    m_vsync = vsync || fullScreen;
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    int code = 0;
    m_presenter = SdlPresenter::Create(m_window, m_clientWidth, m_clientHeight, m_vsync, code,
                                       m_rendererChoice.get());
    FitCursorToPicture();
    return m_presenter ? 0 : code;
}

void SdlPlatform::EnableRendererProbe(const std::string& cacheFolder)
{
    RendererChoice::Setup setup;
    setup.probeCommand = {FileSystem::ExecutablePath(), RendererProbe::kArgument};
    if (!cacheFolder.empty())
        setup.keptFile = cacheFolder + "/renderer.txt";
    const char* driver = SDL_GetCurrentVideoDriver();
    setup.machineKey = RendererChoice::MachineKey(driver ? driver : "");
    m_rendererChoice = std::make_unique<RendererChoice>(std::move(setup));
    // The child works while the window is made; a renderer the user names
    // needs no answer.
    const char* named = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    if (!named || !*named)
        m_rendererChoice->Begin();
}

bool SdlPlatform::Present(const uint32_t* argb, int pitchPixels, int width, int height,
                          const Rect& dirty)
{
    if (!m_presenter || width < m_clientWidth || height < m_clientHeight)
        return false;
    // The window's size may have changed since the last frame.
    FitCursorToPicture();
    return m_presenter->Present(argb, pitchPixels, dirty);
}

bool SdlPlatform::PresentAreas(const uint32_t* argb, int pitchPixels, int width, int height,
                               const std::vector<Rect>& areas)
{
    if (!m_presenter || width < m_clientWidth || height < m_clientHeight)
        return false;
    FitCursorToPicture();
    return m_presenter->Present(argb, pitchPixels, areas);
}

int SdlPlatform::RefreshRate()
{
    SDL_DisplayMode mode;
    const int display = m_window ? std::max(0, SDL_GetWindowDisplayIndex(m_window)) : 0;
    int rate = 0;
    if (SDL_GetCurrentDisplayMode(display, &mode) == 0)
        rate = mode.refresh_rate;
    // The display keeps the rate within what the frame loop paces by.
    return rate > 0 ? rate : 60;
}

bool SdlPlatform::AcquireSingleInstance(const std::string& name)
{
    m_instance = std::make_unique<SingleInstance>(FileSystem::RuntimeDirectory());
    return m_instance->Acquire(name);
}

void SdlPlatform::SignalRunningInstance(const std::string& name)
{
    SingleInstance(FileSystem::RuntimeDirectory()).Signal(name);
}

void SdlPlatform::AllowScreenSaver(bool allow)
{
    if (allow == (SDL_IsScreenSaverEnabled() == SDL_TRUE))
        return;
    if (allow)
        SDL_EnableScreenSaver();
    else
        SDL_DisableScreenSaver();
}

ScreenSaverInfo SdlPlatform::ScreenSaver()
{
    return X11ScreenSaver::Query(m_window);
}

} // namespace Quillo
