#include "game/screens/AskDeletePlayerDialog.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/ListWidget.h"
#include "game/app/GameApp.h"
#include "game/app/PlayerProfiles.h"
#include "game/app/SaveFolder.h"
#include "game/app/SavedGameFiles.h"
#include "game/board/TextFormat.h"

namespace Spindrel
{

namespace
{

constexpr int kHeaderText = 68;
constexpr int kQuestionText = 69;
constexpr int kQuestionX = 27;
constexpr int kQuestionY = 100;
constexpr int kLeftAligned = -1;
constexpr int kForcedNewPlayerMode = Quillo::Dialog::kButtonFooter;
constexpr int kNotDeletedTitleText = 78;
constexpr int kNotDeletedText = 79;

} // namespace

AskDeletePlayerDialog::AskDeletePlayerDialog(GameApp& app, Quillo::ListWidget& list)
    : GameDialog(app, kButtonBaseId, app.GetText(kHeaderText), "", "", kButtonsOkCancel),
      m_list(list)
{
}

int AskDeletePlayerDialog::SelectedRow() const
{
    const int selected = m_list.GetSelect();
    return selected >= 0 && selected < m_app.Profiles().Count() ? selected : 0;
}

std::string AskDeletePlayerDialog::Question() const
{
    const std::string text = m_app.GetText(kQuestionText);
    const std::string& name = m_app.Profiles().Name(SelectedRow());
    if (TakesString(text))
        return FormatString(text, name);
    return name.empty() ? text : text + "\n" + name;
}

void AskDeletePlayerDialog::Draw(Quillo::Graphics* g)
{
    GameDialog::Draw(g);
    Quillo::ImageFont* font = m_app.Res().FONT_BUTTON;
    if (font == nullptr)
        return;
    g->SetFont(font);
    g->SetColor(Quillo::Color::White);
    // Wrapped inside the box, its first baseline where a single line sits;
    // the lines stop above the buttons.
    const int top = kQuestionY - (font->Ascent() - font->AscentPadding());
    const int bottom = firstButton ? firstButton->y - y : height - contentInsets.bottom;
    g->WriteWrappedText({kQuestionX, top, width - 2 * kQuestionX, bottom - top},
                        Question(), -1, kLeftAligned);
}

void AskDeletePlayerDialog::OnButtonClicked(int buttonId)
{
    GameDialog::OnButtonClicked(buttonId);
    if (buttonId != id + kFirstButtonOffset && buttonId != id + kSecondButtonOffset)
        return;
    if (buttonId == id + kFirstButtonOffset)
        DeleteSelected();
    m_app.CloseDialogById(kDialogId);
    if (m_app.Profiles().Count() == 0)
        m_app.OpenNewPlayerDialog(kForcedNewPlayerMode);
}

void AskDeletePlayerDialog::DeleteSelected()
{
    PlayerProfiles& profiles = m_app.Profiles();
    if (profiles.Count() == 0)
        return;
    const int row = SelectedRow();
    const int before = profiles.CurrentId();
    profiles.Select(row);
    profiles.Save(m_app.Saves());
    const std::string stays = SavedGameFiles::DeletePlayerFiles(m_app.Saves(), profiles.FileName());
    if (!stays.empty())
    {
        // A profile made again under the name would take up the files left,
        // so the player stays in the list, and the one who played before
        // stays the current player.
        profiles.Select(before);
        profiles.Save(m_app.Saves());
        m_app.ShowNotice(kNotDeletedTitleText, FormatString(m_app.GetText(kNotDeletedText), stays));
        return;
    }
    profiles.Delete(row);
    profiles.Save(m_app.Saves());
    m_list.RemoveLine(row);
    // The row that became current stays marked, so that OK keeps it.
    m_list.SetSelect(profiles.CurrentId());
}

} // namespace Spindrel
