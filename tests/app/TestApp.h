#pragma once

#include "FakePlatform.h"

#include "framework/app/QuilloAppBase.h"
#include "framework/audio/MusicInterface.h"
#include "framework/audio/SoundManager.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"

#include <memory>
#include <vector>

// The application object on a fake platform, silent, with the loading
// already handed over unless a test says otherwise.
class TestApp : public Quillo::QuilloAppBase
{
public:
    explicit TestApp(bool loaded = true)
    {
        auto fake = std::make_unique<FakePlatform>();
        platformFake = fake.get();
        SetPlatform(std::move(fake));
        width = 800;
        height = 600;
        singleInstance = false;
        automaticLoading = false;
        if (loaded)
            loadingThreadDone = true;
    }

    std::unique_ptr<Quillo::SoundManager> CreateSoundManager() override { return nullptr; }
    std::unique_ptr<Quillo::MusicInterface> CreateMusicPlayer() override { return nullptr; }
    bool KeepWorkingDirectory(const std::string&) override { return true; }
    bool IsPlayingDemo() const override { return playingDemo || QuilloAppBase::IsPlayingDemo(); }

    bool DrawFrame() override
    {
        updatesBetweenDraws.push_back(updateCount - updatesAtLastDraw);
        updatesAtLastDraw = updateCount;
        return QuilloAppBase::DrawFrame();
    }

    // Hands the event to the application as the platform would.
    void Send(Quillo::EventType type, int x = 0, int y = 0, int code = 0, bool inside = true)
    {
        HandleEvent({.type = type, .x = x, .y = y, .code = code, .inside = inside});
    }

    // Runs loop passes until the fake clock reaches ms.
    void RunUntil(double ms)
    {
        while (platformFake->now < ms && !shutdownStarted)
        {
            HandleQueuedEvents();
            StepFrame(true);
        }
    }

    using QuilloAppBase::HandleQueuedEvents;
    using QuilloAppBase::IsRefreshPacedActive;
    using QuilloAppBase::autoQuitAtMs;
    using QuilloAppBase::lastMeasureMs;
    using QuilloAppBase::frameRate;
    using QuilloAppBase::messageQueue;

    FakePlatform* platformFake = nullptr;
    // Demo playback as the application sees it once started, without a file.
    bool playingDemo = false;
    std::vector<int> updatesBetweenDraws;
    int updatesAtLastDraw = 0;
};
