#include "game/app/GameApp.h"

#include <memory>

int main(int argc, char** argv)
{
    (void)argc, (void)argv;
    auto app = std::make_unique<Spindrel::GameApp>();
    app->Init();
    app->Start();
    app.reset();
    return 0;
}
