#pragma once

#include "framework/graphics/PixelFormat.h"
#include "framework/platform/Point.h"
#include "framework/platform/Rect.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Quillo
{

class DisplayImage;
class Image;
class ImageRegistry;
class MemoryImage;

// The display the application draws to: an 800x600 32-bit ARGB screen image
// that widgets draw into, presented by the platform's implementation, with
// a software-drawn cursor and the lock shared with the registry of images.
// The platform derives from it and implements Init and PresentFrame.
class NativeDisplay
{
public:
    enum class Result : int32_t
    {
        Ok = 0,
        Fail = 1,
        DeviceCreateFail = 2,
        SurfaceFail = 3,
        ExclusiveFail = 4,
        DisplayChangeFail = 5,
        InvalidColorDepth = 6,
    };

    static constexpr int32_t kScreenWidth = 800;
    static constexpr int32_t kScreenHeight = 600;
    // The refresh rates the frame loop can pace by; a display reporting a
    // rate outside is taken at the nearest one, and the loop's pacing check
    // notices when presents then come faster than that.
    static constexpr int32_t kMinRefreshRate = 50;
    static constexpr int32_t kMaxRefreshRate = 240;

    // "RESULT_OK" ... "RESULT_INVALID_COLORDEPTH", "RESULT_UNKNOWN" for others.
    static const char* ResultName(int32_t code);
    static const char* ResultName(Result result) { return ResultName(static_cast<int32_t>(result)); }

    // images must outlive the display; the display's lock is its mutex.
    explicit NativeDisplay(ImageRegistry& images);
    NativeDisplay(const NativeDisplay&) = delete;
    NativeDisplay& operator=(const NativeDisplay&) = delete;
    virtual ~NativeDisplay();

    // Sets up the window or the full screen. The error text explains a failure.
    virtual Result Init(bool windowed, bool vsync) = 0;

    // Presents the rectangle of the screen image (with the drawn cursor on
    // top, and wherever the cursor was last shown); false when the platform
    // failed. Takes the lock.
    bool PresentScreen(const Rect& rect);
    bool PresentScreen();
    // Presents knowing that only the areas changed since the last present;
    // with no area at all the platform still presents (a refresh-paced
    // frame of an animation whose picture stayed the same).
    bool PresentScreenAreas(const std::vector<Rect>& areas);

    DisplayImage* GetScreenImage() const { return m_screen.get(); }
    const PixelFormat& GetPixelFormat() const { return m_format; }
    int GetWidth() const { return kScreenWidth; }
    int GetHeight() const { return kScreenHeight; }
    bool IsWindowed() const { return m_windowed; }
    // Hz, kMinRefreshRate..kMaxRefreshRate.
    int GetRefreshRate() const { return m_refreshRate; }
    int GetMillisecondsPerRefresh() const { return 1000 / m_refreshRate; }
    const std::string& GetErrorText() const { return m_errorText; }
    // This display never draws through 3D hardware: "Unsupported".
    static const char* Get3DCapability() { return "Unsupported"; }

    std::recursive_mutex& GetLock();
    ImageRegistry& GetImageRegistry() const { return *m_images; }

    // The drawn cursor: an image with its hot spot, or null for none.
    // Both take the lock; the cursor thread calls SetCursorPos every 10 ms.
    void SetCursorImage(Image* image, int hotX, int hotY);
    // True when the position changed (the cursor needs presenting).
    bool SetCursorPos(int x, int y);
    Point GetCursorPos();
    // The screen area the cursor covers at its current position (empty without one).
    Rect GetCursorRect();

    // Drops what device data registered images hold (the device was lost or
    // the pixel format changes) and brings it back afterwards. Pixels in
    // memory are the master copy, so nothing is lost in between.
    void ReleaseImages();
    void RestoreImages();
    // Called when an image that may have a device texture is released or destroyed.
    virtual void ReleaseImageTexture(MemoryImage& image);

    // The memory FrameMemory gave is about to go: the screen image takes its
    // pixels back into memory of its own. Takes the lock.
    void ReleaseFrameMemory();

    // Writes the current frame (without the cursor) as a PNG file.
    bool WriteScreenshot(const std::string& fileName);

protected:
    // Shows rect of the frame; pixels holds the whole 800x600 frame, pitch in pixels.
    virtual bool PresentFrame(const uint32_t* pixels, int pitch, const Rect& rect) = 0;
    // Shows the frame where it may have changed: inside the areas, which
    // bounds holds (empty when nothing changed). By default the whole of
    // bounds, and nothing when it is empty.
    virtual bool PresentFrameAreas(const uint32_t* pixels, int pitch, const std::vector<Rect>& areas,
                                   const Rect& bounds);
    // Memory the platform shows the frame from as it stands, for the
    // screen image to draw into straight (asked after each present); null
    // by default. It stays valid until ReleaseFrameMemory.
    virtual uint32_t* FrameMemory() { return nullptr; }
    // Called by RestoreImages for each registered image; nothing to do by default.
    virtual void RestoreImage(MemoryImage& image);

    void SetWindowed(bool windowed) { m_windowed = windowed; }
    // Clamped to kMinRefreshRate..kMaxRefreshRate.
    void SetRefreshRate(int hz);
    void SetErrorText(std::string text) { m_errorText = std::move(text); }
    void SetPixelFormat(const PixelFormat& format) { m_format = format; }

private:
    bool PresentScreenAreas(const std::vector<Rect>& areas, bool evenUnchanged);

    ImageRegistry* m_images;
    std::unique_ptr<DisplayImage> m_screen;
    PixelFormat m_format;
    bool m_windowed = true;
    int m_refreshRate = 60;
    std::string m_errorText;

    Image* m_cursorImage = nullptr;
    Point m_cursorHot;
    Point m_cursorPos;
    Rect m_lastCursorRect;
    std::vector<uint32_t> m_cursorSave;
};

} // namespace Quillo
