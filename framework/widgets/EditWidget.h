#pragma once

#include "framework/graphics/Font.h"
#include "framework/widgets/Widget.h"

#include <memory>
#include <string>

namespace Quillo
{

class EditListener;

// A one-line text field of UTF-8 text with a caret, a mouse or keyboard selection, the
// clipboard (Ctrl+C, Ctrl+X, Ctrl+V) and one step of undo (Ctrl+Z). Colour
// slots: 0 background, 1 outline, 2 text, 3 selection and caret, 4 text
// inside the selection.
class EditWidget : public Widget
{
public:
    EditWidget(int editId, EditListener* editListener);
    ~EditWidget() override;

    // A key press (key != 0) or a typed character (ch != 0).
    virtual void ProcessKey(int key, char32_t ch);
    // Keeps a copy of the font.
    virtual void SetFont(const Font* newFont);
    // Replaces the text and selects all of it.
    virtual void SetText(const std::string& newText, bool scrollToStart = true);
    // The characters a double click selects together.
    virtual bool IsPartOfWord(char32_t ch);
    // The caret position for a local x.
    virtual int GetCharAt(int localX);
    // Scrolls so that the caret is visible, by 10 characters at a time for
    // large jumps, else by one.
    virtual void FocusCursor(bool bigJump);

    bool WantsFocus() override;
    void Draw(Graphics* g) override;
    void Update() override;
    void OnGotFocus() override;
    void OnLostFocus() override;
    void OnKeyChar(char32_t ch) override;
    void OnKeyDown(int key) override;
    // The arrows, Tab and Space are the text's.
    bool TakesAllKeys() override { return true; }
    void OnMouseEnter() override;
    void OnMouseLeave() override;
    void OnMouseDown(int localX, int localY, int clickCode) override;
    void OnMouseDrag(int localX, int localY) override;
    void OnMouseReleased(int localX, int localY) override;
    // With a see-through background what lies behind is redrawn too.
    bool IsOpaque() override;

    // The selected span [start, end); equal when nothing is selected.
    int SelectionStart() const;
    int SelectionEnd() const;
    bool HasSelection() const { return SelectionStart() != SelectionEnd(); }

    int id;
    std::string text;
    // Drawn repeated instead of the text when not 0.
    char passwordChar = 0;
    // Characters, not bytes.
    int maxChars = 40;
    std::unique_ptr<Font> font;
    EditListener* listener;
    // Byte offsets into text.
    int cursorPos = 0;
    // The other end of the selection, or -1 for none.
    int hilitePos = -1;
    // The first character shown at the left edge.
    int leftPos = 0;
    int blinkAcc = 0;
    bool caretShown = true;

    // Update steps per caret blink phase (half a second at 10 ms a step).
    static constexpr int kBlinkSteps = 50;
    // Pixels between the bounds and the text.
    static constexpr int kTextInset = 4;

private:
    // The text between two byte positions as drawn: itself, or one
    // password character per character.
    std::string Shown(int from, int to) const;
    // Positions are byte offsets that always lie between whole characters.
    int NextPos(int position) const;
    int PreviousPos(int position) const;
    int TextWidthOf(const std::string& s) const;
    void EnsureFont();
    void RememberUndo();
    void DeleteSelection();
    // Inserts what the filters accept of s at the caret, replacing the
    // selection; false when nothing could be inserted.
    bool InsertFiltered(const std::string& s);
    bool CanInsert(char32_t ch) const;
    void CopySelection();
    void MoveCaret(int position, bool extend, bool bigJump);
    void ResetBlink();

    std::string m_undoText;
    int m_undoCursor = 0;
};

} // namespace Quillo
