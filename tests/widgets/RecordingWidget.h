#pragma once

#include "WidgetTestKit.h"

#include "framework/widgets/Widget.h"

// A widget that writes every call it receives into a shared log, as
// "name:event args", and can fill itself with a colour when drawn.
class RecordingWidget : public Quillo::Widget
{
public:
    RecordingWidget(std::string widgetName, std::vector<std::string>* eventLog)
        : name(std::move(widgetName)), log(eventLog)
    {
    }

    // Logs "name:what n1,n2,...".
    void Record(const std::string& what, std::initializer_list<int> numbers = {})
    {
        std::string line = name + ":" + what;
        for (const int* n = numbers.begin(); n != numbers.end(); ++n)
            line += (n == numbers.begin() ? " " : ",") + std::to_string(*n);
        log->push_back(line);
    }

    void OnAttached(Quillo::WidgetManager* m) override { Widget::OnAttached(m), Record("attached"); }
    void OnDetached(Quillo::WidgetManager* m) override { Widget::OnDetached(m), Record("detached"); }
    bool WantsFocus() override { return wantsFocus; }
    void Draw(Quillo::Graphics* g) override
    {
        ++drawCount;
        if (fill.alpha > 0)
        {
            g->SetColor(fill);
            g->FillRect(0, 0, width, height);
        }
    }
    bool IsOpaque() override { return fill.alpha == 255; }
    void Update() override
    {
        Widget::Update();
        if (onUpdate)
            onUpdate();
    }
    void OnGotFocus() override { Widget::OnGotFocus(), Record("gotfocus"); }
    void OnLostFocus() override { Widget::OnLostFocus(), Record("lostfocus"); }
    void OnKeyChar(char32_t ch) override { log->push_back(name + ":char " + static_cast<char>(ch)); }
    void OnKeyDown(int key) override { Record("keydown", {key}), Widget::OnKeyDown(key); }
    void OnKeyUp(int key) override { Record("keyup", {key}); }
    void OnMouseEnter() override { Widget::OnMouseEnter(), Record("enter"); }
    void OnMouseLeave() override { Widget::OnMouseLeave(), Record("leave"); }
    void OnMouseMove(int lx, int ly) override { Record("move", {lx, ly}); }
    void OnMouseDrag(int lx, int ly) override { Record("drag", {lx, ly}); }
    void OnMouseWheel(int delta) override { Record("wheel", {delta}); }
    void OnMouseDown(int lx, int ly, int code) override
    {
        Widget::OnMouseDown(lx, ly, code);
        Record("down", {lx, ly, code});
    }
    void OnMouseUp(int lx, int ly, int code) override
    {
        Widget::OnMouseUp(lx, ly, code);
        Record("up", {lx, ly, code});
    }
    bool IsPointVisible(int lx, int ly) override { return !refuseLeftHalf || lx >= width / 2 || ly < 0; }

    std::string name;
    std::vector<std::string>* log;
    bool wantsFocus = false;
    bool refuseLeftHalf = false;
    int drawCount = 0;
    Quillo::Color fill{0, 0, 0, 0};
    std::function<void()> onUpdate;
};

// An 800 by 600 manager whose widgets all write into one log.
class RecordingTest : public ::testing::Test
{
protected:
    RecordingTest() { manager.SetSize(800, 600); }

    RecordingWidget* Make(const std::string& name, int x, int y, int w, int h, uint32_t argb = 0)
    {
        RecordingWidget* widget = owned.emplace_back(std::make_unique<RecordingWidget>(name, &log)).get();
        widget->Resize(x, y, w, h);
        widget->fill = Quillo::Color::FromArgb(argb);
        manager.AddWidget(widget);
        return widget;
    }
    std::vector<std::string> Take() { return std::exchange(log, {}); }
    void Play(std::initializer_list<MouseStep> steps) { ::Play(manager, steps); }

    std::vector<std::string> log;
    std::vector<std::unique_ptr<RecordingWidget>> owned;
    Quillo::WidgetManager manager;
};
