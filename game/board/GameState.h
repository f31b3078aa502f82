#pragma once

#include <cstdint>

namespace Spindrel
{

// The board's whole game state. pauseDepth comes first and is not saved;
// the fields after it are the saved-game record, in this order (SavedGame
// writes them one by one with their own widths: 4 bytes for int32 and
// float, 1 byte for bool).
struct GameState
{
    int32_t pauseDepth = 0;

    int32_t lives = 3;
    int32_t level = 1;
    int32_t score = 0;
    int32_t targetScore = 0;
    int32_t numPictures = 5;
    int32_t checkpointLevel = 1;
    int32_t stage = 1;
    int32_t stageLevel = 1;
    bool rushing = false;
    bool rollingBack = false;
    int32_t levelStartScore = 0;
    float speed = 0.0f;
    int32_t rushCount = 0;
    bool paused = false;
    float rollbackStep = 0.0f;
    float pauseTime = 0.0f;
    float speedUpTimer = 0.0f;
    bool speedUpActive = false;
    float boostTime = 0.0f;
    float speedUpSpeed = 0.0f;
    float speedUpInterval = 0.0f;
    float speedUpDuration = 0.0f;
    bool boostActive = false;
    float tailProgress = 0.0f;
    bool losing = false;
    bool pairPending = false;
    float leadProgress = 0.0f;
    int32_t leadDistance = 0;
    bool eyeHold = false;
    float pairDelay = 0.0f;
    bool revealing = false;
    bool unrevealing = false;
    int32_t combo = 1;
    bool typeActive = false;
    int32_t revealedCombo = 1;
    bool bombActive = false;
    int32_t bonusCount = 0;
    float bonusTimer = 0.0f;
    bool bombDone = false;
    float eyeHoldTime = 0.0f;
    float revealTimer = 0.0f;
    int32_t typePicture = 0;
    float typeTimer = 0.0f;
    float bombX = 0.0f;
    bool targetReached = false;
    float bombY = 0.0f;
    float bombRadius = 0.0f;
    float bombTimer = 0.0f;
    int32_t countDistance = 0;
    int32_t comboCount = 0;
    int32_t revealedComboCount = 0;
    int32_t maxCombo = 1;
    int32_t maxRevealedCombo = 1;
    int32_t levelScore = 0;
    float countTimer = 0.0f;
    bool levelComplete = false;
    bool counting = false;
    int32_t chipSoundCounter = 0;
    int32_t sweepDistance = 0;
    bool levelDone = false;
    float baseSpeed = 0.0f;
    float sweepTimer = 0.0f;
    bool gameOver = false;
    bool intro = false;
    int32_t gateCel = 0;
    int32_t gateHalfCycles = 0;
    bool introSweep = false;
    bool gateAnimating = false;
    bool gateOpening = false;
    float gateTimer = 0.0f;
    int32_t normalTheme = 9;
    int32_t dangerTheme = 15;
    int32_t warningDistance = 0;
    bool warningSweep = false;
    float warningTimer = 0.0f;
    float heartbeatTimer = 0.0f;
    int32_t smallBarCount = 0;
    bool smallBarBlink = false;
    float smallBarTimer = 0.0f;
    int32_t bigBarCount = 0;
    float bigBarTimer = 0.0f;
    bool smallBarOn = false;
    bool bigBarBlink = false;
    float levelTime = 0.0f;
    int32_t extraLifeCounter = 0;
    bool bigBarOn = false;
    int32_t trackNumber = 1;
};

// Calls visit on every saved field of the record, in saved order.
template <typename State, typename Visitor>
void ForEachSavedField(State& s, Visitor&& visit)
{
    visit(s.lives), visit(s.level), visit(s.score), visit(s.targetScore), visit(s.numPictures);
    visit(s.checkpointLevel), visit(s.stage), visit(s.stageLevel);
    visit(s.rushing), visit(s.rollingBack);
    visit(s.levelStartScore), visit(s.speed), visit(s.rushCount);
    visit(s.paused);
    visit(s.rollbackStep), visit(s.pauseTime), visit(s.speedUpTimer);
    visit(s.speedUpActive);
    visit(s.boostTime), visit(s.speedUpSpeed), visit(s.speedUpInterval), visit(s.speedUpDuration);
    visit(s.boostActive);
    visit(s.tailProgress);
    visit(s.losing), visit(s.pairPending);
    visit(s.leadProgress), visit(s.leadDistance);
    visit(s.eyeHold);
    visit(s.pairDelay);
    visit(s.revealing), visit(s.unrevealing);
    visit(s.combo);
    visit(s.typeActive);
    visit(s.revealedCombo);
    visit(s.bombActive);
    visit(s.bonusCount), visit(s.bonusTimer);
    visit(s.bombDone);
    visit(s.eyeHoldTime), visit(s.revealTimer), visit(s.typePicture), visit(s.typeTimer);
    visit(s.bombX);
    visit(s.targetReached);
    visit(s.bombY), visit(s.bombRadius), visit(s.bombTimer), visit(s.countDistance);
    visit(s.comboCount), visit(s.revealedComboCount), visit(s.maxCombo), visit(s.maxRevealedCombo);
    visit(s.levelScore), visit(s.countTimer);
    visit(s.levelComplete), visit(s.counting);
    visit(s.chipSoundCounter), visit(s.sweepDistance);
    visit(s.levelDone);
    visit(s.baseSpeed), visit(s.sweepTimer);
    visit(s.gameOver), visit(s.intro);
    visit(s.gateCel), visit(s.gateHalfCycles);
    visit(s.introSweep), visit(s.gateAnimating), visit(s.gateOpening);
    visit(s.gateTimer), visit(s.normalTheme), visit(s.dangerTheme), visit(s.warningDistance);
    visit(s.warningSweep);
    visit(s.warningTimer), visit(s.heartbeatTimer), visit(s.smallBarCount);
    visit(s.smallBarBlink);
    visit(s.smallBarTimer), visit(s.bigBarCount), visit(s.bigBarTimer);
    visit(s.smallBarOn), visit(s.bigBarBlink);
    visit(s.levelTime), visit(s.extraLifeCounter);
    visit(s.bigBarOn);
    visit(s.trackNumber);
}

} // namespace Spindrel
