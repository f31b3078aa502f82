#include "BoardScreen.h"
#include "BoardTestSupport.h"
#include "TestArt.h"

#include "framework/graphics/DisplayImage.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageRegistry.h"
#include "framework/graphics/NativeDisplay.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/KeyCode.h"
#include "framework/widgets/WidgetManager.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace Spindrel;

namespace
{

struct DrawnBoard
{
    // Level 1 started and run for `steps`; level 2 has no track (edit mode).
    explicit DrawnBoard(int steps) : board(host, res)
    {
        BoardTest::WriteTrack(dir.Path(), 1, 640, 420, 30,
                              {{-30, 100}, {700, 100}, {720, 300}, {150, 300}, {150, 460}, {600, 460}});
        BoardTest::TestArt::WriteTrackImages(dir.Path());
        art.Fill(res, board.Pictures());
        LevelData levels = BoardTest::SameLevels(40, 600, 8, 200);
        levels.trackOfLevel[2] = 7;
        logic.SetLevelData(levels);
        board.SetDataRoot(dir.Path() + "/");
        board.ApplyResources();
        logic.SetActive(true);
        logic.StartLevel();
        Run(steps);
    }

    void Run(int steps)
    {
        for (int i = 0; i < steps; ++i)
            logic.Tick();
    }

    Quillo::MemoryImage& Frame()
    {
        Quillo::DisplayImage* screen = display.GetScreenImage();
        screen->FillRect(Quillo::Rect{0, 0, 800, 600}, Quillo::Color::Black, Quillo::DRAWMODE_NORMAL);
        Quillo::Graphics g(screen);
        board.Draw(&g);
        return *screen;
    }

    Quillo::ImageRegistry registry;
    BoardScreen display{registry};

    TempDir dir;
    BoardTest::TestHost host;
    GameResources res;
    BoardTest::TestArt art;
    Spindrel::Board board;
    BoardLogic& logic = board.Logic();
};

// The golden folder: from the test source folder when it is named, else
// beside this file (whose name the compiler may give relative to the build
// folder, one level above the test's working folder).
std::string GoldenDir()
{
    std::vector<std::filesystem::path> candidates;
    if (const char* source = std::getenv("QUILLO_TEST_SOURCE"))
        candidates.push_back(std::filesystem::path(source) / "board" / "golden");
    const auto here = std::filesystem::path(__FILE__).parent_path() / "golden";
    candidates.push_back(here);
    candidates.push_back(std::filesystem::path("..") / here);
    const auto found =
        std::ranges::find_if(candidates, [](const auto& dir) { return std::filesystem::is_directory(dir); });
    return (found != candidates.end() ? *found : candidates.front()).string() + "/";
}

// Compares a frame with tests/board/golden/<name>.png within 2 per channel
// (the blending rules are exact; the allowance covers rotation rounding).
// QUILLO_UPDATE_GOLDEN=1 writes the expected images instead; a failure
// writes the frame and a difference picture beside the test program.
void ExpectGolden(Quillo::MemoryImage& frame, const std::string& name)
{
    const std::string dir = GoldenDir();
    Quillo::ImageLib::Image actual(frame.GetWidth(), frame.GetHeight());
    const uint32_t* bits = frame.GetBits();
    for (int i = 0; i < frame.GetWidth() * frame.GetHeight(); ++i)
        actual.bits[static_cast<size_t>(i)] = bits[i] | 0xFF000000u;
    if (std::getenv("QUILLO_UPDATE_GOLDEN") != nullptr)
    {
        ASSERT_TRUE(Quillo::ImageLib::WritePNG(dir + name + ".png", actual));
        return;
    }
    const auto expected = Quillo::ImageLib::ReadPNG(dir + name + ".png");
    ASSERT_TRUE(expected) << "missing golden image " << dir << name << ".png";
    ASSERT_EQ(expected->width, actual.width);
    ASSERT_EQ(expected->height, actual.height);
    Quillo::ImageLib::Image diff(actual.width, actual.height);
    int bad = 0;
    for (int i = 0; i < actual.width * actual.height; ++i)
    {
        const uint32_t a = actual.bits[static_cast<size_t>(i)];
        const uint32_t e = expected->bits[static_cast<size_t>(i)];
        int worst = 0;
        for (int shift = 0; shift < 24; shift += 8)
            worst = std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) -
                                             static_cast<int>((e >> shift) & 0xFF)));
        diff.bits[static_cast<size_t>(i)] = worst > 2 ? 0xFFFF0000u : 0xFF000000u | ((a >> 2) & 0x3F3F3F);
        bad += worst > 2 ? 1 : 0;
    }
    if (bad > 0)
    {
        Quillo::ImageLib::WritePNG(name + "-actual.png", actual);
        Quillo::ImageLib::WritePNG(name + "-diff.png", diff);
    }
    EXPECT_EQ(bad, 0) << name << ": pixels differ; see " << name << "-diff.png";
}

} // namespace

