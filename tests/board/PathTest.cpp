#include "BoardTestSupport.h"

#include "game/board/LevelData.h"
#include "game/board/Path.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Spindrel;

namespace
{

PathFile ThreePoints()
{
    PathFile file;
    file.gateX = 10;
    file.gateY = 20;
    file.gateAngle = 90;
    file.points = {{100, 100, 0, 0, 0}, {400, 100, 0, 0, 0}, {400, 500, 0, 0, 0}};
    return file;
}

} // namespace

TEST(PathGeometry, LeadInAddsAPointAndTotalLengthSkipsIt)
{
    const auto bytes = Path::EncodeFile(ThreePoints());
    ASSERT_EQ(bytes.size(), 16u + 8u * 3u);
    const auto file = Path::ParseFile(bytes);
    ASSERT_TRUE(file);
    Path path;
    path.Assign(*file);
    EXPECT_EQ(path.selectedPoint, 2);
    path.AddLeadIn();
    ASSERT_EQ(path.Count(), 4);
    const auto& lead = path.points[0];
    EXPECT_EQ(std::tuple(lead.x, lead.y, lead.length, lead.dirY), std::tuple(100, 100 + 6400, 6400, -1));
    EXPECT_EQ(std::tuple(path.totalLength, path.points[3].length), std::tuple(300 + 400, 0));
    EXPECT_EQ(std::tuple(path.gateX, path.ms_gateAngle), std::tuple(10, 90));
}

TEST(PathGeometry, PointAtDistanceRunsFromPointOneAndStopsAtTheEnd)
{
    Path path;
    path.Assign(ThreePoints());
    path.AddLeadIn();
    auto at = [](const auto& p) { return std::pair(p.x, p.y); };
    EXPECT_EQ(at(path.PointAtDistance(0)), std::pair(100.0f, 100.0f));
    EXPECT_EQ(at(path.PointAtDistance(350)), std::pair(400.0f, 150.0f));
    EXPECT_EQ(at(path.PointAtDistance(5000)), std::pair(400.0f, 500.0f));
    EXPECT_EQ(at(path.PositionOnSegment(2, 0.25f)), std::pair(400.0f, 200.0f));
}

TEST(PathGeometry, GateCelFollowsTheLeadFromSeventyFivePercent)
{
    const std::pair<float, int> cels[] = {{10, 0}, {74.9f, 0}, {75, 0}, {80.5f, 5}, {94.5f, 19}, {95, 20}, {130, 20}};
    for (auto [progress, cel] : cels)
        EXPECT_EQ(Path::GateFrameForProgress(progress), cel) << progress;
}

TEST(PathFile, ShortAndDamagedFiles)
{
    auto bytes = Path::EncodeFile(ThreePoints());
    // A file cut inside the third point keeps the first two.
    bytes.resize(bytes.size() - 3);
    auto file = Path::ParseFile(bytes);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->points.size(), 2u);
    // Header cut short, negative count, absurd count.
    EXPECT_FALSE(Path::ParseFile(std::span(bytes.data(), 15)));
    auto negative = Path::EncodeFile(ThreePoints());
    negative[15] = 0x80;
    EXPECT_FALSE(Path::ParseFile(negative));
    auto huge = Path::EncodeFile(ThreePoints());
    huge[14] = 0x7F;
    EXPECT_FALSE(Path::ParseFile(huge));
}

// A damaged track with no point, one point, or its points at one place
// would keep the previous track's length (the level never ends) or spawn
// balls on no track at all (every intro a life lost): the editor takes it.
TEST(PathFile, ATrackWithoutTwoPlacesIsTakenForAMissingOne)
{
    BoardTest::Board board;
    const std::vector<std::vector<std::pair<float, float>>> tracks = {{}, {{300, 300}}, {{300, 300}, {300, 300}}};
    LevelData levels = board.logic.Levels();
    for (size_t i = 0; i < tracks.size(); ++i)
    {
        BoardTest::WriteTrack(board.dir.Path(), 2 + static_cast<int>(i), 0, 0, 0, tracks[i]);
        levels.trackOfLevel[2 + i] = 2 + static_cast<int>(i);
    }
    board.logic.SetLevelData(levels);
    for (int level = 2; level <= 4; ++level)
    {
        SCOPED_TRACE(level);
        board.StartAndSkipIntro(1);
        board.S().level = level;
        board.logic.StartLevel();
        const Path& path = board.logic.GetPath();
        EXPECT_TRUE(path.editMode);
        EXPECT_EQ(path.Count(), 3) << "track 1's two points and a lead-in";
        board.Run(500);
        EXPECT_TRUE(board.logic.Balls().empty());
        EXPECT_EQ(board.S().lives, 3);
    }
}

