// Closing the application after a level is won but before the next one
// starts (its bonus count running, or its statistics showing): the next
// start continues at the level after it, with the score and lives earned,
// and nothing the win entered is entered again.
#include "GameDialogsFixture.h"

#include "framework/widgets/ButtonWidget.h"
#include "game/app/GameRecords.h"
#include "game/app/PlayerProgress.h"
#include "game/app/SavedGameFiles.h"
#include "game/board/LevelData.h"
#include "game/board/SavedGame.h"
#include "game/screens/AskDialog.h"
#include "game/screens/GameCompleteDialog.h"
#include "game/screens/MainMenuWidget.h"
#include "game/screens/StatDialog.h"

#include <algorithm>
#include <fstream>
#include <iterator>

using namespace Spindrel;
namespace fs = std::filesystem;

class WonLevelOnClose : public GameDialogsTest
{
protected:
    // The level just started is won: its target is reached and its last
    // ball gone, so that the board runs its bonus count next.
    void WinTheLevel()
    {
        GameState& s = State();
        s.intro = s.introSweep = s.rushing = false;
        s.score = s.targetScore;
        TheBoard().Logic().ClearBalls();
    }
    // Board steps until the count has begun (and paid some points) or the
    // statistics show.
    void StepUntil(bool (*done)(WonLevelOnClose&))
    {
        for (int i = 0; i < 100000 && !done(*this); ++i)
            TheBoard().Logic().Tick();
        ASSERT_TRUE(done(*this));
    }
    static bool StatisticsShow(WonLevelOnClose& t)
    {
        return dynamic_cast<StatDialog*>(t.app->FindDialog(StatDialog::kDialogId)) != nullptr;
    }
    static bool CountUnderWay(WonLevelOnClose& t)
    {
        return t.State().counting && t.State().score >= t.State().levelStartScore + 100;
    }

