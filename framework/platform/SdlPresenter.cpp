#include "framework/platform/SdlPresenter.h"

#include "framework/platform/RendererChoice.h"
#include "framework/platform/RendererProbe.h"

#include <SDL2/SDL.h>
#include <algorithm>
#include <cstring>

namespace Quillo
{

namespace
{

// 32-bit pixels with the frame's own channel layout (alpha ignored).
bool SameLayout(const SDL_PixelFormat* f)
{
    return f->BytesPerPixel == 4 && f->Rmask == 0x00FF0000u && f->Gmask == 0x0000FF00u &&
           f->Bmask == 0x000000FFu;
}

} // namespace

SdlPresenter::SdlPresenter(SDL_Window* window, PresentPath path, int width, int height)
    : m_window(window), m_path(path), m_width(width), m_height(height)
{
}

SdlPresenter::~SdlPresenter()
{
    if (m_texture)
        SDL_DestroyTexture(m_texture);
    if (m_renderer)
        SDL_DestroyRenderer(m_renderer);
}

std::unique_ptr<SdlPresenter> SdlPresenter::Create(SDL_Window* window, int width, int height,
                                                   bool vsync, int& code, RendererChoice* choice)
{
    const char* wanted = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    const bool named = wanted && *wanted;
    const bool software = named && SDL_strcasecmp(wanted, "software") == 0;
    // The paths in the order of what they cost, each tried when the one
    // before fails: a video driver without a framebuffer of its own
    // (Wayland) has no window surface, and a machine without a GPU driver
    // has no accelerated renderer.
    if (named && !software)
    {
        std::unique_ptr<SdlPresenter> p(new SdlPresenter(window, PresentPath::Texture, width, height));
        if (p->StartTexture(vsync, wanted))
        {
            code = 0;
            return p;
        }
        // A name this SDL does not know gets the automatic choice.
    }
    RendererChoice inProcess{RendererChoice::Setup{}};
    RendererChoice& renderers = choice ? *choice : inProcess;
    // Whether an accelerated renderer could only rasterise in software.
    bool worthless = !renderers.DeviceAvailable();
    if (!software && !worthless)
    {
        // Made here only when it will be used: its OpenGL stays mapped.
        const std::optional<RendererReport> known = renderers.Answer();
        worthless = known && !known->Worthwhile();
        if (!worthless)
        {
            std::unique_ptr<SdlPresenter> p(new SdlPresenter(window, PresentPath::Texture, width, height));
            RendererReport found;
            const bool started = p->StartTexture(vsync, nullptr, &found);
            if (!known || found.Worthwhile() != known->Worthwhile())
                renderers.Remember(found);
            if (started)
            {
                code = 0;
                return p;
            }
            worthless = !found.Worthwhile();
        }
    }
    if (auto p = CreateWithPath(window, PresentPath::WindowSurface, width, height, vsync, code))
        return p;
    // SDL's own software renderer rather than an OpenGL one rasterised in
    // software, which only costs more.
    if (worthless)
    {
        std::unique_ptr<SdlPresenter> p(new SdlPresenter(window, PresentPath::Texture, width, height));
        if (p->StartTexture(vsync, "software"))
        {
            code = 0;
            return p;
        }
    }
    // Last, any renderer at all, a software rasteriser included: slow, but
    // the picture shows.
    return CreateWithPath(window, PresentPath::Texture, width, height, vsync, code);
}

std::unique_ptr<SdlPresenter> SdlPresenter::CreateWithPath(SDL_Window* window, PresentPath path,
                                                           int width, int height, bool vsync, int& code)
{
    std::unique_ptr<SdlPresenter> p(new SdlPresenter(window, path, width, height));
    const bool ok = path == PresentPath::Texture ? p->StartTexture(vsync, "") : p->StartSurface();
    if (!ok)
    {
        code = path == PresentPath::Texture && !p->m_renderer ? 2 : 3;
        return nullptr;
    }
    code = 0;
    return p;
}

// driver: a render driver's name, "" for any, or null for an accelerated
// one that does not rasterise in software.
bool SdlPresenter::StartTexture(bool vsync, const char* driver, RendererReport* found)
{
    int index = -1;
    if (driver && *driver)
    {
        for (int i = 0; i < SDL_GetNumRenderDrivers() && index < 0; ++i)
        {
            SDL_RendererInfo info;
            if (SDL_GetRenderDriverInfo(i, &info) == 0 && SDL_strcasecmp(info.name, driver) == 0)
                index = i;
        }
        if (index < 0)
            return false;
    }
    Uint32 flags = vsync ? SDL_RENDERER_PRESENTVSYNC : 0;
    if (!driver)
        flags |= SDL_RENDERER_ACCELERATED;
    m_renderer = SDL_CreateRenderer(m_window, index, flags);
    const RendererReport report = RendererProbe::Describe(m_renderer);
    if (found)
        *found = report;
    if (!m_renderer)
        return false;
    if (!driver && !report.Worthwhile())
    {
        SDL_DestroyRenderer(m_renderer);
        m_renderer = nullptr;
        return false;
    }
    m_description = "texture (" + report.name + (report.drawer.empty() ? "" : ": " + report.drawer) + ")";
    m_pacedByRefresh = vsync && report.vsync;
    m_texture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                  m_width, m_height);
    if (!m_texture)
        return false;
    SDL_SetTextureBlendMode(m_texture, SDL_BLENDMODE_NONE);
    return true;
}

