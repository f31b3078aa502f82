#include "game/board/BoardLogic.h"

#include "framework/graphics/Font.h"
#include "game/board/TextFormat.h"

#include <algorithm>
#include <array>
#include <vector>

namespace Spindrel
{

namespace
{

constexpr float kBoardWidth = 800.0f;
constexpr float kBoardHeight = 600.0f;

constexpr std::array<Quillo::Color, 13> kTextColors = {{
    {255, 150, 150},
    {255, 150, 255},
    {150, 255, 150},
    {150, 150, 255},
    {255, 255, 150},
    {150, 255, 150},
    {255, 150, 150},
    {150, 127, 127},
    {255, 150, 150},
    {150, 150, 255},
    {255, 127, 150},
    {255, 150, 150},
    {255, 255, 150},
}};

// Room kept between two flying texts: covers the drawing's rounding and the
// step between a text made during the effects' update and those already
// moved in it.
constexpr float kFlyTextGap = 2.0f;

// The flying text (if any) whose box overlaps a text of the given box.
const Effect* CoveringFlyText(const std::vector<Effect>& effects, float x, float width, float top,
                              float bottom)
{
    for (const Effect& other : effects)
    {
        if (!other.alive || other.kind != EffectKind::FlyText || other.font == nullptr)
            continue;
        const float otherTop = other.y - static_cast<float>(other.font->Ascent());
        const float otherBottom = other.y + static_cast<float>(other.font->Descent());
        if (x < other.x + other.width + kFlyTextGap && other.x < x + width + kFlyTextGap &&
            top < otherBottom + kFlyTextGap && otherTop < bottom + kFlyTextGap)
            return &other;
    }
    return nullptr;
}

// A baseline in minY..maxY near y where a text of the given box covers no
// flying text: stacked above those in the way, else below them. Every
// flying text rises at the same speed for all of its flight, so texts
// apart when they are made stay apart. A board too crowded for either
// keeps y.
float FreeFlyTextBaseline(const std::vector<Effect>& effects, float x, float width, float y,
                          float ascent, float descent, float minY, float maxY)
{
    // A move clears the text in the way by a little more than the gap, so
    // that rounding cannot leave it in the way; each move passes one text
    // for good, so a pass needs at most one move per text.
    constexpr float kClear = kFlyTextGap + 0.5f;
    for (const bool upwards : {true, false})
    {
        float at = y;
        for (size_t moves = 0; moves <= effects.size() && at >= minY && at <= maxY; ++moves)
        {
            const Effect* other = CoveringFlyText(effects, x, width, at - ascent, at + descent);
            if (other == nullptr)
                return at;
            if (upwards)
                at = other->y - static_cast<float>(other->font->Ascent()) - kClear - descent;
            else
                at = other->y + static_cast<float>(other->font->Descent()) + kClear + ascent;
        }
    }
    return y;
}

} // namespace

Quillo::Color BoardLogic::TextColor(int index)
{
    if (index < 0 || index >= static_cast<int>(kTextColors.size()))
        return kTextColors[0];
    return kTextColors[static_cast<size_t>(index)];
}

void BoardLogic::SpawnSpark(float x, float y, const Quillo::Color& color, float period)
{
    Effect e;
    e.kind = EffectKind::Spark;
    e.image = m_art.warningPoint.image;
    const float celW = static_cast<float>(m_art.warningPoint.CelWidth());
    const float celH = static_cast<float>(m_art.warningPoint.height);
    e.x = x - celW / 2.0f;
    e.y = y - celH / 2.0f;
    e.cel = 0;
    e.lastCel = m_art.warningPoint.cels - 1;
    e.celPeriod = period;
    e.color = color;
    m_effects.push_back(std::move(e));
}

void BoardLogic::SpawnFlyText(float x, float y, int colorIndex, const std::string& text)
{
    Effect e;
    e.kind = EffectKind::FlyText;
    e.font = m_art.flyTextFont;
    e.x = x;
    e.y = y;
    e.color = TextColor(colorIndex);
    e.vx = 0.0f;
    e.vy = -35.0f;
    e.life = 0.7f;
    e.fadeRate = 190.0f;
    e.text = text;
    // The whole text stays on the board for all of its flight: it rises
    // while it lives and while it fades from full alpha. Texts made at one
    // place (pairs and combos near the gate) are spread so that none
    // covers another.
    if (e.font != nullptr)
    {
        const float rise = -e.vy * (e.life + 255.0f / e.fadeRate);
        e.width = static_cast<float>(e.font->TextWidth(text));
        const float ascent = static_cast<float>(e.font->Ascent());
        const float descent = static_cast<float>(e.font->Descent());
        const float minY = ascent + rise;
        const float maxY = std::max(minY, kBoardHeight - descent);
        e.x = std::clamp(e.x, 0.0f, std::max(0.0f, kBoardWidth - e.width));
        e.y = FreeFlyTextBaseline(m_effects, e.x, e.width, std::clamp(e.y, minY, maxY), ascent,
                                  descent, minY, maxY);
    }
    m_effects.push_back(std::move(e));
}

void BoardLogic::SpawnShrink(float x, float y, const Sprite& image)
{
    Effect e;
    e.kind = EffectKind::Shrink;
    e.image = image.image;
    e.x = x;
    e.y = y;
    e.width = static_cast<float>(image.width);
    e.height = static_cast<float>(image.height);
    e.celPeriod = 0.02f;
    e.color = Quillo::Color::White;
    m_effects.push_back(std::move(e));
}

void BoardLogic::SpawnBlast(float x, float y, float size)
{
    Effect e;
    e.kind = EffectKind::Blast;
    e.image = m_art.bombBlast.image;
    e.x = x;
    e.y = y;
    e.width = e.height = 2.0f;
    e.maxWidth = e.maxHeight = size * 2.9f;
    e.celPeriod = 0.03f;
    e.color = Quillo::Color(255, 255, 255, 1);
    m_effects.push_back(std::move(e));
}

void BoardLogic::SpawnChips(float x, float y)
{
    Effect e;
    e.kind = EffectKind::Chips;
    e.image = m_art.chips.image;
    e.x = x - static_cast<float>(m_art.chips.CelWidth()) / 2.0f;
    e.y = y - static_cast<float>(m_art.chips.height) / 2.0f;
    e.celPeriod = 0.05f;
    e.lastCel = m_art.chips.cels - 1;
    e.life = 20.0f;
    e.color = Quillo::Color(255, 255, 250);
    m_effects.push_back(std::move(e));
}

void BoardLogic::SlideGameOverText()
{
    const std::string text = m_host.GetText(59);
    const int width = m_art.bigFont != nullptr ? m_art.bigFont->TextWidth(text) : 0;
    SpawnSlideText(400.0f - static_cast<float>(width) / 2.0f, 300.0f, text, Quillo::Color(255, 180, 180),
                   m_art.bigFont, 2.0f);
}

void BoardLogic::SlideStageReachedText(int stage)
{
    SpawnSlideText(220.0f, 300.0f, FormatInt(m_host.GetText(60), stage), Quillo::Color(255, 200, 210),
                   m_art.bigFont, 3.0f);
}

void BoardLogic::SlideExtraLifeText(int lives)
{
    SpawnSlideText(300.0f, 500.0f, FormatInt(m_host.GetText(62), lives), Quillo::Color(195, 255, 195),
                   m_art.bigFont, 2.5f);
}

void BoardLogic::SpawnSlideText(float x, float y, const std::string& text,
                                const Quillo::Color& color, Quillo::Font* font, float seconds)
{
    Effect e;
    e.kind = EffectKind::SlideText;
    e.x = x;
    e.y = y;
    e.offsetX = -x - 400.0f;
    e.offsetY = 0.0f;
    e.text = text;
    e.color = color;
    e.font = font;
    e.life = seconds;
    e.fadeRate = 190.0f;
    m_effects.push_back(std::move(e));
}

void BoardLogic::StepEffects(float dt)
{
    for (Effect& e : m_effects)
        StepEffect(e, dt);
    for (auto it = m_effects.begin(); it != m_effects.end(); ++it)
    {
        if (!it->alive)
        {
            m_effects.erase(it);
            break;
        }
    }
}

} // namespace Spindrel
