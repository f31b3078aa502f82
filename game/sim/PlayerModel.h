#pragma once

#include "game/sim/InputDevice.h"
#include "game/sim/PlayerProfile.h"
#include "game/sim/SimRandom.h"

#include <cstdint>
#include <vector>

namespace Spindrel
{

class BoardLogic;
struct Ball;

// A simulated person at the board. It sees only what the screen shows (open
// and revealed faces, bonus icons), remembers faces imperfectly, takes a
// moment to choose a ball, sometimes clicks the neighbouring ball, and plays
// for bonuses when they help. It acts through the board's click rule only:
// with the mouse on any ball after moving the pointer there, with the
// keyboard on the marked ball after walking the marker there key by key.
class PlayerModel
{
public:
    PlayerModel(BoardLogic& logic, const PlayerProfile& profile, uint64_t seed,
                InputDevice input = InputDevice::Mouse);

    // Call once before every board step: looks at the board and, when the
    // reaction time has passed, clicks (or presses the next key).
    void Step();

    int Clicks() const { return m_clicks; }
    int MissClicks() const { return m_missClicks; }

private:
    struct Memory
    {
        const Ball* ball = nullptr;
        int type = 0;
        double seenAt = 0.0;
        int64_t seenFaces = 0;
        float distance = 0.0f;
        // Recalled while the forgetting curve stays above this draw.
        double threshold = 0.0;
        // The look that last saw the face.
        int64_t shownLook = -2;
    };

    // Seconds until the next decision: choosing, and with the mouse aiming.
    double WaitTime();
    bool StillClickable(const Ball* target) const;
    void Look();
    void Decide();
    bool Knows(const Ball& ball, int& type);
    Ball* KnownPartner(int type, const Ball* except);
    Ball* KnownPairHead();
    Ball* UsefulBonus();
    Ball* UnknownBall(const Ball* except);
    Ball* FrontClickable(const Ball* except);
    // With the mouse a click at once (the aim was paid before the
    // decision); with the keyboard a walk of the marker that ends in Enter.
    void Click(Ball& target);
    // One key press on the way to m_target, or Enter on arrival.
    void PressKey();
    // The click or the marker's walk is over: the next choice begins.
    void EndAction();
    Memory* Find(const Ball* ball);

    BoardLogic& m_logic;
    // A copy: callers may pass a profile made on the spot.
    PlayerProfile m_profile;
    SimRandom m_random;
    std::vector<Memory> m_memory;
    // Bonus balls already judged (noticed or overlooked), with the verdict.
    std::vector<std::pair<const Ball*, bool>> m_bonusNoticed;
    // Seconds since the player sat down.
    double m_clock = 0.0;
    double m_nextDecision = 0.0;
    int64_t m_look = 0;
    int m_sinceLook = 0;
    int64_t m_facesSeen = 0;
    int m_clicks = 0;
    InputDevice m_input;
    // The ball the keys are walking the marker to, and when the next key
    // goes down. A held key repeats: m_heldMove is its move (0: none).
    Ball* m_target = nullptr;
    double m_nextPress = 0.0;
    int m_heldMove = 0;
    int m_missClicks = 0;
};

} // namespace Spindrel
