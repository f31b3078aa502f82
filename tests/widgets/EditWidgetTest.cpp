#include "WidgetTestKit.h"

#include "framework/widgets/EditListener.h"
#include "framework/widgets/EditWidget.h"
#include "framework/widgets/KeyCode.h"
#include "framework/platform/TextEncoding.h"

using namespace Quillo;

namespace
{

class EditLog : public EditListener
{
public:
    void OnEditText(int, const std::string& text) override { entered.push_back(text); }
    bool AllowKey(int, int key) override
    {
        offeredKeys.push_back(key);
        return key != refusedKey;
    }
    bool AllowChar(int, char32_t ch) override { return ch != refusedChar; }
    std::vector<std::string> entered;
    std::vector<int> offeredKeys;
    int refusedKey = -1;
    char32_t refusedChar = 0;
};

class Edit : public ScreenTest
{
protected:
    Edit() : ScreenTest(200, 40), edit(5, &listener)
    {
        edit.SetFont(&font);
        // Room for 10 characters of 6 pixels between the 4-pixel insets.
        Place(edit, 0, 0, 68, 20);
        manager.SetFocus(&edit);
    }

    void Type(const std::string& s)
    {
        for (size_t pos = 0; pos < s.size();)
            manager.KeyChar(TextEncoding::Next(s, pos));
    }

    void Key(int key, bool shift = false, int times = 1)
    {
        if (shift)
            manager.KeyDown(KeyCode::Shift);
        for (int i = 0; i < times; ++i)
        {
            manager.KeyDown(key);
            manager.KeyUp(key);
        }
        if (shift)
            manager.KeyUp(KeyCode::Shift);
    }

    void Ctrl(char letter)
    {
        manager.KeyDown(KeyCode::Control);
        manager.KeyChar(static_cast<char32_t>(letter - 'a' + 1));
        manager.KeyUp(KeyCode::Control);
    }

    std::pair<int, int> Selection() const { return {edit.SelectionStart(), edit.SelectionEnd()}; }

