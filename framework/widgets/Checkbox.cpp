#include "framework/widgets/Checkbox.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/CheckboxListener.h"
#include "framework/widgets/KeyCode.h"

namespace Quillo
{

Checkbox::Checkbox(Image* uncheckedImg, Image* checkedImg, int checkboxId,
                   CheckboxListener* checkboxListener)
    : id(checkboxId), uncheckedImage(uncheckedImg), checkedImage(checkedImg),
      listener(checkboxListener)
{
    handCursor = true;
}

void Checkbox::SetChecked(bool isChecked, bool notify)
{
    checked = isChecked;
    if (notify && listener)
        listener->OnCheckboxChanged(id, checked);
    Invalidate();
}

bool Checkbox::IsChecked()
{
    return checked;
}

void Checkbox::Draw(Graphics* g)
{
    if (checkedRect.width != 0)
    {
        if (uncheckedImage)
            g->DrawImage(uncheckedImage, 0, 0, checked ? checkedRect : uncheckedRect);
        DrawKeyMark(g);
        return;
    }
    Image* image = checked ? checkedImage : uncheckedImage;
    if (image)
        g->DrawImage(image, 0, 0);
    DrawKeyMark(g);
}

void Checkbox::OnMouseDown(int localX, int localY, int clickCode)
{
    Widget::OnMouseDown(localX, localY, clickCode);
    checked = !checked;
    if (listener)
        listener->OnCheckboxChanged(id, checked);
    Invalidate();
}

bool Checkbox::OnMarkedKey(int key)
{
    if (key != KeyCode::Enter && key != KeyCode::Space)
        return false;
    SetChecked(!checked);
    return true;
}

} // namespace Quillo
