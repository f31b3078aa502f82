#include "framework/graphics/NativeDisplay.h"

#include "framework/graphics/DisplayImage.h"
#include "framework/graphics/ImageLib.h"
#include "framework/graphics/ImageRegistry.h"

#include <algorithm>
#include <cstring>

namespace Quillo
{

const char* NativeDisplay::ResultName(int32_t code)
{
    switch (code)
    {
    case 0: return "RESULT_OK";
    case 1: return "RESULT_FAIL";
    case 2: return "RESULT_DD_CREATE_FAIL";
    case 3: return "RESULT_SURFACE_FAIL";
    case 4: return "RESULT_EXCLUSIVE_FAIL";
    case 5: return "RESULT_DISPCHANGE_FAIL";
    case 6: return "RESULT_INVALID_COLORDEPTH";
    default: return "RESULT_UNKNOWN";
    }
}

NativeDisplay::NativeDisplay(ImageRegistry& images) : m_images(&images)
{
    m_screen = std::make_unique<DisplayImage>(*this);
    m_screen->Create(kScreenWidth, kScreenHeight);
    // The screen is opaque: images drawn onto it take the opaque-destination rules.
    uint32_t* bits = m_screen->GetBits();
    std::fill(bits, bits + size_t(kScreenWidth) * kScreenHeight, 0xFF000000u);
    m_screen->ForceAlphaFlags(false, false);
    m_images->SetDisplay(this);
}

NativeDisplay::~NativeDisplay()
{
    m_images->SetDisplay(nullptr);
}

std::recursive_mutex& NativeDisplay::GetLock() { return m_images->Mutex(); }

void NativeDisplay::SetRefreshRate(int hz) { m_refreshRate = std::clamp(hz, kMinRefreshRate, kMaxRefreshRate); }

void NativeDisplay::SetCursorImage(Image* image, int hotX, int hotY)
{
    std::lock_guard lock(GetLock());
    m_cursorImage = image;
    m_cursorHot = Point{hotX, hotY};
}

bool NativeDisplay::SetCursorPos(int x, int y)
{
    std::lock_guard lock(GetLock());
    if (m_cursorPos == Point{x, y})
        return false;
    m_cursorPos = Point{x, y};
    return true;
}

Point NativeDisplay::GetCursorPos()
{
    std::lock_guard lock(GetLock());
    return m_cursorPos;
}

Rect NativeDisplay::GetCursorRect()
{
    std::lock_guard lock(GetLock());
    if (!m_cursorImage)
        return Rect{};
    return Rect{m_cursorPos.x - m_cursorHot.x, m_cursorPos.y - m_cursorHot.y, m_cursorImage->width,
                m_cursorImage->height}
        .Intersection(Rect{0, 0, kScreenWidth, kScreenHeight});
}

bool NativeDisplay::PresentScreen() { return PresentScreen(Rect{0, 0, kScreenWidth, kScreenHeight}); }

bool NativeDisplay::PresentScreen(const Rect& rect)
{
    return PresentScreenAreas(std::vector<Rect>{rect.Intersection(Rect{0, 0, kScreenWidth, kScreenHeight})}, false);
}

bool NativeDisplay::PresentScreenAreas(const std::vector<Rect>& areas) { return PresentScreenAreas(areas, true); }

bool NativeDisplay::PresentScreenAreas(const std::vector<Rect>& areas, bool evenUnchanged)
{
    std::lock_guard lock(GetLock());
    const Rect screenRect{0, 0, kScreenWidth, kScreenHeight};
    const Rect cursor = GetCursorRect();
    // Where the cursor was must be shown again without it.
    std::vector<Rect> shown;
    shown.reserve(areas.size() + 2);
    Rect bounds;
    for (const Rect& r : areas)
    {
        const Rect inside = r.Intersection(screenRect);
        if (inside.width > 0)
            shown.push_back(inside);
    }
    for (const Rect& r : {cursor, m_lastCursorRect})
    {
        if (r.width > 0 && r.height > 0)
            shown.push_back(r);
    }
    for (const Rect& r : shown)
        bounds = bounds.Union(r);
    uint32_t* bits = m_screen->GetBits();

    // The cursor is drawn over the frame only while presenting; the pixels
    // under it are put back afterwards, so widgets never see it.
    if (cursor.width > 0 && cursor.height > 0)
    {
        m_cursorSave.resize(size_t(cursor.width) * size_t(cursor.height));
        for (int y = 0; y < cursor.height; ++y)
            std::memcpy(&m_cursorSave[size_t(y) * size_t(cursor.width)],
                        bits + size_t(cursor.y + y) * kScreenWidth + size_t(cursor.x),
                        size_t(cursor.width) * 4);
        const int ox = m_cursorPos.x - m_cursorHot.x, oy = m_cursorPos.y - m_cursorHot.y;
        m_screen->PaintImage(m_cursorImage, cursor.x, cursor.y,
                             Rect{cursor.x - ox, cursor.y - oy, cursor.width, cursor.height},
                             Color::White, DRAWMODE_NORMAL);
    }
    const bool ok = bounds.width > 0 || evenUnchanged ? PresentFrameAreas(bits, kScreenWidth, shown, bounds) : true;
    if (cursor.width > 0 && cursor.height > 0)
    {
        for (int y = 0; y < cursor.height; ++y)
            std::memcpy(bits + size_t(cursor.y + y) * kScreenWidth + size_t(cursor.x),
                        &m_cursorSave[size_t(y) * size_t(cursor.width)], size_t(cursor.width) * 4);
    }
    m_lastCursorRect = cursor;
    // Drawn where it is shown, the frame needs no comparing and copying
    // there. The first placing moves the pixels over; later presents find
    // them in place.
    if (ok)
    {
        uint32_t* memory = FrameMemory();
        if (memory != (m_screen->BitsPlaced() ? m_screen->GetBits() : nullptr))
            m_screen->PlaceBits(memory);
    }
    return ok;
}

void NativeDisplay::ReleaseFrameMemory()
{
    std::lock_guard lock(GetLock());
    m_screen->PlaceBits(nullptr);
}

bool NativeDisplay::PresentFrameAreas(const uint32_t* pixels, int pitch, const std::vector<Rect>&,
                                      const Rect& bounds)
{
    return bounds.width > 0 ? PresentFrame(pixels, pitch, bounds) : true;
}

void NativeDisplay::ReleaseImages()
{
    m_images->ForEach([this](MemoryImage& image) {
        image.DiscardNativeData();
        ReleaseImageTexture(image);
    });
}

void NativeDisplay::RestoreImages()
{
    m_images->ForEach([this](MemoryImage& image) { RestoreImage(image); });
}

void NativeDisplay::ReleaseImageTexture(MemoryImage& image) { (void)image; }

void NativeDisplay::RestoreImage(MemoryImage& image) { (void)image; }

bool NativeDisplay::WriteScreenshot(const std::string& fileName)
{
    ImageLib::Image shot(kScreenWidth, kScreenHeight);
    {
        std::lock_guard lock(GetLock());
        std::memcpy(shot.bits.get(), m_screen->GetBits(), size_t(kScreenWidth) * kScreenHeight * 4);
    }
    return ImageLib::WritePNG(fileName, shot);
}

} // namespace Quillo
