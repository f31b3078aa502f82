#include "game/board/Board.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/KeyCode.h"
#include "framework/widgets/WidgetManager.h"
#include "game/board/GameResources.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

namespace Spindrel
{

namespace
{

namespace Key = Quillo::KeyCode;

Sprite SpriteOf(Quillo::MemoryImage* image)
{
    Sprite sprite;
    if (image == nullptr)
        return sprite;
    sprite.image = image;
    sprite.width = image->GetWidth();
    sprite.height = image->GetHeight();
    sprite.cels = std::max(1, image->numCols);
    return sprite;
}

} // namespace

Board::Board(BoardHost& host, const GameResources& resources)
    : m_host(host), m_res(resources), m_logic(host)
{
    x = 0;
    y = 0;
    width = 800;
    height = 600;
    m_logic.SetTrackLoadedHandler([this](bool) { LoadTrackImages(); });
}

Board::~Board()
{
    if (m_menuButton && m_menuButton->manager != nullptr)
        m_menuButton->manager->RemoveWidget(m_menuButton.get());
}

void Board::SetDataRoot(const std::string& root)
{
    m_dataRoot = root;
    m_logic.SetDataRoot(root);
}

void Board::BuildPictures()
{
    m_pictures.Build(m_res.spr_picBack, m_dataRoot);
    ApplyResources();
}

void Board::SetPictures(BoardPictures pictures)
{
    m_pictures = std::move(pictures);
    ApplyResources();
}

void Board::ApplyResources()
{
    BoardArt art;
    m_wholeDue = true;
    m_hudTextMade = false;
    art.picBack = SpriteOf(m_res.spr_picBack);
    art.picRot = SpriteOf(m_res.spr_picRot);
    art.warningPoint = SpriteOf(m_res.IMAGE_WARNING_POINT);
    art.chips = SpriteOf(m_res.IMAGE_CHIPS);
    art.bombBlast = SpriteOf(m_res.IMAGE_BOMB_BLAST);
    for (int t = 0; t < BoardPictures::kPictures; ++t)
        art.faces[static_cast<size_t>(t)] = SpriteOf(m_pictures.Face(t));
    art.flyTextFont = m_res.FONT_FLYTEXT;
    art.bigFont = m_res.FONT_BIG;
    art.defaultFont = m_res.FONT_DEFAULT;
    m_logic.SetArt(art);
}

void Board::LoadTrackImages()
{
    const Path& path = m_logic.GetPath();
    char name[32];
    std::snprintf(name, sizeof name, "levels//bg%02d", path.trackNumber);
    m_wholeDue = true;
    m_background.reset();
    m_background = BoardPictures::LoadImage(m_dataRoot + name);
    // The editor turns the gate as it draws it, so its strip is always
    // made unturned: the strip of the level before, turned already for
    // play, would be turned twice.
    m_gateStrip.reset();
    auto source = BoardPictures::LoadImage(m_dataRoot + "gfx//gate3");
    m_gateStrip = BoardPictures::MakeGateStrip(source.get(), path.ms_gateAngle, !path.editMode);
}

void Board::StartNextLevel()
{
    m_logic.SetPaused(false);
    if (manager != nullptr)
        manager->SetFocus(this);
    m_logic.State().level += 1;
    m_logic.StartLevel();
}

void Board::OnAttached(Quillo::WidgetManager* widgetManager)
{
    Widget::OnAttached(widgetManager);
    m_logic.SetActive(true);
    if (m_menuButton && m_menuButton->manager != nullptr)
        m_menuButton->manager->RemoveWidget(m_menuButton.get());
    m_menuButton = std::make_unique<Quillo::ButtonWidget>(kMenuButtonId, this);
    m_menuButton->label = m_host.GetText(kMenuLabelText);
    m_menuButton->SetFont(m_res.FONT_DEFAULT);
    m_menuButton->SetColor(0, Quillo::Color::White);
    m_menuButton->SetColor(1, Quillo::Color(255, 0, 0));
    m_menuButton->normalImage = m_res.IMAGE_MENUBUTTON_NORMAL;
    m_menuButton->overImage = m_res.IMAGE_MENUBUTTON_OVER;
    m_menuButton->downImage = m_res.IMAGE_MENUBUTTON_DOWN;
    const Quillo::Image* face = m_res.IMAGE_MENUBUTTON_NORMAL;
    m_menuButton->Resize(700, 560, face != nullptr ? face->GetWidth() : 90,
                         face != nullptr ? face->GetHeight() : 30);
    // Its faces have soft edges: a new face is drawn over the board drawn
    // again beneath it, not over the face before.
    m_menuButton->translucent = true;
    widgetManager->AddWidget(m_menuButton.get());
}

void Board::OnDetached(Quillo::WidgetManager* widgetManager)
{
    if (m_menuButton)
    {
        widgetManager->RemoveWidget(m_menuButton.get());
        m_menuButton.reset();
    }
    Widget::OnDetached(widgetManager);
}

void Board::Update()
{
    if (!m_logic.IsActive() || m_logic.State().pauseDepth > 0)
        return;
    m_logic.UpdateStep();
    Widget::Update();
    RefreshDue();
}

void Board::RefreshDue()
{
    if (manager == nullptr)
    {
        dirty = true;
        return;
    }
    m_refreshDue = true;
    manager->markedDirty = true;
}

void Board::UpdatePartial(double fraction)
{
    m_logic.UpdatePartial(fraction);
    // On a display faster than the update rate a refresh may bring only a
    // fractional update; the chain has moved all the same.
    if (m_logic.IsActive() && m_logic.State().pauseDepth <= 0)
        RefreshDue();
}

void Board::OnKeyDown(int key)
{
    // Idle behind the main menu the board has no game to pause.
    if (!m_logic.IsActive() || m_logic.GetPath().editMode)
    {
        Widget::OnKeyDown(key);
        return;
    }
    if (MarkerKey(key))
        return;
    // A held key opens the menu once: its auto-repeat would open it again
    // as soon as the menu is closed. Space is the marker's while it shows.
    if (key == Key::Escape || key == Key::Space)
    {
        if (manager == nullptr || !manager->IsKeyRepeat())
            OnButtonClicked(kMenuButtonId);
        return;
    }
    Widget::OnKeyDown(key);
}

bool Board::MarkerKey(int key)
{
    const bool repeat = manager != nullptr && manager->IsKeyRepeat();
    const bool shift = manager != nullptr && manager->keyDown[Key::Shift];
    int steps = 0;
    std::optional<BallMarker::Seek> seek;
    switch (key)
    {
    case Key::Right: steps = shift ? BallMarker::kJump : 1; break;
    case Key::Left: steps = shift ? -BallMarker::kJump : -1; break;
    case Key::Up:
    case Key::PageUp: steps = BallMarker::kJump; break;
    case Key::Down:
    case Key::PageDown: steps = -BallMarker::kJump; break;
    case Key::Home: seek = BallMarker::Seek::FirstUnseen; break;
    case Key::End: seek = BallMarker::Seek::NextUnseen; break;
    case Key::Tab: seek = shift ? BallMarker::Seek::SeenAhead : BallMarker::Seek::SeenBehind; break;
    case Key::Enter: break;
    case Key::Space:
        if (!m_markerShown)
            return false;
        break;
    default: return false;
    }
    // While paused the menu is up; Space goes on opening it as before.
    if (m_logic.State().pauseDepth > 0)
        return key != Key::Space;
    RefreshDue();
    // The first key after the mouse shows where the marker is, and moves
    // nothing; a marker with no ball starts nearest the gate.
    if (!m_markerShown)
    {
        m_markerShown = true;
        if (m_logic.Marker().Marked() == nullptr)
            m_logic.MoveMarker(0);
        return true;
    }
    if (seek)
        m_logic.SeekMarker(*seek);
    else if (steps != 0)
        m_logic.MoveMarker(steps);
    else if (!repeat && !m_logic.State().losing)
        m_logic.OpenMarked();
    return true;
}

void Board::OnMouseMove(int localX, int localY)
{
    Widget::OnMouseMove(localX, localY);
    const bool moved = localX != m_mouseX || localY != m_mouseY;
    m_mouseX = localX;
    m_mouseY = localY;
    if (moved && m_markerShown)
    {
        m_markerShown = false;
        RefreshDue();
    }
}

void Board::OnMouseDown(int localX, int localY, int clickCode)
{
    Widget::OnMouseDown(localX, localY, clickCode);
    if (m_logic.GetPath().editMode)
    {
        // Shift comes from the manager's key table, so recorded input
        // replays the same edit.
        const bool shift = manager != nullptr && manager->keyDown[Key::Shift];
        m_logic.EditMouseDown(localX, localY, clickCode, shift);
        Invalidate();
    }
    else if (!m_logic.State().losing)
    {
        m_logic.HandleClick(clickCode, localX, localY);
    }
}

void Board::OnMouseUp(int localX, int localY, int clickCode)
{
    Widget::OnMouseUp(localX, localY, clickCode);
    if (m_logic.GetPath().editMode)
        m_logic.EditMouseUp(localX, localY, clickCode);
}

void Board::OnButtonClicked(int id)
{
    if (id == kMenuButtonId)
        m_logic.OpenMenu();
}

} // namespace Spindrel
