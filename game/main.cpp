#include "game/app/GameApp.h"

#include "framework/diagnostics/CrashFilter.h"

#include <memory>

int main(int argc, char** argv)
{
    // Before anything else, so that a failure at any point leaves a report.
    Quillo::InstallCrashFilter(SPINDREL_INSTALLED_VIEWER);
    auto app = std::make_unique<Spindrel::GameApp>();
    app->SetCommandLine(argc, argv);
    app->Init();
    app->Start();
    app.reset();
    return 0;
}
