#pragma once

#include "game/board/BoardHost.h"
#include "game/board/BoardLogic.h"
#include "game/board/BoardRandom.h"
#include "game/board/Path.h"
#include "support/TempDir.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace BoardTest
{

struct MusicCall
{
    std::string what;
    int channel = 0;
    int position = 0;
};

// Watches everything the board asks of the game.
class TestHost : public Spindrel::BoardHost
{
public:
    void PlaySound(Spindrel::BoardSound sound) override { sounds.push_back(sound); }
    void PlayMusic(int channel, int position, bool) override { music.push_back({"play", channel, position}); }
    void FadeInMusic(int channel, int position, double, bool) override
    {
        music.push_back({"fadein", channel, position});
    }
    void FadeOutMusic(int channel, bool, double) override { music.push_back({"fadeout", channel, 0}); }
    void StopMusic(int channel) override { music.push_back({"stop", channel, 0}); }
    std::string GetText(int n) override { return textPrefix + std::to_string(n) + ":%d"; }
    int RandomInt() override
    {
        if (scripted.empty())
            return random.Next();
        const int v = scripted.front();
        scripted.pop_front();
        return v;
    }
    std::string PlayerFileName() override { return "Test_Player"; }
    int LoadHighestStageStart() override { return highestStageStart; }
    void SaveHighestStageStart(int level) override
    {
        highestStageStart = level;
        ++progressWrites;
    }
    int EnterHighScore(int score) override
    {
        enteredScores.push_back(score);
        return 0;
    }
    void ShowPauseOverlay(bool show) override { overlayShown = show; }
    void ShowDialog(Spindrel::BoardDialog dialog) override { dialogs.push_back(dialog); }

    int CountSound(Spindrel::BoardSound sound) const { return static_cast<int>(std::ranges::count(sounds, sound)); }
    // Music calls of a kind on a channel, at a position or (-1) any.
    int CountMusic(const std::string& what, int channel, int position = -1) const
    {
        return static_cast<int>(std::ranges::count_if(music, [&](const MusicCall& m) {
            return m.what == what && m.channel == channel && (position < 0 || m.position == position);
        }));
    }

    std::string textPrefix = "T";
    std::vector<Spindrel::BoardSound> sounds;
    std::vector<MusicCall> music;
    std::vector<Spindrel::BoardDialog> dialogs;
    std::vector<int> enteredScores;
    std::deque<int> scripted;
    Spindrel::Random15 random{12345};
    int highestStageStart = 1;
    int progressWrites = 0;
    bool overlayShown = false;
};

inline void WriteTrack(const std::string& root, int track, float gateX, float gateY, float angle,
                       const std::vector<std::pair<float, float>>& points)
{
    Spindrel::PathFile file;
    file.gateX = gateX;
    file.gateY = gateY;
    file.gateAngle = angle;
    for (auto [x, y] : points)
        file.points.push_back({x, y, 0, 0, 0});
    const auto bytes = Spindrel::Path::EncodeFile(file);
    std::filesystem::create_directories(root + "/levels");
    char name[64];
    std::snprintf(name, sizeof name, "/levels/%02d.path", track);
    std::ofstream out(root + name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Every level on track 1 with the same table row.
inline Spindrel::LevelData SameLevels(int baseSpeed, int points, int pictures, int interval)
{
    Spindrel::LevelData levels;
    for (int level = 1; level <= Spindrel::kLevelCount; ++level)
    {
        levels.trackOfLevel[static_cast<size_t>(level)] = 1;
        auto& r = levels.records[static_cast<size_t>(level - 1)];
        r.baseSpeed = baseSpeed;
        r.pointsToReach = points;
        r.numPictures = pictures;
        r.speedUpInterval = interval;
    }
    return levels;
}

// A board on a straight test track from (100, 300) to (1300, 300): 1200
// pixels, room for 20 balls.
class Board
{
public:
    explicit Board(int length = 1200) : logic(host)
    {
        WriteTrack(dir.Path(), 1, 700, 250, 0, {{100.0f, 300.0f}, {100.0f + length, 300.0f}});
        logic.SetLevelData(SameLevels(20, 1000, 5, 300));
        Spindrel::BoardArt art;
        art.picBack = {nullptr, 240, 60, 4};
        art.picRot = {nullptr, 600, 60, 10};
        art.warningPoint = {nullptr, 160, 40, 4};
        art.chips = {nullptr, 300, 60, 5};
        art.bombBlast = {nullptr, 100, 100, 1};
        for (auto& face : art.faces)
            face = {nullptr, 60, 60, 1};
        logic.SetArt(art);
        logic.SetDataRoot(dir.Path() + "/");
        logic.SetActive(true);
    }

    // Starts the level and runs the intro until the chain rolls.
    void StartAndSkipIntro(int level = 1)
    {
        logic.State().level = level;
        logic.StartLevel();
        for (int i = 0; i < 100000 && logic.State().intro; ++i)
            logic.Tick();
    }

    void Run(int steps)
    {
        for (int i = 0; i < steps; ++i)
            logic.Tick();
    }

    // Replaces the chain with a still one of the given pictures, front
    // first from `front`, 60 pixels apart; no ball spawns or bonus arrives.
    std::vector<Spindrel::Ball*> Still(const std::vector<int>& types, float front = 1000)
    {
        logic.ClearBalls();
        logic.Effects().clear();
        S().rushing = false;
        S().baseSpeed = S().speed = 0;
        S().targetScore = 1000000;
        S().bonusTimer = 1000;
        std::vector<Spindrel::Ball*> balls;
        for (int type : types)
            balls.push_back(&logic.AddBall(type, front - 60 * static_cast<float>(balls.size())));
        return balls;
    }

    // Level 1 in play with a still chain.
    std::vector<Spindrel::Ball*> Chain(const std::vector<int>& types, float front = 1000)
    {
        StartAndSkipIntro();
        return Still(types, front);
    }

    // The score target reached with every picture paired: only missing
    // partners spawn.
    void AllPaired()
    {
        S().score = S().targetScore = 0;
        S().targetReached = true;
    }

    void Click(const Spindrel::Ball& ball)
    {
        logic.HandleClick(1, static_cast<int>(ball.x), static_cast<int>(ball.y));
    }

    std::vector<std::string> Texts(Spindrel::EffectKind kind) const
    {
        std::vector<std::string> texts;
        for (const Spindrel::Effect& e : logic.Effects())
            if (e.kind == kind)
                texts.push_back(e.text);
        return texts;
    }

    int Alive() const
    {
        return static_cast<int>(std::ranges::count_if(logic.Balls(), [](const auto& b) { return b->alive; }));
    }

    Spindrel::GameState& S() { return logic.State(); }

    TempDir dir;
    TestHost host;
    Spindrel::BoardLogic logic;
};

} // namespace BoardTest
