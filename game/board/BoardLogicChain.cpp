#include "game/board/BoardLogic.h"

#include <algorithm>
#include <cmath>

namespace Spindrel
{

float BoardLogic::Progress(float distance) const
{
    // A track without length has no progress to speak of.
    if (m_path.totalLength <= 0.0f)
        return 0.0f;
    return distance / m_path.totalLength * 100.0f;
}

void BoardLogic::SpeedRule()
{
    GameState& s = m_state;
    if (s.rushing)
        return;
    float factor = 1.0f;
    if (s.tailProgress > 95.0f)
        factor = 0.5f;
    else if (s.tailProgress > 90.0f)
        factor = 0.65f;
    else if (s.tailProgress > 80.0f)
        factor = 0.75f;
    else if (s.tailProgress > 70.0f)
        factor = 0.85f;

    if (s.losing)
    {
        if (s.speed < kLosingSpeedCap)
            s.speed += 1.0f;
        return;
    }
    if (s.rollingBack)
    {
        // The speed recovers by the step's size every step, so that a
        // rollback always ends.
        const float base = s.leadProgress < 5.0f ? s.baseSpeed : s.speed;
        s.speed = base + std::fabs(s.rollbackStep);
        if (s.speed >= s.baseSpeed)
        {
            s.rollingBack = false;
            s.speed = s.baseSpeed;
        }
    }
    else
    {
        if (s.speed > s.baseSpeed)
        {
            s.speed *= kDecay;
            if (s.speed < s.baseSpeed)
                s.speed = s.baseSpeed;
        }
        else
        {
            s.speed = factor * s.baseSpeed;
        }
        if (s.speedUpActive)
            s.speed = factor * s.speedUpSpeed;
        else if (s.boostActive)
            s.speed = kBoostSpeed;
    }
    if (s.paused)
    {
        s.pauseTime -= 0.01f;
        if (s.pauseTime <= 0.0f)
            s.paused = false;
        s.speed = 1.0f;
    }
}

void BoardLogic::MoveBall(Ball& ball, float d)
{
    if (std::fabs(d) < 0.0001f)
        return;
    const int count = m_path.Count();
    if (count < 2)
        return;
    if (d > 0.0f)
    {
        for (;;)
        {
            const float length = m_path.SegmentLength(ball.segment);
            const float rest = (1.0f - ball.fraction) * length;
            if (d < rest)
            {
                ball.distance += d;
                ball.fraction += d / length;
                break;
            }
            ball.segment += 1;
            ball.distance += rest;
            if (ball.segment + 1 >= count)
            {
                EndOfTrack(ball);
                break;
            }
            ball.fraction = 0.0f;
            d -= rest;
        }
    }
    else
    {
        d = -d;
        if (ball.segment < 0)
            return;
        bool fellOff = false;
        for (;;)
        {
            const float back = m_path.SegmentLength(ball.segment) * ball.fraction;
            if (d < back)
                break;
            ball.distance -= back;
            ball.segment -= 1;
            if (ball.segment < 0)
            {
                ball.segment = 0;
                ball.alive = false;
                ForgetOpenBall(&ball);
                fellOff = true;
                break;
            }
            ball.fraction = 1.0f;
            d -= back;
        }
        if (!fellOff)
        {
            ball.distance -= d;
            ball.fraction -= d / m_path.SegmentLength(ball.segment);
        }
    }
    const PathPosition pos = m_path.PositionOnSegment(ball.segment, ball.fraction);
    ball.x = pos.x;
    ball.y = pos.y;
}

void BoardLogic::EndOfTrack(Ball& ball)
{
    // A ball already taken off (a pair or an earlier pass) carries no rule
    // when it is pushed past the end again.
    if (ball.alive)
    {
        if (!m_state.losing)
        {
            m_host.PlaySound(BoardSound::LoseLife);
            m_state.losing = true;
            m_state.revealing = true;
            m_state.revealTimer = 0.0f;
            m_state.eyeHoldTime = 50.0f;
        }
        if (m_state.speed < 500.0f && ball.type >= 0 && ball.type < kPictureCount)
            SpawnShrink(ball.x, ball.y, m_art.faces[static_cast<size_t>(ball.type)]);
    }
    ball.alive = false;
    ForgetOpenBall(&ball);
    ball.segment = m_path.Count() - 2;
    ball.fraction = 1.0f;
}

void BoardLogic::ClearBalls()
{
    m_balls.clear();
    m_marker.ForgetAll();
    m_openBalls = {};
    m_openCount = 0;
}

Ball* BoardLogic::FrontAliveBall()
{
    for (auto& ball : m_balls)
    {
        if (ball->alive)
            return ball.get();
    }
    return nullptr;
}

int BoardLogic::OddType() const
{
    std::array<int, kPictureCount> counts{};
    for (const auto& ball : m_balls)
    {
        if (ball->alive && ball->type >= 0 && ball->type < kPictureCount)
            ++counts[static_cast<size_t>(ball->type)];
    }
    for (int t = 0; t < kPictureCount; ++t)
    {
        if (counts[static_cast<size_t>(t)] % 2 != 0)
            return t;
    }
    return -1;
}

int BoardLogic::CountOfType(int type) const
{
    int n = 0;
    for (const auto& ball : m_balls)
    {
        if (ball->type == type)
            ++n;
    }
    return n;
}

Ball* BoardLogic::BallAt(float x, float y)
{
    for (auto& ball : m_balls)
    {
        // A ball already taken off is not drawn, so it cannot take a click.
        if (!ball->alive)
            continue;
        const float dx = ball->x - x;
        const float dy = ball->y - y;
        if (std::sqrt(dx * dx + dy * dy) <= kClickRadius)
            return ball.get();
    }
    return nullptr;
}

int BoardLogic::PictureCount() const
{
    // The table may ask for more pictures than exist.
    return std::clamp(m_state.numPictures, 0, kPictureCount);
}

std::unique_ptr<Ball> BoardLogic::MakeBall()
{
    auto ball = std::make_unique<Ball>();
    ball->rollAngle = static_cast<float>(Random() % 360);
    const int backCels = m_art.picBack.width / 60;
    const int backRoll = Random();
    ball->backFrame = backCels > 0 ? backRoll % backCels : 0;
    ball->hint = Random() % 7 == 1;
    ball->bonus = -1;
    if (m_path.Count() >= 2)
    {
        ball->x = m_path.points[1].x;
        ball->y = m_path.points[1].y;
    }
    return ball;
}

Ball& BoardLogic::AddBall(int type, float distance)
{
    auto ball = MakeBall();
    ball->type = type;
    m_balls.push_back(std::move(ball));
    Ball& added = *m_balls.back();
    MoveBall(added, distance);
    return added;
}

void BoardLogic::SpawnIfRoom()
{
    GameState& s = m_state;
    const bool belowTarget = s.score < s.targetScore;
    if (!belowTarget && OddType() == -1)
        return;
    if (m_path.Count() < 2 || s.losing)
        return;
    const PathPoint& spawn = m_path.points[1];
    for (const auto& ball : m_balls)
    {
        const float dx = ball->x - spawn.x;
        const float dy = ball->y - spawn.y;
        if (std::sqrt(dx * dx + dy * dy) <= kBallSpacing || ball->segment == 0)
            return;
    }
    // The ball's own random fields are drawn before its picture.
    auto ball = MakeBall();
    if (belowTarget)
    {
        const int pictures = PictureCount();
        ball->type = pictures > 0 ? Random() % pictures : 0;
    }
    else
    {
        ball->type = OddType();
    }
    if (s.eyeHold)
        ball->revealed = true;
    m_balls.push_back(std::move(ball));
    if (s.rushing)
    {
        s.rushCount -= 1;
        if (s.rushCount <= 0)
            s.rushing = false;
    }
}

void BoardLogic::PushChain()
{
    if (m_balls.size() < 2)
        return;
    if (m_state.speed > 0.0f)
    {
        for (size_t i = m_balls.size() - 1; i >= 1; --i)
        {
            Ball& behind = *m_balls[i];
            Ball& front = *m_balls[i - 1];
            if (behind.distance + kBallSpacing > front.distance)
                MoveBall(front, behind.distance + kBallSpacing - front.distance);
        }
    }
    else
    {
        for (size_t i = 0; i + 1 < m_balls.size(); ++i)
        {
            Ball& front = *m_balls[i];
            Ball& behind = *m_balls[i + 1];
            if (front.distance - kBallSpacing < behind.distance)
                MoveBall(behind, front.distance - kBallSpacing - behind.distance);
        }
    }
}

void BoardLogic::ForgetOpenBall(const Ball* ball)
{
    // A dead ball leaves the slots at once: left there until the chain
    // step takes it out of the list, it would be saved as open, which no
    // saved game may be.
    for (int i = 0; i < m_openCount; ++i)
    {
        if (m_openBalls[static_cast<size_t>(i)] == ball)
        {
            if (i == 0)
                m_openBalls[0] = m_openBalls[1];
            m_openBalls[1] = nullptr;
            --m_openCount;
            m_state.pairPending = false;
            return;
        }
    }
}

void BoardLogic::RemoveFirstDeadBall()
{
    m_marker.Follow(m_balls);
    for (auto it = m_balls.begin(); it != m_balls.end(); ++it)
    {
        if (!(*it)->alive)
        {
            ForgetOpenBall(it->get());
            // A bonus that never fired (its ball went through the gate or
            // off the start) goes with its ball; counted on, it would keep
            // every later bonus away.
            if ((*it)->bonus != -1)
                m_state.bonusCount -= 1;
            m_marker.Forget(it->get());
            m_balls.erase(it);
            return;
        }
    }
}

void BoardLogic::StepChain(float dt)
{
    GameState& s = m_state;
    if (s.intro)
        return;

    if (m_balls.empty())
    {
        s.tailProgress = 0.0f;
    }
    else
    {
        const Ball* head = m_balls.front().get();
        for (size_t i = m_balls.size() - 1; i >= 1; --i)
        {
            const Ball& behind = *m_balls[i];
            const Ball& front = *m_balls[i - 1];
            if (static_cast<int>(front.distance - behind.distance) > kGapThreshold)
            {
                head = &behind;
                break;
            }
        }
        s.tailProgress = Progress(head->distance);
        const Ball* lead = FrontAliveBall();
        if (lead == nullptr)
            lead = m_balls.front().get();
        s.leadDistance = static_cast<int>(lead->distance);
        s.leadProgress = Progress(static_cast<float>(s.leadDistance));
    }

    if (!m_balls.empty())
    {
        Ball& driven = s.speed > 0.0f ? *m_balls.back() : *m_balls.front();
        if (driven.alive)
        {
            const float oldX = driven.x;
            MoveBall(driven, s.speed * dt);
            if (driven.x > oldX)
                driven.rollAngle -= dt;
            else
                driven.rollAngle += dt;
        }
    }

    for (auto& ball : m_balls)
    {
        if (!ball->alive)
            continue;
        ball->glowTime += dt;
        StepFlip(*ball, dt);
        StepBallBonus(*ball, dt);
    }

    RemoveFirstDeadBall();
    SpawnIfRoom();
    PushChain();
}

} // namespace Spindrel
