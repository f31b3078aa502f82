#include "framework/widgets/Dialog.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/WidgetHost.h"
#include "framework/widgets/WidgetManager.h"

#include <algorithm>

namespace Quillo
{

namespace
{

constexpr int kArrowCursor = 0;
constexpr int kDragCursor = 2;
// Buttons without a component image still need a height to be clicked.
constexpr int kPlainButtonHeight = 24;
// Room between the blocks of the preferred height.
constexpr int kBlockGap = 8;

int ClampRange(int value, int low, int high)
{
    return std::max(low, std::min(value, std::max(low, high)));
}

} // namespace

Dialog::Dialog(Image* componentImg, Image* buttonComponentImg, int dialogId, bool isModal,
               const std::string& headerText, const std::string& bodyText,
               const std::string& footerText, int mode)
    : componentImage(componentImg), buttonComponentImage(buttonComponentImg), id(dialogId),
      modal(isModal), header(headerText), body(bodyText), footer(footerText), buttonMode(mode)
{
    seeThrough = true;
    translucent = true;
    colors = {Color{255, 255, 255}, Color{255, 255, 0}, Color{255, 255, 255}, Color{255, 255, 255},
              Color{255, 255, 255}};
    if (mode == kButtonsYesNo || mode == kButtonsOkCancel)
    {
        firstButton = std::make_unique<DialogButton>(buttonComponentImg, id + kFirstButtonOffset, this);
        secondButton = std::make_unique<DialogButton>(buttonComponentImg, id + kSecondButtonOffset, this);
        firstButton->label = mode == kButtonsYesNo ? yesLabel : okLabel;
        secondButton->keyMarkable = true;
        secondButton->label = mode == kButtonsYesNo ? noLabel : cancelLabel;
    }
    else if (mode == kButtonFooter)
    {
        firstButton = std::make_unique<DialogButton>(buttonComponentImg, id + kFirstButtonOffset, this);
        firstButton->label = footer;
    }
    // The first button is what Enter answers: the keyboard mark starts there.
    if (firstButton)
    {
        firstButton->keyMarkable = true;
        firstButton->keyDefault = true;
    }
}

Dialog::~Dialog()
{
    m_outcome->alive = false;
    m_outcome->result = result;
}

void Dialog::SetButtonFont(const Font* font)
{
    if (firstButton)
        firstButton->SetFont(font);
    if (secondButton)
        secondButton->SetFont(font);
}

void Dialog::SetHeaderFont(const Font* font)
{
    headerFont = font ? font->Clone() : nullptr;
    Invalidate();
}

void Dialog::SetBodyFont(const Font* font)
{
    bodyFont = font ? font->Clone() : nullptr;
    Invalidate();
}

bool Dialog::IsModal()
{
    return modal;
}

void Dialog::EnsureFonts()
{
    if (!manager)
        return;
    if (!headerFont)
        headerFont = manager->Host().MakeSystemFont("SansSerif", 14, true);
    if (!bodyFont)
        bodyFont = manager->Host().MakeSystemFont("SansSerif", 12, true);
}

int Dialog::ButtonHeight() const
{
    if (buttonHeight > 0)
        return buttonHeight;
    return buttonComponentImage ? buttonComponentImage->height : kPlainButtonHeight;
}

int Dialog::BodyLineSpacing() const
{
    return (bodyFont ? bodyFont->LineSpacing() : 0) + bodyLineSpacingExtra;
}

int Dialog::GetPreferredHeight(int forWidth)
{
    EnsureFonts();
    const Insets& bg = backgroundInsets;
    const Insets& ci = contentInsets;
    int total = ci.top + ci.bottom + bg.top + bg.bottom;
    bool anything = false;
    if (!header.empty())
    {
        if (headerFont)
            total += headerFont->Height() - headerFont->AscentPadding();
        anything = true;
    }
    if (!body.empty())
    {
        if (!header.empty())
            total += headerSpacing;
        if (bodyFont)
        {
            Graphics measure;
            measure.SetFont(bodyFont.get());
            total += MeasureWrappedText(&measure, forWidth - ci.left - ci.right - bg.left - bg.right - 4,
                                        body, BodyLineSpacing());
        }
        anything = true;
    }
    if (!footer.empty() && buttonMode != kButtonFooter)
    {
        if (anything)
            total += kBlockGap;
        if (headerFont)
            total += headerFont->LineSpacing();
        anything = true;
    }
    if (firstButton)
    {
        if (anything)
            total += kBlockGap;
        total += ButtonHeight() + kBlockGap;
    }
    return total;
}

int Dialog::WaitForResult(bool closeAfter)
{
    if (!manager)
        return result;
    // The loop may close and delete this dialog: from then on only the
    // outcome is read.
    const std::shared_ptr<const Outcome> outcome = m_outcome;
    WidgetHost& host = manager->Host();
    if (result == -1 && !host.IsShuttingDown())
        host.RunLoop(id);
    if (!outcome->alive)
        return outcome->result;
    if (closeAfter)
        host.CloseDialogById(id);
    return outcome->alive ? result : outcome->result;
}

void Dialog::OnAttached(WidgetManager* widgetManager)
{
    Widget::OnAttached(widgetManager);
    if (firstButton)
        widgetManager->AddWidget(firstButton.get());
    if (secondButton)
        widgetManager->AddWidget(secondButton.get());
}

void Dialog::OnDetached(WidgetManager* widgetManager)
{
    if (firstButton)
        widgetManager->RemoveWidget(firstButton.get());
    if (secondButton)
        widgetManager->RemoveWidget(secondButton.get());
    dragging = false;
    Widget::OnDetached(widgetManager);
}

void Dialog::OnOrderChanged()
{
    if (!manager)
        return;
    if (firstButton)
        manager->PutInFront(firstButton.get(), this);
    if (secondButton)
        manager->PutInFront(secondButton.get(), firstButton.get());
}

void Dialog::SetColor(int index, const Color& color)
{
    Widget::SetColor(index, color);
    if (index != 3 && index != 4)
        return;
    for (DialogButton* button : {firstButton.get(), secondButton.get()})
    {
        if (button)
            button->SetColor(index - 3, color);
    }
}

void Dialog::Resize(int newX, int newY, int newWidth, int newHeight)
{
    Widget::Resize(newX, newY, newWidth, newHeight);
    if (!firstButton)
        return;
    const Insets& bg = backgroundInsets;
    const Insets& ci = contentInsets;
    const int left = x + bg.left + ci.left;
    const int rightMargin = bg.right + ci.right;
    const int faceHeight = ButtonHeight();
    const int top = y + height - ci.bottom - bg.bottom - faceHeight;
    if (secondButton)
    {
        const int buttonWidth = (width - ci.right - bg.right - 2 * buttonSideMargin - buttonSpacing -
                                 ci.left - bg.left) / 2;
        firstButton->Resize(left + buttonSideMargin, top, buttonWidth, faceHeight);
        secondButton->Resize(firstButton->x + buttonWidth + buttonSpacing, top, buttonWidth,
                             faceHeight);
    }
    else
    {
        firstButton->Resize(left, top, width - rightMargin - bg.left - ci.left, faceHeight);
    }
}

void Dialog::Draw(Graphics* g)
{
    EnsureFonts();
    const Insets& bg = backgroundInsets;
    const Insets& ci = contentInsets;
    if (componentImage)
        g->DrawImageFrame(Rect{bg.left, bg.top, width - bg.left - bg.right, height - bg.top - bg.bottom},
                          componentImage);
    int textY = ci.top + bg.top;
    if (!header.empty() && headerFont)
    {
        g->SetFont(headerFont.get());
        g->SetColor(GetColor(0));
        DrawCenteredText(g, textY + headerFont->Ascent() - headerFont->AscentPadding(), header);
        textY += headerFont->Height() - headerFont->AscentPadding() + headerSpacing;
    }
    int bodyHeight = 0;
    if (!body.empty() && bodyFont)
    {
        g->SetFont(bodyFont.get());
        g->SetColor(GetColor(1));
        const Rect area{ci.left + bg.left + 2, textY, width - ci.left - ci.right - bg.left - bg.right - 4,
                        std::max(0, height - textY)};
        bodyHeight = DrawWrappedText(g, area, body, BodyLineSpacing(), -1);
    }
    if (!footer.empty() && buttonMode != kButtonFooter && headerFont)
    {
        g->SetFont(headerFont.get());
        g->SetColor(GetColor(2));
        DrawCenteredText(g, textY + bodyHeight + headerFont->LineSpacing() + kBlockGap, footer);
    }
}

void Dialog::OnMouseDown(int localX, int localY, int clickCode)
{
    Widget::OnMouseDown(localX, localY, clickCode);
    if (clickCode != 1)
        return;
    SetCursorKind(kDragCursor);
    dragging = true;
    grabX = localX;
    grabY = localY;
}

void Dialog::OnMouseDrag(int localX, int localY)
{
    if (!dragging || !manager)
        return;
    const int wantedX = x + localX - grabX;
    const int wantedY = y + localY - grabY;
    const int newX = ClampRange(wantedX, -kDragMargin, manager->width + kDragMargin - width);
    const int newY = ClampRange(wantedY, -kDragMargin, manager->height + kDragMargin - height);
    grabX = ClampRange(grabX + wantedX - newX, kDragMargin, width - kDragMargin - 1);
    grabY = ClampRange(grabY + wantedY - newY, kDragMargin, height - kDragMargin - 1);
    Move(newX, newY);
}

void Dialog::OnMouseReleased(int localX, int localY)
{
    Widget::OnMouseReleased(localX, localY);
    if (!dragging)
        return;
    dragging = false;
    SetCursorKind(kArrowCursor);
}

void Dialog::OnButtonPressed(int buttonId)
{
    if (buttonId != id + kFirstButtonOffset && buttonId != id + kSecondButtonOffset)
        return;
    if (manager)
        if (ButtonListener* app = manager->Host().ApplicationButtonListener())
            app->OnButtonPressed(buttonId);
}

void Dialog::OnButtonClicked(int buttonId)
{
    if (buttonId == id + kFirstButtonOffset)
        result = 1;
    else if (buttonId == id + kSecondButtonOffset)
        result = 0;
    else
        return;
    if (manager)
        if (ButtonListener* app = manager->Host().ApplicationButtonListener())
            app->OnButtonClicked(buttonId);
}

void Dialog::OnButtonHeld(int buttonId)
{
    if (buttonId != id + kFirstButtonOffset && buttonId != id + kSecondButtonOffset)
        return;
    if (manager)
        if (ButtonListener* app = manager->Host().ApplicationButtonListener())
            app->OnButtonHeld(buttonId);
}

} // namespace Quillo
