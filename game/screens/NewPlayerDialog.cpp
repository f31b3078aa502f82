#include "game/screens/NewPlayerDialog.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/EditWidget.h"
#include "framework/widgets/KeyCode.h"
#include "framework/widgets/WidgetManager.h"
#include "game/app/GameApp.h"
#include "game/app/PlayerProfiles.h"
#include "game/app/SaveFolder.h"
#include "game/board/Board.h"
#include "game/screens/SelectPlayerDialog.h"

namespace Spindrel
{

namespace
{

constexpr int kHeaderText = 63;
constexpr int kPromptText = 64;
constexpr int kOkText = 16;
constexpr int kPromptX = 50;
constexpr int kPromptY = 100;
constexpr int kEditX = 50;
constexpr int kEditY = 120;
constexpr int kEditWidth = 300;
constexpr int kEditHeight = 25;

} // namespace

NewPlayerDialog::NewPlayerDialog(GameApp& app, int mode)
    : GameDialog(app, kDialogId, app.GetText(kHeaderText), "",
                 mode == kButtonFooter ? app.GetText(kOkText) : std::string(), mode),
      m_edit(std::make_unique<Quillo::EditWidget>(kEditId, this))
{
    m_edit->SetFont(app.Res().FONT_BUTTON);
    m_edit->maxChars = static_cast<int>(PlayerProfiles::kMaxNameLength);
    m_edit->SetColor(0, Quillo::Color(0, 0, 0, 100));
    m_edit->SetColor(1, Quillo::Color(0, 0, 0, 150));
    m_edit->SetColor(2, Quillo::Color::White);
}

NewPlayerDialog::~NewPlayerDialog() = default;

void NewPlayerDialog::OnAttached(Quillo::WidgetManager* widgetManager)
{
    GameDialog::OnAttached(widgetManager);
    widgetManager->AddWidget(m_edit.get());
}

void NewPlayerDialog::OnDetached(Quillo::WidgetManager* widgetManager)
{
    widgetManager->RemoveWidget(m_edit.get());
    GameDialog::OnDetached(widgetManager);
}

void NewPlayerDialog::OnOrderChanged()
{
    GameDialog::OnOrderChanged();
    if (manager)
        manager->PutInFront(m_edit.get(), secondButton ? secondButton.get() : firstButton.get());
}

void NewPlayerDialog::Resize(int newX, int newY, int newWidth, int newHeight)
{
    GameDialog::Resize(newX, newY, newWidth, newHeight);
    m_edit->Resize(x + kEditX, y + kEditY, kEditWidth, kEditHeight);
}

void NewPlayerDialog::Draw(Quillo::Graphics* g)
{
    GameDialog::Draw(g);
    g->SetFont(m_app.Res().FONT_BUTTON);
    g->SetColor(Quillo::Color::White);
    g->DrawString(m_app.GetText(kPromptText), kPromptX, kPromptY);
}

void NewPlayerDialog::OnEditText(int editId, const std::string& text)
{
    (void)editId, (void)text;
    Accept();
}

bool NewPlayerDialog::AllowChar(int editId, char32_t ch)
{
    (void)editId;
    return PlayerProfiles::IsAllowedNameChar(ch);
}

bool NewPlayerDialog::AllowKey(int editId, int key)
{
    (void)editId;
    if (key != Quillo::KeyCode::Escape)
        return true;
    OnKeyDown(key);
    return false;
}

void NewPlayerDialog::OnButtonClicked(int buttonId)
{
    GameDialog::OnButtonClicked(buttonId);
    if (buttonId == id + kFirstButtonOffset)
        Accept();
    else if (buttonId == id + kSecondButtonOffset)
        m_app.CloseDialogById(kDialogId);
}

void NewPlayerDialog::Accept()
{
    PlayerProfiles& profiles = m_app.Profiles();
    // A full list takes no new name; the dialog stays for another choice.
    if (profiles.ChooseByName(m_edit->text) == PlayerProfiles::ChooseResult::Refused)
        return;
    profiles.Save(m_app.Saves());
    m_app.CloseDialogById(kDialogId);
    m_app.CloseDialogById(SelectPlayerDialog::kDialogId);
    if (Board* board = m_app.GetBoard())
        board->SetPaused(false);
}

} // namespace Spindrel
