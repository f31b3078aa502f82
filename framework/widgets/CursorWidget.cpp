#include "framework/widgets/CursorWidget.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"

namespace Quillo
{

CursorWidget::CursorWidget()
{
    mouseVisible = false;
    overlay = true;
}

void CursorWidget::Draw(Graphics* g)
{
    if (m_image)
        g->DrawImage(m_image, 0, 0);
}

void CursorWidget::SetImage(Image* image)
{
    const Point oldHotSpot = GetHotSpot();
    m_image = image;
    const Point hotSpot = GetHotSpot();
    // Keep the hot spot where it was, so the picture changes under the mouse.
    Resize(x + oldHotSpot.x - hotSpot.x, y + oldHotSpot.y - hotSpot.y, image ? image->width : 0,
           image ? image->height : 0);
    Invalidate();
}

Point CursorWidget::GetHotSpot() const
{
    if (!m_image)
        return Point{};
    return Point{m_image->width / 2, m_image->height / 2};
}

} // namespace Quillo
