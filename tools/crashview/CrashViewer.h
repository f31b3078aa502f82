#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <string>
#include <vector>

// The "Fatal Error!" window: the header text, the report in a scrolling
// field and one "Close Now" button, 400 by 300 pixels.
class CrashViewer
{
public:
    CrashViewer(std::string header, std::vector<std::string> lines);
    ~CrashViewer();
    CrashViewer(const CrashViewer&) = delete;
    CrashViewer& operator=(const CrashViewer&) = delete;

    // Shows the window until it is closed (or `autoCloseMs` have passed,
    // when not 0). A screenshot of the first frame goes to `screenshot`
    // when given. False when no window could be made.
    bool Run(Uint32 autoCloseMs, const std::string& screenshot);

private:
    bool Open();
    void Draw();
    void DrawText(TTF_Font* font, const std::string& text, int x, int y, SDL_Color color, const SDL_Rect& clip);
    void ScrollTo(int firstLine, int leftPixel);
    int VisibleLines() const;
    SDL_Rect ThumbRect() const;
    bool SaveScreenshot(const std::string& path);

    std::string m_header;
    std::vector<std::string> m_lines;
    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    TTF_Font* m_headerFont = nullptr;
    TTF_Font* m_reportFont = nullptr;
    TTF_Font* m_buttonFont = nullptr;
    bool m_ttf = false;
    int m_lineHeight = 13;
    int m_firstLine = 0;
    int m_left = 0;
    bool m_buttonHot = false;
    bool m_buttonDown = false;
    bool m_draggingThumb = false;
    int m_dragOffset = 0;
};
