#include "framework/app/FrameRateOverlay.h"

#include "framework/graphics/Graphics.h"

#include <cstdio>

namespace Quillo
{

void FrameRateOverlay::Toggle(double nowMs)
{
    m_on = !m_on;
    m_countStartMs = nowMs;
    m_presents = 0;
    m_framesPerSecond = 0;
}

void FrameRateOverlay::CycleMode()
{
    m_mode = m_mode == Mode::FramesPerSecond ? Mode::MousePosition : Mode::FramesPerSecond;
}

void FrameRateOverlay::Refresh(double nowMs, int mouseX, int mouseY, std::optional<int64_t> demoMs)
{
    if (!m_on)
        return;
    // The rate over the last whole second, so that the number stays readable.
    const double elapsed = nowMs - m_countStartMs;
    if (elapsed >= 1000.0)
    {
        m_framesPerSecond = static_cast<int>(m_presents * 1000.0 / elapsed + 0.5);
        m_presents = 0;
        m_countStartMs = nowMs;
    }
    char text[32];
    if (m_mode == Mode::FramesPerSecond)
        std::snprintf(text, sizeof text, "FPS: %d", m_framesPerSecond);
    else
        std::snprintf(text, sizeof text, "%d,%d", mouseX, mouseY);
    m_text = text;
    m_demoText.clear();
    if (demoMs)
    {
        const int64_t seconds = *demoMs / 1000;
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", int(seconds / 3600 % 100), int(seconds / 60 % 60),
                      int(seconds % 60));
        m_demoText = text;
    }
}

void FrameRateOverlay::DrawOnto(Image* screen, int screenWidth, int screenHeight)
{
    if (!m_on || !screen)
        return;
    const int x = screenWidth - kMargin - kBoxWidth, y = screenHeight - kMargin - kBoxHeight;
    DrawBox(screen, x, y, m_text);
    if (!m_demoText.empty())
        DrawBox(screen, x, y - kDemoBoxRise, m_demoText);
}

void FrameRateOverlay::DrawBox(Image* screen, int x, int y, const std::string& text)
{
    if (!m_font)
        m_font = std::make_unique<SysFont>("Sans", 8);
    Graphics g(screen);
    // An opaque box: each frame's text covers the last one completely.
    g.SetColor(Color(0, 0, 0));
    g.FillRect(x, y, kBoxWidth, kBoxHeight);
    g.SetColor(Color(255, 255, 80));
    g.SetFont(m_font.get());
    g.DrawString(text, x + 3, y + kBoxHeight - 3);
}

} // namespace Quillo