    EditLog listener;
    EditWidget edit;
};

TEST_F(Edit, TypingInsertsUpToTheMaximumAndSkipsRefusedCharacters)
{
    edit.maxChars = 6;
    listener.refusedChar = '!';
    Type("ab!c\x01\tdefgh");
    EXPECT_EQ(edit.text, "abcdef");
    EXPECT_EQ(edit.cursorPos, 6);
    Key(KeyCode::Home);
    Type("Z");
    EXPECT_EQ(edit.text, "abcdef") << "full";
    Key(KeyCode::Right, true, 2);
    Type("Z");
    EXPECT_EQ(edit.text, "Zcdef") << "typing replaces the selection";
    Key(KeyCode::Enter);
    EXPECT_THAT(listener.entered, ElementsAre("Zcdef"));

    // Held down, Enter sends the text once and Backspace goes on deleting.
    Key(KeyCode::End);
    for (int key : {KeyCode::Enter, KeyCode::Backspace})
    {
        for (int repeat = 0; repeat < 3; ++repeat)
            manager.KeyDown(key);
        manager.KeyUp(key);
    }
    EXPECT_THAT(listener.entered, ElementsAre("Zcdef", "Zcdef"));
    EXPECT_EQ(edit.text, "Zc");
}

TEST_F(Edit, KeysEditAndMoveTheCaretAndPassTheFilter)
{
    edit.SetText("hello world", true);
    EXPECT_EQ(Selection(), std::pair(0, 11));
    Key(KeyCode::End);
    EXPECT_FALSE(edit.HasSelection());
    Key(KeyCode::Backspace);
    EXPECT_EQ(edit.text, "hello worl");
    Key(KeyCode::Left, false, 2);
    Key(KeyCode::Delete);
    EXPECT_EQ(edit.text, "hello wol");
    Key(KeyCode::Home);
    Key(KeyCode::Delete);
    Key(KeyCode::Backspace);
    EXPECT_EQ(edit.text, "ello wol");
    Key(KeyCode::End, true);
    Key(KeyCode::Backspace);
    EXPECT_EQ(edit.text, "");

    listener.offeredKeys.clear();
    manager.KeyDown('A');
    manager.KeyDown('Y');
    manager.KeyDown('Z');
    manager.KeyDown(KeyCode::Left);
    EXPECT_THAT(listener.offeredKeys, ElementsAre('Z', KeyCode::Left))
        << "letter keys A..Y are not offered";

    edit.SetText("abc", false);
    Key(KeyCode::End);
    listener.refusedKey = KeyCode::Backspace;
    Key(KeyCode::Backspace);
    EXPECT_EQ(edit.text, "abc") << "a refused key is not handled";
}

TEST_F(Edit, LettersBeyondAsciiAreEditedWhole)
{
    // "Łódź" is 4 letters in 7 bytes; the limit and every step count letters.
    edit.maxChars = 5;
    Type("\xC5\x81\xC3\xB3" "d\xC5\xBA" "\xC4\x85\xC4\x99");
    EXPECT_EQ(edit.text, "\xC5\x81\xC3\xB3" "d\xC5\xBA" "\xC4\x85");
    Key(KeyCode::Backspace);
    Key(KeyCode::Left, false, 2);
    EXPECT_EQ(edit.cursorPos, 4);
    Key(KeyCode::Delete);
    EXPECT_EQ(edit.text, "\xC5\x81\xC3\xB3\xC5\xBA");
    Key(KeyCode::Left, true);
    EXPECT_EQ(Selection(), std::pair(2, 4));
    Key(KeyCode::Backspace);
    EXPECT_EQ(edit.text, "\xC5\x81\xC5\xBA");
    EXPECT_EQ(edit.GetCharAt(4 + 9), 2) << "the second letter starts at byte 2, 6 pixels in";

    // Pasted Latin-1 bytes become their letters, in UTF-8.
    host.clipboard = "\xFC";
    Key(KeyCode::End);
    Ctrl('v');
    EXPECT_EQ(edit.text, "\xC5\x81\xC5\xBA\xC3\xBC");
    Play({{'d', 4 + 13, 10, 2}, {'u', 4 + 13, 10}});
    EXPECT_EQ(Selection(), std::pair(0, 6)) << "a double click selects the whole word";
}

TEST_F(Edit, ClipboardCutCopyPasteAndUndo)
{
    edit.SetText("one two", true);
    Ctrl('c');
    EXPECT_EQ(host.clipboard, "one two");
    Key(KeyCode::Home);
    Key(KeyCode::Right, true, 3);
    Ctrl('x');
    EXPECT_EQ(host.clipboard, "one");
    EXPECT_EQ(edit.text, " two");
    Ctrl('z');
    EXPECT_EQ(edit.text, "one two") << "undo swaps back";
    Ctrl('z');
    EXPECT_EQ(edit.text, " two") << "and again forward";

    host.clipboard = "A\r\nB!C\nD";
    listener.refusedChar = '!';
    Key(KeyCode::End);
    Ctrl('v');
    EXPECT_EQ(edit.text, " twoABCD") << "line breaks dropped, the filter applies to pasted text";
    edit.maxChars = 10;
    host.clipboard = "123456";
    Ctrl('v');
    EXPECT_EQ(edit.text, " twoABCD12") << "the paste stops at the maximum";

    edit.passwordChar = '*';
    edit.SetText("secret", true);
    host.clipboard = "kept";
    Ctrl('c');
    EXPECT_EQ(host.clipboard, "kept") << "a password is not copied out";
}

TEST_F(Edit, MouseClicksDragsAndDoubleClicksSelect)
{
    edit.SetText("ab cd", true);
    Play({{'c', 4 + 6 + 3 + 5, 10}});
    EXPECT_EQ(edit.cursorPos, 2) << "5 pixels past the middle chooses the later boundary";
    EXPECT_EQ(edit.hilitePos, -1) << "a release with an empty selection clears it";
    Play({{'d', 4 + 6 + 3 + 4, 10}, {'u', 4 + 6 + 3 + 4, 10}});
    EXPECT_EQ(edit.cursorPos, 1);

    Play({{'d', 8, 10}, {'m', 40, 10}, {'u', 40, 10}});
    EXPECT_EQ(Selection(), std::pair(0, 5));

    Play({{'d', 26, 10, 2}, {'u', 26, 10}});
    EXPECT_EQ(Selection(), std::pair(3, 5)) << "double click selects the word";
    EXPECT_EQ(host.cursorKinds.front(), 3) << "text beam over the field";
}

TEST_F(Edit, TheViewScrollsToKeepTheCaretVisible)
{
    Type("abcdefghijkl");
    EXPECT_EQ(edit.leftPos, 2);
    Key(KeyCode::Home);
    EXPECT_EQ(edit.leftPos, 0);
    edit.maxChars = 100;
    edit.SetText(std::string(40, 'x'), false);
    EXPECT_EQ(edit.leftPos, 30) << "large jumps scroll by 10 characters";
    Key(KeyCode::Home);
    EXPECT_EQ(edit.leftPos, 0);
}

TEST_F(Edit, DrawsTextSelectionAndCaret)
{
    edit.SetText("ab", true);
    edit.SetColor(3, Color{0, 0, 255});
    edit.SetColor(4, Color{255, 255, 0});
    manager.DrawPass();
    ExpectPixels({{30, 10, 0xFFFFFF, "background"}, {0, 0, 0x000000, "outline"},
                  {5, 10, 0xFFFF00, "text inside the selection"},
                  {9, 10, 0x0000FF, "the selection fill between the glyphs"}});

    Key(KeyCode::End);
    manager.DrawPass();
    ExpectPixels({{5, 10, 0x000000, "text without a selection"},
                  {16, 10, 0x0000FF, "the caret after the text"}, {18, 10, 0xFFFFFF}});
    for (int step = 0; step < EditWidget::kBlinkSteps; ++step)
        manager.UpdatePass();
    manager.DrawPass();
    EXPECT_EQ(Pixel(16, 10), 0xFFFFFFu) << "the caret blinks";

    edit.passwordChar = '*';
    edit.SetText("pw", true);
    EXPECT_EQ(edit.GetCharAt(4 + 14), 2) << "password text measures its stand-in characters";
    EXPECT_EQ(edit.GetCharAt(4 + 13), 1);
}

TEST_F(Edit, ASeeThroughBackgroundRedrawsWhatIsBehind)
{
    struct Counter : Widget
    {
        void Draw(Graphics*) override { ++draws; }
        int draws = 0;
    } behind;
    Place(behind, 0, 0, 200, 40);
    manager.BringToFront(&edit);
    manager.DrawPass();
    behind.draws = 0;
    edit.Invalidate();
    manager.DrawPass();
    EXPECT_EQ(behind.draws, 0);
    edit.SetColor(0, Color{255, 255, 255, 128});
    manager.DrawPass();
    behind.draws = 0;
    Type("q");
    manager.DrawPass();
    EXPECT_EQ(behind.draws, 1);
    manager.RemoveWidget(&behind);
}

} // namespace
