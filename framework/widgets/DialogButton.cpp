#include "framework/widgets/DialogButton.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"

namespace Quillo
{

namespace
{

// The nine-part frame of the drawing context, cut from one part of an image.
void DrawFramePart(Graphics* g, const Rect& dest, Image* image, const Rect& part)
{
    if (part.x == 0 && part.y == 0 && part.width == image->width && part.height == image->height)
    {
        g->DrawImageFrame(dest, image);
        return;
    }
    const int cw = part.width / 3;
    const int ch = part.height / 3;
    const int mw = part.width - 2 * cw;
    const int mh = part.height - 2 * ch;
    if (cw <= 0 || ch <= 0 || mw <= 0 || mh <= 0)
        return;
    const int px = part.x;
    const int py = part.y;
    const int right = dest.x + dest.width - cw;
    const int bottom = dest.y + dest.height - ch;
    g->DrawImage(image, dest.x, dest.y, Rect{px, py, cw, ch});
    g->DrawImage(image, right, dest.y, Rect{px + cw + mw, py, cw, ch});
    g->DrawImage(image, dest.x, bottom, Rect{px, py + ch + mh, cw, ch});
    g->DrawImage(image, right, bottom, Rect{px + cw + mw, py + ch + mh, cw, ch});
    const int across = (dest.width - 2 * cw + mw - 1) / mw;
    const int down = (dest.height - 2 * ch + mh - 1) / mh;
    {
        Graphics edge(*g);
        edge.IntersectClip(dest.x + cw, dest.y, dest.width - 2 * cw, dest.height);
        for (int i = 0; i < across; ++i)
        {
            const int tx = dest.x + cw + i * mw;
            edge.DrawImage(image, tx, dest.y, Rect{px + cw, py, mw, ch});
            edge.DrawImage(image, tx, bottom, Rect{px + cw, py + ch + mh, mw, ch});
        }
    }
    {
        Graphics edge(*g);
        edge.IntersectClip(dest.x, dest.y + ch, dest.width, dest.height - 2 * ch);
        for (int j = 0; j < down; ++j)
        {
            const int ty = dest.y + ch + j * mh;
            edge.DrawImage(image, dest.x, ty, Rect{px, py + ch, cw, mh});
            edge.DrawImage(image, right, ty, Rect{px + cw + mw, py + ch, cw, mh});
        }
    }
    Graphics centre(*g);
    centre.IntersectClip(dest.x + cw, dest.y + ch, dest.width - 2 * cw, dest.height - 2 * ch);
    for (int j = 0; j < down; ++j)
        for (int i = 0; i < across; ++i)
            centre.DrawImage(image, dest.x + cw + i * mw, dest.y + ch + j * mh,
                             Rect{px + cw, py + ch, mw, mh});
}

} // namespace

DialogButton::DialogButton(Image* image, int buttonId, ButtonListener* buttonListener)
    : ButtonWidget(buttonId, buttonListener), componentImage(image)
{
    handCursor = true;
    colors = {Color::White, Color::White};
}

void DialogButton::Draw(Graphics* g)
{
    if (drawNothing)
        return;
    EnsureFont(12, true);
    if (!componentImage)
    {
        ButtonWidget::Draw(g);
        return;
    }
    bool pressedLook = isDown && isOver && !disabled;
    if (inverted)
        pressedLook = !pressedLook;
    const int shift = pressedLook ? 1 : 0;

    // With source rectangles the state's part of the component image is the
    // frame; otherwise the whole image.
    Rect part{0, 0, componentImage->width, componentImage->height};
    if (normalRect.width != 0)
    {
        part = normalRect;
        if (pressedLook && downRect.width != 0)
            part = downRect;
        else if (pressedLook && overRect.width != 0)
            part = overRect;
        else if (!pressedLook && disabled && disabledRect.width != 0)
            part = disabledRect;
        else if (!pressedLook && (Lit() || isDown) && overRect.width != 0)
            part = overRect;
    }
    DrawFramePart(g, Rect{shift, shift, width, height}, componentImage, part);

    if (font && !label.empty())
    {
        const int a = font->Ascent();
        const int labelX = (width - font->TextWidth(label)) / 2 + labelOffset.x;
        const int labelY = (height + a - a / 6 - font->AscentPadding() - 1) / 2 + labelOffset.y;
        Graphics text(*g);
        text.SetTintImages(true);
        text.SetFont(font.get());
        text.SetColor(GetColor(Lit() ? 1 : 0));
        text.DrawString(label, labelX + shift, labelY + shift);
    }
}

} // namespace Quillo
