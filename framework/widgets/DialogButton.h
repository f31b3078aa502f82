#pragma once

#include "framework/platform/Point.h"
#include "framework/widgets/ButtonWidget.h"

namespace Quillo
{

// The button of a Dialog: its face is the component image drawn as a framed
// box stretched over the whole button, with a centred white label. Without a
// component image it draws as a plain ButtonWidget.
class DialogButton : public ButtonWidget
{
public:
    // componentImage is not owned; null gives the plain look.
    DialogButton(Image* componentImage, int buttonId, ButtonListener* buttonListener);

    void Draw(Graphics* g) override;
    Image* StateSource() const override { return componentImage ? componentImage : normalImage; }

    Image* componentImage;
    Point labelOffset;
};

} // namespace Quillo
