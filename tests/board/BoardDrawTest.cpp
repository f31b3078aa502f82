#include "BoardTestSupport.h"
#include "TestArt.h"

#include "framework/graphics/DisplayImage.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageRegistry.h"
#include "framework/graphics/NativeDisplay.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/WidgetManager.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

using namespace Spindrel;

namespace
{

// The game draws onto the display's screen image, which honours the colour
// and draw mode of stretched drawing (the bomb's fading blast).
class BoardScreen : public Quillo::NativeDisplay
{
public:
    explicit BoardScreen(Quillo::ImageRegistry& registry) : NativeDisplay(registry) {}
    Result Init(bool, bool) override { return Result::Ok; }

protected:
    bool PresentFrame(const uint32_t*, int, const Quillo::Rect&) override { return true; }
};

struct DrawnBoard
{
    DrawnBoard() : board(host, res)
    {
        BoardTest::WriteTrack(dir.Path(), 1, 640, 420, 30,
                              {{-30, 100}, {700, 100}, {720, 300}, {150, 300}, {150, 460}, {600, 460}});
        BoardTest::TestArt::WriteTrackImages(dir.Path());
        art.Fill(res, board.Pictures());
        LevelData levels;
        for (int level = 1; level <= kLevelCount; ++level)
        {
            levels.trackOfLevel[static_cast<size_t>(level)] = 1;
            auto& r = levels.records[static_cast<size_t>(level - 1)];
            r.baseSpeed = 40;
            r.pointsToReach = 600;
            r.numPictures = 8;
            r.speedUpInterval = 200;
        }
        levels.trackOfLevel[2] = 7; // no such track: edit mode
        board.Logic().SetLevelData(levels);
        board.SetDataRoot(dir.Path() + "/");
        board.ApplyResources();
        board.Logic().SetActive(true);
    }

    void Run(int steps)
    {
        for (int i = 0; i < steps; ++i)
            board.Logic().Tick();
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
    for (const auto& dir : candidates)
    {
        if (std::filesystem::is_directory(dir))
            return dir.string() + "/";
    }
    return candidates.front().string() + "/";
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
    DrawnBoard b;
    b.board.Logic().StartLevel();
    b.Run(60);
    auto frame = b.Frame();
    ExpectGolden(frame, "intro");
}

TEST(BoardDrawing, PlayWithABonusBall)
{
    DrawnBoard b;
    b.board.Logic().StartLevel();
    b.Run(900);
    auto& balls = b.board.Logic().Balls();
    ASSERT_GT(balls.size(), 6u);
    b.board.Logic().ArmBonus(*balls[3], 4);
    b.board.Logic().OpenBall(*balls[1]);
    b.Run(150);
    EXPECT_TRUE(balls[3]->bonusVisible);
    auto frame = b.Frame();
    ExpectGolden(frame, "bonus");
}

TEST(BoardDrawing, RevealedBallsAndTheHudBars)
{
    DrawnBoard b;
    b.board.Logic().StartLevel();
    b.Run(900);
    auto& logic = b.board.Logic();
    logic.TriggerBonus(0, *logic.Balls()[0]);
    logic.State().score = 300;
    logic.State().speedUpTimer = 0.5f * logic.State().speedUpInterval;
    logic.State().smallBarOn = true;
    b.Run(30);
    logic.OpenBall(*logic.Balls()[0]);
    b.Run(3);
    auto frame = b.Frame();
    ExpectGolden(frame, "revealed");

    // Paused, revealed balls show their backs.
    logic.SetPaused(true);
    auto paused = b.Frame();
    ExpectGolden(paused, "revealed-paused");
}

TEST(BoardDrawing, Effects)
{
    DrawnBoard b;
    b.board.Logic().StartLevel();
    b.Run(900);
    auto& logic = b.board.Logic();
    const Ball& ball = *logic.Balls()[2];
    logic.SpawnBlast(ball.x, ball.y, 200);
    logic.SpawnShrink(400, 200, logic.Art().faces[3]);
    logic.SpawnChips(300, 380);
    logic.SpawnSpark(500, 380, Quillo::Color(255, 255, 205), 0.06f);
    b.Run(12);
    auto frame = b.Frame();
    ExpectGolden(frame, "effects");
}

TEST(BoardDrawing, EditMode)
{
    // After a played level whose gate is turned 30 degrees: the editor's
    // gate is turned once, doors and frame alike, not the played strip
    // turned again.
    DrawnBoard b;
    b.board.Logic().StartLevel();
    b.board.Logic().State().level = 2;
    b.board.Logic().StartLevel();
    ASSERT_TRUE(b.board.Logic().GetPath().editMode);
    b.board.Logic().EditMouseDown(640, 520, 1, true);
    b.board.Logic().GetPath().selectedPoint = 3;
    b.board.Logic().whiteLines = true;
    auto frame = b.Frame();
    ExpectGolden(frame, "edit");
}

TEST(BoardWidget, KeysClicksAndTheMenuButton)
{
    DrawnBoard b;
    Quillo::WidgetManager manager;
    manager.SetSize(800, 600);
    manager.AddWidget(&b.board);
    ASSERT_NE(b.board.MenuButton(), nullptr);
    EXPECT_EQ(b.board.MenuButton()->x, 700);
    EXPECT_EQ(b.board.MenuButton()->y, 560);
    b.board.Logic().StartLevel();
    for (int i = 0; i < 10; ++i)
    {
        manager.UpdatePass();
        manager.UpdatePartialPass(1.0);
    }
    EXPECT_GT(b.board.Logic().State().sweepDistance, 0);

    // Escape during the intro: the options dialog, and the intro stands.
    manager.SetFocus(&b.board);
    manager.KeyDown(27);
    ASSERT_EQ(b.host.dialogs.size(), 1u);
    EXPECT_EQ(b.host.dialogs[0], BoardDialog::Options);
    const int sweep = b.board.Logic().State().sweepDistance;
    for (int i = 0; i < 10; ++i)
    {
        manager.UpdatePass();
        manager.UpdatePartialPass(1.0);
    }
    EXPECT_EQ(b.board.Logic().State().sweepDistance, sweep);
    b.board.SetPaused(false);
    manager.KeyUp(27);

    // Edit mode: Shift comes from the manager's key table.
    b.board.Logic().State().level = 2;
    b.board.Logic().StartLevel();
    const int points = b.board.Logic().GetPath().Count();
    manager.MouseDown(300, 200, 1);
    manager.MouseUp(300, 200, 1);
    EXPECT_EQ(b.board.Logic().GetPath().Count(), points);
    manager.KeyDown(16);
    manager.MouseDown(300, 200, 1);
    manager.MouseUp(300, 200, 1);
    EXPECT_EQ(b.board.Logic().GetPath().Count(), points + 1);
    manager.RemoveWidget(&b.board);
    EXPECT_EQ(b.board.MenuButton(), nullptr);
}

TEST(BoardWidget, ASavedStateContinuesTheGameAndDamagedBytesLeaveItAlone)
{
    DrawnBoard b;
    b.board.Logic().StartLevel();
    b.Run(700);
    const auto saved = b.board.Logic().SaveState();
    b.Run(300);
    ASSERT_NE(b.board.Logic().SaveState(), saved);
    ASSERT_TRUE(b.board.Logic().LoadState(saved));
    EXPECT_EQ(b.board.Logic().SaveState(), saved);
    const std::vector<uint8_t> damaged(saved.begin(), saved.begin() + 5);
    EXPECT_FALSE(b.board.Logic().LoadState(damaged));
    EXPECT_EQ(b.board.Logic().SaveState(), saved);
}
