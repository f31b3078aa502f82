#include "game/board/BallMarker.h"

#include <algorithm>

namespace Spindrel
{

namespace
{

// The board is 800 x 600; a ball whose centre is off it cannot be seen.
constexpr float kBoardWidth = 800.0f;
constexpr float kBoardHeight = 600.0f;

long IndexOf(const BallMarker::BallList& balls, const Ball* ball)
{
    const auto it = std::find_if(balls.begin(), balls.end(), [&](const auto& b) { return b.get() == ball; });
    return it == balls.end() ? -1 : static_cast<long>(it - balls.begin());
}

} // namespace

bool BallMarker::Selectable(const Ball& ball)
{
    return ball.alive && ball.segment != 0 && ball.x >= 0.0f && ball.x < kBoardWidth && ball.y >= 0.0f &&
           ball.y < kBoardHeight;
}

void BallMarker::Step(const BallList& balls, int steps)
{
    Follow(balls);
    if (m_ball == nullptr)
    {
        const auto front = std::find_if(balls.begin(), balls.end(), [](const auto& b) { return Selectable(*b); });
        if (front != balls.end())
            m_ball = front->get();
        return;
    }
    // The gate is at the list's front, so a step towards it lowers the index.
    const long direction = steps > 0 ? -1 : 1;
    int left = std::abs(steps);
    const auto count = static_cast<long>(balls.size());
    for (long i = IndexOf(balls, m_ball) + direction; left > 0 && i >= 0 && i < count; i += direction)
    {
        if (Selectable(*balls[static_cast<size_t>(i)]))
        {
            m_ball = balls[static_cast<size_t>(i)].get();
            --left;
        }
    }
}

void BallMarker::Follow(const BallList& balls)
{
    if (m_ball == nullptr)
        return;
    const long at = IndexOf(balls, m_ball);
    if (at < 0)
    {
        m_ball = nullptr;
        return;
    }
    if (Selectable(*m_ball))
        return;
    m_ball = nullptr;
    const auto count = static_cast<long>(balls.size());
    for (long reach = 1; reach < count; ++reach)
    {
        for (const long i : {at + reach, at - reach})
        {
            if (i >= 0 && i < count && Selectable(*balls[static_cast<size_t>(i)]))
            {
                m_ball = balls[static_cast<size_t>(i)].get();
                return;
            }
        }
    }
}

int BallMarker::StepsBetween(const BallList& balls, const Ball* from, const Ball* to)
{
    const long a = IndexOf(balls, from);
    const long b = IndexOf(balls, to);
    if (a < 0 || b < 0 || !Selectable(*from) || !Selectable(*to))
        return 0;
    const auto first = balls.begin() + std::min(a, b);
    const auto last = balls.begin() + std::max(a, b);
    const auto steps = static_cast<int>(std::count_if(first, last, [](const auto& ball) { return Selectable(*ball); }));
    // The list runs from the gate backwards: a lower index lies ahead.
    return b < a ? steps : -steps;
}

} // namespace Spindrel
