#pragma once

#include "framework/graphics/FontGlyph.h"
#include "framework/platform/Rect.h"

#include <array>
#include <memory>

namespace Quillo
{

struct FontLayer;
class MemoryImage;

// A layer chosen for an image font's current size and tags, with the glyph
// image it draws from: the layer's own, or a scaled copy that it owns.
class ActiveFontLayer
{
public:
    ActiveFontLayer() = default;
    ActiveFontLayer(const ActiveFontLayer& other);
    ActiveFontLayer& operator=(const ActiveFontLayer& other);
    ActiveFontLayer(ActiveFontLayer&&) noexcept = default;
    ActiveFontLayer& operator=(ActiveFontLayer&&) noexcept = default;
    ~ActiveFontLayer();

    bool OwnsImage() const { return m_ownedImage != nullptr; }
    void SetOwnedImage(std::unique_ptr<MemoryImage> image);

    const FontLayer* baseLayer = nullptr;
    MemoryImage* image = nullptr;
    std::array<Rect, kFontCharCount> glyphRects{};

private:
    std::unique_ptr<MemoryImage> m_ownedImage;
};

} // namespace Quillo
