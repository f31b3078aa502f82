#include "framework/widgets/EditWidget.h"

#include "framework/graphics/Graphics.h"
#include "framework/platform/TextEncoding.h"
#include "framework/widgets/EditListener.h"
#include "framework/widgets/KeyCode.h"
#include "framework/widgets/WidgetHost.h"
#include "framework/widgets/WidgetManager.h"

#include <algorithm>
#include <cctype>

namespace Quillo
{

namespace
{

constexpr int kArrowCursor = 0;
constexpr int kTextCursor = 3;
// Ctrl+letter arrives as the control character of that letter.
constexpr char32_t kCtrlC = 3;
constexpr char32_t kCtrlV = 22;
constexpr char32_t kCtrlX = 24;
constexpr char32_t kCtrlZ = 26;
// Past the middle between two boundaries, a click must go this much further
// to choose the later one.
constexpr int kBoundaryBias = 5;

} // namespace

EditWidget::EditWidget(int editId, EditListener* editListener) : id(editId), listener(editListener)
{
    colors = {Color{255, 255, 255}, Color{0, 0, 0}, Color{0, 0, 0}, Color{0, 0, 0},
              Color{255, 255, 255}};
}

EditWidget::~EditWidget() = default;

bool EditWidget::WantsFocus()
{
    return true;
}

void EditWidget::SetFont(const Font* newFont)
{
    font = newFont ? newFont->Clone() : nullptr;
    Invalidate();
}

void EditWidget::EnsureFont()
{
    if (!font && manager)
        font = manager->Host().MakeSystemFont("SansSerif", 10, false);
}

int EditWidget::SelectionStart() const
{
    return hilitePos < 0 ? cursorPos : std::min(hilitePos, cursorPos);
}

int EditWidget::SelectionEnd() const
{
    return hilitePos < 0 ? cursorPos : std::max(hilitePos, cursorPos);
}

std::string EditWidget::Shown(int from, int to) const
{
    const std::string_view part = std::string_view(text).substr(static_cast<size_t>(from),
                                                                 static_cast<size_t>(to - from));
    if (passwordChar != 0)
        return std::string(TextEncoding::CharCount(part), passwordChar);
    return std::string(part);
}

int EditWidget::NextPos(int position) const
{
    if (position >= static_cast<int>(text.size()))
        return static_cast<int>(text.size());
    size_t pos = static_cast<size_t>(position);
    TextEncoding::Next(text, pos);
    return static_cast<int>(pos);
}

int EditWidget::PreviousPos(int position) const
{
    return static_cast<int>(TextEncoding::PreviousStart(text, static_cast<size_t>(std::max(position, 0))));
}

int EditWidget::TextWidthOf(const std::string& s) const
{
    return font ? font->TextWidth(s) : 0;
}

void EditWidget::SetText(const std::string& newText, bool scrollToStart)
{
    text = newText;
    hilitePos = 0;
    cursorPos = static_cast<int>(text.size());
    if (scrollToStart)
        leftPos = 0;
    else
        FocusCursor(true);
    Invalidate();
}

bool EditWidget::IsPartOfWord(char32_t ch)
{
    const bool ascii = ch < 0x80 && std::isalnum(static_cast<int>(ch));
    return ascii || ch == '_' || (ch >= 0xC0 && ch != 0xD7 && ch != 0xF7);
}

int EditWidget::GetCharAt(int localX)
{
    const int length = static_cast<int>(text.size());
    const int x = localX - kTextInset;
    const int first = std::min(leftPos, length);
    int chosen = first;
    int previous = 0;
    for (int i = NextPos(first); i > chosen; i = NextPos(i))
    {
        const int boundary = TextWidthOf(Shown(first, i));
        if (x < (previous + boundary) / 2 + kBoundaryBias)
            break;
        chosen = i;
        previous = boundary;
    }
    return chosen;
}

void EditWidget::FocusCursor(bool bigJump)
{
    const int step = bigJump ? 10 : 1;
    const int length = static_cast<int>(text.size());
    leftPos = std::clamp(leftPos, 0, length);
    while (cursorPos < leftPos)
    {
        for (int i = 0; i < step; ++i)
            leftPos = PreviousPos(leftPos);
    }
    const int visibleWidth = width - 2 * kTextInset;
    while (leftPos < cursorPos && TextWidthOf(Shown(leftPos, cursorPos)) > visibleWidth)
    {
        for (int i = 0; i < step && leftPos < cursorPos; ++i)
            leftPos = NextPos(leftPos);
    }
}

void EditWidget::ResetBlink()
{
    blinkAcc = 0;
    caretShown = true;
}

void EditWidget::Draw(Graphics* g)
{
    EnsureFont();
    g->SetColor(GetColor(0));
    g->FillRect(0, 0, width, height);

    if (font)
    {
        const int first = std::clamp(leftPos, 0, static_cast<int>(text.size()));
        const std::string visibleText = Shown(first, static_cast<int>(text.size()));
        const int baseline = (height - font->Height()) / 2 + font->Ascent();
        g->SetFont(font.get());

        Graphics inside(*g);
        inside.IntersectClip(kTextInset, 0, width - 2 * kTextInset, height);
        inside.SetColor(GetColor(2));
        inside.DrawString(visibleText, kTextInset, baseline);

        const int start = std::max(SelectionStart(), first);
        const int end = std::max(SelectionEnd(), first);
        const auto xOf = [&](int position) {
            return kTextInset + TextWidthOf(Shown(first, position));
        };
        Rect span;
        if (start != end)
            span = Rect{xOf(start), 0, xOf(end) - xOf(start), height};
        else if (caretShown && cursorPos >= first)
            span = Rect{xOf(cursorPos), 0, 2, height};
        if (span.width > 0)
        {
            Graphics marked(inside);
            marked.IntersectClip(span);
            if (hasFocus)
            {
                marked.SetColor(GetColor(3));
                marked.FillRect(span);
                marked.SetColor(GetColor(4));
            }
            else
            {
                marked.SetColor(GetColor(2));
            }
            marked.DrawString(visibleText, kTextInset, baseline);
        }
    }

    g->SetColor(GetColor(1));
    g->DrawRect(0, 0, width - 1, height - 1);
}

void EditWidget::Update()
{
    Widget::Update();
    if (!hasFocus)
        return;
    if (++blinkAcc >= kBlinkSteps)
    {
        blinkAcc = 0;
        caretShown = !caretShown;
        Invalidate();
    }
}

void EditWidget::OnGotFocus()
{
    Widget::OnGotFocus();
    ResetBlink();
    Invalidate();
}

void EditWidget::OnLostFocus()
{
    Widget::OnLostFocus();
    Invalidate();
}

void EditWidget::RememberUndo()
{
    m_undoText = text;
    m_undoCursor = cursorPos;
}

void EditWidget::DeleteSelection()
{
    const int start = SelectionStart();
    const int end = SelectionEnd();
    text.erase(static_cast<size_t>(start), static_cast<size_t>(end - start));
    cursorPos = start;
    hilitePos = -1;
}

bool EditWidget::CanInsert(char32_t ch) const
{
    if (ch < 32 || (ch >= 127 && ch < 160))
        return false;
    // A character the font has no glyph for would be invisible.
    if (font && ch != ' ' && font->GlyphWidth(ch) <= 0)
        return false;
    return !listener || listener->AllowChar(id, ch);
}

bool EditWidget::InsertFiltered(const std::string& s)
{
    const int start = SelectionStart();
    const int end = SelectionEnd();
    const std::string_view kept = text;
    int room = maxChars - static_cast<int>(TextEncoding::CharCount(kept.substr(0, size_t(start))) +
                                           TextEncoding::CharCount(kept.substr(size_t(end))));
    // Whatever the bytes, the text takes whole UTF-8 characters only.
    std::string accepted;
    for (size_t pos = 0; pos < s.size() && room > 0;)
    {
        const char32_t ch = TextEncoding::Next(s, pos);
        if (CanInsert(ch))
        {
            TextEncoding::Append(accepted, ch);
            --room;
        }
    }
    if (accepted.empty())
        return false;
    std::string changed = text;
    changed.replace(static_cast<size_t>(start), static_cast<size_t>(end - start), accepted);
    if (listener && !listener->AllowText(id, changed))
        return false;
    RememberUndo();
    text = std::move(changed);
    cursorPos = start + static_cast<int>(accepted.size());
    hilitePos = -1;
    return true;
}

void EditWidget::CopySelection()
{
    if (!HasSelection() || !manager || passwordChar != 0)
        return;
    manager->Host().SetClipboardText(text.substr(static_cast<size_t>(SelectionStart()),
                                                 static_cast<size_t>(SelectionEnd() - SelectionStart())));
}

void EditWidget::MoveCaret(int position, bool extend, bool bigJump)
{
    position = std::clamp(position, 0, static_cast<int>(text.size()));
    if (extend)
    {
        if (hilitePos < 0)
            hilitePos = cursorPos;
    }
    else
    {
        hilitePos = -1;
    }
    cursorPos = position;
    FocusCursor(bigJump);
}

void EditWidget::ProcessKey(int key, char32_t ch)
{
    const bool shift = manager && manager->keyDown[KeyCode::Shift];
    const bool ctrl = manager && manager->keyDown[KeyCode::Control];
    bool bigJump = false;
    if (key != 0)
    {
        switch (key)
        {
        case KeyCode::Backspace:
        case KeyCode::Delete:
            if (HasSelection())
            {
                RememberUndo();
                DeleteSelection();
            }
            else if (key == KeyCode::Backspace && cursorPos > 0)
            {
                RememberUndo();
                const int from = PreviousPos(cursorPos);
                text.erase(static_cast<size_t>(from), static_cast<size_t>(cursorPos - from));
                cursorPos = from;
                hilitePos = -1;
            }
            else if (key == KeyCode::Delete && cursorPos < static_cast<int>(text.size()))
            {
                RememberUndo();
                text.erase(static_cast<size_t>(cursorPos), static_cast<size_t>(NextPos(cursorPos) - cursorPos));
                hilitePos = -1;
            }
            break;
        case KeyCode::Home:
            MoveCaret(0, shift, true);
            break;
        case KeyCode::End:
            MoveCaret(static_cast<int>(text.size()), shift, true);
            break;
        case KeyCode::Left:
            MoveCaret(!shift && HasSelection() ? SelectionStart() : PreviousPos(cursorPos), shift, false);
            break;
        case KeyCode::Right:
            MoveCaret(!shift && HasSelection() ? SelectionEnd() : NextPos(cursorPos), shift, false);
            break;
        case KeyCode::Enter:
            // A held Enter sends the text once, as a dialog answers once.
            if (listener && !(manager && manager->IsKeyRepeat()))
                listener->OnEditText(id, text);
            break;
        default:
            return;
        }
    }
    else
    {
        const char32_t lower = ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch;
        const char32_t command = ctrl && lower >= 'a' && lower <= 'z' ? lower - 'a' + 1 : ch;
        switch (command)
        {
        case kCtrlC:
            CopySelection();
            return;
        case kCtrlX:
            if (HasSelection())
            {
                CopySelection();
                RememberUndo();
                DeleteSelection();
            }
            break;
        case kCtrlV:
        {
            if (!manager)
                return;
            std::string pasted = manager->Host().GetClipboardText();
            std::erase_if(pasted, [](char c) { return c == '\r' || c == '\n'; });
            if (!InsertFiltered(pasted))
                return;
            bigJump = true;
            break;
        }
        case kCtrlZ:
            std::swap(text, m_undoText);
            std::swap(cursorPos, m_undoCursor);
            cursorPos = std::clamp(cursorPos, 0, static_cast<int>(text.size()));
            hilitePos = -1;
            bigJump = true;
            break;
        default:
        {
            std::string typed;
            TextEncoding::Append(typed, ch);
            if (!InsertFiltered(typed))
                return;
        }
        }
    }
    FocusCursor(bigJump);
    ResetBlink();
    Invalidate();
}

void EditWidget::OnKeyDown(int key)
{
    // The letter keys A..Y arrive again as characters and are not offered
    // here; Z (90) lies outside that range and is offered like any other key.
    if (key < 65 || key > 89)
    {
        if (!listener || listener->AllowKey(id, key))
            ProcessKey(key, 0);
    }
    Widget::OnKeyDown(key);
}

void EditWidget::OnKeyChar(char32_t ch)
{
    if (ch == 0)
        return;
    ProcessKey(0, ch);
}

void EditWidget::OnMouseEnter()
{
    Widget::OnMouseEnter();
    SetCursorKind(kTextCursor);
}

void EditWidget::OnMouseLeave()
{
    Widget::OnMouseLeave();
    SetCursorKind(kArrowCursor);
}

void EditWidget::OnMouseDown(int localX, int localY, int clickCode)
{
    Widget::OnMouseDown(localX, localY, clickCode);
    const int position = GetCharAt(localX);
    if (clickCode == 2)
    {
        int start = position;
        int end = position;
        auto charAt = [&](int at) {
            size_t pos = static_cast<size_t>(at);
            return TextEncoding::Next(text, pos);
        };
        while (start > 0 && IsPartOfWord(charAt(PreviousPos(start))))
            start = PreviousPos(start);
        while (end < static_cast<int>(text.size()) && IsPartOfWord(charAt(end)))
            end = NextPos(end);
        hilitePos = start;
        cursorPos = end;
    }
    else
    {
        cursorPos = position;
        hilitePos = position;
    }
    ResetBlink();
    Invalidate();
}

void EditWidget::OnMouseDrag(int localX, int localY)
{
    (void)localY;
    if (hilitePos < 0)
        hilitePos = cursorPos;
    const int position = GetCharAt(localX);
    if (position == cursorPos)
        return;
    cursorPos = position;
    FocusCursor(false);
    Invalidate();
}

void EditWidget::OnMouseReleased(int localX, int localY)
{
    Widget::OnMouseReleased(localX, localY);
    if (hilitePos == cursorPos)
        hilitePos = -1;
    Invalidate();
}

bool EditWidget::IsOpaque()
{
    // The background colour fills the whole field first.
    return GetColor(0).alpha == 255;
}

} // namespace Quillo
