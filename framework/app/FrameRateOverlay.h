#pragma once

#include "framework/graphics/SysFont.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace Quillo
{

class Image;

// The developer's frame-rate display: a small box in the bottom-right
// corner of the screen with the frames presented per second or the mouse
// position, and, while a demo plays, the demo time in a second box above it.
class FrameRateOverlay
{
public:
    enum class Mode
    {
        FramesPerSecond,
        MousePosition,
    };

    // On or off; the frame count starts again from nowMs.
    void Toggle(double nowMs);
    // Frames per second or mouse position, whichever is not shown.
    void CycleMode();
    bool IsOn() const { return m_on; }
    Mode GetMode() const { return m_mode; }

    // Once per frame, before drawing: new texts for the boxes. demoMs is
    // the playing demo's time, none without a demo.
    void Refresh(double nowMs, int mouseX, int mouseY, std::optional<int64_t> demoMs);
    // Once per presented frame.
    void CountPresent() { ++m_presents; }
    // Onto the back buffer, right before it is presented.
    void DrawOnto(Image* screen, int screenWidth, int screenHeight);

    const std::string& Text() const { return m_text; }
    const std::string& DemoTimeText() const { return m_demoText; }

    // Box size and distances from the screen's edges.
    static constexpr int kBoxWidth = 72;
    static constexpr int kBoxHeight = 14;
    static constexpr int kMargin = 10;
    static constexpr int kDemoBoxRise = 15;

private:
    void DrawBox(Image* screen, int x, int y, const std::string& text);

    bool m_on = false;
    Mode m_mode = Mode::FramesPerSecond;
    double m_countStartMs = 0.0;
    int m_presents = 0;
    int m_framesPerSecond = 0;
    std::string m_text;
    std::string m_demoText;
    std::unique_ptr<SysFont> m_font;
};

} // namespace Quillo
