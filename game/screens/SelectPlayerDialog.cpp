#include "game/screens/SelectPlayerDialog.h"

#include "framework/graphics/ImageFont.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/KeyCode.h"
#include "framework/widgets/ListWidget.h"
#include "framework/widgets/ScrollbarWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/app/GameApp.h"
#include "game/app/PlayerProfiles.h"
#include "game/app/SaveFolder.h"
#include "game/board/Board.h"
#include "game/screens/AskDeletePlayerDialog.h"

namespace Spindrel
{

namespace
{

constexpr int kHeaderText = 65;
constexpr int kNewText = 66;
constexpr int kDeleteText = 67;
constexpr int kListX = 50;
constexpr int kListY = 80;
constexpr int kListWidth = 300;
constexpr int kListHeight = 185;
constexpr int kScrollbarWidth = 15;
constexpr int kAskDeleteX = 160;
constexpr int kAskDeleteY = 190;
constexpr int kAskDeleteWidth = 480;
constexpr int kAskDeleteHeight = 220;
constexpr int kNewPlayerMode = Quillo::Dialog::kButtonsOkCancel;

} // namespace

SelectPlayerDialog::SelectPlayerDialog(GameApp& app)
    : GameDialog(app, kDialogId, app.GetText(kHeaderText), "", "", kButtonsOkCancel),
      m_list(std::make_unique<Quillo::ListWidget>(kListId, app.Res().FONT_BUTTON, this)),
      m_scrollbar(std::make_unique<Quillo::ScrollbarWidget>(kScrollbarId, m_list.get())),
      m_newButton(MakeButton(kNewButtonId, kNewText)),
      m_deleteButton(MakeButton(kDeleteButtonId, kDeleteText))
{
    m_list->drawOutline = true;
    const Quillo::Color listColors[] = {{0, 0, 0, 120},  {0, 0, 0, 140},      {255, 255, 255},
                                        {255, 155, 155}, {228, 228, 28, 105}, {255, 155, 155}};
    for (int i = 0; i < 6; ++i)
        m_list->SetColor(i, listColors[i]);
    m_scrollbar->hideWhenNothingToScroll = true;
    m_list->SetScrollbar(m_scrollbar.get());
    // The keyboard starts on the list: Up and Down choose, Enter takes.
    m_list->keyMarkable = true;
    m_list->keyDefault = true;
    m_newButton->keyMarkable = true;
    m_deleteButton->keyMarkable = true;
}

SelectPlayerDialog::~SelectPlayerDialog() = default;

std::unique_ptr<Quillo::DialogButton> SelectPlayerDialog::MakeButton(int buttonId, int labelText)
{
    auto button =
        std::make_unique<Quillo::DialogButton>(m_app.Res().IMAGE_DIALOG_BUTTON, buttonId, this);
    StyleButton(m_app, *button);
    button->label = m_app.GetText(labelText);
    button->SetFont(m_app.Res().FONT_BUTTON);
    button->SetColor(0, Quillo::Color::White);
    button->SetColor(1, Quillo::Color(255, 0, 0));
    return button;
}

void SelectPlayerDialog::OnAttached(Quillo::WidgetManager* widgetManager)
{
    GameDialog::OnAttached(widgetManager);
    widgetManager->AddWidget(m_list.get());
    widgetManager->AddWidget(m_scrollbar.get());
    widgetManager->AddWidget(m_newButton.get());
    widgetManager->AddWidget(m_deleteButton.get());
    const PlayerProfiles& profiles = m_app.Profiles();
    m_list->RemoveAll();
    for (int i = 0; i < profiles.Count(); ++i)
        m_list->AddLine(profiles.Name(i));
    m_list->SetSelect(profiles.CurrentId());
    if (profiles.CurrentId() >= 0)
        m_list->ScrollToLine(profiles.CurrentId());
}

void SelectPlayerDialog::OnDetached(Quillo::WidgetManager* widgetManager)
{
    widgetManager->RemoveWidget(m_list.get());
    widgetManager->RemoveWidget(m_scrollbar.get());
    widgetManager->RemoveWidget(m_newButton.get());
    widgetManager->RemoveWidget(m_deleteButton.get());
    GameDialog::OnDetached(widgetManager);
}

void SelectPlayerDialog::OnOrderChanged()
{
    GameDialog::OnOrderChanged();
    if (!manager)
        return;
    Quillo::Widget* behind = secondButton.get();
    // The scroll bar goes last: its arrows follow it.
    for (Quillo::Widget* control : {static_cast<Quillo::Widget*>(m_list.get()),
                                    static_cast<Quillo::Widget*>(m_newButton.get()),
                                    static_cast<Quillo::Widget*>(m_deleteButton.get()),
                                    static_cast<Quillo::Widget*>(m_scrollbar.get())})
    {
        manager->PutInFront(control, behind);
        behind = control;
    }
}

void SelectPlayerDialog::Resize(int newX, int newY, int newWidth, int newHeight)
{
    GameDialog::Resize(newX, newY, newWidth, newHeight);
    m_list->Resize(x + kListX, y + kListY, kListWidth, kListHeight);
    m_scrollbar->Resize(m_list->x + m_list->width, m_list->y, kScrollbarWidth, m_list->height);
    // The new and delete buttons stand on the OK and Cancel buttons.
    for (auto [extra, below] : {std::pair{m_newButton.get(), firstButton.get()},
                                std::pair{m_deleteButton.get(), secondButton.get()}})
    {
        extra->Resize(below->x, below->y - below->height, below->width, below->height);
    }
}

void SelectPlayerDialog::OnListClicked(int listId, int line, int clickCode)
{
    (void)listId;
    m_list->SetSelect(line);
    if (clickCode == 2)
        Accept();
}

void SelectPlayerDialog::OnKeyDown(int key)
{
    if (key == Quillo::KeyCode::Delete && !IsKeyRepeat())
        OnButtonClicked(kDeleteButtonId);
    else
        GameDialog::OnKeyDown(key);
}

void SelectPlayerDialog::OnButtonClicked(int buttonId)
{
    GameDialog::OnButtonClicked(buttonId);
    if (buttonId == id + kFirstButtonOffset)
    {
        Accept();
    }
    else if (buttonId == id + kSecondButtonOffset)
    {
        m_app.CloseDialogById(kDialogId);
        if (Board* board = m_app.GetBoard())
            board->SetPaused(false);
    }
    else if (buttonId == kNewButtonId)
    {
        m_app.OpenNewPlayerDialog(kNewPlayerMode);
    }
    else if (buttonId == kDeleteButtonId)
    {
        m_app.AddDialogAt(AskDeletePlayerDialog::kDialogId,
                          std::make_unique<AskDeletePlayerDialog>(m_app, *m_list), kAskDeleteX,
                          kAskDeleteY, kAskDeleteWidth, kAskDeleteHeight);
    }
}

void SelectPlayerDialog::Accept()
{
    PlayerProfiles& profiles = m_app.Profiles();
    const int selected = m_list->GetSelect();
    if (profiles.Count() > 0)
    {
        profiles.Select(selected >= 0 && selected < profiles.Count() ? selected : 0);
        profiles.Save(m_app.Saves());
    }
    m_app.CloseDialogById(kDialogId);
    if (Board* board = m_app.GetBoard())
        board->SetPaused(false);
}

} // namespace Spindrel
