#pragma once

#include "framework/platform/Rect.h"
#include "framework/widgets/Widget.h"

namespace Quillo
{

class CheckboxListener;
class Image;

// A box that toggles on every press.
class Checkbox : public Widget
{
public:
    // Images are not owned.
    Checkbox(Image* uncheckedImg, Image* checkedImg, int checkboxId,
             CheckboxListener* checkboxListener);

    // Tells the listener only when notify is true.
    virtual void SetChecked(bool isChecked, bool notify = true);
    virtual bool IsChecked();

    void Draw(Graphics* g) override;
    void OnMouseDown(int localX, int localY, int clickCode) override;
    // Enter and Space toggle it as a click does.
    bool OnMarkedKey(int key) override;

    int id;
    bool checked = false;
    Image* uncheckedImage;
    Image* checkedImage;
    // With a width, both looks are drawn from these parts of the unchecked image.
    Rect checkedRect;
    Rect uncheckedRect;
    CheckboxListener* listener;
};

} // namespace Quillo
