#include "CrashViewer.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>

namespace
{

constexpr int kWidth = 400;
constexpr int kHeight = 300;
constexpr SDL_Rect kHeaderBox{8, 8, 384, 84};
constexpr SDL_Rect kReportBox{8, 92, 384, 168};
constexpr SDL_Rect kButton{8, 268, 384, 24};
constexpr int kScrollBarWidth = 14;
constexpr SDL_Color kBlack{0, 0, 0, 255};

std::string FindFont(const char* pattern)
{
    std::string path;
    FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
    if (!pat)
        return path;
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result;
    if (FcPattern* match = FcFontMatch(nullptr, pat, &result))
    {
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
            path = reinterpret_cast<const char*>(file);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pat);
    return path;
}

TTF_Font* OpenFont(const char* pattern, int points)
{
    const std::string path = FindFont(pattern);
    return path.empty() ? nullptr : TTF_OpenFontDPI(path.c_str(), points, 96, 96);
}

bool Inside(const SDL_Rect& r, int x, int y)
{
    return x >= r.x && y >= r.y && x < r.x + r.w && y < r.y + r.h;
}

void Fill(SDL_Renderer* r, const SDL_Rect& rect, Uint8 red, Uint8 green, Uint8 blue)
{
    SDL_SetRenderDrawColor(r, red, green, blue, 255);
    SDL_RenderFillRect(r, &rect);
}

void Frame(SDL_Renderer* r, const SDL_Rect& rect, Uint8 shade)
{
    SDL_SetRenderDrawColor(r, shade, shade, shade, 255);
    SDL_RenderDrawRect(r, &rect);
}

} // namespace

CrashViewer::CrashViewer(std::string header, std::vector<std::string> lines)
    : m_header(std::move(header)), m_lines(std::move(lines))
{
}

CrashViewer::~CrashViewer()
{
    for (TTF_Font* f : {m_headerFont, m_reportFont, m_buttonFont})
        if (f)
            TTF_CloseFont(f);
    if (m_ttf)
        TTF_Quit();
    if (m_renderer)
        SDL_DestroyRenderer(m_renderer);
    if (m_window)
        SDL_DestroyWindow(m_window);
}

bool CrashViewer::Open()
{
    m_window = SDL_CreateWindow("Fatal Error!", 64, 64, kWidth, kHeight, SDL_WINDOW_SHOWN);
    if (!m_window)
        return false;
    m_renderer = SDL_CreateRenderer(m_window, -1, 0);
    if (!m_renderer)
        m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_SOFTWARE);
    if (!m_renderer)
        return false;
    m_ttf = TTF_Init() == 0;
    if (m_ttf)
    {
        m_headerFont = OpenFont("sans:bold", 10);
        m_reportFont = OpenFont("monospace", 8);
        m_buttonFont = OpenFont("sans", 9);
    }
    if (m_reportFont)
        m_lineHeight = std::max(TTF_FontLineSkip(m_reportFont), 8);
    SDL_SetCursor(SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW));
    return true;
}

int CrashViewer::VisibleLines() const
{
    return std::max(1, (kReportBox.h - 4) / m_lineHeight);
}

void CrashViewer::ScrollTo(int firstLine, int leftPixel)
{
    const int maxFirst = std::max(0, static_cast<int>(m_lines.size()) - VisibleLines());
    m_firstLine = std::clamp(firstLine, 0, maxFirst);
    m_left = std::clamp(leftPixel, 0, 4000);
}

SDL_Rect CrashViewer::ThumbRect() const
{
    const int track = kReportBox.h - 2;
    const int total = std::max(1, static_cast<int>(m_lines.size()));
    const int visible = std::min(total, VisibleLines());
    const int h = std::max(12, track * visible / total);
    const int maxFirst = std::max(1, total - visible);
    const int y = kReportBox.y + 1 + (track - h) * m_firstLine / maxFirst;
    return SDL_Rect{kReportBox.x + kReportBox.w - kScrollBarWidth - 1, y, kScrollBarWidth, h};
}

void CrashViewer::DrawText(TTF_Font* font, const std::string& text, int x, int y, SDL_Color color,
                           const SDL_Rect& clip)
{
    if (!font || text.empty())
        return;
    SDL_Surface* s = TTF_RenderUTF8_Blended(font, text.c_str(), color);
    if (!s)
        return;
    if (SDL_Texture* t = SDL_CreateTextureFromSurface(m_renderer, s))
    {
        SDL_RenderSetClipRect(m_renderer, &clip);
        const SDL_Rect dst{x, y, s->w, s->h};
        SDL_RenderCopy(m_renderer, t, nullptr, &dst);
        SDL_RenderSetClipRect(m_renderer, nullptr);
        SDL_DestroyTexture(t);
    }
    SDL_FreeSurface(s);
}