bool SdlPresenter::StartSurface()
{
    // SDL would otherwise put the window surface on a renderer of its own,
    // the very rasteriser this path stays away from.
    SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_NORMAL);
    SDL_Surface* surface = SDL_GetWindowSurface(m_window);
    if (!surface)
        return false;
    Relayout(surface);
    m_description = "window surface";
    return true;
}

void SdlPresenter::Relayout(SDL_Surface* surface)
{
    m_surface = surface;
    m_surfaceWidth = surface->w;
    m_surfaceHeight = surface->h;
    m_box = Letterbox::Fit(surface->w, surface->h, m_width, m_height);
    m_scaler.Resize(m_width, m_height, m_box.target.width, m_box.target.height);
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
}

Point SdlPresenter::OutputSize()
{
    Point size{m_width, m_height};
    if (m_renderer)
        SDL_GetRendererOutputSize(m_renderer, &size.x, &size.y);
    else if (SDL_Surface* s = SDL_GetWindowSurface(m_window))
        size = Point{s->w, s->h};
    return size;
}

Letterbox SdlPresenter::OutputLetterbox()
{
    const Point size = OutputSize();
    return Letterbox::Fit(size.x, size.y, m_width, m_height);
}

Point SdlPresenter::WindowToOutput(int windowX, int windowY)
{
    int w = 0, h = 0;
    SDL_GetWindowSize(m_window, &w, &h);
    const Point size = OutputSize();
    if (w <= 0 || h <= 0 || (w == size.x && h == size.y))
        return Point{windowX, windowY};
    return Point{int(int64_t(windowX) * size.x / w), int(int64_t(windowY) * size.y / h)};
}

bool SdlPresenter::Present(const uint32_t* argb, int pitchPixels, const Rect& dirty)
{
    return Present(argb, pitchPixels, std::vector<Rect>{dirty});
}

bool SdlPresenter::Present(const uint32_t* argb, int pitchPixels, const std::vector<Rect>& areas)
{
    if (!argb)
        return false;
    // SDL makes a new window surface after the window's size changed.
    SDL_Surface* surface = nullptr;
    if (m_path == PresentPath::WindowSurface)
    {
        surface = SDL_GetWindowSurface(m_window);
        if (!surface)
            return false;
        if (surface != m_surface || surface->w != m_surfaceWidth || surface->h != m_surfaceHeight)
        {
            Relayout(surface);
            m_wholeFrameDue = true;
        }
    }
    if (argb == FrameMemory() && pitchPixels == m_width)
        TakeAreas(areas);
    else
        FindChanges(argb, pitchPixels, areas);
    if (m_path == PresentPath::Texture)
        return PresentTexture(argb, pitchPixels);
    if (m_changes.empty())
        return true;
    return PresentSurface(argb, pitchPixels);
}

