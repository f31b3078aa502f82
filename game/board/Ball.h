#pragma once

#include <cstdint>

namespace Spindrel
{

// One ball on the track (60 x 60 pixels, positioned by its centre). The
// field order is the order of the saved-game ball record.
struct Ball
{
    float x = 0.0f;
    float y = 0.0f;
    // Carried only because the saved-game layout has room for them.
    float reserved1 = 0.0f;
    float reserved2 = 0.0f;
    int32_t type = 0;
    bool alive = true;
    float rollAngle = 0.0f;
    int32_t segment = 1;
    float fraction = 0.0f;
    float distance = 0.0f;
    bool open = false;
    bool flipping = false;
    int32_t bonus = -1;
    float bonusLife = 0.0f;
    bool revealed = false;
    float glowTime = 0.0f;
    int32_t backFrame = 0;
    bool hint = false;
    bool blinking = false;
    bool bonusVisible = false;
    float blinkTotal = 0.0f;
    float blinkTimer = 0.0f;
    float blinkOff = 0.0f;
    float blinkOn = 0.0f;
    float flipTimer = 0.0f;
    int32_t flipFrame = 0;
    int32_t flipLastFrame = 0;
    float flipPeriod = 0.0f;
    bool flipLoop = false;
    bool flipDone = false;
};

} // namespace Spindrel
