#pragma once

#include "TestFont.h"

#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/WidgetHost.h"

#include <functional>
#include <string>
#include <vector>

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
    bool IsShuttingDown() override { return shuttingDown; }

    void OnButtonPressed(int id) override { events.push_back("pressed " + std::to_string(id)); }
    void OnButtonClicked(int id) override { events.push_back("clicked " + std::to_string(id)); }
    void OnButtonHeld(int id) override { events.push_back("held " + std::to_string(id)); }

    std::vector<int> cursorKinds;
    std::string clipboard;
    std::vector<std::string> fontRequests;
    std::vector<int> loopsRun;
    std::vector<int> closed;
    std::vector<std::string> events;
    std::function<void()> duringLoop;
    bool shuttingDown = false;
};
