#pragma once

#include "framework/graphics/NativeDisplay.h"

namespace Quillo
{

class Platform;

// The display on the platform's presenter: the 800x600 ARGB screen image is
// uploaded to an SDL streaming texture and shown, scaled with black bars in
// full screen. There is no 3D path; every drawing rule is the software one.
class SdlDisplay final : public NativeDisplay
{
public:
    SdlDisplay(ImageRegistry& images, Platform& platform);

    Result Init(bool windowed, bool vsync) override;

protected:
    bool PresentFrame(const uint32_t* pixels, int pitch, const Rect& rect) override;
    bool PresentFrameAreas(const uint32_t* pixels, int pitch, const std::vector<Rect>& areas,
                           const Rect& bounds) override;

private:
    Platform& m_platform;
    bool m_ready = false;
};

} // namespace Quillo
