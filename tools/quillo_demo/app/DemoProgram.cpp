#include "tools/quillo_demo/app/DemoProgram.h"

#include "framework/audio/MusicInterface.h"
#include "framework/audio/SoundManager.h"
#include "framework/widgets/WidgetManager.h"

namespace QuilloDemo
{

DemoProgram::DemoProgram()
{
    productName = "QuilloDemo";
    title = "Quillo Demo";
    registryKey = "Quillo\\Demo";
    width = 800;
    height = 600;
    // Recording in one copy while playing in another is the point here.
    singleInstance = false;
    demoFilePrefix = "quillo_demo";
    demoFileName = "quillo_demo.dmo";
}

DemoProgram::~DemoProgram()
{
    // The widgets leave the tree before they go; the manager goes later.
    if (widgetManager)
    {
        for (Quillo::Widget* w : {static_cast<Quillo::Widget*>(m_grid.get()), static_cast<Quillo::Widget*>(m_ball.get()),
                                  static_cast<Quillo::Widget*>(m_bar.get())})
            if (w)
                widgetManager->RemoveWidget(w);
    }
}

void DemoProgram::Init()
{
    QuilloAppBase::Init();
    if (IsShuttingDown())
        return;
    m_grid = std::make_unique<ClickGrid>();
    m_grid->SetClicks(m_storedClicks);
    m_ball = std::make_unique<BouncingBall>();
    m_bar = std::make_unique<TypeBar>(*m_ball);
    widgetManager->AddWidget(m_grid.get());
    widgetManager->AddWidget(m_ball.get());
    widgetManager->AddWidget(m_bar.get());
    widgetManager->SetFocus(m_bar.get());
}

void DemoProgram::LoadSettings()
{
    QuilloAppBase::LoadSettings();
    ReadInteger("Clicks", m_storedClicks);
}

void DemoProgram::SaveSettings()
{
    QuilloAppBase::SaveSettings();
    if (m_grid)
        WriteInteger("Clicks", m_grid->Clicks());
}

bool DemoProgram::KeepWorkingDirectory(const std::string&)
{
    // No data beside the program: demo files and "crash.txt" stay where the
    // program was started.
    return true;
}

std::unique_ptr<Quillo::SoundManager> DemoProgram::CreateSoundManager()
{
    return nullptr;
}

std::unique_ptr<Quillo::MusicInterface> DemoProgram::CreateMusicPlayer()
{
    return nullptr;
}

uint32_t DemoProgram::StateChecksum() const
{
    StateHash hash;
    hash.Add(static_cast<uint32_t>(updateCount));
    if (m_grid)
    {
        m_grid->AddState(hash);
        m_ball->AddState(hash);
        m_bar->AddState(hash);
    }
    return hash.Value();
}

} // namespace QuilloDemo
