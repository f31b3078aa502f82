#include "framework/widgets/HyperlinkWidget.h"

#include "framework/graphics/Graphics.h"

namespace Quillo
{

HyperlinkWidget::HyperlinkWidget(int buttonId, ButtonListener* buttonListener)
    : ButtonWidget(buttonId, buttonListener)
{
    handCursor = true;
}

void HyperlinkWidget::Draw(Graphics* g)
{
    if (drawNothing)
        return;
    EnsureFont(10, false);
    if (!font || label.empty())
        return;
    const int labelWidth = font->TextWidth(label);
    const int labelX = (width - labelWidth) / 2;
    const int baseline = (font->Ascent() + height) / 2 - 1;
    g->SetFont(font.get());
    g->SetColor(Lit() ? overColor : color);
    g->DrawString(label, labelX, baseline);
    g->FillRect(labelX, baseline + underlineOffset, labelWidth, 1);
}

bool HyperlinkWidget::HoverChangesLook()
{
    return color != overColor;
}

} // namespace Quillo