TEST(BoardDrawing, IntroSweep)
{
    DrawnBoard b(60);
    ExpectGolden(b.Frame(), "intro");
}

TEST(BoardDrawing, PlayWithABonusBall)
{
    DrawnBoard b(900);
    auto& balls = b.logic.Balls();
    ASSERT_GT(balls.size(), 6u);
    b.logic.ArmBonus(*balls[3], 4);
    b.logic.OpenBall(*balls[1]);
    b.Run(150);
    EXPECT_TRUE(balls[3]->bonusVisible);
    ExpectGolden(b.Frame(), "bonus");
}

TEST(BoardDrawing, RevealedBallsAndTheHudBars)
{
    DrawnBoard b(900);
    b.logic.TriggerBonus(0, *b.logic.Balls()[0]);
    b.logic.State().score = 300;
    b.logic.State().speedUpTimer = 0.5f * b.logic.State().speedUpInterval;
    b.logic.State().smallBarOn = true;
    b.Run(30);
    b.logic.OpenBall(*b.logic.Balls()[0]);
    b.Run(3);
    ExpectGolden(b.Frame(), "revealed");
    // Paused, revealed balls show their backs.
    b.logic.SetPaused(true);
    ExpectGolden(b.Frame(), "revealed-paused");
}

TEST(BoardDrawing, Effects)
{
    DrawnBoard b(900);
    const Ball& ball = *b.logic.Balls()[2];
    b.logic.SpawnBlast(ball.x, ball.y, 200);
    b.logic.SpawnShrink(400, 200, b.logic.Art().faces[3]);
    b.logic.SpawnChips(300, 380);
    b.logic.SpawnSpark(500, 380, Quillo::Color(255, 255, 205), 0.06f);
    b.Run(12);
    ExpectGolden(b.Frame(), "effects");
}

TEST(BoardDrawing, EditMode)
{
    // After a played level whose gate is turned 30 degrees: the editor's
    // gate is turned once, doors and frame alike, not the played strip
    // turned again.
    DrawnBoard b(0);
    b.logic.State().level = 2;
    b.logic.StartLevel();
    ASSERT_TRUE(b.logic.GetPath().editMode);
    b.logic.EditMouseDown(640, 520, 1, true);
    b.logic.GetPath().selectedPoint = 3;
    b.logic.whiteLines = true;
    ExpectGolden(b.Frame(), "edit");
}

TEST(BoardWidget, KeysClicksAndTheMenuButton)
{
    DrawnBoard b(0);
    Quillo::WidgetManager manager;
    manager.SetSize(800, 600);
    manager.AddWidget(&b.board);
    ASSERT_NE(b.board.MenuButton(), nullptr);
    EXPECT_EQ(b.board.MenuButton()->x, 700);
    EXPECT_EQ(b.board.MenuButton()->y, 560);
    auto pump = [&] {
        for (int i = 0; i < 10; ++i)
        {
            manager.UpdatePass();
            manager.UpdatePartialPass(1.0);
        }
        return b.logic.State().sweepDistance;
    };
    const int sweep = pump();
    EXPECT_GT(sweep, 0);

    // Escape during the intro: the options dialog over the paused board,
    // and the intro stands until the game goes on.
    manager.SetFocus(&b.board);
    manager.KeyDown(27);
    EXPECT_EQ(b.host.dialogs, std::vector{BoardDialog::Options});
    EXPECT_EQ(b.logic.State().pauseDepth, 1);
    EXPECT_TRUE(b.host.overlayShown);
    EXPECT_EQ(pump(), sweep);
    b.board.SetPaused(false);
    manager.KeyUp(27);
    EXPECT_FALSE(b.host.overlayShown);
    EXPECT_GT(pump(), sweep);

    // Edit mode: Shift comes from the manager's key table.
    b.logic.State().level = 2;
    b.logic.StartLevel();
    const int points = b.logic.GetPath().Count();
    auto click = [&] {
        manager.MouseDown(300, 200, 1);
        manager.MouseUp(300, 200, 1);
        return b.logic.GetPath().Count();
    };
    EXPECT_EQ(click(), points);
    manager.KeyDown(16);
    EXPECT_EQ(click(), points + 1);
    manager.RemoveWidget(&b.board);
    EXPECT_EQ(b.board.MenuButton(), nullptr);
}

