#pragma once

#include "framework/graphics/NativeDisplay.h"

namespace Quillo
{

class Platform;

// The display on the platform's presenter: the 800x600 ARGB screen image is
// handed to the platform, which shows it scaled with black bars in full
// screen. There is no 3D path; every drawing rule is the software one. It
// lives above the platform, which knows nothing of the display.
class PlatformDisplay final : public NativeDisplay
{
public:
    PlatformDisplay(ImageRegistry& images, Platform& platform);
    ~PlatformDisplay() override;

    Result Init(bool windowed, bool vsync) override;

protected:
    bool PresentFrame(const uint32_t* pixels, int pitch, const Rect& rect) override;
    bool PresentFrameAreas(const uint32_t* pixels, int pitch, const std::vector<Rect>& areas,
                           const Rect& bounds) override;
    uint32_t* FrameMemory() override;

private:
    Platform& m_platform;
    bool m_ready = false;
};

} // namespace Quillo
