#include "game/board/Effect.h"

#include <algorithm>

namespace Spindrel
{

namespace
{

void Fade(Effect& e, float dt)
{
    if (!e.fading)
    {
        e.life -= dt;
        if (e.life <= 0.0f)
            e.fading = true;
        return;
    }
    e.color.alpha = static_cast<int>(static_cast<float>(e.color.alpha) - dt * e.fadeRate);
    if (e.color.alpha < 1)
    {
        e.color.alpha = 0;
        e.alive = false;
    }
}

} // namespace

void StepEffect(Effect& e, float dt)
{
    if (!e.alive)
        return;
    switch (e.kind)
    {
    case EffectKind::Spark:
        e.timer += dt;
        if (e.timer >= e.celPeriod)
        {
            e.timer = 0.0f;
            if (++e.cel > e.lastCel)
                e.alive = false;
        }
        break;
    case EffectKind::FlyText:
        e.x += dt * e.vx;
        e.y += dt * e.vy;
        Fade(e, dt);
        break;
    case EffectKind::Shrink:
        e.timer += dt;
        if (e.timer >= e.celPeriod)
        {
            e.timer = 0.0f;
            e.width *= 0.7f;
            e.height *= 0.7f;
            if (e.width < 2.0f || e.height < 2.0f)
                e.alive = false;
        }
        break;
    case EffectKind::Blast:
        if (e.phase == 0)
        {
            e.width += 1900.0f * dt;
            e.height += 1900.0f * dt;
            if (e.width >= e.maxWidth || e.height >= e.maxHeight)
                e.phase = 1;
        }
        else
        {
            e.width -= 1500.0f * dt;
            e.height -= 1500.0f * dt;
            if (e.width < 2.0f || e.height < 2.0f)
            {
                e.alive = false;
                break;
            }
        }
        e.timer += dt;
        if (e.timer >= e.celPeriod)
        {
            e.timer = 0.0f;
            if (e.phase == 0)
            {
                e.color.alpha = std::min(255, e.color.alpha + 35);
            }
            else
            {
                e.color.alpha = std::max(0, e.color.alpha - 50);
                if (e.color.alpha <= 0)
                    e.alive = false;
            }
        }
        break;
    case EffectKind::Chips:
        e.life -= dt;
        if (e.life <= 0.0f)
        {
            e.alive = false;
            break;
        }
        e.timer += dt;
        if (e.timer >= e.celPeriod)
        {
            e.timer = 0.0f;
            if (++e.cel > e.lastCel)
                e.cel = 0;
            e.color.alpha = std::max(0, e.color.alpha - 9);
            if (e.color.alpha <= 0)
                e.alive = false;
        }
        break;
    case EffectKind::SlideText:
        e.timer += dt;
        if (e.timer >= 0.02f)
        {
            e.timer = 0.0f;
            e.offsetX *= 0.8f;
            e.offsetY *= 0.8f;
        }
        Fade(e, dt);
        break;
    }
}

} // namespace Spindrel
