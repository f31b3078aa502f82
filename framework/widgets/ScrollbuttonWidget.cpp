#include "framework/widgets/ScrollbuttonWidget.h"

#include "framework/graphics/Graphics.h"

#include <algorithm>

namespace Quillo
{

ScrollbuttonWidget::ScrollbuttonWidget(int buttonId, ButtonListener* buttonListener)
    : ButtonWidget(buttonId, buttonListener)
{
}

void ScrollbuttonWidget::Draw(Graphics* g)
{
    const bool pressedLook = IsPressedLook();
    DrawBevel(g, pressedLook);
    const int shift = pressedLook ? 1 : 0;
    const int size = std::max(2, std::min(width, height) / 3);
    const int cx = width / 2 + shift;
    const int cy = height / 2 + shift;
    Point arrow[3];
    const bool backwards = id == 0;
    if (!horizontal)
    {
        const int tip = backwards ? cy - size / 2 : cy + size / 2;
        const int base = backwards ? cy + size / 2 : cy - size / 2;
        arrow[0] = Point{cx, tip};
        arrow[1] = Point{cx - size, base};
        arrow[2] = Point{cx + size, base};
    }
    else
    {
        const int tip = backwards ? cx - size / 2 : cx + size / 2;
        const int base = backwards ? cx + size / 2 : cx - size / 2;
        arrow[0] = Point{tip, cy};
        arrow[1] = Point{base, cy - size};
        arrow[2] = Point{base, cy + size};
    }
    g->SetColor(disabled ? Color(132, 132, 132) : Color::Black);
    g->PolyFill(arrow, 3);
}

} // namespace Quillo
