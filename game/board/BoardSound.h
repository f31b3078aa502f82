#pragma once

namespace Spindrel
{

// The sounds the board plays; the board widget maps them to the SOUND_ ids.
enum class BoardSound
{
    BallsRolling,
    BonusArrived,
    CloseBall,
    CollectPair,
    Combo2,
    Combo3,
    Combo4,
    Combo5,
    Combo6,
    Combo7,
    Combo8,
    Combo9,
    CompleteChip,
    Explode,
    Heartbeat,
    LoseLife,
    OpenBall,
    Rollback,
    ScoreReached,
    Stop,
};

} // namespace Spindrel
