#include "framework/widgets/ButtonWidget.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/KeyCode.h"
#include "framework/widgets/WidgetHost.h"
#include "framework/widgets/WidgetManager.h"

#include <algorithm>

namespace Quillo
{

namespace
{

// Repeated additions of a speed such as 0.1 stop just short of 1 in binary
// floating point; this much short counts as full strength.
constexpr double kAlphaEpsilon = 1e-9;

const Color kFace{212, 212, 212};
const Color kShade{132, 132, 132};

} // namespace

ButtonWidget::ButtonWidget(int buttonId, ButtonListener* buttonListener)
    : id(buttonId), listener(buttonListener)
{
    colors = {Color::Black, Color::Black};
}

ButtonWidget::~ButtonWidget() = default;

void ButtonWidget::SetFont(const Font* newFont)
{
    font = newFont ? newFont->Clone() : nullptr;
    Invalidate();
}

bool ButtonWidget::IsPressedLook()
{
    return isDown && isOver && !disabled;
}

void ButtonWidget::EnsureFont(int pointSize, bool bold)
{
    if (font || label.empty() || !manager)
        return;
    font = manager->Host().MakeSystemFont("SansSerif", pointSize, bold);
}

bool ButtonWidget::HasNormalState() const
{
    return normalImage != nullptr;
}

bool ButtonWidget::HasOverState() const
{
    return overImage || (overRect.width != 0 && StateSource());
}

bool ButtonWidget::HasDownState() const
{
    return downImage || (downRect.width != 0 && StateSource());
}

bool ButtonWidget::HasDisabledState() const
{
    return disabledImage || (disabledRect.width != 0 && StateSource());
}

void ButtonWidget::DrawState(Graphics* g, Image* image, const Rect& part, int atX, int atY)
{
    if (part.width != 0 && normalImage)
        g->DrawImage(normalImage, atX, atY, part);
    else if (image)
        g->DrawImage(image, atX, atY);
}

bool ButtonWidget::AppHasFocus() const
{
    return !manager || manager->hasFocus;
}

void ButtonWidget::DrawBevel(Graphics* g, bool pressedLook)
{
    g->SetColor(kFace);
    g->FillRect(0, 0, width, height);
    const Color light = Color::White;
    if (!pressedLook)
    {
        g->SetColor(light);
        g->FillRect(0, 0, width - 1, 1);
        g->FillRect(0, 0, 1, height - 1);
        g->SetColor(Color::Black);
        g->FillRect(0, height - 1, width, 1);
        g->FillRect(width - 1, 0, 1, height);
        g->SetColor(kShade);
        g->FillRect(1, height - 2, width - 2, 1);
        g->FillRect(width - 2, 1, 1, height - 2);
    }
    else
    {
        g->SetColor(Color::Black);
        g->FillRect(0, 0, width, 1);
        g->FillRect(0, 0, 1, height);
        g->SetColor(kShade);
        g->FillRect(1, 1, width - 2, 1);
        g->FillRect(1, 1, 1, height - 2);
        g->SetColor(light);
        g->FillRect(1, height - 1, width - 1, 1);
        g->FillRect(width - 1, 1, 1, height - 1);
    }
}

void ButtonWidget::Draw(Graphics* g)
{
    if (drawNothing)
        return;
    EnsureFont(10, false);
    bool pressedLook = isDown && isOver && !disabled;
    if (inverted)
        pressedLook = !pressedLook;

    int labelX = 0;
    int labelY = 0;
    if (font)
    {
        const int labelWidth = font->TextWidth(label);
        if (labelJustify == 0)
            labelX = (width - labelWidth) / 2;
        else if (labelJustify == 1)
            labelX = width - labelWidth;
        const int a = font->Ascent();
        labelY = (height + a - a / 6 - 1) / 2;
    }

    Color labelColor = GetColor(Lit() ? 1 : 0);
    int shift = 0;
    if (HasNormalState() || HasDownState())
    {
        if (pressedLook)
        {
            if (HasDownState())
                DrawState(g, downImage, downRect, 1, 1);
            else if (HasOverState())
                DrawState(g, overImage, overRect, 1, 1);
            else
                DrawState(g, normalImage, normalRect, 1, 1);
            labelColor = GetColor(1);
            shift = 1;
        }
        else if (disabled && HasDisabledState())
        {
            DrawState(g, disabledImage, disabledRect, 0, 0);
        }
        else if (overAlpha > 0.0 && HasOverState())
        {
            DrawState(g, normalImage, normalRect, 0, 0);
            Graphics faded(*g);
            faded.SetTintImages(true);
            faded.SetColor(Color(255, 255, 255, static_cast<int>(overAlpha * 255.0)));
            DrawState(&faded, overImage, overRect, 0, 0);
        }
        else if ((Lit() || isDown) && HasOverState())
        {
            DrawState(g, overImage, overRect, 0, 0);
        }
        else
        {
            DrawState(g, normalImage, normalRect, 0, 0);
        }
    }
    else
    {
        if (!noFrame)
            DrawBevel(g, pressedLook);
        if (pressedLook)
        {
            labelColor = Color::Black;
            shift = 1;
        }
    }

    if (font && !label.empty())
    {
        g->SetFont(font.get());
        g->SetColor(labelColor);
        g->DrawString(label, labelX + shift, labelY + shift);
    }
}

void ButtonWidget::Update()
{
    Widget::Update();
    if (isDown && isOver && !disabled && listener)
        listener->OnButtonHeld(id);
    if (Lit())
    {
        if (fadeInSpeed > 0.0 && overAlpha < 1.0)
        {
            overAlpha = std::min(1.0, overAlpha + fadeInSpeed);
            if (overAlpha > 1.0 - kAlphaEpsilon)
                overAlpha = 1.0;
            Invalidate();
        }
    }
    else if (overAlpha > 0.0)
    {
        if (fadeOutSpeed > 0.0)
        {
            overAlpha = std::max(0.0, overAlpha - fadeOutSpeed);
            if (overAlpha < kAlphaEpsilon)
                overAlpha = 0.0;
        }
        else
        {
            overAlpha = 0.0;
        }
        Invalidate();
    }
}

void ButtonWidget::SetDisabled(bool isDisabled)
{
    const bool changed = disabled != isDisabled;
    Widget::SetDisabled(isDisabled);
    if (changed && HasDisabledState())
        Invalidate();
}

void ButtonWidget::InvalidateForHover()
{
    if (HoverChangesLook())
        InvalidateFull();
}

bool ButtonWidget::HoverChangesLook()
{
    return isDown || HasOverState() || GetColor(0) != GetColor(1);
}

void ButtonWidget::OnMouseEnter()
{
    Widget::OnMouseEnter();
    if (fadeInSpeed == 0.0)
        overAlpha = 0.0;
    InvalidateForHover();
    if (!disabled && listener)
        listener->OnButtonEnter(id);
}

void ButtonWidget::OnMouseLeave()
{
    Widget::OnMouseLeave();
    if (fadeOutSpeed == 0.0)
        overAlpha = 0.0;
    else if (overAlpha == 0.0)
        overAlpha = 1.0;
    InvalidateForHover();
    if (!disabled && listener)
        listener->OnButtonLeave(id);
}

void ButtonWidget::OnMouseMove(int localX, int localY)
{
    if (!disabled && listener)
        listener->OnButtonHover(id, localX, localY);
}

void ButtonWidget::OnMouseDown(int localX, int localY, int clickCode)
{
    Widget::OnMouseDown(localX, localY, clickCode);
    if (!disabled && listener)
        listener->OnButtonPressedCount(id, clickCode);
    InvalidateFull();
}

void ButtonWidget::OnMouseReleased(int localX, int localY)
{
    Widget::OnMouseReleased(localX, localY);
    if (isOver && !disabled && AppHasFocus() && listener)
        listener->OnButtonClicked(id);
    InvalidateFull();
}

bool ButtonWidget::OnMarkedKey(int key)
{
    if ((key != KeyCode::Enter && key != KeyCode::Space) || disabled)
        return false;
    // The listener may retire the button on the click: nothing of it is
    // read after that.
    ButtonListener* pressedListener = listener;
    const int pressedId = id;
    if (pressedListener)
    {
        pressedListener->OnButtonPressedCount(pressedId, 1);
        pressedListener->OnButtonClicked(pressedId);
    }
    return true;
}

} // namespace Quillo