namespace
{

// The first and last columns in [from, to) where the two rows differ, or
// false when they are equal there.
bool ChangedColumns(const uint32_t* now, const uint32_t* shown, int from, int to, int& first, int& last)
{
    if (std::memcmp(now + from, shown + from, size_t(to - from) * 4) == 0)
        return false;
    // Whole cache lines first: most of a changed row is not.
    constexpr int kChunk = 16;
    int a = from, b = to - 1;
    while (a + kChunk <= to && std::memcmp(now + a, shown + a, kChunk * 4) == 0)
        a += kChunk;
    while (now[a] == shown[a])
        ++a;
    while (b - kChunk + 1 > a && std::memcmp(now + b - kChunk + 1, shown + b - kChunk + 1, kChunk * 4) == 0)
        b -= kChunk;
    while (now[b] == shown[b])
        --b;
    first = a;
    last = b;
    return true;
}

} // namespace

bool SdlPresenter::ShowsInSurface() const
{
    return m_path == PresentPath::WindowSurface && m_surface && !SDL_MUSTLOCK(m_surface) &&
           m_scaler.Factor() == 1 && m_box.target.width == m_width && m_box.target.height == m_height &&
           SameLayout(m_surface->format);
}

uint32_t* SdlPresenter::FrameMemory() const
{
    if (!ShowsInSurface() || m_box.target.x != 0 || m_box.target.y != 0 ||
        m_surface->pitch != m_width * 4)
        return nullptr;
    return static_cast<uint32_t*>(m_surface->pixels);
}

void SdlPresenter::TakeAreas(const std::vector<Rect>& areas)
{
    m_changes.clear();
    m_shown = {};
    if (m_wholeFrameDue)
    {
        m_changes.push_back(Rect{0, 0, m_width, m_height});
        m_wholeFrameDue = false;
        return;
    }
    for (const Rect& r : areas)
    {
        const Rect inside = r.Intersection(Rect{0, 0, m_width, m_height});
        if (inside.width > 0 && inside.height > 0)
            m_changes.push_back(inside);
    }
}

