#pragma once

#include "framework/graphics/Color.h"

#include <string>

namespace Quillo
{
class Font;
class Image;
} // namespace Quillo

namespace Spindrel
{

enum class EffectKind : int
{
    Spark = 1,
    FlyText = 2,
    Shrink = 3,
    Blast = 4,
    Chips = 6,
    SlideText = 7,
};

// A short-lived picture or text on the board; the board's list owns them.
struct Effect
{
    EffectKind kind = EffectKind::Spark;
    bool alive = true;
    float x = 0.0f;
    float y = 0.0f;
    float vx = 0.0f;
    float vy = 0.0f;
    float offsetX = 0.0f;
    float offsetY = 0.0f;
    Quillo::Image* image = nullptr;
    float timer = 0.0f;
    int cel = 0;
    Quillo::Color color;
    float celPeriod = 0.0f;
    int lastCel = 0;
    float fadeRate = 0.0f;
    std::string text;
    Quillo::Font* font = nullptr;
    float width = 0.0f;
    float height = 0.0f;
    float maxWidth = 0.0f;
    float maxHeight = 0.0f;
    float life = 0.0f;
    int phase = 0;
    bool fading = false;
};

// Advances one alive effect by dt seconds.
void StepEffect(Effect& effect, float dt);

} // namespace Spindrel
