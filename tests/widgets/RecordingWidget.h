#pragma once

#include "framework/graphics/Graphics.h"
#include "framework/widgets/Widget.h"

#include <functional>
#include <string>
#include <vector>

// A widget that writes every call it receives into a shared log, as
// "name:event args", and can fill itself with a colour when drawn.
class RecordingWidget : public Quillo::Widget
{
public:
    RecordingWidget(std::string widgetName, std::vector<std::string>* eventLog)
        : name(std::move(widgetName)), log(eventLog)
    {
    }

    void Record(const std::string& what) { log->push_back(name + ":" + what); }

    void OnAttached(Quillo::WidgetManager* m) override
    {
        Widget::OnAttached(m);
        Record("attached");
    }
    void OnDetached(Quillo::WidgetManager* m) override
    {
        Widget::OnDetached(m);
        Record("detached");
    }
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
    void Update() override
    {
        Widget::Update();
        if (onUpdate)
            onUpdate();
    }
    void OnGotFocus() override
    {
        Widget::OnGotFocus();
        Record("gotfocus");
    }
    void OnLostFocus() override
    {
        Widget::OnLostFocus();
        Record("lostfocus");
    }
    void OnKeyChar(char ch) override { Record(std::string("char ") + ch); }
    void OnKeyDown(int key) override
    {
        Record("keydown " + std::to_string(key));
        Widget::OnKeyDown(key);
    }
    void OnKeyUp(int key) override { Record("keyup " + std::to_string(key)); }
    void OnMouseEnter() override
    {
        Widget::OnMouseEnter();
        Record("enter");
    }
    void OnMouseLeave() override
    {
        Widget::OnMouseLeave();
        Record("leave");
    }
    void OnMouseMove(int lx, int ly) override
    {
        Record("move " + std::to_string(lx) + "," + std::to_string(ly));
    }
    void OnMouseDown(int lx, int ly, int code) override
    {
        Widget::OnMouseDown(lx, ly, code);
        Record("down " + std::to_string(lx) + "," + std::to_string(ly) + " " + std::to_string(code));
    }
    void OnMouseUp(int lx, int ly, int code) override
    {
        Widget::OnMouseUp(lx, ly, code);
        Record("up " + std::to_string(lx) + "," + std::to_string(ly) + " " + std::to_string(code));
    }
    void OnMouseDrag(int lx, int ly) override
    {
        Record("drag " + std::to_string(lx) + "," + std::to_string(ly));
    }
    void OnMouseWheel(int delta) override { Record("wheel " + std::to_string(delta)); }
    bool IsPointVisible(int lx, int ly) override
    {
        return !refuseLeftHalf || lx >= width / 2 || ly < 0;
    }

    std::string name;
    std::vector<std::string>* log;
    bool wantsFocus = false;
    bool refuseLeftHalf = false;
    int drawCount = 0;
    Quillo::Color fill{0, 0, 0, 0};
    std::function<void()> onUpdate;
};
