#include "game/board/BoardLogic.h"

#include <cmath>
#include <vector>

namespace Spindrel
{

void BoardLogic::StepBonusArrival(float dt)
{
    GameState& s = m_state;
    if (s.bonusCount != 0 || s.eyeHold || s.losing)
        return;
    s.bonusTimer -= dt;
    if (s.bonusTimer > 0.0f)
        return;
    // A dead ball waiting to leave the list is never stepped again: a bonus
    // on it would never expire, and no other bonus would come.
    std::vector<Ball*> living;
    living.reserve(m_balls.size());
    for (const auto& b : m_balls)
        if (b->alive)
            living.push_back(b.get());
    if (living.size() <= 4)
        return;
    s.bonusTimer = 10.0f * m_intervals.Next();
    Ball& ball = *living[static_cast<size_t>(Random()) % living.size()];
    int kind = Random() % 5;
    if (s.leadProgress < 50.0f && kind == 1)
        kind = 0;
    else if (kind == 3 && CountOfType(ball.type) <= 2)
        kind = 4;
    if (s.targetReached && kind == 4)
        kind = 0;
    ArmBonus(ball, kind);
}

void BoardLogic::ArmBonus(Ball& ball, int kind)
{
    ball.bonus = kind;
    ball.bonusLife = 11.0f;
    ball.blinking = true;
    ball.blinkTimer = 0.0f;
    ball.blinkOff = ball.blinkOn = 0.05f;
    ball.blinkTotal = 1.0f;
    m_state.bonusCount += 1;
    m_host.PlaySound(BoardSound::BonusArrived);
}

void BoardLogic::StepBallBonus(Ball& ball, float dt)
{
    if (ball.bonus == -1)
        return;
    ball.bonusLife -= dt;
    if (ball.blinking)
    {
        ball.blinkTotal -= dt;
        if (ball.blinkTotal > 0.0f)
        {
            ball.blinkTimer += dt;
            if (!ball.bonusVisible && ball.blinkTimer > ball.blinkOn)
            {
                ball.bonusVisible = true;
                ball.blinkTimer = 0.0f;
            }
            else if (ball.bonusVisible && ball.blinkTimer > ball.blinkOff)
            {
                ball.bonusVisible = false;
                ball.blinkTimer = 0.0f;
            }
        }
        else
        {
            ball.blinking = false;
            ball.bonusVisible = true;
        }
    }
    if (!ball.blinking && ball.bonusLife < 1.0f)
    {
        ball.blinking = true;
        ball.blinkTimer = 0.0f;
        ball.blinkOff = ball.blinkOn = 0.07f;
        ball.blinkTotal = 12.0f;
    }
    if (ball.bonusLife < 0.0f)
    {
        ball.bonus = -1;
        m_state.bonusCount -= 1;
    }
}

void BoardLogic::TriggerBonus(int kind, const Ball& origin)
{
    GameState& s = m_state;
    switch (kind)
    {
    case 0:
        s.eyeHoldTime = 5.0f;
        s.eyeHold = true;
        s.revealing = true;
        s.revealTimer = 0.0f;
        break;
    case 1:
        m_host.PlaySound(BoardSound::Rollback);
        s.rushing = false;
        SpawnFlyText(origin.x, origin.y + 20.0f, 0, m_host.GetText(54));
        s.rollingBack = true;
        s.speed = kRollbackSpeed;
        s.rollbackStep = -0.4f;
        break;
    case 2:
        m_host.PlaySound(BoardSound::Stop);
        s.pauseTime = 7.0f;
        s.paused = true;
        s.speedUpTimer = 0.0f;
        s.speedUpActive = false;
        StopBigBar();
        SpawnFlyText(origin.x, origin.y + 20.0f, 0, m_host.GetText(53));
        break;
    case 3:
        s.typeActive = true;
        s.typePicture = origin.type;
        s.typeTimer = 0.0f;
        break;
    case 4:
        m_host.PlaySound(BoardSound::Explode);
        s.bombX = origin.x;
        s.bombY = origin.y;
        s.bombRadius = 200.0f;
        SpawnBlast(origin.x, origin.y, 200.0f);
        s.bombActive = true;
        s.bombTimer = 0.0f;
        s.bombDone = false;
        s.pauseTime = 1.0f;
        s.paused = true;
        break;
    default:
        break;
    }
}

Ball* BoardLogic::FirstAliveBall(const std::function<bool(const Ball&)>& test)
{
    for (auto& ball : m_balls)
    {
        if (ball->alive && test(*ball))
            return ball.get();
    }
    return nullptr;
}

void BoardLogic::FinishTypeBonus()
{
    GameState& s = m_state;
    s.typeActive = false;
    int taken = 0;
    for (auto& ball : m_balls)
    {
        if (!ball->alive || !ball->revealed)
            continue;
        RemoveBall(*ball);
        SpawnFlyText(ball->x + 30.0f, ball->y + 30.0f, ball->type, "+10");
        ++taken;
    }
    AddScore(10 * taken);
    m_host.PlaySound(BoardSound::CollectPair);
}

void BoardLogic::StepBonusSequences(float dt)
{
    GameState& s = m_state;

    if (s.bombActive)
    {
        s.bombTimer += dt;
        if (s.bombTimer > 0.3f && !s.bombDone)
        {
            s.bombDone = true;
            int caught = 0;
            for (auto& ball : m_balls)
            {
                if (!ball->alive || ball->revealed)
                    continue;
                const float dx = ball->x - s.bombX;
                const float dy = ball->y - s.bombY;
                if (std::sqrt(dx * dx + dy * dy) < s.bombRadius)
                {
                    StartFlip(*ball, 0.01f, true);
                    ball->revealed = true;
                    ++caught;
                }
            }
            // A bomb among the caught balls starts a blast of its own at its
            // own place, so this one is over and keeps its place for its text.
            const float x = s.bombX;
            const float y = s.bombY;
            s.bombActive = false;
            for (auto& ball : m_balls)
            {
                if (ball->alive && ball->revealed)
                    RemoveBall(*ball);
            }
            AddScore(25 * caught);
            SpawnFlyText(x, y, 0, "+" + std::to_string(25 * caught));
        }
    }

    if (s.typeActive)
    {
        s.typeTimer += dt;
        if (s.typeTimer >= 0.2f)
        {
            s.typeTimer = 0.0f;
            const int picture = s.typePicture;
            Ball* next = FirstAliveBall(
                [picture](const Ball& b) { return b.type == picture && !b.revealed; });
            if (next != nullptr)
            {
                StartFlip(*next, 0.01f, true);
                next->revealed = true;
            }
            else
            {
                FinishTypeBonus();
            }
        }
    }

    if (s.revealing)
    {
        s.revealTimer += dt;
        if (s.revealTimer >= 0.1f)
        {
            s.revealTimer = 0.0f;
            Ball* next = FirstAliveBall([](const Ball& b) { return !b.revealed; });
            if (next != nullptr)
            {
                StartFlip(*next, 0.01f, true);
                next->revealed = true;
            }
            else
            {
                s.revealing = false;
            }
        }
    }

    if (s.unrevealing)
    {
        s.revealTimer += dt;
        if (s.revealTimer >= 0.1f)
        {
            s.revealTimer = 0.0f;
            Ball* next = FirstAliveBall([](const Ball& b) { return b.revealed; });
            if (next != nullptr)
            {
                StartFlip(*next, 0.01f, true);
                next->revealed = false;
            }
            else
            {
                s.unrevealing = false;
            }
        }
    }

    if (s.eyeHold && !s.revealing)
    {
        s.eyeHoldTime -= dt;
        if (s.eyeHoldTime < 0.0f)
        {
            s.unrevealing = true;
            s.eyeHold = false;
            s.revealTimer = 0.0f;
        }
    }
}

} // namespace Spindrel
