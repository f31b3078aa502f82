#include "game/app/GameApp.h"

namespace Spindrel
{

GameApp* gGameApp = nullptr;

GameApp::GameApp()
{
    gGameApp = this;
    productName = "Spindrel";
    productVersion = "1.0";
    title = productName + " " + productVersion + " by Tolvane Entertainment";
    registryKey = "Tolvane\\Spindrel";
    width = 800;
    height = 600;
    windowed = false;
    refreshPaced = true;
    auto3DRequest = true;
}

GameApp::~GameApp()
{
    if (gGameApp == this)
        gGameApp = nullptr;
}

void GameApp::Init()
{
    QuilloAppBase::Init();
}

bool GameApp::HandleParam(const std::string&, const std::string&)
{
    return true;
}

} // namespace Spindrel
