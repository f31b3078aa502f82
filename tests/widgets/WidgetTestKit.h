#pragma once

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/CheckboxListener.h"
#include "framework/widgets/ListListener.h"
#include "framework/widgets/ScrollListener.h"
#include "framework/widgets/SliderListener.h"
#include "framework/widgets/WidgetHost.h"
#include "framework/widgets/WidgetManager.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A monospaced font for tests: every character advances 6 pixels and is
// drawn as a solid 5 by 8 block above the baseline (spaces draw nothing).
// Characters below 32 have no glyph.
class TestFont : public Quillo::Font
{
public:
    TestFont() { ascent = 8, height = 10; }
    int TextWidth(const std::string& text) override
    {
        return 6 * static_cast<int>(Quillo::TextEncoding::CharCount(text));
    }
    int GlyphWidth(char32_t ch) override { return ch < 32 ? 0 : 6; }
    void DrawText(Quillo::Graphics* g, int x, int y, const std::string& text, const Quillo::Color& color,
                  const Quillo::Rect&) override
    {
        Quillo::Graphics pen(*g);
        pen.SetColor(color);
        int i = 0;
        for (size_t pos = 0; pos < text.size(); ++i)
            if (Quillo::TextEncoding::Next(text, pos) != ' ')
                pen.FillRect(x + 6 * i, y - ascent, 5, ascent);
    }
    std::unique_ptr<Quillo::Font> Clone() const override { return std::make_unique<TestFont>(*this); }
};

// Records what the widgets ask of the application.
class TestHost : public Quillo::WidgetHost, public Quillo::ButtonListener
{
public:
    void SetCursorKind(int kind) override { cursorKinds.push_back(kind); }
    std::string GetClipboardText() override { return clipboard; }
    void SetClipboardText(const std::string& text) override { clipboard = text; }
    std::unique_ptr<Quillo::Font> MakeSystemFont(const std::string& face, int size, bool bold) override
    {
        fontRequests.push_back(face + " " + std::to_string(size) + (bold ? " bold" : ""));
        return std::make_unique<TestFont>();
    }
    Quillo::ButtonListener* ApplicationButtonListener() override { return this; }
    void RunLoop(int dialogId) override
    {
        loopsRun.push_back(dialogId);
        if (duringLoop)
            duringLoop();
    }
    bool CloseDialogById(int dialogId) override
    {
        closed.push_back(dialogId);
        return true;
    }
    bool IsShuttingDown() override { return false; }
    void OnButtonPressed(int id) override { events.push_back("pressed " + std::to_string(id)); }
    void OnButtonClicked(int id) override { events.push_back("clicked " + std::to_string(id)); }

    std::vector<int> cursorKinds, loopsRun, closed;
    std::string clipboard;
    std::vector<std::string> fontRequests, events;
    std::function<void()> duringLoop;
};

// Writes what the controls report: button, checkbox and list events as
// text, slider and scroll positions as numbers, button holds as a count.
class ControlLog : public Quillo::ButtonListener,
                   public Quillo::CheckboxListener,
                   public Quillo::SliderListener,
                   public Quillo::ScrollListener,
                   public Quillo::ListListener
{
public:
    void OnButtonEnter(int id) override { Add("enter", id); }
    void OnButtonLeave(int id) override { Add("leave", id); }
    void OnButtonPressedCount(int id, int code) override
    {
        Add("count", id, code);
        ButtonListener::OnButtonPressedCount(id, code);
    }
    void OnButtonPressed(int id) override { Add("pressed", id); }
    void OnButtonClicked(int id) override { Add("clicked", id); }
    void OnButtonHeld(int) override { ++held; }
    void OnCheckboxChanged(int id, bool checked) override { Add("checked", id, checked); }
    void OnListClicked(int id, int line, int code) override { Add("line", id, line, code); }
    void OnSliderMoved(int, double value) override { values.push_back(value); }
    void OnScrolled(int, double position) override { values.push_back(position); }

    std::vector<std::string> Take() { return std::exchange(events, {}); }

    std::vector<std::string> events;
    std::vector<double> values;
    int held = 0;

private:
    template <typename... Numbers> void Add(const std::string& what, Numbers... numbers)
    {
        std::string line = what;
        ((line += " " + std::to_string(numbers)), ...);
        events.push_back(line);
    }
};

// One step of mouse input: 'm'ove, 'd'own, 'u'p, or 'c'lick (all three there).
struct MouseStep
{
    char kind;
    int x, y, code = 1;
};

inline void Play(Quillo::WidgetManager& manager, std::initializer_list<MouseStep> steps)
{
    for (const MouseStep& s : steps)
    {
        if (s.kind == 'm' || s.kind == 'c')
            manager.MouseMove(s.x, s.y);
        if (s.kind == 'd' || s.kind == 'c')
            manager.MouseDown(s.x, s.y, s.code);
        if (s.kind == 'u' || s.kind == 'c')
            manager.MouseUp(s.x, s.y, s.code);
    }
}

inline std::unique_ptr<Quillo::MemoryImage> SolidImage(int w, int h, uint32_t argb)
{
    auto image = std::make_unique<Quillo::MemoryImage>();
    image->Create(w, h);
    std::fill(image->GetBits(), image->GetBits() + w * h, argb);
    image->MarkBitsChanged();
    image->CommitAlphaFlags();
    return image;
}

// A pixel a test expects, and what it shows.
struct Spot
{
    int x, y;
    uint32_t rgb;
    const char* what = "";
};

// A widget manager drawing on an opaque screen, as the display's is (images
// are copied exactly), for a recording host.
class ScreenTest : public ::testing::Test
{
protected:
    explicit ScreenTest(int w = 200, int h = 100)
    {
        screen.Create(w, h);
        screen.ForceAlphaFlags(false, false);
        manager.SetSize(w, h);
        manager.SetScreenImage(&screen);
        manager.SetHost(&host);
    }

    uint32_t Pixel(int x, int y) const { return screen.PixelAt(x, y) & 0xFFFFFF; }
    void ExpectPixels(std::initializer_list<Spot> spots) const
    {
        for (const Spot& s : spots)
            EXPECT_EQ(Pixel(s.x, s.y), s.rgb) << s.what << " at " << s.x << "," << s.y;
    }
    void Play(std::initializer_list<MouseStep> steps) { ::Play(manager, steps); }
    template <typename W> W& Place(W& widget, int x, int y, int w, int h)
    {
        widget.Resize(x, y, w, h);
        manager.AddWidget(&widget);
        return widget;
    }

    Quillo::MemoryImage screen;
    TestHost host;
    TestFont font;
    ControlLog log;
    Quillo::WidgetManager manager;
};
