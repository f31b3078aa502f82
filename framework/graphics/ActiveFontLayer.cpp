#include "framework/graphics/ActiveFontLayer.h"

#include "framework/graphics/MemoryImage.h"

namespace Quillo
{

ActiveFontLayer::ActiveFontLayer(const ActiveFontLayer& other)
    : baseLayer(other.baseLayer), image(other.image), glyphRects(other.glyphRects)
{
    if (other.m_ownedImage)
    {
        m_ownedImage = std::make_unique<MemoryImage>(*other.m_ownedImage);
        image = m_ownedImage.get();
    }
}

ActiveFontLayer& ActiveFontLayer::operator=(const ActiveFontLayer& other)
{
    if (this != &other)
    {
        ActiveFontLayer copy(other);
        *this = std::move(copy);
    }
    return *this;
}

ActiveFontLayer::~ActiveFontLayer() = default;

void ActiveFontLayer::SetOwnedImage(std::unique_ptr<MemoryImage> owned)
{
    m_ownedImage = std::move(owned);
    image = m_ownedImage.get();
}

} // namespace Quillo
