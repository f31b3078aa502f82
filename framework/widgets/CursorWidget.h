#pragma once

#include "framework/platform/Point.h"
#include "framework/widgets/Widget.h"

namespace Quillo
{

class Image;

// The drawn mouse cursor, owned by the WidgetManager: an overlay that takes
// no hits and whose hot spot the manager keeps at the mouse position.
class CursorWidget : public Widget
{
public:
    CursorWidget();

    void Draw(Graphics* g) override;

    // Not owned; null draws nothing. Resizes the widget to the image.
    void SetImage(Image* image);
    Image* GetImage() const { return m_image; }
    // The centre of the image, or (0, 0) without one.
    Point GetHotSpot() const;

private:
    Image* m_image = nullptr;
};

} // namespace Quillo
