#include "game/board/BoardLogic.h"

#include "framework/graphics/Font.h"
#include "framework/platform/FileSystem.h"
#include "game/board/TextFormat.h"

#include <algorithm>
#include <cstdio>

namespace Spindrel
{

BoardLogic::BoardLogic(BoardHost& host) : m_host(host)
{
    for (int level = 1; level <= kLevelCount; ++level)
        m_levels.trackOfLevel[static_cast<size_t>(level)] = 1;
}

void BoardLogic::NewGame()
{
    m_state.lives = 3;
    m_state.score = 0;
    m_state.extraLifeCounter = 0;
    m_state.level = m_state.checkpointLevel;
    StartLevel();
}

void BoardLogic::NewGameAtStage(int stageIndex)
{
    m_state.lives = 3;
    m_state.score = 0;
    m_state.extraLifeCounter = 0;
    m_state.level = kStageStarts[static_cast<size_t>(std::clamp(stageIndex, 0, kStageCount - 1))];
    m_active = true;
    StartLevel();
}

void BoardLogic::StartNextLevel()
{
    SetPaused(false);
    m_state.level += 1;
    StartLevel();
}

void BoardLogic::SetPaused(bool paused)
{
    if (paused)
    {
        if (m_state.pauseDepth == 0)
            m_host.ShowPauseOverlay(true);
        m_state.pauseDepth += 1;
    }
    else if (m_state.pauseDepth >= 1)
    {
        m_state.pauseDepth -= 1;
        if (m_state.pauseDepth == 0)
            m_host.ShowPauseOverlay(false);
    }
}

void BoardLogic::OpenMenu()
{
    // Only a game in play has an in-game menu; an idle board's would save
    // and offer to continue a game that was never played.
    if (!m_active)
        return;
    if (m_state.pauseDepth <= 0)
        SetPaused(true);
    m_host.ShowDialog(BoardDialog::Options);
}

void BoardLogic::Tick()
{
    UpdateStep();
    UpdatePartial(1.0);
}

void BoardLogic::UpdateStep()
{
    if (m_active && m_state.pauseDepth <= 0 && !m_path.editMode)
        SpeedRule();
}

void BoardLogic::UpdatePartial(double fraction)
{
    if (m_active && m_state.pauseDepth <= 0)
        LogicStep(static_cast<float>(0.01 * fraction));
}

int BoardLogic::GateFrame() const
{
    if (m_state.gateAnimating)
        return std::clamp(m_state.gateCel, 0, 20);
    for (const auto& ball : m_balls)
    {
        if (ball->alive)
            return Path::GateFrameForProgress(Progress(ball->distance));
    }
    if (!m_balls.empty())
        return Path::GateFrameForProgress(Progress(m_balls.front()->distance));
    return 0;
}

void BoardLogic::StartLightBar(bool big, int toggles)
{
    if (big)
    {
        m_state.bigBarBlink = true;
        m_state.bigBarCount = toggles;
        m_state.bigBarTimer = 0.0f;
    }
    else
    {
        m_state.smallBarBlink = true;
        m_state.smallBarCount = toggles;
        m_state.smallBarTimer = 0.0f;
    }
}

void BoardLogic::StopBigBar()
{
    m_state.bigBarBlink = false;
    m_state.bigBarOn = false;
}

void BoardLogic::StepLightBars(float dt)
{
    GameState& s = m_state;
    if (s.smallBarBlink)
    {
        s.smallBarTimer += dt;
        if (s.smallBarTimer > 0.05f)
        {
            s.smallBarTimer = 0.0f;
            s.smallBarOn = !s.smallBarOn;
            if (--s.smallBarCount <= 0)
                s.smallBarBlink = s.smallBarOn = false;
        }
    }
    if (s.bigBarBlink)
    {
        s.bigBarTimer += dt;
        if (s.bigBarTimer > 0.07f)
        {
            s.bigBarTimer = 0.0f;
            s.bigBarOn = !s.bigBarOn;
            if (--s.bigBarCount <= 0)
                s.bigBarBlink = s.bigBarOn = false;
        }
    }
}

void BoardLogic::StepGameOverEnd()
{
    if (!m_state.gameOver || !m_effects.empty())
        return;
    m_highScorePlace = m_host.EnterHighScore(m_state.score);
    SetPaused(true);
    m_host.ShowDialog(BoardDialog::GameOver);
}

void BoardLogic::StepLifeLost()
{
    GameState& s = m_state;
    if (!s.losing || !m_balls.empty() || s.gateAnimating || s.gameOver)
        return;
    s.lives -= 1;
    m_host.StopMusic(0);
    m_host.StopMusic(1);
    if (s.lives > 0)
    {
        StartLevel();
        return;
    }
    SlideGameOverText();
    s.gameOver = true;
    m_host.PlayMusic(1, 17, true);
}

bool BoardLogic::StepObjective(float dt)
{
    // Returns false when the rest of the level-end steps are skipped.
    GameState& s = m_state;
    if (s.targetReached && m_balls.empty() && !s.levelDone && !s.counting)
    {
        if (s.losing || s.levelComplete)
            return false;
        s.levelComplete = true;
        m_host.FadeOutMusic(1, true, 0.004);
        m_host.FadeOutMusic(0, true, 0.004);
        m_host.StopMusic(1);
        m_host.StopMusic(0);
        m_host.PlayMusic(1, 16, true);
        s.chipSoundCounter = 0;
        s.counting = true;
        s.countTimer = 0.0f;
        s.countDistance = s.leadDistance;
    }
    if (!s.counting)
        return true;
    s.countTimer += dt;
    if (s.countTimer > 0.035f)
    {
        s.countTimer = 0.0f;
        s.countDistance += 60;
        if (static_cast<float>(s.countDistance) > m_path.totalLength)
        {
            s.countDistance = static_cast<int>(m_path.totalLength);
            s.counting = false;
            s.levelDone = true;
            if (IsStageStart(s.level + 1))
                SlideStageReachedText(s.stage);
        }
        else
        {
            const PathPosition at = m_path.PointAtDistance(static_cast<float>(s.countDistance));
            SpawnChips(at.x, at.y);
            SpawnFlyText(at.x, at.y, 5, "+25");
            AddScore(25);
            if (s.chipSoundCounter % 2 == 0)
                m_host.PlaySound(BoardSound::CompleteChip);
            s.chipSoundCounter += 1;
        }
    }
    return true;
}

void BoardLogic::StepLevelEndDialog()
{
    GameState& s = m_state;
    if (!s.levelDone || !m_effects.empty())
        return;
    // The runs still going at the end of the level count for the longest
    // combos; only a mismatch ends a combo for the combo counts.
    EndComboRuns(false);
    s.levelDone = false;
    if (s.level >= std::min(m_levels.numLevels, kLevelCount))
    {
        m_highScorePlace = m_host.EnterHighScore(s.score);
        SetPaused(true);
        m_host.ShowDialog(BoardDialog::GameComplete);
    }
    else
    {
        SetPaused(true);
        m_host.ShowDialog(BoardDialog::Stat);
    }
}

void BoardLogic::StepDangerMusic()
{
    if (m_balls.empty())
        return;
    const GameState& s = m_state;
    if (s.leadProgress > 75.0f && !m_dangerMusic)
    {
        m_dangerMusic = true;
        m_host.FadeOutMusic(1, true, 0.004);
        m_host.FadeInMusic(0, s.dangerTheme, 0.25, false);
    }
    else if (s.leadProgress < 74.0f && m_dangerMusic)
    {
        m_dangerMusic = false;
        m_host.FadeOutMusic(0, true, 0.004);
        m_host.FadeInMusic(1, s.normalTheme, 0.02, false);
    }
}

void BoardLogic::StepIntroSweep(float dt)
{
    GameState& s = m_state;
    if (!s.introSweep)
        return;
    s.sweepTimer += dt;
    if (s.sweepTimer <= 0.01f)
        return;
    s.sweepTimer = 0.0f;
    s.sweepDistance += 25;
    if (static_cast<float>(s.sweepDistance) > m_path.totalLength)
    {
        s.gateAnimating = true;
        s.gateTimer = 0.0f;
        s.gateCel = 0;
        s.gateOpening = true;
        s.gateHalfCycles = 2;
        s.introSweep = false;
        s.intro = false;
        m_host.PlaySound(BoardSound::BallsRolling);
    }
    else
    {
        const PathPosition at = m_path.PointAtDistance(static_cast<float>(s.sweepDistance));
        SpawnSpark(at.x, at.y, Quillo::Color(255, 255, 205), 0.06f);
    }
}

void BoardLogic::StepGate(float dt)
{
    GameState& s = m_state;
    if (!s.gateAnimating)
        return;
    s.gateTimer += dt;
    if (s.gateTimer > 0.02f)
    {
        s.gateTimer = 0.0f;
        if (s.gateOpening)
        {
            s.gateCel += 1;
            if (s.gateCel >= 20)
            {
                s.gateCel = 20;
                s.gateOpening = false;
                s.gateHalfCycles -= 1;
            }
        }
        else
        {
            s.gateCel -= 1;
            if (s.gateCel <= 0)
            {
                s.gateCel = 0;
                s.gateOpening = true;
                s.gateHalfCycles -= 1;
            }
        }
    }
    if (s.gateHalfCycles < 1)
        s.gateAnimating = false;
}

void BoardLogic::StepWarning(float dt)
{
    GameState& s = m_state;
    if (s.warningSweep)
    {
        s.warningTimer += dt;
        if (s.warningTimer > 0.02f)
        {
            s.warningTimer = 0.0f;
            s.warningDistance += 20;
            if (static_cast<float>(s.warningDistance) > m_path.totalLength)
            {
                s.warningSweep = false;
            }
            else
            {
                const PathPosition at =
                    m_path.PointAtDistance(static_cast<float>(s.warningDistance + 30));
                SpawnSpark(at.x, at.y, Quillo::Color::White, 0.04f);
            }
        }
        return;
    }
    if (s.losing)
        return;
    if (s.tailProgress > 75.0f && s.tailProgress <= 100.0f)
    {
        s.heartbeatTimer -= dt;
        if (s.heartbeatTimer <= 0.0f)
        {
            s.heartbeatTimer = 0.35f;
            m_host.PlaySound(BoardSound::Heartbeat);
            s.warningSweep = true;
            s.warningTimer = 0.0f;
            s.warningDistance = s.leadDistance;
        }
    }
}

void BoardLogic::StepSpeedUp(float dt)
{
    GameState& s = m_state;
    if (s.paused)
        return;
    s.speedUpTimer += dt;
    if (!s.speedUpActive && s.speedUpTimer >= s.speedUpInterval)
    {
        s.speedUpActive = true;
        s.speedUpTimer = 0.0f;
        StartLightBar(true, 50);
    }
    else if (s.speedUpActive && s.speedUpTimer >= s.speedUpDuration)
    {
        s.speedUpActive = false;
        s.speedUpTimer = 0.0f;
        StopBigBar();
    }
}

void BoardLogic::StepBoost(float dt)
{
    GameState& s = m_state;
    if (s.speedUpActive && !s.boostActive)
        return;
    if (s.boostActive)
    {
        s.boostTime -= dt;
        if (s.boostTime < 0.0f)
            s.boostActive = false;
    }
    else if (s.speed < 100.0f && s.leadProgress < 10.0f)
    {
        s.boostActive = true;
        s.boostTime = kBoostTime - dt;
    }
}

void BoardLogic::LogicStep(float dt)
{
    GameState& s = m_state;
    if (m_path.editMode)
        return;
    if (!s.intro)
        s.levelTime += dt;
    StepLightBars(dt);
    if (s.losing && m_balls.size() == 1 && !s.gateAnimating)
    {
        s.gateAnimating = true;
        s.gateTimer = 0.0f;
        s.gateCel = 20;
        s.gateOpening = false;
        s.gateHalfCycles = 1;
    }
    StepGameOverEnd();
    StepLifeLost();
    // A life lost may have started the level again; the step goes on with
    // the fresh level as the rules list it.
    if (StepObjective(dt))
        StepLevelEndDialog();
    StepDangerMusic();
    StepIntroSweep(dt);
    StepGate(dt);
    StepWarning(dt);
    StepBonusSequences(dt);
    StepBonusArrival(dt);
    if (!s.targetReached && s.score >= s.targetScore)
    {
        m_host.PlaySound(BoardSound::ScoreReached);
        s.targetReached = true;
        StartLightBar(false, 30);
        if (s.leadProgress > 50.0f)
        {
            s.rollingBack = true;
            s.speed = kRollbackSpeed;
            s.rollbackStep = -0.5f;
        }
    }
    StepSpeedUp(dt);
    StepPair(dt);
    StepChain(dt);
    StepBoost(dt);
    StepEffects(dt);
    KeepInSavedRange();
}

void BoardLogic::ResetLevel()
{
    GameState& s = m_state;
    s.intro = true;
    s.introSweep = true;
    s.gateAnimating = false;
    s.sweepDistance = 0;
    s.sweepTimer = 0.0f;
    s.warningTimer = 0.0f;
    s.heartbeatTimer = 0.0f;
    s.warningSweep = false;
    s.rushing = false;
    s.levelDone = false;
    s.counting = false;
    s.targetReached = false;
    s.losing = false;
    s.levelComplete = false;
    s.gameOver = false;
    s.paused = false;
    s.eyeHold = false;
    s.revealing = false;
    s.unrevealing = false;
    s.typeActive = false;
    s.bombActive = false;
    s.bombDone = false;
    s.pairPending = false;
    s.boostActive = false;
    s.rollingBack = false;
    s.smallBarBlink = s.smallBarOn = false;
    s.bigBarBlink = s.bigBarOn = false;
    s.speedUpActive = false;
    s.levelTime = 0.0f;
    s.levelScore = 0;
    s.speedUpTimer = 0.0f;
    s.combo = s.revealedCombo = s.maxCombo = s.maxRevealedCombo = 1;
    // The statistics dialog reports the combos of this level only.
    s.comboCount = s.revealedComboCount = 0;
    m_openBalls = {};
    m_openCount = 0;
    s.bonusCount = 0;
    s.bonusTimer = 15.0f * m_intervals.Next();
    s.levelStartScore = s.score;
    s.numPictures = 5;
}

void BoardLogic::LoadPath(int track)
{
    char name[32];
    std::snprintf(name, sizeof name, "levels//%02d.path", track);
    const std::string path =
        Quillo::FileSystem::ResolvePath(Quillo::FileSystem::NormalizePath(m_dataRoot + name));
    const auto bytes = Quillo::FileSystem::ReadFile(path);
    auto file = bytes ? Path::ParseFile(*bytes) : std::nullopt;
    // A damaged file with less than a track would keep the previous
    // track's length or spawn balls on none: the editor takes it instead.
    if (file && !Path::Playable(*file))
        file.reset();
    m_path.trackNumber = track;
    if (!file)
        m_path.KeepForEditing();
    else
        m_path.Assign(*file);
    if (m_trackLoaded)
        m_trackLoaded(file.has_value());
}

void BoardLogic::StartLevel()
{
    GameState& s = m_state;
    s.leadProgress = 11.0f;

    const int highest = m_host.LoadHighestStageStart();
    if (IsStageStart(s.level))
    {
        s.checkpointLevel = s.level;
        if (highest < s.level)
            m_host.SaveHighestStageStart(s.level);
    }
    if (s.level > std::min(m_levels.numLevels, kLevelCount) || s.level < 1)
        s.level = 1;
    s.stage = StageOf(s.level);
    s.stageLevel = LevelInStage(s.level);
    if (s.level % 2 == 0)
    {
        s.normalTheme = 2;
        s.dangerTheme = 7;
    }
    else
    {
        s.normalTheme = 9;
        s.dangerTheme = 15;
    }

    ClearBalls();
    m_effects.clear();
    ResetLevel();

    s.trackNumber = std::clamp(m_levels.trackOfLevel[static_cast<size_t>(s.level)], 1, kTrackCount);
    const LevelRecord& record = m_levels.records[static_cast<size_t>(s.level - 1)];
    s.baseSpeed = static_cast<float>(record.baseSpeed);
    s.numPictures = std::clamp(record.numPictures, 0, kPictureCount);
    s.targetScore = record.pointsToReach + s.score;
    s.speedUpInterval = static_cast<float>(record.speedUpInterval) * 0.1f;
    s.speedUpDuration = static_cast<float>(record.speedUpDuration) * 0.1f;
    s.speedUpSpeed = static_cast<float>(record.speedUpSpeed);

    LoadPath(s.trackNumber);
    m_path.AddLeadIn();

    // The menu's music may still be playing on channel 0.
    m_dangerMusic = false;
    m_host.FadeOutMusic(0, true, 0.02);
    m_host.FadeInMusic(1, s.normalTheme, 0.2, false);

    s.speed = kRushSpeed;
    s.rushing = true;
    s.rushCount = static_cast<int>(m_path.totalLength / kBallSpacing * kRushShare);

    const Quillo::Color introColor(255, 255, 155);
    char heading[256];
    std::snprintf(heading, sizeof heading, "%s %d-%d", m_host.GetText(35).c_str(), s.stage,
                  s.stageLevel);
    SpawnSlideText(100.0f, 500.0f, heading, introColor, m_art.bigFont, 4.0f);
    const std::string livesText =
        s.lives == 1 ? m_host.GetText(36) : FormatInt(m_host.GetText(37), s.lives);
    SpawnSlideText(100.0f, 530.0f, livesText, introColor, m_art.defaultFont, 4.0f);
}

void BoardLogic::EditMouseDown(int x, int y, int clickCode, bool shiftHeld)
{
    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    if (clickCode == 3)
    {
        if (!m_path.points.empty())
        {
            m_path.points.pop_back();
            m_path.RecomputeSegments();
        }
    }
    else if (clickCode > 0)
    {
        if (shiftHeld)
        {
            m_path.points.push_back(PathPoint{fx, fy, 0.0f, 0.0f, 0.0f});
            m_path.RecomputeSegments();
            return;
        }
        for (int i = 0; i < m_path.Count(); ++i)
        {
            const PathPoint& p = m_path.points[static_cast<size_t>(i)];
            const float dx = p.x - fx;
            const float dy = p.y - fy;
            if (dx * dx + dy * dy <= 9.0f)
            {
                m_dragging = true;
                m_path.selectedPoint = i;
            }
        }
    }
    else if (!m_path.points.empty())
    {
        m_path.points.back().x = fx;
        m_path.points.back().y = fy;
        m_path.RecomputeSegments();
    }
}

void BoardLogic::EditMouseUp(int x, int y, int clickCode)
{
    (void)x, (void)y;
    if (clickCode > 0 && clickCode != 3)
        m_dragging = false;
}

} // namespace Spindrel
