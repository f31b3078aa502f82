#include "tools/quillo_demo/app/DemoProgram.h"

#include "framework/diagnostics/CrashFilter.h"

#include <memory>

int main(int argc, char** argv)
{
    Quillo::InstallCrashFilter();
    auto app = std::make_unique<QuilloDemo::DemoProgram>();
    app->SetCommandLine(argc, argv);
    app->Init();
    app->Start();
    app.reset();
    return 0;
}
