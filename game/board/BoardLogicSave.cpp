#include "game/board/BoardLogic.h"

#include "framework/platform/FileSystem.h"
#include "game/board/SavedGame.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <type_traits>

namespace Spindrel
{

namespace
{

bool ValidBall(const Ball& b, int pointCount)
{
    return b.type >= 0 && b.type < BoardLogic::kPictureCount && b.bonus >= -1 && b.bonus <= 4 &&
           b.segment >= 0 && b.segment <= pointCount - 2 && b.fraction >= 0.0f &&
           b.fraction <= 1.0f && b.backFrame >= 0 && b.flipFrame >= 0 && b.flipLastFrame >= 0 &&
           b.flipFrame <= b.flipLastFrame && b.flipLastFrame < 10000;
}

} // namespace

void BoardLogic::KeepInSavedRange()
{
    GameState& s = m_state;
    ForEachSavedField(s, [](auto& v) {
        if constexpr (std::is_same_v<std::decay_t<decltype(v)>, int32_t>)
            v = std::clamp(v, -kMaxSavedInt, kMaxSavedInt);
    });
    for (int32_t* distance : {&s.sweepDistance, &s.countDistance, &s.warningDistance})
        *distance = std::clamp(*distance, -kMaxSweepDistance, kMaxSweepDistance);
    s.combo = std::min(s.combo, kMaxCombo);
    s.revealedCombo = std::min(s.revealedCombo, kMaxCombo);
}

std::vector<uint8_t> BoardLogic::SaveState() const
{
    SavedGame game;
    game.state = m_state;
    game.balls.reserve(m_balls.size());
    for (const auto& ball : m_balls)
        game.balls.push_back(*ball);
    for (int slot = 0; slot < 2; ++slot)
    {
        const Ball* open = slot < m_openCount ? m_openBalls[static_cast<size_t>(slot)] : nullptr;
        for (size_t i = 0; open != nullptr && i < m_balls.size(); ++i)
        {
            if (m_balls[i].get() == open)
                game.openPositions[static_cast<size_t>(slot)] = static_cast<int32_t>(i);
        }
    }
    return game.Encode();
}

bool BoardLogic::LoadState(std::span<const uint8_t> bytes)
{
    auto game = SavedGame::Decode(bytes);
    if (!game)
        return false;
    GameState& s = game->state;
    const int levels = std::min(m_levels.numLevels, kLevelCount);
    if (s.level < 1 || s.level > levels || s.lives < 0 || s.numPictures < 0 ||
        s.numPictures > kPictureCount || s.trackNumber < 1 || s.trackNumber > kTrackCount ||
        s.checkpointLevel < 1 || s.checkpointLevel > levels)
        return false;
    if (s.typeActive && (s.typePicture < 0 || s.typePicture >= kPictureCount))
        return false;
    // The intro ends with its sweep; without one the chain would never move.
    if (s.intro && !s.introSweep)
        return false;
    // A running rush ends when its count reaches 0, so a saved one has more to go.
    if (s.rushing && s.rushCount < 1)
        return false;
    // Speeds beyond any play sets, or a rollback whose step would not bring
    // the chain back to speed (play steps by -0.5 or -0.4), would run the
    // chain away into numbers no saved game can hold.
    const auto sane = [](float speed) { return std::fabs(speed) <= kMaxSpeed; };
    // The sweeps along the track step their distances by a few pixels up
    // to the track's length; far beyond it they would overflow.
    const auto near = [](int32_t distance) { return distance >= -kMaxSweepDistance && distance <= kMaxSweepDistance; };
    if (!near(s.sweepDistance) || !near(s.countDistance) || !near(s.warningDistance))
        return false;
    // Play steps its counters and timers by small amounts from near zero;
    // one near the edge of the range would overflow within a few steps.
    // (The file's decoder takes any number, so that what play makes of an
    // accepted game can always be saved again.)
    bool inRange = true;
    ForEachSavedField(s, [&](const auto& v) {
        if constexpr (std::is_same_v<std::decay_t<decltype(v)>, int32_t>)
            inRange = inRange && v >= -kMaxSavedInt && v <= kMaxSavedInt;
    });
    if (!inRange)
        return false;
    // Play adds to scores a pair's points at a time and to the combo
    // counters one at a time, starting at 1. A pair's points are twenty
    // times its combo, so a combo stays far below a million.
    const auto combo = [](int32_t value) { return value >= 1 && value <= kMaxCombo; };
    if (s.score < 0 || s.levelStartScore < 0 || s.levelScore < 0 || s.targetScore < 0 ||
        !combo(s.combo) || !combo(s.revealedCombo) || s.comboCount < 0 || s.revealedComboCount < 0 ||
        s.maxCombo < 0 || s.maxRevealedCombo < 0)
        return false;
    if (!sane(s.speed) || !sane(s.baseSpeed) || !sane(s.speedUpSpeed) ||
        (s.rollingBack && !(s.rollbackStep < 0.0f && s.rollbackStep >= -1.0f)))
        return false;

    // The saved chain must fit its own track; a missing track cannot be
    // continued.
    char name[32];
    std::snprintf(name, sizeof name, "levels//%02d.path", s.trackNumber);
    const auto fileBytes = Quillo::FileSystem::ReadFile(
        Quillo::FileSystem::ResolvePath(Quillo::FileSystem::NormalizePath(m_dataRoot + name)));
    const auto file = fileBytes ? Path::ParseFile(*fileBytes) : std::nullopt;
    if (!file || !Path::Playable(*file))
        return false;
    Path path = m_path;
    path.Assign(*file);
    path.AddLeadIn();
    path.trackNumber = s.trackNumber;
    for (const Ball& ball : game->balls)
    {
        if (!ValidBall(ball, path.Count()))
            return false;
    }

    std::array<int, 2> open{game->openPositions[0], game->openPositions[1]};
    const int n = static_cast<int>(game->balls.size());
    int openCount = 0;
    for (int slot = 0; slot < 2; ++slot)
    {
        const int pos = open[static_cast<size_t>(slot)];
        if (pos == -1)
            continue;
        // A filled second slot needs a filled first one, and a ball cannot
        // be open twice.
        if (pos < 0 || pos >= n || slot != openCount || (slot == 1 && pos == open[0]))
            return false;
        const Ball& ball = game->balls[static_cast<size_t>(pos)];
        if (!ball.alive || !ball.open)
            return false;
        ++openCount;
    }
    // Two open balls always wait for their judgement, and an open living
    // ball is always in a slot: otherwise no pair would ever score and the
    // open balls would stay up for good.
    if (s.pairPending != (openCount == 2))
        return false;
    for (int i = 0; i < n; ++i)
    {
        const Ball& ball = game->balls[static_cast<size_t>(i)];
        if (ball.alive && ball.open && i != open[0] && i != open[1])
            return false;
    }

    const int pauseDepth = m_state.pauseDepth;
    m_state = s;
    m_state.pauseDepth = pauseDepth;
    m_path = std::move(path);
    m_balls.clear();
    m_marker.ForgetAll();
    for (const Ball& ball : game->balls)
        m_balls.push_back(std::make_unique<Ball>(ball));
    m_openBalls = {};
    m_openCount = openCount;
    for (int slot = 0; slot < openCount; ++slot)
        m_openBalls[static_cast<size_t>(slot)] = m_balls[static_cast<size_t>(open[static_cast<size_t>(slot)])].get();
    int bonuses = 0;
    for (const auto& ball : m_balls)
        bonuses += ball->bonus != -1 ? 1 : 0;
    m_state.bonusCount = bonuses;
    m_effects.clear();
    m_active = true;
    if (m_trackLoaded)
        m_trackLoaded(true);

    // Whatever the menu played gives way to the level's theme.
    m_dangerMusic = false;
    m_host.FadeOutMusic(0, true, 0.02);
    m_host.FadeInMusic(1, m_state.normalTheme, 0.2, false);
    return true;
}

} // namespace Spindrel
