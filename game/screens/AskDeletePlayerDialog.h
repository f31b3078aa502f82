#pragma once

#include "game/screens/GameDialog.h"

#include <string>

namespace Quillo
{
class ListWidget;
}

namespace Spindrel
{

// Confirms the deletion of the profile selected in the player list. OK
// deletes the profile with its files and takes its row out of the list; when
// no profile is left, the new-player dialog that cannot be cancelled opens.
class AskDeletePlayerDialog : public GameDialog
{
public:
    // Registered under this id; its buttons carry the player list's ids
    // (2200 and 3200).
    static constexpr int kDialogId = 300;
    static constexpr int kButtonBaseId = 200;

    // The list belongs to the player-list dialog beneath, which stays open
    // while this one is.
    AskDeletePlayerDialog(GameApp& app, Quillo::ListWidget& list);

    // The question naming the player it deletes: put into text 69 where
    // the text takes a name (%s), else on a line of its own after it.
    std::string Question() const;

    void Draw(Quillo::Graphics* g) override;
    void OnButtonClicked(int buttonId) override;

private:
    // The row OK deletes: the list's selection, or the first row.
    int SelectedRow() const;
    void DeleteSelected();

    Quillo::ListWidget& m_list;
};

} // namespace Spindrel