void SdlPresenter::FindChanges(const uint32_t* argb, int pitchPixels, const std::vector<Rect>& areas)
{
    m_changes.clear();
    const size_t frameWidth = size_t(m_width);
    // Unscaled and in the frame's own layout, the window surface holds the
    // frame as last sent: it is compared and written in place, which saves
    // a copy of the frame and a pass over every changed pixel.
    uint32_t* shownBase = nullptr;
    size_t shownPitch = frameWidth;
    if (ShowsInSurface())
    {
        shownPitch = size_t(m_surface->pitch) / 4;
        shownBase = static_cast<uint32_t*>(m_surface->pixels) + size_t(m_box.target.y) * shownPitch +
                    size_t(m_box.target.x);
        if (!m_shown.empty())
        {
            m_shown = {};
            m_wholeFrameDue = true;
        }
    }
    else
    {
        if (m_shown.size() != frameWidth * size_t(m_height))
        {
            m_shown.resize(frameWidth * size_t(m_height));
            m_wholeFrameDue = true;
        }
        shownBase = m_shown.data();
    }
    if (m_wholeFrameDue)
    {
        for (int y = 0; y < m_height; ++y)
            std::memcpy(shownBase + size_t(y) * shownPitch, argb + size_t(y) * size_t(pitchPixels), frameWidth * 4);
        m_changes.push_back(Rect{0, 0, m_width, m_height});
        m_wholeFrameDue = false;
        return;
    }
    m_inside.clear();
    Rect all;
    for (const Rect& r : areas)
    {
        const Rect inside = r.Intersection(Rect{0, 0, m_width, m_height});
        if (inside.width <= 0)
            continue;
        m_inside.push_back(inside);
        all = all.Union(inside);
    }
    if (m_inside.empty())
        return;
    // Bands of rows keep the rectangles few while moving sprites spread
    // over the screen leave most of each band's width untouched: a band
    // sends its changed columns, in as many runs as lie apart.
    constexpr int kBand = 16;
    // Runs closer than this go as one: a rectangle costs more than the gap.
    constexpr int kGap = 32;
    const int bottom = all.y + all.height;
    // The rectangles reaching down to the band above, and to this one.
    std::vector<size_t> above, reaching;
    for (int bandTop = all.y; bandTop < bottom; bandTop = (bandTop / kBand + 1) * kBand)
    {
        const int bandEnd = std::min(bottom, (bandTop / kBand + 1) * kBand);
        int firstRow = -1, lastRow = -1;
        m_runs.clear();
        // The areas reaching into the band: a row looks through these only.
        m_bandAreas.clear();
        for (const Rect& r : m_inside)
        {
            if (r.y < bandEnd && r.y + r.height > bandTop)
                m_bandAreas.push_back(r);
        }
        for (int y = bandTop; y < bandEnd && !m_bandAreas.empty(); ++y)
        {
            // The row's columns inside any area, overlaps joined.
            m_spans.clear();
            for (const Rect& r : m_bandAreas)
            {
                if (y >= r.y && y < r.y + r.height)
                    m_spans.emplace_back(r.x, r.x + r.width);
            }
            if (m_spans.empty())
                continue;
            if (m_spans.size() > 1)
                std::sort(m_spans.begin(), m_spans.end());
            const uint32_t* now = argb + size_t(y) * size_t(pitchPixels);
            uint32_t* shown = shownBase + size_t(y) * shownPitch;
            bool changed = false;
            for (size_t i = 0; i < m_spans.size();)
            {
                const int from = m_spans[i].first;
                int to = m_spans[i].second;
                for (++i; i < m_spans.size() && m_spans[i].first <= to; ++i)
                    to = std::max(to, m_spans[i].second);
                int a = 0, b = 0;
                if (!ChangedColumns(now, shown, from, to, a, b))
                    continue;
                std::memcpy(shown + a, now + a, size_t(b - a + 1) * 4);
                m_runs.emplace_back(a, b + 1);
                changed = true;
            }
            if (!changed)
                continue;
            if (firstRow < 0)
                firstRow = y;
            lastRow = y;
        }
        reaching.clear();
        std::sort(m_runs.begin(), m_runs.end());
        for (size_t i = 0; i < m_runs.size();)
        {
            const int from = m_runs[i].first;
            int to = m_runs[i].second;
            for (++i; i < m_runs.size() && m_runs[i].first <= to + kGap; ++i)
                to = std::max(to, m_runs[i].second);
            const Rect run{from, firstRow, to - from, lastRow - firstRow + 1};
            // A run straight below one of the band above, as wide, lengthens it.
            bool joined = false;
            for (size_t k : above)
            {
                Rect& r = m_changes[k];
                if (r.y + r.height == run.y && r.x == run.x && r.width == run.width)
                {
                    r.height += run.height;
                    reaching.push_back(k);
                    joined = true;
                    break;
                }
            }
            if (!joined)
            {
                reaching.push_back(m_changes.size());
                m_changes.push_back(run);
            }
        }
        above.swap(reaching);
    }
}

