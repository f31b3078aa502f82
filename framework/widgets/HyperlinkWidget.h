#pragma once

#include "framework/widgets/ButtonWidget.h"

namespace Quillo
{

// A clickable text: its label, centred and underlined, in its normal colour
// or in its over colour while the mouse is over it.
class HyperlinkWidget : public ButtonWidget
{
public:
    HyperlinkWidget(int buttonId, ButtonListener* buttonListener);

    void Draw(Graphics* g) override;

    Color color = Color::White;
    Color overColor = Color::White;
    // Pixels from the baseline down to the underline.
    int underlineOffset = 3;

protected:
    // The link's own colours, not the button's colour slots, mark the hover.
    bool HoverChangesLook() override;
};

} // namespace Quillo
