#pragma once

namespace Quillo
{

// Receives the input records of a demo as they are played back. The
// application implements it by doing what the live window message would
// have done.
class DemoSink
{
public:
    virtual ~DemoSink() = default;

    virtual void OnDemoMouseMove(int x, int y) = 0;
    virtual void OnDemoMouseButton(int x, int y, int clickCode, bool down) = 0;
    virtual void OnDemoActivate(bool active) = 0;
    virtual void OnDemoMinimize(bool minimized) = 0;
    virtual void OnDemoKeyDown(int key) = 0;
    virtual void OnDemoKeyUp(int key) = 0;
    virtual void OnDemoKeyChar(int ch) = 0;
    virtual void OnDemoClose() = 0;
    virtual void OnDemoMouseEnter() = 0;
    virtual void OnDemoMouseLeave(int x, int y) = 0;
    // The loading thread was handed over at this point of the recording.
    virtual void OnDemoLoadingDone() = 0;
    virtual void OnDemoWheel(int notches) = 0;
    virtual void OnDemoDisplay(bool windowed, int refreshRate) = 0;
};

} // namespace Quillo
