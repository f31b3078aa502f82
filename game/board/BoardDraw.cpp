#include "game/board/Board.h"

#include "framework/graphics/DrawList.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/WidgetManager.h"
#include "game/board/GameResources.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace Spindrel
{

namespace
{

const Quillo::Color kWhite = Quillo::Color::White;

bool BonusShown(const Ball& ball)
{
    return ball.bonus != -1 && ball.bonusVisible;
}

void DrawCel(Quillo::DrawList& g, Quillo::Image* image, int x, int y, int cel)
{
    if (image != nullptr)
        g.DrawImageCel(image, x, y, cel);
}

void DrawWhole(Quillo::DrawList& g, Quillo::Image* image, int x, int y)
{
    if (image != nullptr)
        g.DrawImage(image, x, y);
}

int ImageHeight(const Quillo::Image* image)
{
    return image != nullptr ? image->GetHeight() : 0;
}

void DrawText(Quillo::DrawList& g, Quillo::Font* font, const std::string& text, int x, int y,
              const Quillo::Color& color)
{
    if (font == nullptr)
        return;
    g.SetColor(color);
    g.DrawString(font, text, x, y);
}

} // namespace

void Board::DrawGlow(Quillo::DrawList& g, int left, int top)
{
    Quillo::Image* glow = m_res.spr_picGlow;
    if (glow == nullptr)
        return;
    g.DrawImage(glow, left - (glow->GetWidth() - 60) / 2, top - (glow->GetHeight() - 60) / 2);
}

void Board::DrawBall(Quillo::DrawList& g, const Ball& ball, bool paused)
{
    const int left = static_cast<int>(ball.x - 30.0f);
    const int top = static_cast<int>(ball.y - 30.0f);
    Quillo::Image* rot = m_res.spr_picRot;
    Quillo::Image* face = m_pictures.Face(ball.type);
    const int rotCel = ball.open ? ball.flipFrame : ball.flipLastFrame - ball.flipFrame;

    if (ball.revealed && !paused)
    {
        if (ball.flipping)
        {
            DrawCel(g, rot, left, top, rotCel);
        }
        else
        {
            DrawWhole(g, face, left, top);
            if (ball.open && face != nullptr)
            {
                g.SetDrawMode(Quillo::DRAWMODE_ADDITIVE);
                g.SetTintImages(true);
                g.SetColor(Quillo::Color(255, 200, 200, 150));
                g.DrawImage(face, left, top);
                g.SetTintImages(false);
                g.SetDrawMode(Quillo::DRAWMODE_NORMAL);
            }
        }
        if (BonusShown(ball))
            DrawGlow(g, left, top);
        return;
    }

    if (ball.open)
    {
        if (ball.flipping)
            DrawCel(g, rot, left, top, rotCel);
        else
            DrawWhole(g, face, left, top);
        if (BonusShown(ball))
            DrawGlow(g, left, top);
        return;
    }

    if (ball.flipping)
    {
        DrawCel(g, rot, left, top, rotCel);
        return;
    }
    if (m_res.spr_picBack != nullptr)
        g.DrawImage(m_res.spr_picBack, left, top, Quillo::Rect{60 * ball.backFrame, 0, 60, 60});
    if (ball.hint)
        DrawWhole(g, m_pictures.Hint(ball.type), left, top);
    if (BonusShown(ball))
    {
        if (Quillo::Image* icon = m_pictures.BonusIcon(ball.bonus))
        {
            const int alpha = static_cast<int>(std::cos(ball.glowTime * 8.0f) * 50.0f + 205.0f);
            g.SetTintImages(true);
            g.SetColor(Quillo::Color(255, 255, 255, alpha));
            g.DrawImage(icon, left, top);
            g.SetTintImages(false);
        }
    }
}

void Board::DrawBar(Quillo::DrawList& g, Quillo::Image* image, float percent, int atX, int atY)
{
    if (image == nullptr)
        return;
    const int full = image->GetWidth();
    // A bar can be asked for more than its whole width, or for less than none.
    int shown = static_cast<int>(percent * 0.01f * static_cast<float>(full));
    shown = std::clamp(shown, 0, full);
    if (shown > 0)
        g.DrawImage(image, atX, atY, Quillo::Rect{0, 0, shown, image->GetHeight()});
}

void Board::DrawHudText(Quillo::DrawList& g)
{
    const GameState& s = m_logic.State();
    HudTextKey key;
    key.font = m_res.FONT_GAME1;
    for (int i = 0; i < 3; ++i)
        key.labels[static_cast<size_t>(i)] = m_host.GetText(i);
    key.score = s.score;
    key.stage = s.stage;
    key.stageLevel = s.stageLevel;
    key.lives = s.lives;
    if (!m_hudTextMade || !(key == m_hudTextKey))
    {
        m_hudText.Clear();
        m_hudText.SetDrawMode(Quillo::DRAWMODE_NORMAL);
        m_hudText.SetTintImages(false);
        char line[256];
        std::snprintf(line, sizeof line, "%s:  %d", key.labels[1].c_str(), s.score);
        DrawText(m_hudText, key.font, line, 30, 585, kWhite);
        std::snprintf(line, sizeof line, "%s:  %d-%d", key.labels[0].c_str(), s.stage, s.stageLevel);
        DrawText(m_hudText, key.font, line, 330, 585, kWhite);
        std::snprintf(line, sizeof line, "%s:  %d", key.labels[2].c_str(), s.lives);
        DrawText(m_hudText, key.font, line, 570, 585, kWhite);
        m_hudTextKey = std::move(key);
        m_hudTextMade = true;
    }
    g.Append(m_hudText);
    if (m_hudTextKey.font != nullptr)
        g.SetColor(kWhite);
}

void Board::DrawHud(Quillo::DrawList& g)
{
    const GameState& s = m_logic.State();
    DrawHudText(g);

    // A level table with no interval or no points to reach shows full bars
    // instead of dividing by zero.
    float top = 100.0f;
    if (!s.speedUpActive && s.speedUpInterval > 0.0f)
        top = s.speedUpTimer / s.speedUpInterval * 100.0f;
    DrawBar(g, m_res.IMAGE_BAR_UP, top, 247, 3);
    const int span = s.targetScore - s.levelStartScore;
    float bottom = 100.0f;
    if (span > 0)
        bottom = std::min(100.0f, static_cast<float>(s.score - s.levelStartScore) /
                                      static_cast<float>(span) * 100.0f);
    DrawBar(g, m_res.IMAGE_BAR_DOWN, bottom, 291, 543);

    if (s.smallBarOn)
        DrawWhole(g, m_res.spr_light_small_bar, 290, 538);
    if (s.bigBarOn)
        DrawWhole(g, m_res.spr_light_big_bar, 242, 1);
}

void Board::DrawEffects(Quillo::DrawList& g)
{
    g.SetTintImages(true);
    for (const Effect& e : m_logic.Effects())
    {
        if (!e.alive)
            continue;
        g.SetColor(e.color);
        switch (e.kind)
        {
        case EffectKind::Spark:
        case EffectKind::Chips:
            DrawCel(g, e.image, static_cast<int>(e.x), static_cast<int>(e.y), e.cel);
            break;
        case EffectKind::FlyText:
            DrawText(g, e.font, e.text, static_cast<int>(e.x), static_cast<int>(e.y), e.color);
            break;
        case EffectKind::Shrink:
        case EffectKind::Blast:
            if (e.image != nullptr)
            {
                const int w = static_cast<int>(e.width);
                const int h = static_cast<int>(e.height);
                g.DrawImage(e.image, static_cast<int>(e.x) - w / 2, static_cast<int>(e.y) - h / 2,
                             w, h);
            }
            break;
        case EffectKind::SlideText:
            DrawText(g, e.font, e.text, static_cast<int>(e.x + e.offsetX),
                     static_cast<int>(e.y + e.offsetY), e.color);
            break;
        }
    }
    g.SetTintImages(false);
}

void Board::DrawEditor(Quillo::DrawList& g)
{
    const Path& path = m_logic.GetPath();
    if (m_gateStrip && m_gateStrip->GetWidth() >= 270)
        g.DrawImageRotatedF(m_gateStrip.get(), path.gateX, path.gateY,
                             static_cast<double>(path.ms_gateAngle) * 0.01745329, 45, 45,
                             Quillo::Rect{180, 0, 90, 90});
    DrawText(g, m_res.FONT_BUTTON, "EDIT MODE", 1, 20, kWhite);
    const int count = path.Count();
    if (count > 0)
    {
        const int selected = std::clamp(path.selectedPoint, 0, count - 1);
        const PathPoint& p = path.points[static_cast<size_t>(selected)];
        char info[160];
        std::snprintf(info, sizeof info, "pt #%d (%.0f ,%.0f)  ms_gateAngle=%.1f", selected,
                      static_cast<double>(p.x), static_cast<double>(p.y),
                      static_cast<double>(path.ms_gateAngle));
        DrawText(g, m_res.FONT_BUTTON, info, 140, 20, kWhite);
    }
    for (int i = 0; i < count; ++i)
    {
        const PathPoint& p = path.points[static_cast<size_t>(i)];
        const int px = static_cast<int>(p.x);
        const int py = static_cast<int>(p.y);
        if (m_logic.showPoints)
        {
            g.SetColor(Quillo::Color::Black);
            g.FillRect(px - 2, py - 2, 5, 5);
            g.SetColor(kWhite);
            g.DrawRect(px - 2, py - 2, 4, 4);
        }
        const PathPoint& from = path.points[static_cast<size_t>(i > 0 ? i - 1 : 0)];
        g.SetColor(m_logic.whiteLines ? kWhite : Quillo::Color::Black);
        g.DrawLine(static_cast<int>(from.x), static_cast<int>(from.y), px, py);
    }
    if (count > 0 && m_logic.showPoints)
    {
        const PathPoint& p = path.points[static_cast<size_t>(std::clamp(path.selectedPoint, 0, count - 1))];
        g.SetColor(Quillo::Color(255, 55, 55));
        g.DrawRect(static_cast<int>(p.x) - 1, static_cast<int>(p.y) - 1, 2, 2);
    }
}

void Board::DrawMarker(Quillo::DrawList& g)
{
    const Ball* ball = m_logic.Marker().Marked();
    if (ball == nullptr || !BallMarker::Selectable(*ball))
        return;
    // Four corner brackets, light with a dark rim, so that the shape and
    // not a colour tells the mark on any background and on any face. They
    // breathe a little to catch the eye.
    constexpr int kArm = 15;
    constexpr int kThick = 3;
    const float breath = std::sin(m_logic.State().levelTime * 5.0f);
    const int reach = 35 + static_cast<int>(std::lround(2.0f * breath));
    const int cx = static_cast<int>(std::lround(ball->x));
    const int cy = static_cast<int>(std::lround(ball->y));
    for (const int rim : {1, 0})
    {
        g.SetColor(rim != 0 ? Quillo::Color(0, 0, 0) : Quillo::Color(255, 255, 255));
        for (const int sx : {-1, 1})
        {
            for (const int sy : {-1, 1})
            {
                // The corner's outer point, and the arms reaching in from it.
                const int ox = cx + sx * reach;
                const int oy = cy + sy * reach;
                const int left = sx < 0 ? ox : ox - kArm + 1;
                const int top = sy < 0 ? oy : oy - kArm + 1;
                const int armX = sx < 0 ? ox : ox - kThick + 1;
                const int armY = sy < 0 ? oy : oy - kThick + 1;
                g.FillRect(left - rim, armY - rim, kArm + 2 * rim, kThick + 2 * rim);
                g.FillRect(armX - rim, top - rim, kThick + 2 * rim, kArm + 2 * rim);
            }
        }
    }
}

void Board::BuildPicture(Quillo::DrawList& g)
{
    g.Clear();
    if (!m_logic.IsActive())
        return;
    const Path& path = m_logic.GetPath();
    const GameState& s = m_logic.State();
    g.SetDrawMode(Quillo::DRAWMODE_NORMAL);
    g.SetTintImages(false);
    DrawWhole(g, m_background.get(), 0, 0);
    if (!path.editMode && m_gateStrip)
    {
        DrawCel(g, m_gateStrip.get(), static_cast<int>(path.gateX), static_cast<int>(path.gateY),
                m_logic.GateFrame());
        DrawWhole(g, m_res.spr_gate_bord, static_cast<int>(path.gateX) - 1,
                  static_cast<int>(path.gateY) - 1);
    }
    const bool paused = s.pauseDepth > 0;
    for (const auto& ball : m_logic.Balls())
    {
        if (ball->alive && ball->segment != 0)
            DrawBall(g, *ball, paused);
    }
    if (m_markerShown && !path.editMode)
        DrawMarker(g);
    Quillo::Image* down = m_res.IMAGE_INGAME_DOWN;
    DrawWhole(g, down, 0, 600 - ImageHeight(down));
    DrawWhole(g, m_res.IMAGE_INGAME_UP, 0, 0);
    if (path.editMode)
        DrawEditor(g);
    else
        DrawHud(g);
    DrawEffects(g);
}

void Board::Draw(Quillo::Graphics* g)
{
    // A draw pass draws the picture the board compared before it; any other
    // draw shows the state as it is now.
    if (manager == nullptr || !manager->Drawing())
        BuildPicture(m_picture);
    m_picture.Replay(*g);
}

bool Board::IsOpaque()
{
    return !m_picture.Empty() && ImageCoversBounds(m_background.get(), 0, 0);
}

void Board::BeforeDrawPass()
{
    // Pausing turns the faces down with no step of play to say so (and
    // going on turns them up again): the picture is looked at again.
    const bool paused = m_logic.State().pauseDepth > 0;
    if (paused != m_picturePaused)
    {
        m_picturePaused = paused;
        m_refreshDue = true;
    }
    if (dirty)
    {
        BuildPicture(m_picture);
        m_refreshDue = false;
        m_wholeDue = false;
        return;
    }
    if (!m_refreshDue)
        return;
    m_refreshDue = false;
    // New images, or the editor's lines and turned gate: all of it again.
    if (m_wholeDue || m_logic.GetPath().editMode || m_picture.Empty())
    {
        m_wholeDue = false;
        BuildPicture(m_picture);
        Invalidate();
        return;
    }
    BuildPicture(m_nextPicture);
    Quillo::AreaList areas;
    m_nextPicture.AddChangedAreas(m_picture, Quillo::Rect{0, 0, width, height}, areas);
    std::swap(m_picture, m_nextPicture);
    if (m_picture.Empty())
    {
        // Nothing of the board is left to draw: what lies behind shows again.
        Invalidate();
        return;
    }
    if (areas.Empty())
        InvalidateArea(Quillo::Rect{});
    areas.Merge();
    for (const Quillo::Rect& area : areas.Areas())
        InvalidateArea(area);
}

} // namespace Spindrel
