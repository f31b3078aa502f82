#pragma once

#include "framework/app/QuilloAppBase.h"

namespace Spindrel
{

// The game's application object: Spindrel's identity, window and start-up
// defaults on top of the framework's frame.
class GameApp : public Quillo::QuilloAppBase
{
public:
    GameApp();
    ~GameApp() override;

    void Init() override;
    // The game takes no command-line parameters.
    bool HandleParam(const std::string& name, const std::string& value) override;
};

// The one game application of the process.
extern GameApp* gGameApp;

} // namespace Spindrel
