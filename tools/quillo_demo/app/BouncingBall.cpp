#include "tools/quillo_demo/app/BouncingBall.h"

#include "framework/app/RandomGenerator.h"
#include "framework/graphics/Graphics.h"

#include <algorithm>

namespace QuilloDemo
{

BouncingBall::BouncingBall()
{
    Resize(20, 240, 760, kSize);
}

void BouncingBall::Draw(Quillo::Graphics* g)
{
    g->SetColor(Quillo::Color(20, 40, 30));
    g->FillRect(0, 0, width, height);
    g->SetColor(m_color);
    g->FillRect(m_position, 0, kSize, kSize);
}

void BouncingBall::Update()
{
    if (m_speed == 0)
        return;
    m_position += m_speed;
    const int end = width - kSize;
    if (m_position <= 0 || m_position >= end)
    {
        m_position = std::clamp(m_position, 0, end);
        m_speed = -m_speed;
        Quillo::RandomGenerator& random = Quillo::RandomGenerator::Framework();
        m_color = Quillo::Color(80 + static_cast<int>(random.Next(176)), 80 + static_cast<int>(random.Next(176)),
                                80 + static_cast<int>(random.Next(176)));
    }
    Invalidate();
}

void BouncingBall::ChangeSpeed(int delta)
{
    m_speed = std::clamp(m_speed + delta, -kMaxSpeed, kMaxSpeed);
}

void BouncingBall::AddState(StateHash& hash) const
{
    hash.Add(static_cast<uint32_t>(m_position));
    hash.Add(static_cast<uint32_t>(m_speed));
    hash.Add(static_cast<uint32_t>(m_color.red << 16 | m_color.green << 8 | m_color.blue));
}

} // namespace QuilloDemo
