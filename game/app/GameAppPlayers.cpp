#include "framework/widgets/EditWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/app/GameApp.h"
#include "game/screens/NewPlayerDialog.h"

namespace Spindrel
{

namespace
{

constexpr int kNewPlayerX = 190;
constexpr int kNewPlayerY = 172;
constexpr int kNewPlayerWidth = 420;
constexpr int kNewPlayerHeight = 255;

} // namespace

void GameApp::OpenNewPlayerDialog(int mode)
{
    auto dialog = std::make_unique<NewPlayerDialog>(*this, mode);
    Quillo::EditWidget& edit = dialog->Edit();
    AddDialogAt(NewPlayerDialog::kDialogId, std::move(dialog), kNewPlayerX, kNewPlayerY,
                kNewPlayerWidth, kNewPlayerHeight);
    widgetManager->SetFocus(&edit);
}

} // namespace Spindrel
