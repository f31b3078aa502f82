#include "DataFiles.h"

#include "game/board/LevelData.h"

#include <set>
#include <sstream>

using namespace Spindrel;

namespace
{

std::vector<std::string> Words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    std::string w;
    while (in >> w)
        words.push_back(w);
    return words;
}

TEST(DataTables, LevelOrderPlaysEveryTrackWithDistinctStageStarts)
{
    std::string text = ReadDataText("levels/levelOrder.txt");
    EXPECT_EQ(Words(text).size(), 100u) << "exactly 100 codes";
    auto order = ParseLevelOrder(text);
    ASSERT_TRUE(order);
    std::set<int> used, starts;
    for (int level = 1; level <= kLevelCount; ++level)
    {
        int track = (*order)[level];
        ASSERT_GE(track, 1) << "level " << level << " has code 0";
        ASSERT_LE(track, kTrackCount);
        used.insert(track);
        if (IsStageStart(level))
            starts.insert(track);
        if (level > 1)
        {
            EXPECT_NE(track, (*order)[level - 1]) << "level " << level << " repeats the track before it";
        }
    }
    EXPECT_EQ(used.size(), 30u);
    EXPECT_EQ(starts.size(), 18u);
    for (const std::string& w : Words(text))
        EXPECT_NE(w, "0");
}

TEST(DataTables, LevelTableHasTheStageLayoutAndAHardeningCurve)
{
    std::string text = ReadDataText("levels/levelsTable.txt");
    std::vector<std::string> words = Words(text);
    ASSERT_EQ(words.size(), 5u + 18 * 2 + 100 * 5);
    // The reader skips by position: 5 header words, 2 before each stage.
    size_t w = 5;
    for (int level = 1; level <= kLevelCount; ++level)
    {
        if (IsStageStart(level))
        {
            EXPECT_EQ(words[w], "Stage");
            EXPECT_EQ(words[w + 1], std::to_string(StageOf(level)));
            w += 2;
        }
        EXPECT_EQ(words[w], std::to_string(level));
        w += 5;
    }

    LevelData data;
    ASSERT_TRUE(ParseLevelTable(text, data));
    const LevelRecord* previous = nullptr;
    const LevelRecord* stageStart = nullptr;
    for (int level = 1; level <= kLevelCount; ++level)
    {
        const LevelRecord& r = data.records[level - 1];
        SCOPED_TRACE("level " + std::to_string(level));
        EXPECT_GE(r.baseSpeed, 20);
        EXPECT_LE(r.baseSpeed, 60);
        EXPECT_GE(r.pointsToReach, 100);
        EXPECT_GE(r.numPictures, 4);
        EXPECT_LE(r.numPictures, 13);
        EXPECT_GE(r.speedUpInterval, 150);
        EXPECT_LE(r.speedUpInterval, 600);
        if (previous && !IsStageStart(level))
        {
            // Within a stage every level is at least as hard as the one before.
            EXPECT_GE(r.baseSpeed, previous->baseSpeed);
            EXPECT_GE(r.pointsToReach, previous->pointsToReach);
            EXPECT_GE(r.numPictures, previous->numPictures);
            EXPECT_LE(r.speedUpInterval, previous->speedUpInterval);
        }
        if (previous && IsStageStart(level))
        {
            // A stage starts with a breather after the last level of the
            // stage before, but above where that stage started.
            EXPECT_LE(r.baseSpeed, previous->baseSpeed);
            EXPECT_LT(r.pointsToReach, previous->pointsToReach) << "the stage's last level is a step harder";
            EXPECT_LE(r.numPictures, previous->numPictures);
            EXPECT_GE(r.speedUpInterval, previous->speedUpInterval);
            EXPECT_GT(r.pointsToReach, stageStart->pointsToReach) << "each stage is a step up";
            EXPECT_GE(r.baseSpeed, stageStart->baseSpeed);
        }
        if (IsStageStart(level))
            stageStart = &r;
        previous = &r;
    }
    EXPECT_LT(data.records[0].baseSpeed, data.records[99].baseSpeed);
    EXPECT_LT(data.records[0].numPictures, data.records[99].numPictures);
}

TEST(DataTables, MainMenuPointsAreTheDefaults)
{
    std::vector<std::string> words = Words(ReadDataText("bin/mainMenuPts.txt"));
    std::vector<std::string> expected = {"35", "234", "131", "380", "358", "444", "500", "380", "668", "234", "100", "500"};
    EXPECT_EQ(words, expected);
}

} // namespace
