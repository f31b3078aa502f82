#pragma once

#include "framework/graphics/Font.h"
#include "framework/widgets/ScrollListener.h"
#include "framework/widgets/Widget.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Quillo
{

class ListListener;
class ScrollbarWidget;

// Lines of text, one under the other, with a highlighted line (under the
// mouse) and a selected line, scrolled by whole lines with the wheel (it goes
// to the focus widget) or an attached scrollbar. Colour slots: 0 background,
// 1 outline, 2 line text, 3 highlighted text, 4 selection bar, 5 selected
// text.
class ListWidget : public Widget, public ScrollListener
{
public:
    // Keeps a copy of the font; null draws no text.
    ListWidget(int listId, const Font* listFont, ListListener* listListener);
    ~ListWidget() override;

    // Returns the index of the new line; without a colour it uses slot 2.
    int AddLine(const std::string& line, std::optional<Color> color = std::nullopt);
    void SetLine(int index, const std::string& line);
    const std::string& GetLine(int index) const;
    int GetLineCount() const { return static_cast<int>(lines.size()); }
    void RemoveLine(int index);
    void RemoveAll();
    void SetLineColor(int index, const Color& color);
    // -1 selects nothing; out-of-range lines select nothing too.
    void SetSelect(int index);
    int GetSelect() const { return selectIdx; }
    void SetFont(const Font* newFont);
    // 0 uses the font's height.
    void SetItemHeight(int newItemHeight);
    // Not owned; it is kept in step with the lines and moves the view.
    void SetScrollbar(ScrollbarWidget* bar);
    // Scrolls so that the line is visible.
    void ScrollToLine(int index);
    void SetPosition(int newPosition);
    int LineHeight() const;
    // The line at a local y, or -1.
    int LineAt(int localY) const;

    void Resize(int newX, int newY, int newWidth, int newHeight) override;
    void Draw(Graphics* g) override;
    void OnMouseMove(int localX, int localY) override;
    void OnMouseLeave() override;
    void OnMouseDown(int localX, int localY, int clickCode) override;
    void OnMouseWheel(int delta) override;
    bool WantsMouseWheel() override;
    // Up and Down move the selection; past the first or last line the key
    // moves the mark on.
    bool OnMarkedKey(int key) override;

    void OnScrolled(int scrollbarId, double newPosition) override;

    int id;
    std::unique_ptr<Font> font;
    ListListener* listener;
    std::vector<std::string> lines;
    std::vector<std::optional<Color>> lineColors;
    int itemHeight = 0;
    int hiliteIdx = -1;
    int selectIdx = -1;
    bool drawOutline = true;
    // 0 left, 1 centred, 2 right.
    int justify = 0;
    int position = 0;
    int pageSize = 0;
    ScrollbarWidget* scrollbar = nullptr;

    // Pixels between the bounds and the lines.
    static constexpr int kInset = 4;

private:
    void UpdatePageSize();
    void SyncScrollbar();
    int MaxPosition() const;
};

} // namespace Quillo