TEST(PathFile, TrackNumbersAreClampedAndAMissingFileKeepsTheOldPoints)
{
    BoardTest::Board board;
    BoardTest::WriteTrack(board.dir.Path(), 30, 0, 0, 0, {{5, 5}, {605, 5}});
    LevelData levels = board.logic.Levels();
    levels.trackOfLevel[1] = 0;
    levels.trackOfLevel[2] = 31;
    levels.trackOfLevel[3] = 9;
    board.logic.SetLevelData(levels);

    board.logic.StartLevel();
    EXPECT_EQ(board.logic.GetPath().trackNumber, 1);
    EXPECT_FLOAT_EQ(board.logic.GetPath().totalLength, 1200);

    board.S().level = 2;
    board.logic.StartLevel();
    EXPECT_EQ(board.logic.GetPath().trackNumber, 30);
    EXPECT_FLOAT_EQ(board.logic.GetPath().totalLength, 600);
    EXPECT_FALSE(board.logic.GetPath().editMode);

    // Track 9 has no file: the editor starts from track 30's points with a
    // fresh lead-in, and the game logic stands still.
    board.S().level = 3;
    board.logic.StartLevel();
    const Path& path = board.logic.GetPath();
    EXPECT_TRUE(path.editMode);
    ASSERT_EQ(path.Count(), 3);
    EXPECT_FLOAT_EQ(path.points[0].y, 5 + 6400);
    EXPECT_FLOAT_EQ(path.points[1].x, 5);
    board.Run(500);
    EXPECT_TRUE(board.logic.Balls().empty());
    EXPECT_EQ(board.S().sweepDistance, 0);

    // The next level with a readable track is played again, not edited.
    board.S().level = 4;
    board.logic.StartLevel();
    EXPECT_FALSE(board.logic.GetPath().editMode);
    EXPECT_EQ(board.logic.GetPath().trackNumber, 1);
    board.Run(500);
    EXPECT_GT(board.S().sweepDistance, 0);
}

TEST(PathEditor, ClicksAddMoveSelectAndDelete)
{
    BoardTest::Board board;
    board.logic.GetPath().points.clear();
    board.logic.GetPath().editMode = true;
    Path& path = board.logic.GetPath();

    // Middle click on an empty track changes nothing.
    board.logic.EditMouseDown(10, 10, 3, false);
    EXPECT_EQ(path.Count(), 0);

    board.logic.EditMouseDown(100, 100, 1, true);
    board.logic.EditMouseDown(200, 100, 1, true);
    board.logic.EditMouseDown(202, 101, 1, true);
    board.logic.EditMouseDown(202, 300, 1, true);
    ASSERT_EQ(path.Count(), 4);
    // Segment 0 (100 pixels) never counts.
    EXPECT_FLOAT_EQ(path.totalLength, std::sqrt(5.0f) + 199);

    // Two points within 3 pixels: the later one is selected.
    board.logic.EditMouseDown(201, 100, 1, false);
    EXPECT_EQ(std::pair(board.logic.IsDragging(), path.selectedPoint), std::pair(true, 2));
    board.logic.EditMouseUp(201, 100, 1);
    EXPECT_FALSE(board.logic.IsDragging());

    board.logic.EditMouseDown(202, 400, -1, false);
    EXPECT_FLOAT_EQ(path.points[3].y, 400);
    board.logic.EditMouseDown(0, 0, 3, false);
    EXPECT_EQ(path.Count(), 3);
}

TEST(LevelTables, StagesOrderAndTable)
{
    // Level 66 is stage 13's sixth (the lifecycle tests); the last level is the eighth of 18.
    EXPECT_EQ(std::tuple(IsStageStart(61), IsStageStart(66), StageOf(100), LevelInStage(100)),
              std::tuple(true, false, 18, 8));

    std::string order = "5 1";
    for (int i = 3; i <= 100; ++i)
        order += " 30";
    auto parsed = ParseLevelOrder(order);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(std::tuple((*parsed)[1], (*parsed)[2], (*parsed)[100]), std::tuple(1, 19, 30));
    EXPECT_FALSE(ParseLevelOrder("5 1 31"));
    EXPECT_FALSE(ParseLevelOrder("5 1 2"));

    // Rows are placed by the level number they carry; headings follow the
    // position in the file.
    std::string table = "Level Speed Points Pictures Interval";
    for (int n = 1; n <= 100; ++n)
    {
        if (IsStageStart(n))
            table += "\nStage " + std::to_string(StageOf(n));
        const int level = n == 1 ? 2 : n == 2 ? 1 : n;
        table += "\n" + std::to_string(level) + " " + std::to_string(10 + level) + " 500 " +
                 std::to_string(level % 14) + " 12";
    }
    LevelData data;
    ASSERT_TRUE(ParseLevelTable(table, data));
    const LevelRecord& first = data.records[0];
    EXPECT_EQ(std::tuple(first.baseSpeed, data.records[1].baseSpeed, first.speedUpInterval, first.speedUpDuration,
                         first.speedUpSpeed),
              std::tuple(11, 12, 120, 20, 200));

    LevelData untouched;
    EXPECT_FALSE(ParseLevelTable(table.substr(0, table.size() / 2), untouched));
    EXPECT_EQ(untouched.records[0].baseSpeed, 0);
    EXPECT_FALSE(ParseLevelTable("a b c d e Stage 1\n101 10 500 5 12", untouched));
    // A value no level has (an interval that would overflow in tenths, a
    // speed no save could hold) means a damaged table.
    for (const char* row : {"1 10 500 5 300000000", "1 2000000000 500 5 12", "1 -5 500 5 12"})
    {
        std::string bad = table;
        const size_t first = bad.find("\n2 12 500");
        ASSERT_NE(first, std::string::npos);
        bad.replace(first + 1, bad.find('\n', first + 1) - first - 1, row);
        EXPECT_FALSE(ParseLevelTable(bad, untouched)) << row;
    }
    EXPECT_EQ(untouched.records[0].baseSpeed, 0);
}
