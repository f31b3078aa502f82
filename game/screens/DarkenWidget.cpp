#include "game/screens/DarkenWidget.h"

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"

#include <utility>

namespace Spindrel
{

DarkenWidget::DarkenWidget(std::string text, Quillo::Font* font)
    : m_text(std::move(text)), m_font(font)
{
    // The board behind it keeps showing through.
    seeThrough = true;
    translucent = true;
}

void DarkenWidget::Draw(Quillo::Graphics* g)
{
    g->SetColor(Quillo::Color(0, 0, 0, kShadeAlpha));
    g->FillRect(0, 0, width, height);
    g->SetFont(m_font);
    g->SetColor(Quillo::Color::White);
    g->DrawString(m_text, width / 2 - g->StringWidth(m_text) / 2, height / 2);
}

} // namespace Spindrel
