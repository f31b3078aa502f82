#include "framework/graphics/DrawList.h"

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"

#include <algorithm>
#include <cstdlib>

namespace Quillo
{

DrawList::Op& DrawList::Add(Kind kind)
{
    Op& op = m_ops.emplace_back();
    op.kind = kind;
    op.mode = m_mode;
    op.tint = m_tint;
    op.color = m_color;
    // An untinted image is drawn in white whatever the colour: a colour
    // left over from the call before must not make it look changed.
    const bool image = kind == Kind::Image || kind == Kind::ImageStretched || kind == Kind::ImageRotated;
    if (image && !m_tint)
        op.color = Color::White;
    return op;
}

void DrawList::DrawImage(Image* image, int x, int y)
{
    if (image)
        DrawImage(image, x, y, Rect{0, 0, image->width, image->height});
}

void DrawList::DrawImage(Image* image, int x, int y, const Rect& srcRect)
{
    if (!image)
        return;
    Op& op = Add(Kind::Image);
    op.image = image;
    op.place = Rect{x, y, srcRect.width, srcRect.height};
    op.source = srcRect;
}

void DrawList::DrawImage(Image* image, int x, int y, int width, int height)
{
    if (!image)
        return;
    Op& op = Add(Kind::ImageStretched);
    op.image = image;
    op.place = Rect{x, y, width, height};
    op.source = Rect{0, 0, image->width, image->height};
}

void DrawList::DrawImageCel(Image* image, int x, int y, int cel)
{
    // The cel's part of the strip, as Graphics picks it: a row of a strip
    // of rows, else a column.
    if (!image)
        return;
    const bool rows = image->numRows >= 2;
    const int col = rows ? 0 : cel, row = rows ? cel : 0;
    if (col < 0 || row < 0 || col >= image->numCols || row >= image->numRows)
        return;
    const int cw = image->width / image->numCols, ch = image->height / image->numRows;
    DrawImage(image, x, y, Rect{col * cw, row * ch, cw, ch});
}

void DrawList::DrawImageRotatedF(Image* image, float x, float y, double angle, int centerX,
                                 int centerY, const Rect& srcRect)
{
    if (!image)
        return;
    Op& op = Add(Kind::ImageRotated);
    op.image = image;
    op.fx = x;
    op.fy = y;
    op.angle = angle;
    op.place = Rect{centerX, centerY, 0, 0};
    op.source = srcRect;
}

void DrawList::DrawString(Font* font, const std::string& text, int x, int y)
{
    if (!font)
        return;
    Op& op = Add(Kind::Text);
    op.font = font;
    op.text = text;
    op.place = Rect{x, y, 0, 0};
    // Layers and shadows reach past the advance; a line height on each side
    // holds them. Measured once here: a replay skips text outside its clip.
    const int h = std::max(1, font->Height());
    const int w = std::max(0, font->TextWidth(text));
    op.source = Rect{x - h, y - font->Ascent() - h, w + 2 * h, 3 * h};
}

void DrawList::FillRect(int x, int y, int width, int height)
{
    Add(Kind::FillRect).place = Rect{x, y, width, height};
}

void DrawList::DrawRect(int x, int y, int width, int height)
{
    Add(Kind::DrawRect).place = Rect{x, y, width, height};
}

void DrawList::DrawLine(int x1, int y1, int x2, int y2)
{
    Add(Kind::Line).place = Rect{x1, y1, x2, y2};
}

void DrawList::Append(const DrawList& other)
{
    // Reserved first and copied by index, so that a list may add itself.
    const size_t n = other.m_ops.size();
    m_ops.reserve(m_ops.size() + n);
    for (size_t i = 0; i < n; ++i)
        m_ops.push_back(other.m_ops[i]);
}

void DrawList::Replay(Graphics& g) const
{
    for (const Op& op : m_ops)
    {
        g.SetDrawMode(op.mode);
        g.SetTintImages(op.tint);
        g.SetColor(op.color);
        const Rect& p = op.place;
        switch (op.kind)
        {
        case Kind::Image:
            g.DrawImage(op.image, p.x, p.y, op.source);
            break;
        case Kind::ImageStretched:
            g.DrawImage(op.image, p.x, p.y, p.width, p.height);
            break;
        case Kind::ImageRotated:
            g.DrawImageRotatedF(op.image, op.fx, op.fy, op.angle, p.x, p.y, op.source);
            break;
        case Kind::Text:
        {
            const Rect& c = op.source;
            const Rect at{c.x + int(g.GetTransX()), c.y + int(g.GetTransY()), c.width, c.height};
            if (!at.Intersects(g.GetClipRect()))
                break;
            g.SetFont(op.font);
            g.DrawString(op.text, p.x, p.y);
            break;
        }
        case Kind::FillRect:
            g.FillRect(p.x, p.y, p.width, p.height);
            break;
        case Kind::DrawRect:
            g.DrawRect(p.x, p.y, p.width, p.height);
            break;
        case Kind::Line:
            g.DrawLine(p.x, p.y, p.width, p.height);
            break;
        }
    }
}

Rect DrawList::Covered(const Op& op, const Rect& whole)
{
    const Rect& p = op.place;
    switch (op.kind)
    {
    case Kind::Image:
    case Kind::FillRect:
        return p;
    case Kind::ImageStretched:
    {
        // A negative size draws mirrored, over the same pixels.
        const int x0 = std::min(p.x, p.x + p.width), y0 = std::min(p.y, p.y + p.height);
        return Rect{x0, y0, std::abs(p.width), std::abs(p.height)};
    }
    case Kind::DrawRect:
        return Rect{p.x - 1, p.y - 1, p.width + 3, p.height + 3};
    case Kind::Line:
    {
        const int x0 = std::min(p.x, p.width), y0 = std::min(p.y, p.height);
        return Rect{x0 - 1, y0 - 1, std::abs(p.width - p.x) + 3, std::abs(p.height - p.y) + 3};
    }
    case Kind::Text:
        return op.source;
    case Kind::ImageRotated:
        return whole;
    }
    return whole;
}

void DrawList::AddChangedAreas(const DrawList& before, const Rect& whole, AreaList& areas) const
{
    // The calls of the two lists are matched in order, as many as can be
    // (a longest common subsequence), so that a sprite that comes or goes
    // does not shift what follows it; the calls left unmatched in either
    // list are the changes. A pixel that none of them covers is covered by
    // matched, equal calls in the same order in both lists.
    const std::vector<Op>& now = m_ops;
    const std::vector<Op>& old = before.m_ops;
    size_t head = 0;
    while (head < now.size() && head < old.size() && now[head] == old[head])
        ++head;
    size_t tail = 0;
    while (tail < now.size() - head && tail < old.size() - head &&
           now[now.size() - 1 - tail] == old[old.size() - 1 - tail])
        ++tail;
    const size_t n = now.size() - head - tail, m = old.size() - head - tail;
    const Op* a = now.data() + head;
    const Op* b = old.data() + head;
    if (n * m > kMaxMatchCells)
    {
        for (size_t i = 0; i < n; ++i)
            areas.Add(Covered(a[i], whole));
        for (size_t j = 0; j < m; ++j)
            areas.Add(Covered(b[j], whole));
        return;
    }
    // common[i * (m + 1) + j]: the longest match of a[i..] with b[j..].
    std::vector<uint16_t> common((n + 1) * (m + 1), 0);
    auto at = [&](size_t i, size_t j) -> uint16_t& { return common[i * (m + 1) + j]; };
    for (size_t i = n; i-- > 0;)
    {
        for (size_t j = m; j-- > 0;)
            at(i, j) = a[i] == b[j] ? uint16_t(at(i + 1, j + 1) + 1) : std::max(at(i + 1, j), at(i, j + 1));
    }
    size_t i = 0, j = 0;
    while (i < n && j < m)
    {
        if (a[i] == b[j])
        {
            ++i;
            ++j;
        }
        else if (at(i + 1, j) >= at(i, j + 1))
            areas.Add(Covered(a[i++], whole));
        else
            areas.Add(Covered(b[j++], whole));
    }
    for (; i < n; ++i)
        areas.Add(Covered(a[i], whole));
    for (; j < m; ++j)
        areas.Add(Covered(b[j], whole));
}

} // namespace Quillo