    // The program ends and starts again in the same folder.
    void Restart()
    {
        // The players as the name dialog keeps them.
        ASSERT_TRUE(app->Profiles().Save(app->Saves()));
        app.reset();
        app = std::make_unique<GameDialogsApp>();
        ASSERT_TRUE(app->Load());
        app->LeaveTitleScreen();
        ASSERT_NE(app->GetMainMenu(), nullptr);
    }
    // Start in the main menu, then the continue question's first answer.
    void ContinueFromTheMenu(const std::string& player)
    {
        app->Profiles().ChooseByName(player);
        const Quillo::ButtonWidget* start = app->GetMainMenu()->Button(0);
        ClickAt(start->x + start->width / 2, start->y + 82);
        auto* ask = dynamic_cast<AskDialog*>(app->FindDialog(AskDialog::kDialogId));
        ASSERT_NE(ask, nullptr) << "Start offers the suspended game";
        ASSERT_EQ(ask->Kind(), AskDialog::kContinueGame);
        Click(*ask->FirstButton());
        app->DeleteQueuedWidgets();
    }
    std::vector<uint8_t> Bytes(const std::string& file) const
    {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

TEST_F(WonLevelOnClose, ClosingOverTheStatisticsContinuesAtTheNextLevel)
{
    app->Profiles().ChooseByName("Ann");
    StartPlaying(0);
    State().lives = 2;
    WinTheLevel();
    StepUntil(StatisticsShow);
    const int score = State().score;
    ASSERT_GT(score, State().levelStartScore) << "the bonus count paid";
    ASSERT_EQ(app->Records().Level(1).holder, "Ann");
    const auto records = Bytes(SaveFile("spindrel.rec"));

    app->OnBeforeExit();
    ASSERT_TRUE(fs::exists(SaveFile("Ann.sav"))) << "the game is suspended";
    EXPECT_EQ(Bytes(SaveFile("spindrel.rec")), records) << "the level's record is entered once";

    Restart();
    ContinueFromTheMenu("Ann");
    const GameState& s = State();
    EXPECT_TRUE(TheBoard().Logic().IsActive());
    EXPECT_EQ(s.level, 2);
    EXPECT_EQ(s.score, score);
    EXPECT_EQ(s.lives, 2);
    EXPECT_EQ(s.levelStartScore, score);
    EXPECT_FALSE(s.levelComplete);
    EXPECT_EQ(s.targetScore, score + TheBoard().Logic().Levels().records[1].pointsToReach);
    EXPECT_EQ(s.pauseDepth, 0);
    EXPECT_EQ(app->FindDialog(StatDialog::kDialogId), nullptr);
    EXPECT_FALSE(fs::exists(SaveFile("Ann.sav")));
    EXPECT_EQ(Bytes(SaveFile("spindrel.rec")), records);
}

TEST_F(WonLevelOnClose, ClosingDuringTheBonusCountPaysItAndRecordsTheWin)
{
    // The same won level, closed over its statistics, gives the score the
    // whole count pays.
    app->Profiles().ChooseByName("Ann");
    StartPlaying(0);
    WinTheLevel();
    StepUntil(StatisticsShow);
    const int fullScore = State().score;
    const float levelTime = State().levelTime;

    Restart();
    app->Profiles().ChooseByName("Bo");
    StartPlaying(0);
    WinTheLevel();
    StepUntil(CountUnderWay);
    ASSERT_LT(State().score, fullScore);
    // The window lost the focus first: the board is paused.
    app->OnDeactivated();
    app->OnBeforeExit();

    const auto bytes = SavedGameFiles::LoadGame(app->Saves(), "Bo");
    ASSERT_TRUE(bytes.has_value()) << "the game is suspended";
    const auto saved = SavedGame::Decode(*bytes);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->state.level, 2);
    EXPECT_EQ(saved->state.score, fullScore);
    EXPECT_EQ(saved->state.lives, 3);
    // The level's time counts to the end of the count as in play: as fast
    // as Ann's, which is no new record.
    EXPECT_EQ(app->Records().Level(1).bestTime, static_cast<int>(levelTime));
    EXPECT_EQ(app->Records().Level(1).holder, "Ann");

    Restart();
    ContinueFromTheMenu("Bo");
    EXPECT_EQ(State().level, 2);
    EXPECT_EQ(State().score, fullScore);
}

TEST_F(WonLevelOnClose, ClosingAfterTheLastLevelOfAStageKeepsTheStageReached)
{
    const int next = kStageStarts[1];
    app->Profiles().ChooseByName("Cy");
    StartPlaying(0);
    State().level = next - 1;
    WinTheLevel();
    StepUntil(StatisticsShow);
    ASSERT_EQ(PlayerProgress::Load(app->Saves(), "Cy"), 1);

    app->OnBeforeExit();
    EXPECT_EQ(PlayerProgress::Load(app->Saves(), "Cy"), next) << "the new stage is open";
    const auto bytes = SavedGameFiles::LoadGame(app->Saves(), "Cy");
    ASSERT_TRUE(bytes.has_value());
    const auto saved = SavedGame::Decode(*bytes);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->state.level, next);
    EXPECT_EQ(saved->state.checkpointLevel, next);
}

TEST_F(WonLevelOnClose, ClosingDuringTheLastLevelsCountEntersTheHighScore)
{
    app->Profiles().ChooseByName("Di");
    StartPlaying(0);
    State().level = std::min(TheBoard().Logic().Levels().numLevels, kLevelCount);
    State().targetScore = State().levelStartScore = 900000;
    WinTheLevel();
    StepUntil(CountUnderWay);

    app->OnBeforeExit();
    // The whole game is won: nothing is left to continue.
    EXPECT_FALSE(fs::exists(SaveFile("Di.sav")));
    ASSERT_NE(dynamic_cast<GameCompleteDialog*>(app->FindDialog(GameCompleteDialog::kRegisteredId)), nullptr);
    const auto onDisk = GameRecords::Decode(Bytes(SaveFile("spindrel.rec")));
    ASSERT_TRUE(onDisk.has_value());
    EXPECT_EQ(onDisk->HighScores()[0].name, "Di");
    EXPECT_GT(onDisk->HighScores()[0].score, 900000);
}
