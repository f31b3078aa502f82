#include "framework/widgets/KeyMarkOrder.h"

#include "framework/widgets/KeyCode.h"
#include "framework/widgets/Widget.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace Quillo
{

Widget* NextInTabOrder(const std::vector<Widget*>& controls, const Widget* from, bool backwards)
{
    if (controls.empty())
        return nullptr;
    std::vector<Widget*> order = controls;
    std::stable_sort(order.begin(), order.end(), [](const Widget* a, const Widget* b) {
        return a->y != b->y ? a->y < b->y : a->x < b->x;
    });
    const auto at = std::find(order.begin(), order.end(), from);
    if (at == order.end())
        return order.front();
    const auto index = static_cast<size_t>(at - order.begin());
    const size_t count = order.size();
    return order[backwards ? (index + count - 1) % count : (index + 1) % count];
}

Widget* NearestInDirection(const std::vector<Widget*>& controls, const Widget* from, int arrowKey)
{
    if (from == nullptr)
        return nullptr;
    const int fromX = from->x + from->width / 2;
    const int fromY = from->y + from->height / 2;
    Widget* best = nullptr;
    long bestScore = std::numeric_limits<long>::max();
    for (Widget* control : controls)
    {
        if (control == from)
            continue;
        const int dx = control->x + control->width / 2 - fromX;
        const int dy = control->y + control->height / 2 - fromY;
        int ahead = 0;
        int aside = 0;
        switch (arrowKey)
        {
        case KeyCode::Left: ahead = -dx, aside = dy; break;
        case KeyCode::Right: ahead = dx, aside = dy; break;
        case KeyCode::Up: ahead = -dy, aside = dx; break;
        case KeyCode::Down: ahead = dy, aside = dx; break;
        default: return nullptr;
        }
        if (ahead <= 0)
            continue;
        const long score = static_cast<long>(ahead) + 2L * std::abs(aside);
        if (score < bestScore)
        {
            bestScore = score;
            best = control;
        }
    }
    return best;
}

} // namespace Quillo
