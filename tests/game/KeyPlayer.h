#pragma once

// A player at the board with a perfect memory and no mouse: it remembers
// every face the board has shown (open or revealed), walks the marker to a
// ball with the arrow keys, a key at a time at a person's pace, and opens
// it with Enter. It never looks at a face the board has not shown.
#include "Journey.h"

#include "framework/app/RandomGenerator.h"
#include "framework/app/RandomInt.h"
#include "framework/widgets/KeyCode.h"
#include "game/board/BallMarker.h"

#include <cstdlib>
#include <functional>
#include <map>
#include <utility>

class KeyPlayer
{
public:
    using Press = std::function<void(int key)>;
    using BallList = Spindrel::BallMarker::BallList;

    // A regular player's pace on the keyboard.
    static constexpr double kKeyEveryMs = 120.0;

    explicit KeyPlayer(Press press) : m_press(std::move(press)) {}

    // A journey's wait for the level to be won: plays until the statistics show.
    bool WinsLevel(JourneyApp& app)
    {
        if (app.FindDialog(Journey::kTableDialog) != nullptr)
            return true;
        Play(app);
        return false;
    }

    // Looks at the board, then presses at most one key.
    void Play(JourneyApp& app)
    {
        Spindrel::Board& board = *app.GetBoard();
        Spindrel::BoardLogic& logic = board.Logic();
        const Spindrel::GameState& s = logic.State();
        Look(logic.Balls());
        if (s.intro || s.levelComplete || s.losing || s.pauseDepth > 0 || app.player->now < m_nextKeyMs)
            return;
        const Spindrel::Ball* marked = logic.Marker().Marked();
        const Spindrel::Ball* target = Target(logic);
        if (target == nullptr)
            return;
        namespace Key = Quillo::KeyCode;
        const int steps = Spindrel::BallMarker::StepsBetween(logic.Balls(), marked, target);
        if (!board.MarkerShown() || (steps == 0 && marked != target))
            m_press(Key::Right); // shows the marker, or marks a ball at all
        else if (marked == target)
            m_press(Key::Enter);
        else if (std::abs(steps) >= Spindrel::BallMarker::kJump)
            m_press(steps > 0 ? Key::Up : Key::Down);
        else
            m_press(steps > 0 ? Key::Right : Key::Left);
        m_nextKeyMs = app.player->now + kKeyEveryMs;
    }

private:
    struct Face
    {
        int type = 0;
        float distance = 0.0f;
    };

    // Faces are known once their flip has shown them. A ball's place can
    // be taken by a new one at the same address: a ball does not jump.
    void Look(const BallList& balls)
    {
        std::map<const Spindrel::Ball*, Face> kept;
        for (const auto& ball : balls)
        {
            const Spindrel::Ball& b = *ball;
            auto known = m_faces.find(&b);
            if (known != m_faces.end() && std::abs(known->second.distance - b.distance) < 30.0f)
                kept[&b] = {known->second.type, b.distance};
            else if (b.alive && (b.open || b.revealed) && !b.flipping)
                kept[&b] = {b.type, b.distance};
        }
        m_faces = std::move(kept);
    }

    // With one ball open, its partner if a face seen before is one; with
    // none, one of a pair of faces seen before; else the nearest ball never
    // shown. Nothing while an open face is still turning.
    const Spindrel::Ball* Target(const Spindrel::BoardLogic& logic) const
    {
        const BallList& balls = logic.Balls();
        const Spindrel::Ball* marked = logic.Marker().Marked();
        const auto distance = [&](const Spindrel::Ball& b) {
            return marked ? std::abs(Spindrel::BallMarker::StepsBetween(balls, marked, &b)) : 0;
        };
        const auto nearest = [&](auto&& wanted) {
            const Spindrel::Ball* best = nullptr;
            for (const auto& ball : balls)
                if (Spindrel::BallMarker::Selectable(*ball) && !ball->open && wanted(*ball) &&
                    (best == nullptr || distance(*ball) < distance(*best)))
                    best = ball.get();
            return best;
        };
        const auto typeOf = [this](const Spindrel::Ball& b) {
            const auto known = m_faces.find(&b);
            return known == m_faces.end() ? -1 : known->second.type;
        };
        int wantedType = -1;
        if (logic.OpenCount() == 1)
        {
            for (const auto& ball : balls)
                if (ball->alive && ball->open)
                    wantedType = typeOf(*ball);
            if (wantedType < 0)
                return nullptr;
        }
        const Spindrel::Ball* partner = nearest([&](const Spindrel::Ball& b) {
            const int type = typeOf(b);
            if (type < 0)
                return false;
            if (wantedType >= 0)
                return type == wantedType;
            // A head of a known pair: another closed ball shows the face.
            for (const auto& other : balls)
                if (other.get() != &b && Spindrel::BallMarker::Selectable(*other) && !other->open &&
                    typeOf(*other) == type)
                    return true;
            return false;
        });
        return partner ? partner : nearest([&](const Spindrel::Ball& b) { return typeOf(b) < 0; });
    }

    Press m_press;
    std::map<const Spindrel::Ball*, Face> m_faces;
    double m_nextKeyMs = 0.0;
};

// The statistics passed, the next level rolls.
inline bool LevelTwoRolls(JourneyApp& app)
{
    return app.FindDialog(Journey::kTableDialog) == nullptr && app.GetBoard()->Logic().State().level == 2 &&
           Playing(app);
}

// The generators as a level start finds them, so that the level is dealt
// the same whatever the loading thread's timing did to the clock.
inline void DealTheSameLevel(JourneyApp& app)
{
    Quillo::SeedRandomInt(7);
    Quillo::RandomGenerator::Framework().Seed(7);
    app.ClearTimeBacklog();
    app.updateFractionAccumulator = 0.0;
}
