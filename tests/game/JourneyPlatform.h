#pragma once

#include "../app/FakePlatform.h"

#include <functional>

// The fake platform with a player at the keyboard: whenever the
// application has handled every queued event, the script is asked for the
// next input (it may also just look at the game and wait).
class JourneyPlatform : public FakePlatform
{
public:
    // Presenting takes a 100 Hz display's frame, so that the game's time
    // moves on at the pace of a real screen while it draws every frame.
    JourneyPlatform()
    {
        presentCostMs = 10.0;
        refreshRate = 100;
    }

    bool PollEvent(Quillo::PlatformEvent& event) override
    {
        // Once per moment of the clock, at the top of the loop where the
        // application holds no lock, the hook may hold time back (the
        // journey holds it while the loading thread has made no progress).
        if (beforeTimePasses && now != lastHeld)
        {
            lastHeld = now;
            beforeTimePasses();
        }
        // Asked once per moment of the clock: the application drains the
        // queue in one go, and a script that answers every poll would
        // never let it stop.
        if (events.empty() && script && !polling && now != lastAsked)
        {
            lastAsked = now;
            polling = true;
            script();
            polling = false;
        }
        return FakePlatform::PollEvent(event);
    }

    void Click(int x, int y)
    {
        cursor = {x, y};
        cursorInside = true;
        Push(Quillo::EventType::MouseMove, x, y);
        Push(Quillo::EventType::MouseDown, x, y, 1);
        Push(Quillo::EventType::MouseUp, x, y, 1);
    }

    void Drag(int fromX, int fromY, int toX, int toY)
    {
        cursor = {toX, toY};
        cursorInside = true;
        Push(Quillo::EventType::MouseMove, fromX, fromY);
        Push(Quillo::EventType::MouseDown, fromX, fromY, 1);
        Push(Quillo::EventType::MouseMove, (fromX + toX) / 2, (fromY + toY) / 2);
        Push(Quillo::EventType::MouseMove, toX, toY);
        Push(Quillo::EventType::MouseUp, toX, toY, 1);
    }

    void Key(int code)
    {
        Push(Quillo::EventType::KeyDown, 0, 0, code);
        Push(Quillo::EventType::KeyUp, 0, 0, code);
    }

    void Type(const std::string& text)
    {
        for (char c : text)
            Push(Quillo::EventType::Char, 0, 0, static_cast<unsigned char>(c));
    }

    std::function<void()> script;
    std::function<void()> beforeTimePasses;
    bool polling = false;
    double lastAsked = -1.0;
    double lastHeld = -1.0;
};
