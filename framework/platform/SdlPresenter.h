#pragma once

#include "framework/platform/FrameScaler.h"
#include "framework/platform/Letterbox.h"
#include "framework/platform/Point.h"
#include "framework/platform/Rect.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Surface;

namespace Quillo
{

class RendererChoice;
struct RendererReport;

// How frames reach the window.
enum class PresentPath
{
    // An SDL renderer: the frame is uploaded to a streaming texture and
    // drawn scaled; the only path that can wait for the display's refresh.
    Texture,
    // The window's own pixel surface: only the changed rows and columns are
    // copied into it and sent to the window system, without any rasteriser.
    WindowSurface,
};

// Puts the fixed-size ARGB frame into one window, letterboxed to the
// window's real output size (in pixels, which high-DPI screens make larger
// than the window size), and follows changes of that size. The picture is
// crisp at whole multiples of the frame's size and smooth in between.
class SdlPresenter
{
public:
    // Chooses the path by what it costs. A renderer the user names in
    // SDL_RENDER_DRIVER is used as named ("software" is the window surface);
    // otherwise the accelerated renderer, unless its OpenGL is a software
    // rasteriser, which costs many times the whole game for every frame.
    // The accelerated renderer is made only where choice (without one: a
    // graphics device alone) does not answer that it is not worth it, and
    // choice learns what making it found. When the choice fails, the next
    // path is tried: the window surface, then SDL's software renderer where
    // the accelerated one is not worth it, then any renderer, a software
    // rasteriser included (a video driver
    // without a framebuffer of its own has no window surface). Returns null
    // with code 2 (no renderer) or 3 (no texture or surface) when none works.
    static std::unique_ptr<SdlPresenter> Create(SDL_Window* window, int width, int height,
                                                bool vsync, int& code, RendererChoice* choice = nullptr);
    // One path, as asked (tests compare the two).
    static std::unique_ptr<SdlPresenter> CreateWithPath(SDL_Window* window, PresentPath path,
                                                        int width, int height, bool vsync,
                                                        int& code);
    ~SdlPresenter();
    SdlPresenter(const SdlPresenter&) = delete;
    SdlPresenter& operator=(const SdlPresenter&) = delete;

    // Shows the frame; only what differs inside dirty from the frame shown
    // before is sent on. The window surface presents nothing when nothing
    // changed; a renderer presents every time, so that its refresh paces.
    bool Present(const uint32_t* argb, int pitchPixels, const Rect& dirty);
    // The same when only the areas (which may overlap) can differ from the
    // frame shown before: only they are compared.
    bool Present(const uint32_t* argb, int pitchPixels, const std::vector<Rect>& areas);
    // The window lost its picture (it was uncovered): the next present
    // sends the whole frame.
    void Invalidate() { m_wholeFrameDue = true; }

    // Where the frame lands in output pixels, from the current output size.
    Letterbox OutputLetterbox();
    // Window coordinates (mouse positions) to output pixels: the window
    // size is in points, the output in pixels.
    Point WindowToOutput(int windowX, int windowY);

    // The window surface's pixels where the frame can be drawn straight into
    // them: the surface shows it unscaled, from its first pixel, in rows of
    // the frame's width. Null otherwise. A present of the frame from there
    // sends the areas as they are, with nothing to compare or copy. The
    // memory goes when SDL makes a new surface: after the window's size
    // changed (SDL_WINDOWEVENT_SIZE_CHANGED), on the next call that gets
    // the window's surface, and with this presenter or the window.
    uint32_t* FrameMemory() const;

    // The areas of the frame the last present found changed and sent.
    const std::vector<Rect>& LastChanges() const { return m_changes; }

    PresentPath Path() const { return m_path; }
    // True when presents wait for the display's refresh.
    bool PacedByRefresh() const { return m_pacedByRefresh; }
    // The path and renderer in words, for the start-up log.
    const std::string& Description() const { return m_description; }

    // The picture the window shows now, as ARGB with the output's size.
    bool ReadOutput(std::vector<uint32_t>& argb, int& width, int& height);

private:
    SdlPresenter(SDL_Window* window, PresentPath path, int width, int height);
    // found (when given) receives what the renderer made is.
    bool StartTexture(bool vsync, const char* driver, RendererReport* found = nullptr);
    bool StartSurface();
    // The rectangles of the areas where the frame differs from m_shown,
    // which takes the new pixels: rows in bands, each band's changed columns.
    void FindChanges(const uint32_t* argb, int pitchPixels, const std::vector<Rect>& areas);
    // For a frame drawn in the surface: the areas inside it, or all of it.
    void TakeAreas(const std::vector<Rect>& areas);
    // True when the window surface shows the frame unscaled in its own
    // layout, so that it serves as the frame shown before.
    bool ShowsInSurface() const;
    bool PresentTexture(const uint32_t* argb, int pitchPixels);
    bool PresentSurface(const uint32_t* argb, int pitchPixels);
    Point OutputSize();
    // Sets up the surface's letterbox and scaling after a size change.
    void Relayout(SDL_Surface* surface);

    SDL_Window* m_window;
    PresentPath m_path;
    int m_width;
    int m_height;
    bool m_pacedByRefresh = false;
    std::string m_description;
    std::vector<uint32_t> m_shown; // the frame as last sent, unless the surface holds it
    bool m_wholeFrameDue = true;
    std::vector<Rect> m_changes;
    std::vector<Rect> m_inside; // the areas of a present, inside the frame
    std::vector<Rect> m_bandAreas; // those of them reaching into one band of rows
    std::vector<std::pair<int, int>> m_spans; // one row's columns to compare
    std::vector<std::pair<int, int>> m_runs; // a band's changed columns

    SDL_Renderer* m_renderer = nullptr;
    SDL_Texture* m_texture = nullptr;
    int m_textureFactor = -1; // the whole factor its scale mode was set for

    SDL_Surface* m_surface = nullptr; // owned by the window; compared to notice a new one
    int m_surfaceWidth = 0;
    int m_surfaceHeight = 0;
    Letterbox m_box;
    FrameScaler m_scaler;
    // Scaled pixels waiting for a format conversion into the surface.
    std::vector<uint32_t> m_staging;
};

} // namespace Quillo
