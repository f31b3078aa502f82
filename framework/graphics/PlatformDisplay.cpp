#include "framework/graphics/PlatformDisplay.h"

#include "framework/platform/Platform.h"

namespace Quillo
{

PlatformDisplay::PlatformDisplay(ImageRegistry& images, Platform& platform)
    : NativeDisplay(images), m_platform(platform)
{
    m_platform.SetFrameMemoryLost([this] { ReleaseFrameMemory(); });
}

PlatformDisplay::~PlatformDisplay()
{
    m_platform.SetFrameMemoryLost(nullptr);
    ReleaseFrameMemory();
}

uint32_t* PlatformDisplay::FrameMemory()
{
    return m_ready ? m_platform.FrameMemory(kScreenWidth, kScreenHeight) : nullptr;
}

NativeDisplay::Result PlatformDisplay::Init(bool windowed, bool vsync)
{
    m_ready = false;
    ReleaseFrameMemory();
    SetWindowed(windowed);
    const int code = m_platform.InitPresenter(!windowed, vsync);
    if (code != 0)
    {
        SetErrorText(m_platform.LastError());
        return static_cast<Result>(code);
    }
    SetRefreshRate(m_platform.RefreshRate());
    m_ready = true;
    return Result::Ok;
}

bool PlatformDisplay::PresentFrame(const uint32_t* pixels, int pitch, const Rect& rect)
{
    if (!m_ready)
        return false;
    return m_platform.Present(pixels, pitch, kScreenWidth, kScreenHeight, rect);
}

bool PlatformDisplay::PresentFrameAreas(const uint32_t* pixels, int pitch, const std::vector<Rect>& areas,
                                   const Rect&)
{
    if (!m_ready)
        return false;
    return m_platform.PresentAreas(pixels, pitch, kScreenWidth, kScreenHeight, areas);
}

} // namespace Quillo
