#include "framework/widgets/Widget.h"

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/KeyCode.h"
#include "framework/widgets/LayoutFlag.h"
#include "framework/widgets/WidgetHost.h"
#include "framework/widgets/WidgetManager.h"

#include <algorithm>
#include <cstdlib>

namespace Quillo
{

namespace
{

// Sets the context's colour-code switch for one call and puts it back.
class ColorCodesScope
{
public:
    explicit ColorCodesScope(Graphics* g) : m_g(g), m_saved(g->GetColorCodes())
    {
        g->SetColorCodes(Widget::colorCodesEnabled);
    }
    ~ColorCodesScope() { m_g->SetColorCodes(m_saved); }
    ColorCodesScope(const ColorCodesScope&) = delete;
    ColorCodesScope& operator=(const ColorCodesScope&) = delete;

private:
    Graphics* m_g;
    bool m_saved;
};

} // namespace

Widget::~Widget()
{
    if (manager)
        manager->ForgetWidget(this);
}

void Widget::OnAttached(WidgetManager* widgetManager)
{
    manager = widgetManager;
}

void Widget::OnDetached(WidgetManager* widgetManager)
{
    (void)widgetManager;
    manager = nullptr;
}

void Widget::OnOrderChanged()
{
}

void Widget::SetVisible(bool isVisible)
{
    if (visible == isVisible)
        return;
    visible = isVisible;
    if (!isVisible)
        InvalidateFull();
    else
        Invalidate();
    if (manager)
        manager->ReevaluateMouse();
}

void Widget::SetColorsRGBA(const int (*table)[4], int count)
{
    colors.clear();
    for (int i = 0; i < count; ++i)
        colors.emplace_back(table[i][0], table[i][1], table[i][2], table[i][3]);
    Invalidate();
}

void Widget::SetColorsRGB(const int (*table)[3], int count)
{
    colors.clear();
    for (int i = 0; i < count; ++i)
        colors.emplace_back(table[i][0], table[i][1], table[i][2], 255);
    Invalidate();
}

void Widget::SetColor(int index, const Color& color)
{
    if (index < 0)
        return;
    if (static_cast<size_t>(index) >= colors.size())
        colors.resize(static_cast<size_t>(index) + 1, Color::Black);
    colors[static_cast<size_t>(index)] = color;
    Invalidate();
}

Color Widget::GetColor(int index)
{
    if (index < 0)
        return Color::Black;
    if (static_cast<size_t>(index) >= colors.size())
        colors.resize(static_cast<size_t>(index) + 1, Color::Black);
    return colors[static_cast<size_t>(index)];
}

void Widget::SetOverlay(bool isOverlay)
{
    if (overlay == isOverlay)
        return;
    if (isOverlay)
    {
        InvalidateFull();
        overlay = true;
    }
    else
    {
        overlay = false;
        Invalidate();
    }
}

void Widget::SetDisabled(bool isDisabled)
{
    if (disabled == isDisabled)
        return;
    disabled = isDisabled;
    if (isDisabled)
    {
        if (manager)
            manager->OnWidgetDisabled(this);
        Invalidate();
    }
    else if (manager)
    {
        manager->OnWidgetEnabled(this);
    }
}

void Widget::ShowHandCursor(bool show)
{
    SetCursorKind(show ? 1 : 0);
}

void Widget::Resize(const Rect& rect)
{
    Resize(rect.x, rect.y, rect.width, rect.height);
}

void Widget::Resize(int newX, int newY, int newWidth, int newHeight)
{
    if (x == newX && y == newY && width == newWidth && height == newHeight)
        return;
    InvalidateFull();
    x = newX;
    y = newY;
    width = newWidth;
    height = newHeight;
    Invalidate();
    if (manager)
        manager->ReevaluateMouse();
}

void Widget::Move(int newX, int newY)
{
    Resize(newX, newY, width, height);
}

bool Widget::WantsFocus()
{
    return false;
}

void Widget::Draw(Graphics* g)
{
    (void)g;
}

void Widget::Update()
{
    ++updateCount;
}

void Widget::UpdatePartial(double fraction)
{
    (void)fraction;
}

void Widget::OnGotFocus()
{
    hasFocus = true;
}

void Widget::OnLostFocus()
{
    hasFocus = false;
}

void Widget::OnKeyChar(char32_t ch)
{
    (void)ch;
}

void Widget::OnKeyDown(int key)
{
    if (key != KeyCode::Tab || !manager)
        return;
    Widget* target = manager->keyDown[KeyCode::Shift] ? tabPrev : tabNext;
    if (target)
        manager->SetFocus(target);
}

bool Widget::OnMarkedKey(int key)
{
    (void)key;
    return false;
}

Widget* Widget::KeyMarkNeighbour(Widget* from, int key)
{
    (void)from, (void)key;
    return nullptr;
}

bool Widget::TakesAllKeys()
{
    return false;
}

void Widget::SetKeyMarked(bool marked)
{
    if (marked == keyMarked)
        return;
    keyMarked = marked;
    InvalidateFull();
}

void Widget::DrawKeyMark(Graphics* g)
{
    if (!keyMarked)
        return;
    g->SetColor(Color(255, 255, 255));
    for (int inset = 0; inset < 2; ++inset)
    {
        const int w = width - 2 * inset;
        const int h = height - 2 * inset;
        g->FillRect(inset, inset, w, 1);
        g->FillRect(inset, inset + h - 1, w, 1);
        g->FillRect(inset, inset, 1, h);
        g->FillRect(inset + w - 1, inset, 1, h);
    }
}

void Widget::OnKeyUp(int key)
{
    (void)key;
}

void Widget::OnMouseEnter()
{
    isOver = true;
    if (handCursor)
        ShowHandCursor(true);
}

void Widget::OnMouseLeave()
{
    isOver = false;
    if (handCursor)
        ShowHandCursor(false);
}

void Widget::OnMouseMove(int localX, int localY)
{
    (void)localX, (void)localY;
}

void Widget::OnMouseDownEx(int localX, int localY, int button, int clickCount)
{
    (void)localX, (void)localY, (void)button, (void)clickCount;
}

void Widget::OnMouseDown(int localX, int localY, int clickCode)
{
    isDown = true;
    if (clickCode == 3)
        OnMouseDownEx(localX, localY, 2, 1);
    else
        OnMouseDownEx(localX, localY, clickCode < 0 ? 1 : 0, std::abs(clickCode));
}

void Widget::OnMouseUpEx(int localX, int localY, int button, int clickCount)
{
    (void)localX, (void)localY, (void)button, (void)clickCount;
}

void Widget::OnMouseUp(int localX, int localY, int clickCode)
{
    OnMouseReleased(localX, localY);
    if (clickCode == 3)
        OnMouseUpEx(localX, localY, 2, 1);
    else
        OnMouseUpEx(localX, localY, clickCode < 0 ? 1 : 0, std::abs(clickCode));
}

void Widget::OnMouseReleased(int localX, int localY)
{
    (void)localX, (void)localY;
    isDown = false;
}

void Widget::OnMouseDrag(int localX, int localY)
{
    (void)localX, (void)localY;
}

void Widget::OnMouseWheel(int delta)
{
    (void)delta;
}

bool Widget::WantsMouseWheel()
{
    return false;
}

bool Widget::IsPointVisible(int localX, int localY)
{
    (void)localX, (void)localY;
    return true;
}

Rect Widget::DrawCenteredTextShadowed(Graphics* g, int baselineY, const std::string& text,
                                      const Color& color, const Color& shadowColor,
                                      const Point& shadowOffset)
{
    Font* font = g->GetFont();
    if (!font)
        return Rect{};
    const int textWidth = font->TextWidth(text);
    const int textX = (width - textWidth) / 2;
    g->SetColor(shadowColor);
    g->DrawString(text, textX + shadowOffset.x, baselineY + shadowOffset.y);
    g->SetColor(color);
    g->DrawString(text, textX, baselineY);
    const Rect main{textX, baselineY - font->Ascent(), textWidth, font->Height()};
    const Rect shadow{main.x + shadowOffset.x, main.y + shadowOffset.y, main.width, main.height};
    return main.Union(shadow);
}

Rect Widget::DrawCenteredText(Graphics* g, int baselineY, const std::string& text)
{
    Font* font = g->GetFont();
    if (!font)
        return Rect{};
    const int textWidth = font->TextWidth(text);
    const int textX = (width - textWidth) / 2;
    g->DrawString(text, textX, baselineY);
    return Rect{textX, baselineY - font->Ascent(), textWidth, font->Height()};
}

int Widget::DrawColoredText(Graphics* g, const std::string& text, int textX, int textY,
                            int areaWidth, int justification, bool draw, int offset, int length)
{
    if (!g->GetFont())
        return 0;
    ColorCodesScope scope(g);
    return g->WriteColoredText(text, textX, textY, areaWidth, justification, draw, offset, length);
}

int Widget::DrawWrappedText(Graphics* g, const Rect& rect, const std::string& text,
                            int lineSpacing, int justification)
{
    if (!g->GetFont())
        return 0;
    ColorCodesScope scope(g);
    return g->WriteWrappedText(rect, text, lineSpacing, justification, nullptr);
}

int Widget::MeasureWrappedText(Graphics* g, int areaWidth, const std::string& text,
                               int lineSpacing)
{
    if (!g->GetFont())
        return 0;
    ColorCodesScope scope(g);
    return g->MeasureWrappedText(areaWidth, text, lineSpacing, nullptr);
}

int Widget::CountDigits(int n)
{
    int digits = 1;
    for (long long power = 10; power <= n; power *= 10)
        ++digits;
    return digits;
}

void Widget::DrawDigitStrip(Graphics* g, int n, int stripX, int stripY, Image* strip,
                            int spacing)
{
    if (!strip)
        return;
    const int cellWidth = strip->width / 10;
    if (cellWidth <= 0)
        return;
    const std::string digits = std::to_string(std::max(n, 0));
    int cellX = stripX;
    for (char ch : digits)
    {
        const int digit = ch - '0';
        Graphics cell(*g);
        cell.IntersectClip(cellX, stripY, cellWidth, strip->height);
        cell.DrawImage(strip, cellX - digit * cellWidth, stripY);
        cellX += cellWidth + spacing;
    }
}

bool Widget::Contains(int screenX, int screenY)
{
    return screenX >= x && screenY >= y && screenX < x + width && screenY < y + height;
}

Rect Widget::GetInsetRect()
{
    return Rect{x + insets.left, y + insets.top, width - insets.left - insets.right,
                height - insets.top - insets.bottom};
}

Rect Widget::GetRect()
{
    return Rect{x, y, width, height};
}

bool Widget::Overlaps(Widget* other)
{
    const Rect overlap = GetRect().Intersection(other->GetRect());
    return overlap.width > 0 && overlap.height > 0;
}

void Widget::InvalidateFull()
{
    if (manager)
        manager->InvalidateFull(this);
    else
        dirty = true;
}

void Widget::Invalidate()
{
    if (manager)
        manager->Invalidate(this);
    else
        dirty = true;
}

void Widget::BeforeDrawPass()
{
}

void Widget::InvalidateArea(const Rect& area)
{
    if (manager)
        manager->InvalidateArea(this, Rect{x + area.x, y + area.y, area.width, area.height});
    else
        dirty = true;
}

void Widget::Layout(int flags, Widget* reference, int dx, int dy, int dw, int dh)
{
    int lx = x;
    int ly = y;
    int lw = width;
    int lh = height;
    const Rect r = reference ? reference->GetRect() : Rect{};
    if (flags & LayoutFlag::SameWidth)
        lw = r.width + dw;
    if (flags & LayoutFlag::SameHeight)
        lh = r.height + dh;
    if (flags & LayoutFlag::SetLeft)
        lx = dx;
    if (flags & LayoutFlag::SetTop)
        ly = dy;
    if (flags & LayoutFlag::SetWidth)
        lw = dw;
    if (flags & LayoutFlag::SetHeight)
        lh = dh;
    if (flags & LayoutFlag::Above)
        ly = r.y + dy - lh;
    if (flags & LayoutFlag::Below)
        ly = r.y + r.height + dy;
    if (flags & LayoutFlag::RightOf)
        lx = r.x + r.width + dx;
    if (flags & LayoutFlag::LeftOf)
        lx = r.x + dx - lw;
    if (flags & LayoutFlag::SameLeft)
        lx = r.x + dx;
    if (flags & LayoutFlag::SameRight)
        lx = r.x + r.width + dx - lw;
    if (flags & LayoutFlag::SameTop)
        ly = r.y + dy;
    if (flags & LayoutFlag::SameBottom)
        ly = r.y + r.height + dy - lh;
    if (flags & LayoutFlag::GrowToRight)
        lw = r.x + r.width + dw - lx;
    if (flags & LayoutFlag::GrowToLeft)
        lw = r.x + dw - lx;
    if (flags & LayoutFlag::GrowToTop)
        lh = r.y + dh - ly;
    if (flags & LayoutFlag::GrowToBottom)
        lh = r.y + r.height + dh - ly;
    if (flags & LayoutFlag::CenterHorizontal)
        lx = r.x + dx + (r.width - lw) / 2;
    if (flags & LayoutFlag::CenterVertical)
        ly = r.y + dy + (r.height - lh) / 2;
    Resize(lx, ly, lw, lh);
}

bool Widget::IsOpaque()
{
    return false;
}

bool Widget::ImageCoversBounds(MemoryImage* image, int imageX, int imageY)
{
    if (!image || imageX > 0 || imageY > 0 || imageX + image->GetWidth() < width ||
        imageY + image->GetHeight() < height)
        return false;
    image->CommitAlphaFlags();
    return !image->HasTrans() && !image->HasAlpha();
}

void Widget::SetCursorKind(int kind)
{
    if (manager)
        manager->Host().SetCursorKind(kind);
}

} // namespace Quillo
