#include "tools/quillo_demo/app/TypeBar.h"

#include "tools/quillo_demo/app/BouncingBall.h"

#include "framework/graphics/Graphics.h"
#include "framework/widgets/KeyCode.h"

namespace QuilloDemo
{

TypeBar::TypeBar(BouncingBall& ball) : m_ball(ball)
{
    Resize(20, 300, 760, 80);
}

void TypeBar::Draw(Quillo::Graphics* g)
{
    g->SetColor(hasFocus ? Quillo::Color(50, 50, 80) : Quillo::Color(40, 40, 40));
    g->FillRect(0, 0, width, height);
    for (size_t i = 0; i < m_text.size(); ++i)
    {
        const int code = static_cast<unsigned char>(m_text[i]);
        const int bar = 8 + code % 64;
        g->SetColor(Quillo::Color(120 + code % 128, 200, 255 - code % 128));
        g->FillRect(4 + static_cast<int>(i) * 12, height - 4 - bar, 10, bar);
    }
}

void TypeBar::OnKeyChar(char32_t ch)
{
    // One bar per byte: a letter beyond 255 is not drawn by this demo.
    if (ch < 32 || ch > 255 || m_text.size() >= kMaxLength)
        return;
    m_text.push_back(static_cast<char>(ch));
    Invalidate();
}

void TypeBar::OnKeyDown(int key)
{
    if (key == Quillo::KeyCode::Backspace && !m_text.empty())
    {
        m_text.pop_back();
        Invalidate();
    }
    else if (key == Quillo::KeyCode::Left)
        m_ball.ChangeSpeed(-1);
    else if (key == Quillo::KeyCode::Right)
        m_ball.ChangeSpeed(1);
}

void TypeBar::OnMouseWheel(int delta)
{
    m_ball.ChangeSpeed(delta);
}

void TypeBar::AddState(StateHash& hash) const
{
    for (char c : m_text)
        hash.Add(static_cast<unsigned char>(c));
    hash.Add(static_cast<uint32_t>(m_text.size()));
}

} // namespace QuilloDemo
