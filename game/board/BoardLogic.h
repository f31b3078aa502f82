#pragma once

#include "game/board/Ball.h"
#include "game/board/BallMarker.h"
#include "game/board/BoardArt.h"
#include "game/board/BoardHost.h"
#include "game/board/BoardRandom.h"
#include "game/board/Effect.h"
#include "game/board/GameState.h"
#include "game/board/LevelData.h"
#include "game/board/Path.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace Spindrel
{

// The rules of the board without drawing or platform: the track, the
// rolling chain, pairs and score, bonuses, effects and the level flow.
// One update step is SpeedRule followed by LogicStep(0.01); Tick does both
// when the board is active and not paused. Given the host's random numbers
// a run is a pure function of the clicks and keys between steps.
class BoardLogic
{
public:
    static constexpr float kBallSpacing = 60.0f;
    static constexpr float kGapThreshold = 90.0f;
    static constexpr float kRushSpeed = 1500.0f;
    static constexpr float kRushShare = 0.42f;
    static constexpr float kLosingSpeedCap = 1000.0f;
    static constexpr float kBoostSpeed = 170.0f;
    static constexpr float kBoostTime = 1.5f;
    static constexpr float kDecay = 0.98f;
    static constexpr float kRollbackSpeed = -200.0f;
    // No speed of play comes near this (the rush is the fastest); a saved
    // game beyond it was not written by play.
    static constexpr float kMaxSpeed = 10000.0f;
    // The numbers a saved game may hold. Play starts its counters near zero
    // and never comes near these, but a crafted game may: play stops its
    // counters there, so that whatever it makes of an accepted game can be
    // saved and loaded again.
    static constexpr int32_t kMaxSavedInt = 1000000000;
    static constexpr int32_t kMaxSweepDistance = 10000000;
    static constexpr int32_t kMaxCombo = 1000000;
    static constexpr float kClickRadius = 30.0f;
    static constexpr int kPictureCount = 13;
    static constexpr int kExtraLifePoints = 15000;

    explicit BoardLogic(BoardHost& host);

    void SetLevelData(const LevelData& levels) { m_levels = levels; }
    void SetArt(const BoardArt& art) { m_art = art; }
    // Folder that holds "levels" (empty: the working directory).
    void SetDataRoot(const std::string& root) { m_dataRoot = root; }
    // Called after every track load (with whether the track file was
    // there), so the widget can load the level's background and gate.
    void SetTrackLoadedHandler(std::function<void(bool found)> handler)
    {
        m_trackLoaded = std::move(handler);
    }

    // Game flow.
    void NewGame();
    void NewGameAtStage(int stageIndex);
    void StartNextLevel();
    void StartLevel();
    void SetPaused(bool paused);
    // The menu button (also Escape and Space): pause and open the options.
    void OpenMenu();
    void SetActive(bool active) { m_active = active; }
    bool IsActive() const { return m_active; }

    // One update step: SpeedRule and LogicStep(0.01), only while active and
    // not paused.
    void Tick();
    void UpdateStep();
    void UpdatePartial(double fraction);
    void LogicStep(float dt);

    // Input.
    void HandleClick(int clickCode, int x, int y);
    void EditMouseDown(int x, int y, int clickCode, bool shiftHeld);
    void EditMouseUp(int x, int y, int clickCode);
    // The keyboard's marker: steps along the chain (positive towards the
    // gate), and a click on the marked ball's centre.
    void MoveMarker(int steps);
    void SeekMarker(BallMarker::Seek seek);
    void OpenMarked();

    // Saved game: the record, the chain and the open positions. LoadState
    // refuses damaged data and leaves the running game as it was.
    std::vector<uint8_t> SaveState() const;
    [[nodiscard]] bool LoadState(std::span<const uint8_t> bytes);

    // Chain (motion rules).
    void SpeedRule();
    void StepChain(float dt);
    void MoveBall(Ball& ball, float d);
    void ClearBalls();
    Ball* FrontAliveBall();
    int OddType() const;
    int CountOfType(int type) const;
    Ball* BallAt(float x, float y);
    // Appends a ball at the back and moves it to distance (tests and tools).
    Ball& AddBall(int type, float distance);

    // Pairs and score.
    void OpenBall(Ball& ball);
    void CloseBall(Ball& ball, bool withSound);
    void StartFlip(Ball& ball, float period, bool withSound);
    void StepFlip(Ball& ball, float dt);
    void EvaluatePair();
    void StepPair(float dt);
    void RemoveBall(Ball& ball);
    void AddScore(int points);
    // Takes the running combos into the level's statistics; counted: the
    // runs ended by a mismatch also count as combos.
    void EndComboRuns(bool counted);

    // Bonuses.
    void StepBonusArrival(float dt);
    void StepBonusSequences(float dt);
    void StepBallBonus(Ball& ball, float dt);
    void TriggerBonus(int kind, const Ball& origin);
    void ArmBonus(Ball& ball, int kind);

    // Effects.
    void SpawnSpark(float x, float y, const Quillo::Color& color, float period);
    void SpawnFlyText(float x, float y, int colorIndex, const std::string& text);
    void SpawnShrink(float x, float y, const Sprite& image);
    void SpawnBlast(float x, float y, float size);
    void SpawnChips(float x, float y);
    void SpawnSlideText(float x, float y, const std::string& text, const Quillo::Color& color,
                        Quillo::Font* font, float seconds);
    // The announcements that slide in over the board (texts 59, 60, 62).
    void SlideGameOverText();
    void SlideStageReachedText(int stage);
    void SlideExtraLifeText(int lives);

    int GateFrame() const;
    static Quillo::Color TextColor(int index);

    GameState& State() { return m_state; }
    const GameState& State() const { return m_state; }
    std::vector<std::unique_ptr<Ball>>& Balls() { return m_balls; }
    const std::vector<std::unique_ptr<Ball>>& Balls() const { return m_balls; }
    std::vector<Effect>& Effects() { return m_effects; }
    const std::vector<Effect>& Effects() const { return m_effects; }
    Path& GetPath() { return m_path; }
    const Path& GetPath() const { return m_path; }
    const BoardArt& Art() const { return m_art; }
    const LevelData& Levels() const { return m_levels; }
    int OpenCount() const { return m_openCount; }
    Ball* OpenBallAt(int index) const { return m_openBalls[static_cast<size_t>(index)]; }
    IntervalGenerator& Intervals() { return m_intervals; }
    BallMarker& Marker() { return m_marker; }
    const BallMarker& Marker() const { return m_marker; }
    // The place reached in the high-score table at the last entry (1000
    // when not entered).
    int HighScorePlace() const { return m_highScorePlace; }
    bool IsDragging() const { return m_dragging; }

    // Editor display switches.
    bool showPoints = true;
    bool whiteLines = false;

private:
    void ResetLevel();
    void LoadPath(int track);
    void EndOfTrack(Ball& ball);
    std::unique_ptr<Ball> MakeBall();
    void SpawnIfRoom();
    void PushChain();
    void RemoveFirstDeadBall();
    void ForgetOpenBall(const Ball* ball);
    void KeepInSavedRange();
    void FinishTypeBonus();
    Ball* FirstAliveBall(const std::function<bool(const Ball&)>& test);
    float Progress(float distance) const;
    int Random() { return m_host.RandomInt(); }
    int PictureCount() const;
    void StepLightBars(float dt);
    void StepGameOverEnd();
    void StepLifeLost();
    bool StepObjective(float dt);
    void StepLevelEndDialog();
    void StepDangerMusic();
    void StepIntroSweep(float dt);
    void StepGate(float dt);
    void StepWarning(float dt);
    void StepSpeedUp(float dt);
    void StepBoost(float dt);
    void StepEffects(float dt);
    void StartLightBar(bool big, int toggles);
    void StopBigBar();

    BoardHost& m_host;
    BoardArt m_art;
    LevelData m_levels;
    std::string m_dataRoot;
    std::function<void(bool found)> m_trackLoaded;
    IntervalGenerator m_intervals;

    GameState m_state;
    Path m_path;
    std::vector<std::unique_ptr<Ball>> m_balls;
    std::vector<Effect> m_effects;
    std::array<Ball*, 2> m_openBalls{};
    int m_openCount = 0;
    BallMarker m_marker;
    bool m_active = false;
    bool m_dangerMusic = false;
    bool m_dragging = false;
    int m_highScorePlace = 1000;
};

} // namespace Spindrel