void CrashViewer::Draw()
{
    Fill(m_renderer, SDL_Rect{0, 0, kWidth, kHeight}, 212, 208, 200);

    Fill(m_renderer, kHeaderBox, 255, 255, 255);
    Frame(m_renderer, kHeaderBox, 128);
    const SDL_Rect headerInner{kHeaderBox.x + 2, kHeaderBox.y + 2, kHeaderBox.w - 4, kHeaderBox.h - 4};
    DrawText(m_headerFont, m_header, kHeaderBox.x + 6, kHeaderBox.y + 6, kBlack, headerInner);

    Fill(m_renderer, kReportBox, 255, 255, 255);
    Frame(m_renderer, kReportBox, 128);
    const SDL_Rect textClip{kReportBox.x + 2, kReportBox.y + 2, kReportBox.w - kScrollBarWidth - 4,
                            kReportBox.h - 4};
    const int visible = VisibleLines();
    for (int i = 0; i < visible && m_firstLine + i < static_cast<int>(m_lines.size()); ++i)
        DrawText(m_reportFont, m_lines[m_firstLine + i], kReportBox.x + 4 - m_left,
                 kReportBox.y + 2 + i * m_lineHeight, kBlack, textClip);
    const SDL_Rect track{kReportBox.x + kReportBox.w - kScrollBarWidth - 1, kReportBox.y + 1, kScrollBarWidth,
                         kReportBox.h - 2};
    Fill(m_renderer, track, 236, 233, 226);
    Fill(m_renderer, ThumbRect(), 180, 176, 168);

    const Uint8 face = m_buttonDown && m_buttonHot ? 190 : m_buttonHot ? 228 : 220;
    Fill(m_renderer, kButton, face, face, face - 6);
    Frame(m_renderer, kButton, 64);
    if (m_buttonFont)
    {
        int w = 0, h = 0;
        TTF_SizeUTF8(m_buttonFont, "Close Now", &w, &h);
        DrawText(m_buttonFont, "Close Now", kButton.x + (kButton.w - w) / 2, kButton.y + (kButton.h - h) / 2, kBlack,
                 kButton);
    }
}

bool CrashViewer::SaveScreenshot(const std::string& path)
{
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!s)
        return false;
    bool ok = SDL_RenderReadPixels(m_renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, s->pixels, s->pitch) == 0 &&
              SDL_SaveBMP(s, path.c_str()) == 0;
    SDL_FreeSurface(s);
    return ok;
}

bool CrashViewer::Run(Uint32 autoCloseMs, const std::string& screenshot)
{
    if (!Open())
        return false;
    const Uint32 start = SDL_GetTicks();
    bool running = true;
    bool first = true;
    while (running)
    {
        Draw();
        // Read back before presenting, while the target still holds the
        // picture.
        if (first && !screenshot.empty())
            SaveScreenshot(screenshot);
        SDL_RenderPresent(m_renderer);
        first = false;
        SDL_Event e;
        if (!SDL_WaitEventTimeout(&e, 50))
        {
            if (autoCloseMs && SDL_GetTicks() - start >= autoCloseMs)
                running = false;
            continue;
        }
        do
        {
            switch (e.type)
            {
            case SDL_QUIT:
                running = false;
                break;
            case SDL_WINDOWEVENT:
                if (e.window.event == SDL_WINDOWEVENT_CLOSE)
                    running = false;
                break;
            case SDL_KEYDOWN:
                switch (e.key.keysym.sym)
                {
                case SDLK_ESCAPE:
                case SDLK_RETURN:
                case SDLK_SPACE:
                    running = false;
                    break;
                case SDLK_UP:
                    ScrollTo(m_firstLine - 1, m_left);
                    break;
                case SDLK_DOWN:
                    ScrollTo(m_firstLine + 1, m_left);
                    break;
                case SDLK_PAGEUP:
                    ScrollTo(m_firstLine - VisibleLines(), m_left);
                    break;
                case SDLK_PAGEDOWN:
                    ScrollTo(m_firstLine + VisibleLines(), m_left);
                    break;
                case SDLK_HOME:
                    ScrollTo(0, 0);
                    break;
                case SDLK_END:
                    ScrollTo(static_cast<int>(m_lines.size()), m_left);
                    break;
                case SDLK_LEFT:
                    ScrollTo(m_firstLine, m_left - 24);
                    break;
                case SDLK_RIGHT:
                    ScrollTo(m_firstLine, m_left + 24);
                    break;
                default:
                    break;
                }
                break;
            case SDL_MOUSEWHEEL:
                if (SDL_GetModState() & KMOD_SHIFT)
                    ScrollTo(m_firstLine, m_left - e.wheel.y * 24);
                else
                    ScrollTo(m_firstLine - e.wheel.y * 3, m_left + e.wheel.x * 24);
                break;
            case SDL_MOUSEMOTION:
                m_buttonHot = Inside(kButton, e.motion.x, e.motion.y);
                if (m_draggingThumb)
                {
                    const int track = kReportBox.h - 2 - ThumbRect().h;
                    const int maxFirst = std::max(0, static_cast<int>(m_lines.size()) - VisibleLines());
                    const int y = e.motion.y - m_dragOffset - (kReportBox.y + 1);
                    if (track > 0)
                        ScrollTo(y * maxFirst / track, m_left);
                }
                break;
            case SDL_MOUSEBUTTONDOWN:
                if (e.button.button != SDL_BUTTON_LEFT)
                    break;
                if (Inside(kButton, e.button.x, e.button.y))
                {
                    m_buttonDown = true;
                    m_buttonHot = true;
                }
                else if (Inside(ThumbRect(), e.button.x, e.button.y))
                {
                    m_draggingThumb = true;
                    m_dragOffset = e.button.y - ThumbRect().y;
                }
                else if (e.button.x >= ThumbRect().x && Inside(kReportBox, e.button.x, e.button.y))
                {
                    const int page = VisibleLines();
                    ScrollTo(m_firstLine + (e.button.y < ThumbRect().y ? -page : page), m_left);
                }
                break;
            case SDL_MOUSEBUTTONUP:
                if (e.button.button != SDL_BUTTON_LEFT)
                    break;
                if (m_buttonDown && Inside(kButton, e.button.x, e.button.y))
                    running = false;
                m_buttonDown = false;
                m_draggingThumb = false;
                break;
            default:
                break;
            }
        } while (running && SDL_PollEvent(&e));
    }
    return true;
}
