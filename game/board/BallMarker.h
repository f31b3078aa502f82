#pragma once

#include "game/board/Ball.h"

#include <memory>
#include <vector>

namespace Spindrel
{

// The keyboard's selection on the chain: one ball, kept while the chain
// rolls either way, handed to a neighbour when that ball leaves. Only balls
// on the screen can be marked (not the lead-in, not a ball taken off).
// Steps count along the list: positive towards the gate (the list's front),
// negative towards the start of the track.
class BallMarker
{
public:
    using BallList = std::vector<std::unique_ptr<Ball>>;

    // Balls one jump moves over.
    static constexpr int kJump = 5;

    // Jumps to balls by what the player has been shown, so that a face
    // seen before or a ball never opened is a key or two away.
    enum class Seek
    {
        FirstUnseen, // the never-shown ball nearest the gate
        NextUnseen,  // the next never-shown ball behind the marked one
        SeenBehind,  // the next ball shown before, behind (wrapping round)
        SeenAhead,   // the same towards the gate
    };

    static bool Selectable(const Ball& ball);

    Ball* Marked() const { return m_ball; }

    // Moves over `steps` selectable balls, stopping at the last one in that
    // direction. With nothing marked it marks the selectable ball nearest
    // the gate instead.
    void Step(const BallList& balls, int steps);
    // When the marked ball can no longer be marked, the nearest selectable
    // ball along the list takes its place (the one behind on a tie, as the
    // rear of the chain closes the gap). Call before a ball leaves the list.
    void Follow(const BallList& balls);

    // Where Seek would move the marker from `from` (nullptr: nowhere).
    Ball* Find(const BallList& balls, const Ball* from, Seek seek) const;
    void Move(const BallList& balls, Seek seek);
    // A face was shown (the ball opened); revealed balls count as shown.
    void Saw(const Ball* ball);
    bool WasSeen(const Ball& ball) const;
    // Before a ball leaves the list, and when the whole chain goes.
    void Forget(const Ball* ball);
    void ForgetAll();

    // Signed count of the steps from one ball to another, both selectable
    // (positive towards the gate); 0 when either is not.
    static int StepsBetween(const BallList& balls, const Ball* from, const Ball* to);

private:
    Ball* m_ball = nullptr;
    std::vector<const Ball*> m_seen;
};

} // namespace Spindrel
