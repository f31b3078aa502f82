#pragma once

#include "tools/quillo_demo/app/StateHash.h"

#include "framework/graphics/Color.h"
#include "framework/widgets/Widget.h"

namespace QuilloDemo
{

// A ball that runs to and fro along a strip, one step per update; at each
// wall it takes a colour from the framework's random generator.
class BouncingBall : public Quillo::Widget
{
public:
    static constexpr int kSize = 24;
    static constexpr int kMaxSpeed = 12;

    BouncingBall();

    void Draw(Quillo::Graphics* g) override;
    void Update() override;

    // Pixels per update, -kMaxSpeed..kMaxSpeed.
    void ChangeSpeed(int delta);
    void AddState(StateHash& hash) const;

private:
    int m_position = 0;
    int m_speed = 3;
    Quillo::Color m_color{220, 180, 60};
};

} // namespace QuilloDemo
