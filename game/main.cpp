#include "game/app/GameApp.h"

#include "framework/diagnostics/CrashFilter.h"
#include "framework/platform/RendererProbe.h"

#include <memory>

int main(int argc, char** argv)
{
    // A child the presenter started to learn what the accelerated renderer
    // is: it answers and ends, before any of the game's own start.
    if (Quillo::RendererProbe::IsRequest(argc, argv))
        Quillo::RendererProbe::Answer();
    // Before anything else, so that a failure at any point leaves a report.
    Quillo::InstallCrashFilter(SPINDREL_INSTALLED_VIEWER);
    auto app = std::make_unique<Spindrel::GameApp>();
    app->SetCommandLine(argc, argv);
    app->AnswerRendererProbe();
    app->Init();
    app->Start();
    app.reset();
    return 0;
}
