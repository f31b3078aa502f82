#include "game/sim/PlayerModel.h"

#include "game/board/BoardLogic.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace Spindrel
{

namespace
{

// Only what is on the screen can be clicked; balls in the lead-in are not.
bool Clickable(const Ball& b)
{
    return b.alive && !b.open && b.segment != 0 && b.x >= 0 && b.x < 800 && b.y >= 0 && b.y < 600;
}

bool FaceShown(const Ball& b)
{
    return b.alive && (b.open || b.revealed);
}

// Bonus kinds, as the board numbers them.
constexpr int kEye = 0;
constexpr int kRollback = 1;
constexpr int kPause = 2;
constexpr int kType = 3;
constexpr int kBomb = 4;

// Progress (percent of the track) beyond which a person feels the chain is
// getting close to the gate and reaches for the brakes.
constexpr float kDangerProgress = 60.0f;

// Board steps between two looks when no decision is due (50 ms).
constexpr int kLookSteps = 5;

// A held key repeats as the X server does unless the desktop changes it:
// after 660 ms, then 25 times a second.
constexpr double kRepeatDelay = 0.66;
constexpr double kRepeatInterval = 0.04;

// The fewest presses to walk the marker `steps` balls: the first move (a
// step or a jump, signed) and how many times in a row it is pressed.
struct KeyPlan
{
    int move = 0;
    int run = 0;
};

KeyPlan PlanKeys(int steps)
{
    const int n = std::abs(steps);
    const int sign = steps > 0 ? 1 : -1;
    constexpr int jump = BallMarker::kJump;
    // Jumps short of the ball and steps on, or one jump past it and steps
    // back, whichever takes fewer presses.
    const int under = n / jump;
    const int over = under + 1;
    const bool overshoot = over + (over * jump - n) < under + (n - under * jump);
    const int jumps = overshoot ? over : under;
    if (jumps > 0)
        return {sign * jump, jumps};
    return {sign, n};
}

int WalkPresses(int steps)
{
    const int n = std::abs(steps);
    const int under = n / BallMarker::kJump;
    return std::min(under + n - under * BallMarker::kJump, under + 1 + (under + 1) * BallMarker::kJump - n);
}

// Seeks pressed more often than this in a row are not worth counting.
constexpr int kMaxSeekRun = 4;

} // namespace

PlayerModel::PlayerModel(BoardLogic& logic, const PlayerProfile& profile, uint64_t seed, InputDevice input)
    : m_logic(logic), m_profile(profile), m_random(seed), m_input(input)
{
    m_nextDecision = WaitTime();
}

void PlayerModel::Step()
{
    // The eyes take in the board a few times a second, and always just
    // before a decision.
    m_clock += 0.01;
    const bool deciding = m_clock >= m_nextDecision;
    if (deciding || ++m_sinceLook >= kLookSteps)
        Look();
    if (m_target != nullptr)
    {
        if (m_clock >= m_nextPress)
            PressKey();
        return;
    }
    if (!deciding)
        return;
    const GameState& s = m_logic.State();
    // Between lives and after the last pair there is nothing to do; the
    // first click after the pause comes after a fresh look at the board.
    if (!(s.intro || s.losing || s.levelComplete || s.pauseDepth > 0))
        Decide();
    // A click or a walk of the marker schedules the next decision when it
    // ends; a decision that did nothing waits for the next choice.
    if (m_target == nullptr && m_nextDecision <= m_clock)
        m_nextDecision = m_clock + WaitTime();
}

double PlayerModel::WaitTime()
{
    // The mouse is moved onto the ball before the click; the keys pay
    // for themselves as they are pressed.
    const double choose = m_random.Between(m_profile.chooseMin, m_profile.chooseMax);
    return m_input == InputDevice::Mouse ? choose + m_profile.aimSeconds : choose;
}

bool PlayerModel::StillClickable(const Ball* target) const
{
    // A target that went (a bomb, the gate) or turned up, or a board that
    // stopped taking clicks: think again.
    const GameState& s = m_logic.State();
    const auto& balls = m_logic.Balls();
    const bool there = std::any_of(balls.begin(), balls.end(), [&](const auto& b) { return b.get() == target; });
    return !(s.intro || s.losing || s.levelComplete || s.pauseDepth > 0) && there && Clickable(*target);
}

PlayerModel::Memory* PlayerModel::Find(const Ball* ball)
{
    for (auto& m : m_memory)
        if (m.ball == ball)
            return &m;
    return nullptr;
}

void PlayerModel::Look()
{
    // Every face that appears is looked at; each new one pushes older ones
    // out of memory a little. A face still on show since the last look is
    // the same sighting.
    m_sinceLook = 0;
    ++m_look;
    for (const auto& owned : m_logic.Balls())
    {
        const Ball& ball = *owned;
        if (!FaceShown(ball))
            continue;
        Memory* m = Find(&ball);
        if (m == nullptr)
        {
            m_memory.push_back({});
            m = &m_memory.back();
            m->ball = &ball;
        }
        if (m->shownLook != m_look - 1)
        {
            ++m_facesSeen;
            m->threshold = m_random.Unit();
        }
        m->shownLook = m_look;
        m->type = ball.type;
        m->seenAt = m_clock;
        m->seenFaces = m_facesSeen;
        m->distance = ball.distance;
    }
}

bool PlayerModel::Knows(const Ball& ball, int& type)
{
    Memory* m = Find(&ball);
    if (m == nullptr)
        return false;
    if (FaceShown(ball))
    {
        type = ball.type;
        return true;
    }
    // A ball carried far from where it was seen is lost; so is a memory
    // whose ball has gone and whose place in the list a new ball took (it
    // shows a different face or sits elsewhere).
    const float moved = std::fabs(ball.distance - m->distance);
    const double recall = std::exp(-(m_clock - m->seenAt) / static_cast<double>(m_profile.memorySeconds) -
                                   static_cast<double>(m_facesSeen - m->seenFaces) / m_profile.memoryFaces);
    if (moved > m_profile.moveLimit || m->type != ball.type || recall <= m->threshold)
    {
        m_memory.erase(m_memory.begin() + (m - m_memory.data()));
        return false;
    }
    type = m->type;
    return true;
}

Ball* PlayerModel::KnownPartner(int type, const Ball* except)
{
    for (const auto& ball : m_logic.Balls())
    {
        int known = -1;
        if (ball.get() != except && Clickable(*ball) && Knows(*ball, known) && known == type)
            return ball.get();
    }
    return nullptr;
}

Ball* PlayerModel::KnownPairHead()
{
    // The first ball from the gate whose partner is also known. A partner
    // on show in a pending mismatch counts: clicking this ball settles that
    // pair, and the partner can be clicked next.
    std::array<Ball*, BoardLogic::kPictureCount> firstOfType{};
    std::array<bool, BoardLogic::kPictureCount> onShow{};
    if (m_logic.OpenCount() == 2 && m_logic.OpenBallAt(0)->type != m_logic.OpenBallAt(1)->type)
        for (int i = 0; i < 2; ++i)
            onShow[static_cast<size_t>(m_logic.OpenBallAt(i)->type % BoardLogic::kPictureCount)] = true;
    for (const auto& ball : m_logic.Balls())
    {
        int type = -1;
        if (!Clickable(*ball) || !Knows(*ball, type) || type < 0 || type >= BoardLogic::kPictureCount)
            continue;
        const auto t = static_cast<size_t>(type);
        if (onShow[t])
            return ball.get();
        if (firstOfType[t] != nullptr)
            return firstOfType[t];
        firstOfType[t] = ball.get();
    }
    return nullptr;
}

Ball* PlayerModel::UsefulBonus()
{
    const GameState& s = m_logic.State();
    const float total = std::max(1.0f, m_logic.GetPath().totalLength);
    std::erase_if(m_bonusNoticed, [&](const auto& entry) {
        const auto& balls = m_logic.Balls();
        return std::none_of(balls.begin(), balls.end(), [&](const auto& b) {
            return b.get() == entry.first && b->alive && b->bonus >= 0;
        });
    });
    for (const auto& owned : m_logic.Balls())
    {
        Ball& ball = *owned;
        if (ball.bonus < 0 || !Clickable(ball))
            continue;
        auto it = std::find_if(m_bonusNoticed.begin(), m_bonusNoticed.end(),
                               [&](const auto& entry) { return entry.first == &ball; });
        if (it == m_bonusNoticed.end())
        {
            m_bonusNoticed.emplace_back(&ball, m_random.Chance(m_profile.bonusUse));
            it = std::prev(m_bonusNoticed.end());
        }
        if (!it->second)
            continue;
        const bool danger = s.leadProgress > kDangerProgress;
        bool useful = false;
        switch (ball.bonus)
        {
        case kEye:
        case kType:
            useful = true;
            break;
        case kRollback:
            useful = danger;
            break;
        case kPause:
            useful = danger || s.speedUpActive;
            break;
        case kBomb:
            // The blast clears round the bomb ball: worth it near the gate.
            useful = ball.distance / total * 100.0f > kDangerProgress;
            break;
        default:
            break;
        }
        if (useful)
            return &ball;
    }
    return nullptr;
}

Ball* PlayerModel::UnknownBall(const Ball* except)
{
    std::vector<Ball*> unknown;
    for (const auto& ball : m_logic.Balls())
    {
        int type = -1;
        if (ball.get() != except && Clickable(*ball) && !Knows(*ball, type))
            unknown.push_back(ball.get());
    }
    if (unknown.empty())
        return nullptr;
    if (m_random.Chance(m_profile.frontBias))
        return unknown.front();
    return unknown[static_cast<size_t>(m_random.Below(static_cast<int>(unknown.size())))];
}

Ball* PlayerModel::FrontClickable(const Ball* except)
{
    for (const auto& ball : m_logic.Balls())
        if (ball.get() != except && Clickable(*ball))
            return ball.get();
    return nullptr;
}

void PlayerModel::Decide()
{
    // Memories of balls that have left the list go first, so that a new
    // ball can never inherit one.
    const auto& balls = m_logic.Balls();
    std::erase_if(m_memory, [&](const Memory& m) {
        return std::none_of(balls.begin(), balls.end(),
                            [&](const auto& b) { return b.get() == m.ball && b->alive; });
    });

    if (m_logic.OpenCount() == 1)
    {
        const Ball* first = m_logic.OpenBallAt(0);
        if (Ball* partner = KnownPartner(first->type, first))
            Click(*partner);
        else if (Ball* unknown = UnknownBall(first))
            Click(*unknown);
        else if (Ball* any = FrontClickable(first))
            Click(*any);
        return;
    }
    // Nothing open, or a pair on show that the next click settles.
    if (Ball* bonus = UsefulBonus())
        Click(*bonus);
    else if (Ball* head = KnownPairHead())
        Click(*head);
    else if (Ball* unknown = UnknownBall(nullptr))
        Click(*unknown);
    else if (Ball* any = FrontClickable(nullptr))
        Click(*any);
}

void PlayerModel::Click(Ball& target)
{
    if (m_input == InputDevice::Keyboard)
    {
        // Every key, the first and Enter included, takes a press.
        m_target = &target;
        m_nextPress = m_clock + m_profile.keyInterval;
        m_heldMove = 0;
        return;
    }
    ++m_clicks;
    Ball* aim = &target;
    if (m_random.Chance(m_profile.missClick))
    {
        // The hand lands one ball width along the chain, on either side:
        // on the ball there, or on empty track when a gap is there.
        const auto& balls = m_logic.Balls();
        auto at = std::find_if(balls.begin(), balls.end(), [&](const auto& b) { return b.get() == &target; });
        auto near = [&](auto it) {
            return Clickable(**it) && std::fabs((*it)->distance - target.distance) <= BoardLogic::kGapThreshold;
        };
        Ball* ahead = at != balls.end() && at != balls.begin() && near(std::prev(at)) ? std::prev(at)->get() : nullptr;
        Ball* behind = at != balls.end() && std::next(at) != balls.end() && near(std::next(at)) ? std::next(at)->get()
                                                                                             : nullptr;
        ++m_missClicks;
        aim = m_random.Chance(0.5) ? ahead : behind;
        if (aim == nullptr)
            return;
    }
    m_logic.HandleClick(1, static_cast<int>(std::lround(aim->x)), static_cast<int>(std::lround(aim->y)));
}

void PlayerModel::EndAction()
{
    m_target = nullptr;
    m_heldMove = 0;
    m_nextDecision = m_clock + WaitTime();
}

void PlayerModel::PressKey()
{
    const auto& balls = m_logic.Balls();
    if (!StillClickable(m_target))
    {
        EndAction();
        return;
    }
    BallMarker& marker = m_logic.Marker();
    marker.Follow(balls);
    if (marker.Marked() == nullptr)
    {
        m_logic.MoveMarker(0);
        m_nextPress = m_clock + m_profile.keyInterval;
        return;
    }
    const int steps = BallMarker::StepsBetween(balls, marker.Marked(), m_target);
    if (steps == 0)
    {
        ++m_clicks;
        m_logic.OpenMarked();
        EndAction();
        return;
    }
    // A seek key beats walking when it (pressed a few times) lands on or
    // near the target.
    std::optional<BallMarker::Seek> seek;
    int best = WalkPresses(steps);
    for (const auto kind : {BallMarker::Seek::FirstUnseen, BallMarker::Seek::NextUnseen, BallMarker::Seek::SeenBehind,
                            BallMarker::Seek::SeenAhead})
    {
        const Ball* at = marker.Marked();
        for (int run = 1; run <= kMaxSeekRun && at != nullptr; ++run)
        {
            at = marker.Find(balls, at, kind);
            const int presses = at == nullptr ? best : run + WalkPresses(BallMarker::StepsBetween(balls, at, m_target));
            if (presses < best)
            {
                best = presses;
                seek = kind;
            }
        }
    }
    if (seek)
    {
        m_logic.SeekMarker(*seek);
        m_heldMove = 0;
        m_nextPress = m_clock + m_profile.keyInterval;
        return;
    }
    const KeyPlan plan = PlanKeys(steps);
    m_logic.MoveMarker(plan.move);
    // Holding pays off when the repeats after the first press beat tapping.
    const bool hold = plan.run >= 2 && kRepeatDelay + (plan.run - 2) * kRepeatInterval <
                                           (plan.run - 1) * static_cast<double>(m_profile.keyInterval);
    double wait = m_profile.keyInterval;
    if (m_heldMove == plan.move)
        wait = kRepeatInterval;
    else if (hold)
        wait = kRepeatDelay;
    else if (m_random.Chance(m_profile.missClick))
    {
        // A tap that came out twice; the next keys put it right.
        ++m_missClicks;
        m_logic.MoveMarker(plan.move);
    }
    m_heldMove = hold || m_heldMove == plan.move ? plan.move : 0;
    // Letting go on the last press of a run: the next key comes at the
    // person's own pace.
    if (m_heldMove != 0 && plan.run == 1)
    {
        wait = m_profile.keyInterval;
        m_heldMove = 0;
    }
    m_nextPress = m_clock + wait;
}

} // namespace Spindrel
