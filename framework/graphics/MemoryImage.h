#pragma once

#include "framework/graphics/Image.h"
#include "framework/graphics/LazyArray.h"
#include "framework/graphics/PixelKernels.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

namespace Quillo
{

class ImageRegistry;
class NativeDisplay;

// An image whose pixels live in memory, either as 32-bit ARGB words
// (alpha in bits 24-31) or as 8-bit indices into a 256-entry ARGB palette,
// with lazily built derived data that speeds up drawing. Every drawing
// operation runs in software by the integer blending rules.
class MemoryImage : public Image
{
public:
    // The word written after the last pixel; a changed value means that
    // something wrote past the pixels.
    static constexpr uint32_t kGuardWord = 0x4BEEFADE;
    // Images larger than this many pixels are refused (Create leaves them empty).
    static constexpr int64_t kMaxPixels = int64_t(1) << 26;

    // An image that belongs to no registry (tools, tests, temporaries).
    MemoryImage();
    // An image that registers itself with the application's registry, so
    // that the display can find it; the registry must outlive it.
    explicit MemoryImage(ImageRegistry& registry);
    MemoryImage(const MemoryImage& other);
    MemoryImage& operator=(const MemoryImage&) = delete;
    ~MemoryImage() override;

    void FillRect(const Rect& rect, const Color& color, int drawMode) override;
    void ClearRect(const Rect& rect) override;
    void PaintImage(Image* src, int x, int y, const Rect& srcRect, const Color& color,
                    int drawMode) override;
    void PaintImageF(Image* src, float x, float y, const Rect& srcRect, const Rect& clipRect,
                     const Color& color, int drawMode) override;
    void PaintImageRotated(Image* src, float x, float y, const Rect& srcRect, const Rect& clipRect,
                           const Color& color, int drawMode, double angle, int centerX,
                           int centerY) override;
    void PaintImageStretched(Image* src, const Rect& destRect, const Rect& srcRect,
                             const Rect& clipRect, const Color& color, int drawMode,
                             bool quickStretch) override;

    // Premultiplied pixels in the display's format (null display: 32-bit
    // ARGB); one per pixel, or one per palette entry for a palettized image.
    virtual const uint32_t* GetNativeAlpha(const NativeDisplay* display);
    // Per pixel: how many pixels, this one included, remain in its run of
    // equal alpha class (0 transparent, 1 opaque, 2 partial), capped at 255.
    virtual const uint8_t* GetRLAlpha();
    // One span per row, read off the run lengths: where the row's
    // non-transparent pixels lie and its longest opaque run.
    const AlphaRowSpan* GetAlphaRowSpans();
    // The same encoding for the classes black / not black of the native pixels.
    virtual const uint8_t* GetRLAdditive(const NativeDisplay* display);
    virtual void DiscardDerivedData();
    virtual void ReleaseDeviceTexture();
    virtual void DiscardAll();
    virtual void MarkBitsChanged();
    virtual void CommitAlphaFlags();
    virtual void DiscardNativeData();
    virtual void Clear();
    virtual void SetBits(const uint32_t* pixels, int width, int height);
    virtual void Create(int width, int height);
    // The 32-bit pixels, allocated (zeroed) on first use; a palettized image
    // is expanded and stops being palettized.
    virtual uint32_t* GetBits();
    virtual void ForceAlphaFlags(bool hasTrans, bool hasAlpha);
    virtual void SetVolatile(bool isVolatile);
    // Turns the pixels into palette form; false (and no change) when there
    // are more than 256 distinct ARGB values.
    virtual bool ConvertToPalette();

    // Moves the 32-bit pixels into memory the caller keeps (width * height
    // words in rows of width, nothing after them) and draws there from now
    // on; null moves them back into memory of the image's own. The caller
    // keeps the memory alive until then, or until the image drops its
    // pixels (Create, SetBits, Clear...). The pixels, if any, go along.
    void PlaceBits(uint32_t* memory);
    // True while the pixels live in memory given to PlaceBits.
    bool BitsPlaced() const { return m_bits && !m_bits.get_deleter().owned; }

