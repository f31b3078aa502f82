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

void BallMarker::Saw(const Ball* ball)
{
    if (std::find(m_seen.begin(), m_seen.end(), ball) == m_seen.end())
        m_seen.push_back(ball);
}

bool BallMarker::WasSeen(const Ball& ball) const
{
    return ball.revealed || std::find(m_seen.begin(), m_seen.end(), &ball) != m_seen.end();
}

void BallMarker::Forget(const Ball* ball)
{
    std::erase(m_seen, ball);
    if (m_ball == ball)
        m_ball = nullptr;
}

void BallMarker::ForgetAll()
{
    m_seen.clear();
    m_ball = nullptr;
}

Ball* BallMarker::Find(const BallList& balls, const Ball* from, Seek seek) const
{
    const auto count = static_cast<long>(balls.size());
    const long at = IndexOf(balls, from);
    auto candidate = [&](long i, bool seen) {
        const Ball& ball = *balls[static_cast<size_t>(i)];
        return Selectable(ball) && !ball.open && WasSeen(ball) == seen;
    };
    switch (seek)
    {
    case Seek::FirstUnseen:
    case Seek::NextUnseen:
        for (long i = seek == Seek::FirstUnseen || at < 0 ? 0 : at + 1; i < count; ++i)
            if (candidate(i, false))
                return balls[static_cast<size_t>(i)].get();
        return nullptr;
    case Seek::SeenBehind:
    case Seek::SeenAhead:
    {
        // Round the chain, starting next to the marked ball.
        const long direction = seek == Seek::SeenBehind ? 1 : -1;
        const long start = at < 0 ? (direction > 0 ? -1 : count) : at;
        for (long n = 1; n <= count; ++n)
        {
            const long i = ((start + direction * n) % count + count) % count;
            if (candidate(i, true))
                return balls[static_cast<size_t>(i)].get();
        }
        return nullptr;
    }
    }
    return nullptr;
}

void BallMarker::Move(const BallList& balls, Seek seek)
{
    Follow(balls);
    if (Ball* ball = Find(balls, m_ball, seek))
        m_ball = ball;
}

} // namespace Spindrel
