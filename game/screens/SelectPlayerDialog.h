#pragma once

#include "framework/widgets/ListListener.h"
#include "game/screens/GameDialog.h"

#include <memory>

namespace Quillo
{
class DialogButton;
class ListWidget;
class ScrollbarWidget;
} // namespace Quillo

namespace Spindrel
{

// Lists the player profiles: OK makes the selected one current, and two
// more buttons create a profile or delete the selected one.
class SelectPlayerDialog : public GameDialog, public Quillo::ListListener
{
public:
    static constexpr int kDialogId = 200;
    static constexpr int kListId = 1;
    static constexpr int kScrollbarId = 1;
    static constexpr int kNewButtonId = 201;
    static constexpr int kDeleteButtonId = 202;

    explicit SelectPlayerDialog(GameApp& app);
    ~SelectPlayerDialog() override;

    void OnAttached(Quillo::WidgetManager* widgetManager) override;
    void OnDetached(Quillo::WidgetManager* widgetManager) override;
    // The list, the scroll bar and the two buttons stay in front of the box.
    void OnOrderChanged() override;
    void Resize(int newX, int newY, int newWidth, int newHeight) override;
    // Delete asks to delete the chosen player, as the delete button does.
    void OnKeyDown(int key) override;
    void OnButtonClicked(int buttonId) override;

    // A click selects the row; a double click also acts as OK.
    void OnListClicked(int listId, int line, int clickCode) override;

    Quillo::ListWidget& List() { return *m_list; }
    Quillo::ScrollbarWidget& Scrollbar() { return *m_scrollbar; }
    Quillo::DialogButton& NewButton() { return *m_newButton; }
    Quillo::DialogButton& DeleteButton() { return *m_deleteButton; }

private:
    void Accept();
    std::unique_ptr<Quillo::DialogButton> MakeButton(int buttonId, int labelText);

    std::unique_ptr<Quillo::ListWidget> m_list;
    std::unique_ptr<Quillo::ScrollbarWidget> m_scrollbar;
    std::unique_ptr<Quillo::DialogButton> m_newButton;
    std::unique_ptr<Quillo::DialogButton> m_deleteButton;
};

} // namespace Spindrel
