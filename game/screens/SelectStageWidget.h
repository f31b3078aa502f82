#pragma once

#include "framework/platform/Rect.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Widget.h"

#include <array>
#include <memory>

namespace Quillo
{
class ButtonWidget;
class MemoryImage;
} // namespace Quillo

namespace Spindrel
{

class GameApp;

// Chooses the stage a new game starts at: 18 stages on two pages of nine
// thumbnails; the stages the player has not reached yet show a closed plate.
class SelectStageWidget : public Quillo::Widget, public Quillo::ButtonListener
{
public:
    static constexpr int kPlayId = 700;
    static constexpr int kBackId = 701;
    static constexpr int kPreviousId = 702;
    static constexpr int kNextId = 703;
    static constexpr int kSlots = 9;
    static constexpr int kThumbnails = 30;

    // highestStageStart: the first level of the highest stage the player
    // has entered.
    SelectStageWidget(GameApp& app, int highestStageStart);
    ~SelectStageWidget() override;

    void OnAttached(Quillo::WidgetManager* widgetManager) override;
    void OnDetached(Quillo::WidgetManager* widgetManager) override;
    void Update() override;
    void Draw(Quillo::Graphics* g) override;
    // Its background picture, drawn first, covers it.
    bool IsOpaque() override;
    void OnMouseMove(int localX, int localY) override;
    void OnMouseLeave() override;
    void OnMouseDown(int localX, int localY, int clickCode) override;
    // Escape goes back to the main menu, Enter or Space plays the chosen
    // stage, the arrows choose among the open stages (past the left or right
    // edge on the other page) and PageUp or PageDown turn the page.
    void OnKeyDown(int key) override;
    void OnButtonClicked(int id) override;

    int Page() const { return m_page; }
    // The slot of the chosen stage on the page shown; -1 when the chosen
    // stage is on the other page.
    int SelectedSlot() const;
    int SelectedStage() const { return m_selectedStage; }
    int HoverSlot() const { return m_hoverSlot; }
    // The 0-based stage shown in a slot of the current page.
    int StageInSlot(int slot) const { return 9 * m_page + slot; }
    bool IsUnlocked(int stageIndex) const;
    const Quillo::Rect& Slot(int i) const { return m_slots[static_cast<size_t>(i)]; }

private:
    int SlotAt(int localX, int localY) const;
    void RemoveButtons();
    void StepByKey(int arrowKey);
    // Chooses the stage in a slot of a page, turning to it.
    void ChooseByKey(int page, int slot);
    // Shows a page: no slot is lit until the mouse moves onto one, and an
    // arrow with no page beyond it is out of use.
    void ShowPage(int page);

    GameApp& m_app;
    int m_highestStageStart;
    std::array<Quillo::Rect, kSlots> m_slots;
    int m_page = 0;
    int m_selectedStage = 0;
    int m_hoverSlot = -1;
    std::array<std::unique_ptr<Quillo::MemoryImage>, kThumbnails> m_thumbnails;
    std::array<std::unique_ptr<Quillo::ButtonWidget>, 4> m_buttons;
    // The arrows' looks while out of use.
    std::array<std::unique_ptr<Quillo::MemoryImage>, 2> m_fadedArrows;
};

} // namespace Spindrel
