#pragma once

// The game application without its data: a fake platform, a widget manager,
// texts "t0".."t<n>" that name their number, and its save folder in a
// folder of the test's own.
#include "../app/FakePlatform.h"
#include "../support/TempDir.h"

#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/app/GameApp.h"
#include "game/app/SaveFolder.h"
#include "game/app/TextTable.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

// First base, so that the folder outlives whatever the game writes last.
struct SaveDirHolder
{
    TempDir saveDir;
};

class DatalessGameApp : private SaveDirHolder, public Spindrel::GameApp
{
public:
    DatalessGameApp()
    {
        SetPlatform(std::make_unique<FakePlatform>());
        widgetManager = std::make_unique<Quillo::WidgetManager>();
        widgetManager->SetHost(this);
        widgetManager->SetSize(800, 600);
        std::string language;
        for (int i = 0; i < Spindrel::TextTable::kTextCount; ++i)
            language += "t" + std::to_string(i) + "\n";
        Texts().LoadLanguage(language, [](const std::string&) {});
        Saves() = Spindrel::SaveFolder(saveDir.Path());
    }
};

// A click at the button's place through the widget manager, as the player
// makes it: a hidden, empty or misplaced button is missed.
inline void ClickButton(Quillo::WidgetManager& wm, const Quillo::Widget& button)
{
    ASSERT_GT(button.width, 0);
    ASSERT_GT(button.height, 0);
    const int cx = button.x + button.width / 2;
    const int cy = button.y + button.height / 2;
    wm.MouseMove(cx, cy);
    wm.MouseDown(cx, cy, 1);
    wm.MouseUp(cx, cy, 1);
}
