#pragma once

#include "framework/widgets/ButtonWidget.h"

namespace Quillo
{

// An arrow button of a scrollbar: id 0 points up (or left), id 1 down (or
// right).
class ScrollbuttonWidget : public ButtonWidget
{
public:
    ScrollbuttonWidget(int buttonId, ButtonListener* buttonListener);

    void Draw(Graphics* g) override;

    // Left/right arrows instead of up/down.
    bool horizontal = false;
};

} // namespace Quillo
