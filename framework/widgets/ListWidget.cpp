#include "framework/widgets/ListWidget.h"

#include "framework/graphics/Graphics.h"
#include "framework/widgets/KeyCode.h"
#include "framework/widgets/ListListener.h"
#include "framework/widgets/ScrollbarWidget.h"

#include <algorithm>

namespace Quillo
{

namespace
{

const std::string kNoLine;

} // namespace

ListWidget::ListWidget(int listId, const Font* listFont, ListListener* listListener)
    : id(listId), font(listFont ? listFont->Clone() : nullptr), listener(listListener)
{
    colors = {Color{255, 255, 255}, Color{0, 0, 0},       Color{0, 0, 0},
              Color{0, 0, 192},     Color{0, 0, 128},     Color{255, 255, 255}};
}

ListWidget::~ListWidget() = default;

int ListWidget::LineHeight() const
{
    if (itemHeight > 0)
        return itemHeight;
    return font ? std::max(1, font->Height()) : 1;
}

int ListWidget::MaxPosition() const
{
    return std::max(0, GetLineCount() - pageSize);
}

void ListWidget::UpdatePageSize()
{
    pageSize = std::max(0, (height - 2 * kInset) / LineHeight());
    position = std::clamp(position, 0, MaxPosition());
    SyncScrollbar();
}

void ListWidget::SyncScrollbar()
{
    if (!scrollbar)
        return;
    scrollbar->SetPageSize(pageSize);
    scrollbar->SetMaxValue(GetLineCount());
    scrollbar->SetValue(position);
}

int ListWidget::AddLine(const std::string& line, std::optional<Color> color)
{
    lines.push_back(line);
    lineColors.push_back(color);
    SyncScrollbar();
    Invalidate();
    return GetLineCount() - 1;
}

void ListWidget::SetLine(int index, const std::string& line)
{
    if (index < 0 || index >= GetLineCount())
        return;
    lines[static_cast<size_t>(index)] = line;
    Invalidate();
}

const std::string& ListWidget::GetLine(int index) const
{
    if (index < 0 || index >= GetLineCount())
        return kNoLine;
    return lines[static_cast<size_t>(index)];
}

void ListWidget::RemoveLine(int index)
{
    if (index < 0 || index >= GetLineCount())
        return;
    lines.erase(lines.begin() + index);
    lineColors.erase(lineColors.begin() + index);
    if (selectIdx == index)
        selectIdx = -1;
    else if (selectIdx > index)
        --selectIdx;
    if (hiliteIdx >= GetLineCount())
        hiliteIdx = -1;
    position = std::clamp(position, 0, MaxPosition());
    SyncScrollbar();
    Invalidate();
}

void ListWidget::RemoveAll()
{
    lines.clear();
    lineColors.clear();
    selectIdx = -1;
    hiliteIdx = -1;
    position = 0;
    SyncScrollbar();
    Invalidate();
}

void ListWidget::SetLineColor(int index, const Color& color)
{
    if (index < 0 || index >= GetLineCount())
        return;
    lineColors[static_cast<size_t>(index)] = color;
    Invalidate();
}

void ListWidget::SetSelect(int index)
{
    selectIdx = (index >= 0 && index < GetLineCount()) ? index : -1;
    Invalidate();
}

void ListWidget::SetFont(const Font* newFont)
{
    font = newFont ? newFont->Clone() : nullptr;
    UpdatePageSize();
    Invalidate();
}

void ListWidget::SetItemHeight(int newItemHeight)
{
    itemHeight = std::max(0, newItemHeight);
    UpdatePageSize();
    Invalidate();
}

void ListWidget::SetScrollbar(ScrollbarWidget* bar)
{
    scrollbar = bar;
    if (scrollbar)
        scrollbar->listener = this;
    SyncScrollbar();
}

void ListWidget::SetPosition(int newPosition)
{
    newPosition = std::clamp(newPosition, 0, MaxPosition());
    if (newPosition == position)
        return;
    position = newPosition;
    if (scrollbar)
        scrollbar->SetValue(position);
    Invalidate();
}

void ListWidget::ScrollToLine(int index)
{
    if (index < position)
        SetPosition(index);
    else if (pageSize > 0 && index >= position + pageSize)
        SetPosition(index - pageSize + 1);
}

int ListWidget::LineAt(int localY) const
{
    if (localY < kInset)
        return -1;
    const int row = (localY - kInset) / LineHeight();
    if (row >= pageSize)
        return -1;
    const int line = position + row;
    return line < GetLineCount() ? line : -1;
}

void ListWidget::Resize(int newX, int newY, int newWidth, int newHeight)
{
    Widget::Resize(newX, newY, newWidth, newHeight);
    UpdatePageSize();
}

void ListWidget::Draw(Graphics* g)
{
    g->SetColor(GetColor(0));
    g->FillRect(0, 0, width, height);
    const int lineHeight = LineHeight();
    const int last = std::min(position + pageSize, GetLineCount());
    if (font)
    {
        Graphics text(*g);
        text.SetFont(font.get());
        for (int line = position; line < last; ++line)
        {
            const int top = (line - position) * lineHeight + kInset;
            const std::string& content = lines[static_cast<size_t>(line)];
            Color color = lineColors[static_cast<size_t>(line)].value_or(GetColor(2));
            if (line == selectIdx)
            {
                g->SetColor(GetColor(4));
                g->FillRect(0, top, width, lineHeight);
                color = GetColor(5);
            }
            else if (line == hiliteIdx)
            {
                color = GetColor(3);
            }
            const int textWidth = font->TextWidth(content);
            int textX = kInset;
            if (justify == 1)
                textX = (width - textWidth) / 2;
            else if (justify == 2)
                textX = width - kInset - textWidth;
            const int baseline = itemHeight > 0
                                     ? top + (itemHeight - font->Height()) / 2 + font->Ascent()
                                     : top + font->Ascent();
            Graphics clipped(text);
            clipped.IntersectClip(kInset, kInset, width - 2 * kInset, height - 2 * kInset);
            clipped.SetColor(color);
            clipped.DrawString(content, textX, baseline);
        }
    }
    if (drawOutline)
    {
        g->SetColor(GetColor(1));
        g->DrawRect(0, 0, width - 1, height - 1);
    }
    DrawKeyMark(g);
}

bool ListWidget::OnMarkedKey(int key)
{
    if (key != KeyCode::Up && key != KeyCode::Down)
        return false;
    const int line = selectIdx + (key == KeyCode::Down ? 1 : -1);
    // With nothing selected, Down takes the first line.
    if (line < 0 || line >= GetLineCount())
        return false;
    SetSelect(line);
    ScrollToLine(line);
    return true;
}

void ListWidget::OnMouseMove(int localX, int localY)
{
    (void)localX;
    const int line = LineAt(localY);
    if (line == hiliteIdx)
        return;
    hiliteIdx = line;
    Invalidate();
}

void ListWidget::OnMouseLeave()
{
    Widget::OnMouseLeave();
    if (hiliteIdx == -1)
        return;
    hiliteIdx = -1;
    Invalidate();
}

void ListWidget::OnMouseDown(int localX, int localY, int clickCode)
{
    Widget::OnMouseDown(localX, localY, clickCode);
    const int line = LineAt(localY);
    if (line >= 0 && listener)
        listener->OnListClicked(id, line, clickCode);
}

void ListWidget::OnMouseWheel(int delta)
{
    SetPosition(position - delta);
}

bool ListWidget::WantsMouseWheel()
{
    return true;
}

void ListWidget::OnScrolled(int scrollbarId, double newPosition)
{
    (void)scrollbarId;
    const int line = std::clamp(static_cast<int>(newPosition + 0.5), 0, MaxPosition());
    if (line == position)
        return;
    position = line;
    Invalidate();
}

} // namespace Quillo