TEST(BoardWidget, ASavedStateOnATurningTrackContinuesTheGame)
{
    DrawnBoard b(700);
    const auto saved = b.logic.SaveState();
    b.Run(300);
    ASSERT_NE(b.logic.SaveState(), saved);
    ASSERT_TRUE(b.logic.LoadState(saved));
    EXPECT_EQ(b.logic.SaveState(), saved);
}

TEST(BoardWidget, MarkerKeysOpenAPairAsClicksDoAndTheMouseHidesTheMarker)
{
    DrawnBoard b(0);
    Quillo::WidgetManager manager;
    manager.SetSize(800, 600);
    manager.AddWidget(&b.board);
    manager.SetFocus(&b.board);
    for (int i = 0; i < 100000 && b.logic.State().intro; ++i)
        b.logic.Tick();
    // A still chain along the top of the track, front first.
    b.logic.ClearBalls();
    GameState& s = b.logic.State();
    s.rushing = false;
    s.baseSpeed = s.speed = 0;
    s.targetScore = 1000000;
    s.bonusTimer = 1000;
    std::vector<Ball*> balls;
    for (int type : {0, 1, 0, 2})
        balls.push_back(&b.logic.AddBall(type, 500.0f - 60.0f * static_cast<float>(balls.size())));
    auto press = [&](int key) {
        manager.KeyDown(key);
        manager.KeyUp(key);
    };
    auto whiteAround = [&](const Ball& ball) {
        const uint32_t* bits = b.Frame().GetBits();
        int white = 0;
        for (int y = static_cast<int>(ball.y) - 40; y <= static_cast<int>(ball.y) + 40; ++y)
            for (int x = static_cast<int>(ball.x) - 40; x <= static_cast<int>(ball.x) + 40; ++x)
                white += (bits[y * 800 + x] & 0xFFFFFFu) == 0xFFFFFFu ? 1 : 0;
        return white;
    };
    const int unmarked = whiteAround(*balls[0]);

    // The first key only shows the marker, on the front ball.
    press(Quillo::KeyCode::Left);
    EXPECT_TRUE(b.board.MarkerShown());
    EXPECT_EQ(b.logic.Marker().Marked(), balls[0]);
    EXPECT_GT(whiteAround(*balls[0]), unmarked + 100);
    press(Quillo::KeyCode::Enter);
    manager.KeyDown(Quillo::KeyCode::Shift);
    press(Quillo::KeyCode::Left);
    manager.KeyUp(Quillo::KeyCode::Shift);
    EXPECT_EQ(b.logic.Marker().Marked(), balls[3]);
    press(Quillo::KeyCode::Right);
    press(Quillo::KeyCode::Space);
    EXPECT_TRUE(b.host.dialogs.empty()) << "Space opens the marked ball, not the menu";
    b.Run(60);
    EXPECT_EQ(s.score, 20);
    EXPECT_EQ(b.host.CountSound(BoardSound::CollectPair), 1);
    // Scored balls leave the list and are deleted: look them up by address.
    for (const Ball* gone : {balls[0], balls[2]})
        EXPECT_TRUE(std::none_of(b.logic.Balls().begin(), b.logic.Balls().end(),
                                 [&](const auto& ball) { return ball.get() == gone && ball->alive; }));
    EXPECT_EQ(b.logic.Marker().Marked(), balls[3]);

    // A mouse move hides it; Space is the menu's again.
    manager.MouseMove(400, 400);
    EXPECT_FALSE(b.board.MarkerShown());
    press(Quillo::KeyCode::Space);
    EXPECT_EQ(b.host.dialogs, std::vector{BoardDialog::Options});
    manager.RemoveWidget(&b.board);
}
