#include "game/screens/SelectStageWidget.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/KeyCode.h"
#include "framework/widgets/WidgetManager.h"
#include "game/app/GameApp.h"
#include "game/app/LevelTables.h"
#include "game/board/Board.h"
#include "game/board/BoardPictures.h"
#include "game/board/LevelData.h"
#include "game/screens/ImageButton.h"

#include <cstdio>

namespace Spindrel
{

namespace
{
constexpr int kStageCaptionText = 73;
constexpr int kHandCursor = 1;
constexpr int kArrowCursor = 0;
// The first stage of the second page.
constexpr int kSecondPageStage = 9;
constexpr int kEscapeKey = 27;
// The previous and next buttons follow play and back.
constexpr size_t kArrowButtons = 2;
constexpr int kPages = 2;
// Where the page's number shows: between the arrows, level with them.
constexpr int kPageNumberX = 140;
constexpr int kPageNumberY = 548;
} // namespace

SelectStageWidget::SelectStageWidget(GameApp& app, int highestStageStart)
    : m_app(app), m_highestStageStart(highestStageStart)
{
    for (int i = 0; i < kSlots; ++i)
        m_slots[static_cast<size_t>(i)] = {(i % 3) * 180 + 135, (i / 3) * 135 + 90, 152, 114};
    m_page = highestStageStart >= kStageStarts[kSecondPageStage] ? 1 : 0;
    m_selectedStage = 9 * m_page;
    for (int s = 0; s < kStageCount; ++s)
        if (kStageStarts[static_cast<size_t>(s)] == highestStageStart)
            m_selectedStage = s;
}

int SelectStageWidget::SelectedSlot() const
{
    const int slot = m_selectedStage - 9 * m_page;
    return slot >= 0 && slot < kSlots ? slot : -1;
}

SelectStageWidget::~SelectStageWidget()
{
    RemoveButtons();
}

bool SelectStageWidget::IsUnlocked(int stageIndex) const
{
    return stageIndex >= 0 && stageIndex < kStageCount &&
           m_highestStageStart >= kStageStarts[static_cast<size_t>(stageIndex)];
}

void SelectStageWidget::OnAttached(Quillo::WidgetManager* widgetManager)
{
    Widget::OnAttached(widgetManager);
    const GameResources& res = m_app.Res();
    struct ButtonPlace
    {
        int id, bx, by;
        Quillo::MemoryImage* normal;
        Quillo::MemoryImage* lit;
    };
    const ButtonPlace places[4] = {{kPlayId, 320, 510, res.IMAGE_SS_PLAY, res.IMAGE_SS_PLAY_P},
                           {kBackId, 10, 30, res.IMAGE_SS_BACK, res.IMAGE_SS_BACK_P},
                           {kPreviousId, 50, 510, res.IMAGE_SS_LEFT, res.IMAGE_SS_LEFT_P},
                           {kNextId, 715, 510, res.IMAGE_SS_RIGHT, res.IMAGE_SS_RIGHT_P}};
    for (size_t i = 0; i < 4; ++i)
    {
        const ButtonPlace& s = places[i];
        auto button = MakeImageButton(s.id, this, res.FONT_DEFAULT, s.normal, s.lit, s.bx, s.by);
        widgetManager->AddWidget(button.get());
        m_buttons[i] = std::move(button);
    }
    for (size_t arrow = 0; arrow < 2; ++arrow)
    {
        m_fadedArrows[arrow] = FadedImage(places[kArrowButtons + arrow].normal);
        m_buttons[kArrowButtons + arrow]->disabledImage = m_fadedArrows[arrow].get();
    }
    ShowPage(m_page);
    for (int t = 0; t < kThumbnails; ++t)
    {
        char path[48];
        std::snprintf(path, sizeof path, "gfx/152x114/bg%02d", t + 1);
        m_thumbnails[static_cast<size_t>(t)] = BoardPictures::LoadImage(path);
    }
}

void SelectStageWidget::RemoveButtons()
{
    for (auto& button : m_buttons)
        RetireButton(m_app, button);
}

void SelectStageWidget::OnDetached(Quillo::WidgetManager* widgetManager)
{
    RemoveButtons();
    Widget::OnDetached(widgetManager);
}

void SelectStageWidget::Update()
{
    Widget::Update();
    Invalidate();
}

int SelectStageWidget::SlotAt(int localX, int localY) const
{
    const int px = x + localX;
    const int py = y + localY;
    for (int i = 0; i < kSlots; ++i)
    {
        const Quillo::Rect& r = m_slots[static_cast<size_t>(i)];
        // Edges included: the right and bottom edges are left + 152, top + 114.
        if (IsUnlocked(StageInSlot(i)) && px >= r.x && px <= r.x + r.width && py >= r.y &&
            py <= r.y + r.height)
            return i;
    }
    return -1;
}

void SelectStageWidget::OnMouseMove(int localX, int localY)
{
    m_hoverSlot = SlotAt(localX, localY);
    const int kind = m_hoverSlot >= 0 ? kHandCursor : kArrowCursor;
    if (m_app.cursorKind != kind)
        SetCursorKind(kind);
}

void SelectStageWidget::OnMouseLeave()
{
    Widget::OnMouseLeave();
    m_hoverSlot = -1;
}

void SelectStageWidget::ShowPage(int page)
{
    m_page = page;
    m_hoverSlot = -1;
    if (m_buttons[kArrowButtons])
        m_buttons[kArrowButtons]->SetDisabled(m_page == 0);
    if (m_buttons[kArrowButtons + 1])
        m_buttons[kArrowButtons + 1]->SetDisabled(m_page == kPages - 1);
}

void SelectStageWidget::OnMouseDown(int localX, int localY, int clickCode)
{
    Widget::OnMouseDown(localX, localY, clickCode);
    const int slot = SlotAt(localX, localY);
    if (slot < 0)
        return;
    if (slot == SelectedSlot())
        OnButtonClicked(kPlayId);
    else
        m_selectedStage = StageInSlot(slot);
}

void SelectStageWidget::OnKeyDown(int key)
{
    namespace Key = Quillo::KeyCode;
    const bool repeat = manager != nullptr && manager->IsKeyRepeat();
    switch (key)
    {
    case kEscapeKey:
        OnButtonClicked(kBackId);
        break;
    case Key::Enter:
    case Key::Space:
        // The key that pressed Play in the main menu may still be held.
        if (!repeat)
            OnButtonClicked(kPlayId);
        break;
    case Key::PageUp:
    case Key::PageDown:
    {
        const int page = m_page + (key == Key::PageDown ? 1 : -1);
        const int slot = SelectedSlot();
        ChooseByKey(page, slot >= 0 ? slot : 0);
        break;
    }
    case Key::Left:
    case Key::Right:
    case Key::Up:
    case Key::Down:
        StepByKey(key);
        break;
    default:
        Widget::OnKeyDown(key);
        break;
    }
}

void SelectStageWidget::StepByKey(int key)
{
    namespace Key = Quillo::KeyCode;
    const int slot = SelectedSlot();
    // The chosen stage is on the other page: the arrow first chooses here.
    if (slot < 0)
    {
        ChooseByKey(m_page, 0);
        return;
    }
    int column = slot % 3 + (key == Key::Right ? 1 : key == Key::Left ? -1 : 0);
    const int row = slot / 3 + (key == Key::Down ? 1 : key == Key::Up ? -1 : 0);
    int page = m_page;
    // Past the left or right edge lies the other page, on the same row.
    if (column < 0)
        page -= 1, column = 2;
    else if (column > 2)
        page += 1, column = 0;
    if (row < 0 || row > 2)
        return;
    ChooseByKey(page, row * 3 + column);
}

void SelectStageWidget::ChooseByKey(int page, int slot)
{
    if (page < 0 || page >= kPages)
        return;
    // Stages open in order: a closed one gives way to the last open one
    // before it on that page; a page with none open keeps the choice.
    int stage = 9 * page + slot;
    while (stage >= 9 * page && !IsUnlocked(stage))
        --stage;
    if (page != m_page && stage < 9 * page)
    {
        ShowPage(page);
        return;
    }
    if (stage < 9 * page)
        return;
    if (page != m_page)
        ShowPage(page);
    m_selectedStage = stage;
    // The light the mouse gives shows where the keys are.
    m_hoverSlot = SelectedSlot();
}

void SelectStageWidget::OnButtonClicked(int id)
{
    switch (id)
    {
    case kPlayId:
    {
        // The choice is a stage, not a slot: a page turn does not make the
        // same slot of the other page chosen. Play with the chosen stage on
        // the other page first turns back to it, so the player sees what
        // would start.
        if (SelectedSlot() < 0)
        {
            ShowPage(m_selectedStage / 9);
            return;
        }
        if (!IsUnlocked(m_selectedStage))
            return;
        SetCursorKind(kArrowCursor);
        m_app.StartStage(m_selectedStage);
        break;
    }
    case kBackId:
        SetCursorKind(kArrowCursor);
        m_app.BackToMainMenuFromStages();
        break;
    case kPreviousId:
        if (m_page > 0)
            ShowPage(m_page - 1);
        break;
    case kNextId:
        if (m_page < kPages - 1)
            ShowPage(m_page + 1);
        break;
    default:
        break;
    }
}

void SelectStageWidget::Draw(Quillo::Graphics* g)
{
    const GameResources& res = m_app.Res();
    if (res.IMAGE_SS_BG)
        g->DrawImage(res.IMAGE_SS_BG, 0, 0);
    if (res.IMAGE_SS_TITLE)
        g->DrawImage(res.IMAGE_SS_TITLE, (width - res.IMAGE_SS_TITLE->GetWidth()) / 2, 5);
    const LevelData& levels = m_app.Levels().Data();
    for (int i = 0; i < kSlots; ++i)
    {
        const Quillo::Rect& r = m_slots[static_cast<size_t>(i)];
        const int stage = StageInSlot(i);
        if (!IsUnlocked(stage))
        {
            if (res.IMAGE_SS_CLOSE)
                g->DrawImage(res.IMAGE_SS_CLOSE, r.x, r.y);
        }
        else
        {
            const int track = levels.trackOfLevel[static_cast<size_t>(kStageStarts[static_cast<size_t>(stage)])];
            if (track >= 1 && track <= kThumbnails && m_thumbnails[static_cast<size_t>(track - 1)])
                g->DrawImage(m_thumbnails[static_cast<size_t>(track - 1)].get(), r.x + 9, r.y + 9);
            if (res.IMAGE_SS_OPEN)
                g->DrawImage(res.IMAGE_SS_OPEN, r.x, r.y);
            if (i == SelectedSlot() && res.IMAGE_SS_SELECTED)
                g->DrawImage(res.IMAGE_SS_SELECTED, r.x, r.y);
            if (i == m_hoverSlot && res.IMAGE_SS_LIGHT)
                g->DrawImage(res.IMAGE_SS_LIGHT, r.x + 9, r.y + 9);
        }
        if (res.FONT_BUTTON)
        {
            g->SetFont(res.FONT_BUTTON);
            g->SetColor(Quillo::Color::White);
            g->DrawString(m_app.GetText(kStageCaptionText) + " " + std::to_string(stage + 1), r.x + 50,
                          r.y + 115);
        }
    }
    if (res.FONT_BUTTON)
    {
        g->SetFont(res.FONT_BUTTON);
        g->SetColor(Quillo::Color::White);
        g->DrawString(std::to_string(m_page + 1) + "/" + std::to_string(kPages), kPageNumberX, kPageNumberY);
    }
}

bool SelectStageWidget::IsOpaque()
{
    return ImageCoversBounds(m_app.Res().IMAGE_SS_BG, 0, 0);
}

} // namespace Spindrel
