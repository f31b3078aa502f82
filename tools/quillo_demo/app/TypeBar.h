#pragma once

#include "tools/quillo_demo/app/StateHash.h"

#include "framework/widgets/Widget.h"

#include <string>

namespace QuilloDemo
{

class BouncingBall;

// Typed characters shown as bars whose height follows the character code.
// It holds the keyboard focus: Backspace takes the last character back, the
// arrow keys and the mouse wheel change the ball's speed.
class TypeBar : public Quillo::Widget
{
public:
    static constexpr size_t kMaxLength = 60;

    explicit TypeBar(BouncingBall& ball);

    bool WantsFocus() override { return true; }
    void Draw(Quillo::Graphics* g) override;
    void OnKeyChar(char32_t ch) override;
    void OnKeyDown(int key) override;
    void OnMouseWheel(int delta) override;

    const std::string& Text() const { return m_text; }
    void AddState(StateHash& hash) const;

private:
    BouncingBall& m_ball;
    std::string m_text;
};

} // namespace QuilloDemo