    bool HasBits() const { return m_bits != nullptr; }
    bool IsPalettized() const { return m_colorTable != nullptr; }
    const uint32_t* GetColorTable() const { return m_colorTable.get(); }
    const uint8_t* GetColorIndices() const { return m_colorIndices.get(); }
    bool HasNativeAlpha() const { return m_nativeAlpha != nullptr; }
    bool HasRLAlpha() const { return m_rlAlpha.Get() != nullptr; }
    bool HasRLAdditive() const { return m_rlAdditive != nullptr; }
    bool HasTrans() const { return m_hasTrans; }
    bool HasAlpha() const { return m_hasAlpha; }
    bool AlphaFlagsForced() const { return m_forcedAlphaFlags; }
    bool IsVolatile() const { return m_isVolatile; }
    bool BitsChanged() const { return m_bitsChanged.load(std::memory_order_acquire); }
    int32_t GetBitsChangedCount() const { return m_bitsChangedCount; }
    ImageRegistry* GetRegistry() const { return m_registry; }
    // True while the word after the last pixel still holds kGuardWord.
    bool GuardIntact() const;

    // The source pixel at (x, y) in ARGB, from either form; 0 without pixels.
    uint32_t PixelAt(int x, int y) const;

protected:
    // Copies rect of this image's pixels into out (rect.width words per row),
    // from whichever form holds them, without changing the form.
    void CopyPixels(const Rect& rect, uint32_t* out) const;
    // What a stretched drawing of srcRect of src onto destRect puts inside
    // clipRect and this image: area is that part of this image and pixels
    // its resampled source pixels, row by row, not yet composited. False
    // when nothing would be drawn.
    bool StretchedPixels(Image* src, const Rect& destRect, const Rect& srcRect,
                         const Rect& clipRect, bool quickStretch, Rect& area,
                         std::vector<uint32_t>& pixels) const;

private:
    // Pixels start on a cache line, so that vector loads and stores of
    // aligned rows never straddle two lines.
    struct AlignedDelete
    {
        constexpr AlignedDelete() noexcept : owned(true) {}
        constexpr explicit AlignedDelete(bool own) noexcept : owned(own) {}
        bool owned; // false: memory given to PlaceBits
        void operator()(uint32_t* p) const
        {
            if (owned)
                ::operator delete[](p, std::align_val_t(64));
        }
    };
    using PixelArray = std::unique_ptr<uint32_t[], AlignedDelete>;

    void AllocateBits();
    void FreePixelForms();
    // A small palette image's pixels as ARGB, made on first drawing and kept
    // while the palette lasts (glyph strips are drawn thousands of times a
    // frame); null for a large one, which is expanded per drawing instead.
    const uint32_t* PaletteExpanded();
    static constexpr int64_t kMaxExpandedPixels = 1 << 18;

    ImageRegistry* m_registry = nullptr;
    // Builds what drawing from this image works out on first use (the
    // expanded palette, the alpha runs and spans, the alpha flags), which
    // threads drawing from it at once may all ask for.
    std::mutex m_derivedLock;
    PixelArray m_bits;
    std::unique_ptr<uint32_t[]> m_colorTable;
    std::unique_ptr<uint8_t[]> m_colorIndices;
    LazyArray<uint32_t> m_paletteExpanded;
    bool m_forcedAlphaFlags = false;
    bool m_hasTrans = false;
    bool m_hasAlpha = false;
    bool m_isVolatile = false;
    std::unique_ptr<uint32_t[]> m_nativeAlpha;
    LazyArray<uint8_t> m_rlAlpha;
    LazyArray<AlphaRowSpan> m_alphaSpans;
    std::unique_ptr<uint8_t[]> m_rlAdditive;
    // Alpha flags not yet worked out from changed pixels; cleared under
    // m_derivedLock once they are.
    std::atomic<bool> m_bitsChanged{false};
    int32_t m_bitsChangedCount = 0;
};

} // namespace Quillo
