#pragma once

#include "tools/quillo_demo/app/BouncingBall.h"
#include "tools/quillo_demo/app/ClickGrid.h"
#include "tools/quillo_demo/app/TypeBar.h"

#include "framework/app/QuilloAppBase.h"

#include <cstdint>
#include <memory>

namespace QuilloDemo
{

// The quillo_demo program: a click grid, a bouncing ball and a typing bar
// on the framework alone, with the framework's parameters (-record, -play,
// -demofile=, -recnum, -playnum, -crash, -screensaver). It makes no sound
// and reads no data files, so it runs anywhere, also headless. Its one
// setting, "Clicks", counts the grid clicks over all runs.
class DemoProgram : public Quillo::QuilloAppBase
{
public:
    DemoProgram();
    ~DemoProgram() override;

    void Init() override;
    void LoadSettings() override;
    void SaveSettings() override;
    bool KeepWorkingDirectory(const std::string& dir) override;
    std::unique_ptr<Quillo::SoundManager> CreateSoundManager() override;
    std::unique_ptr<Quillo::MusicInterface> CreateMusicPlayer() override;

    // A checksum of everything the widgets hold, and of the update count.
    uint32_t StateChecksum() const;

    ClickGrid* Grid() { return m_grid.get(); }
    TypeBar* Bar() { return m_bar.get(); }

private:
    std::unique_ptr<ClickGrid> m_grid;
    std::unique_ptr<BouncingBall> m_ball;
    std::unique_ptr<TypeBar> m_bar;
    int m_storedClicks = 0;
};

} // namespace QuilloDemo