bool SdlPresenter::PresentTexture(const uint32_t* argb, int pitchPixels)
{
    for (const Rect& area : m_changes)
    {
        const SDL_Rect r{area.x, area.y, area.width, area.height};
        const uint32_t* first = argb + size_t(area.y) * size_t(pitchPixels) + size_t(area.x);
        if (SDL_UpdateTexture(m_texture, &r, first, pitchPixels * 4) != 0)
            return false;
    }
    const Letterbox box = OutputLetterbox();
    const SDL_Rect dst{box.target.x, box.target.y, box.target.width, box.target.height};
    // Square pixels at whole multiples, filtered in between, as the window
    // surface scales.
    const int factor = FrameScaler::WholeFactor(m_width, m_height, dst.w, dst.h);
    if (factor != m_textureFactor)
    {
        SDL_SetTextureScaleMode(m_texture, factor > 0 ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
        m_textureFactor = factor;
    }
    SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
    SDL_RenderClear(m_renderer);
    if (SDL_RenderCopy(m_renderer, m_texture, nullptr, &dst) != 0)
        return false;
    SDL_RenderPresent(m_renderer);
    return true;
}

bool SdlPresenter::PresentSurface(const uint32_t* argb, int pitchPixels)
{
    SDL_Surface* s = m_surface;
    const Rect& t = m_box.target;
    const bool whole = m_changes.size() == 1 && m_changes[0].width == m_width && m_changes[0].height == m_height;
    if (SDL_MUSTLOCK(s) && SDL_LockSurface(s) != 0)
        return false;
    auto* outBase = static_cast<uint8_t*>(s->pixels);
    const bool direct = SameLayout(s->format);
    // The changed pixels are in the surface already.
    const bool inPlace = ShowsInSurface();
    std::vector<SDL_Rect> sent;
    for (const Rect& area : m_changes)
    {
        const Rect o = m_scaler.OutputArea(area);
        const int x0 = o.x, y0 = o.y, w = o.width, h = o.height;
        if (w <= 0 || h <= 0)
            continue;
        if (inPlace)
        {
            sent.push_back(SDL_Rect{t.x + x0, t.y + y0, w, h});
            continue;
        }
        uint32_t* dest = nullptr;
        ptrdiff_t destPitch = w;
        if (direct)
        {
            dest = reinterpret_cast<uint32_t*>(outBase + size_t(t.y + y0) * size_t(s->pitch)) + t.x + x0;
            destPitch = s->pitch / 4;
        }
        else
        {
            m_staging.resize(size_t(w) * size_t(h));
            dest = m_staging.data();
        }
        m_scaler.Scale(argb, pitchPixels, o, dest, destPitch);
        if (!direct)
        {
            void* first = outBase + size_t(t.y + y0) * size_t(s->pitch) + size_t(t.x + x0) * s->format->BytesPerPixel;
            SDL_ConvertPixels(w, h, SDL_PIXELFORMAT_ARGB8888, m_staging.data(), w * 4, s->format->format,
                              first, s->pitch);
        }
        sent.push_back(SDL_Rect{t.x + x0, t.y + y0, w, h});
    }
    if (SDL_MUSTLOCK(s))
        SDL_UnlockSurface(s);
    // The whole frame goes with the bars around it, which may be new too.
    if (whole)
        return SDL_UpdateWindowSurface(m_window) == 0;
    return sent.empty() || SDL_UpdateWindowSurfaceRects(m_window, sent.data(), int(sent.size())) == 0;
}

bool SdlPresenter::ReadOutput(std::vector<uint32_t>& argb, int& width, int& height)
{
    if (m_renderer)
    {
        if (SDL_GetRendererOutputSize(m_renderer, &width, &height) != 0)
            return false;
        argb.resize(size_t(width) * size_t(height));
        if (SDL_RenderReadPixels(m_renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, argb.data(), width * 4) != 0)
            return false;
    }
    else
    {
        SDL_Surface* s = SDL_GetWindowSurface(m_window);
        if (!s)
            return false;
        width = s->w;
        height = s->h;
        argb.resize(size_t(width) * size_t(height));
        if (SDL_ConvertPixels(width, height, s->format->format, s->pixels, s->pitch,
                              SDL_PIXELFORMAT_ARGB8888, argb.data(), width * 4) != 0)
            return false;
    }
    // The window has no alpha of its own.
    for (uint32_t& p : argb)
        p |= 0xFF000000u;
    return true;
}

} // namespace Quillo
