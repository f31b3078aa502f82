#include "game/board/BoardLogic.h"

#include "game/board/TextFormat.h"

#include <algorithm>
#include <cmath>

namespace Spindrel
{

namespace
{

BoardSound ComboSound(int counter)
{
    switch (counter)
    {
    case 2: return BoardSound::Combo2;
    case 3: return BoardSound::Combo3;
    case 4: return BoardSound::Combo4;
    case 5: return BoardSound::Combo5;
    case 6: return BoardSound::Combo6;
    case 7: return BoardSound::Combo7;
    case 8: return BoardSound::Combo8;
    default: return BoardSound::Combo9;
    }
}

} // namespace

void BoardLogic::HandleClick(int clickCode, int x, int y)
{
    // 3 is the middle button, a negative count the right one.
    if (clickCode == 3 || clickCode <= 0)
        return;
    if (Ball* ball = BallAt(static_cast<float>(x), static_cast<float>(y)))
    {
        OpenBall(*ball);
        KeepInSavedRange();
    }
}

void BoardLogic::MoveMarker(int steps)
{
    m_marker.Step(m_balls, steps);
}

void BoardLogic::SeekMarker(BallMarker::Seek seek)
{
    m_marker.Move(m_balls, seek);
}

void BoardLogic::OpenMarked()
{
    // A click on the ball's centre, so that the keys open what a click
    // there would.
    m_marker.Follow(m_balls);
    if (const Ball* ball = m_marker.Marked())
        HandleClick(1, static_cast<int>(std::lround(ball->x)), static_cast<int>(std::lround(ball->y)));
}

void BoardLogic::OpenBall(Ball& ball)
{
    if (ball.open)
        return;
    if (m_state.pairPending)
        EvaluatePair();
    ball.open = true;
    m_marker.Saw(&ball);
    if (!ball.revealed)
        StartFlip(ball, 0.02f, true);
    // A pending pair was judged above, so the slots have room; a guard
    // all the same, as the slots hold two balls at most.
    if (m_openCount >= 2)
        return;
    m_openBalls[static_cast<size_t>(m_openCount)] = &ball;
    ++m_openCount;
    if (m_openCount == 2)
    {
        m_state.pairPending = true;
        m_state.pairDelay = ball.revealed ? 0.05f : 0.5f;
    }
}

void BoardLogic::StartFlip(Ball& ball, float period, bool withSound)
{
    if (withSound)
        m_host.PlaySound(ball.open ? BoardSound::OpenBall : BoardSound::CloseBall);
    ball.flipping = true;
    ball.flipLastFrame = std::max(0, m_art.picRot.cels - 1);
    ball.flipLoop = false;
    ball.flipPeriod = period;
    ball.flipDone = false;
    ball.flipTimer = 0.0f;
    ball.flipFrame = 0;
}

void BoardLogic::StepFlip(Ball& ball, float dt)
{
    if (!ball.flipping || ball.flipDone)
        return;
    ball.flipTimer += dt;
    if (ball.flipTimer >= ball.flipPeriod)
    {
        ball.flipTimer = 0.0f;
        ball.flipFrame += 1;
        if (ball.flipFrame > ball.flipLastFrame)
        {
            if (ball.flipLoop)
            {
                ball.flipFrame = 0;
            }
            else
            {
                ball.flipFrame = ball.flipLastFrame;
                ball.flipDone = true;
            }
        }
    }
    if (ball.flipDone)
        ball.flipping = false;
}

void BoardLogic::CloseBall(Ball& ball, bool withSound)
{
    ball.open = false;
    if (!ball.revealed)
        StartFlip(ball, 0.03f, withSound);
}

void BoardLogic::StepPair(float dt)
{
    if (!m_state.pairPending)
        return;
    m_state.pairDelay -= dt;
    if (m_state.pairDelay <= 0.0f)
        EvaluatePair();
}

void BoardLogic::EvaluatePair()
{
    GameState& s = m_state;
    Ball* a = m_openBalls[0];
    Ball* b = m_openBalls[1];
    m_openBalls = {};
    m_openCount = 0;
    s.pairPending = false;
    if (a == nullptr || b == nullptr)
    {
        if (a != nullptr && a->alive)
            CloseBall(*a, false);
        return;
    }
    // A ball taken off while open (by a bomb) leaves no pair to judge.
    if (!a->alive || !b->alive)
    {
        if (a->alive)
            CloseBall(*a, false);
        if (b->alive)
            CloseBall(*b, false);
        return;
    }

    if (a->type == b->type)
    {
        if (a->bonus != 4 && b->bonus != 4)
        {
            const int points = a->revealed ? s.revealedCombo * 5 + 15 : s.combo * 20;
            AddScore(points);
            SpawnFlyText(a->x, a->y, a->type, "+" + std::to_string(points));
            bool comboShown = false;
            if (!a->revealed && s.combo > 1)
            {
                SpawnFlyText(a->x, a->y + 20.0f, a->type, FormatInt(m_host.GetText(38), s.combo));
                m_host.PlaySound(ComboSound(s.combo));
                comboShown = true;
            }
            else if (a->revealed && s.revealedCombo > 1)
            {
                SpawnFlyText(a->x, a->y + 20.0f, a->type,
                             FormatInt(m_host.GetText(39), s.revealedCombo));
                m_host.PlaySound(ComboSound(s.revealedCombo));
                comboShown = true;
            }
            if (!comboShown && a->bonus == -1 && b->bonus == -1)
                m_host.PlaySound(BoardSound::CollectPair);
        }
        if (a->revealed)
            s.revealedCombo += 1;
        else
            s.combo += 1;
        RemoveBall(*a);
        RemoveBall(*b);
    }
    else
    {
        CloseBall(*a, true);
        CloseBall(*b, false);
        EndComboRuns(true);
        s.combo = 1;
        s.revealedCombo = 1;
    }
}

void BoardLogic::EndComboRuns(bool counted)
{
    // A counter stands one above the combo last shown: the pair that showed
    // "Combo x3" was made at 3 and raised it to 4. The statistics report
    // what the player saw, so a run counts as a combo once it showed one.
    GameState& s = m_state;
    const int shown = s.combo - 1;
    const int revealedShown = s.revealedCombo - 1;
    if (counted && shown >= 2)
        s.comboCount += 1;
    if (counted && revealedShown >= 2)
        s.revealedComboCount += 1;
    s.maxCombo = std::max(s.maxCombo, shown);
    s.maxRevealedCombo = std::max(s.maxRevealedCombo, revealedShown);
}

void BoardLogic::RemoveBall(Ball& ball)
{
    if (!ball.alive)
        return;
    if (ball.type >= 0 && ball.type < kPictureCount)
        SpawnShrink(ball.x, ball.y, m_art.faces[static_cast<size_t>(ball.type)]);
    ball.open = false;
    ball.alive = false;
    ForgetOpenBall(&ball);
    if (ball.bonus != -1)
    {
        // Cleared before it fires, so that a ball taken off twice cannot
        // fire twice.
        const int kind = ball.bonus;
        ball.bonus = -1;
        m_state.bonusCount -= 1;
        TriggerBonus(kind, ball);
    }
}

void BoardLogic::AddScore(int points)
{
    GameState& s = m_state;
    s.extraLifeCounter += points;
    if (s.extraLifeCounter > kExtraLifePoints - 1)
    {
        s.extraLifeCounter -= kExtraLifePoints;
        s.lives += 1;
        SlideExtraLifeText(s.lives);
    }
    s.score += points;
    s.levelScore += points;
}

} // namespace Spindrel
