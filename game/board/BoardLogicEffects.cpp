#include "game/board/BoardLogic.h"

#include "framework/graphics/Font.h"

#include <algorithm>
#include <array>

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
    // while it lives and while it fades from full alpha.
    if (e.font != nullptr)
    {
        const float rise = -e.vy * (e.life + 255.0f / e.fadeRate);
        const float textWidth = static_cast<float>(e.font->TextWidth(text));
        const float ascent = static_cast<float>(e.font->Ascent());
        const float descent = static_cast<float>(e.font->Descent());
        e.x = std::clamp(e.x, 0.0f, std::max(0.0f, kBoardWidth - textWidth));
        e.y = std::clamp(e.y, ascent + rise, std::max(ascent + rise, kBoardHeight - descent));
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
