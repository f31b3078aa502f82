#include "GameStateFiles.h"
#include "game/app/GameRecords.h"
#include "game/app/PlayerProgress.h"
#include "game/app/SaveFolder.h"
#include "game/app/SavedGameFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

using namespace GameStateTest;
using Spindrel::GameRecords;
using Spindrel::PlayerProgress;
using Spindrel::SavedGameFiles;
using Spindrel::SaveFolder;
namespace fs = std::filesystem;

namespace
{

constexpr size_t kHighScores = 14400;

std::string NameAt(const std::vector<uint8_t>& bytes, size_t offset)
{
    std::string name;
    for (size_t i = offset; i < offset + 64 && bytes.at(i) != 0; ++i)
        name.push_back(static_cast<char>(bytes[i]));
    return name;
}

// Each damaged file, alone in a fresh folder, is refused by `load` and kept aside whole.
template <class Load>
void ExpectEachKeptAside(const std::string& name, const std::vector<std::vector<uint8_t>>& hostile, Load load)
{
    for (size_t i = 0; i < hostile.size(); ++i)
    {
        SCOPED_TRACE("damage " + std::to_string(i));
        TempDir dir;
        WriteBytes(dir / ("_save/" + name), hostile[i]);
        load(SaveFolder(dir.Path()));
        EXPECT_EQ(ReadFile(dir / ("_save/" + name + ".bad")), hostile[i]);
        EXPECT_FALSE(fs::exists(dir / ("_save/" + name)));
    }
}

} // namespace

TEST(GameRecordsTest, AFirstRunWritesTheDefaultRecordsFile)
{
    TempDir dir;
    const SaveFolder folder(dir.Path());
    GameRecords records;
    records.Load(folder);
    ASSERT_TRUE(records.Save(folder));
    const auto bytes = ReadFile(dir / "_save/spindrel.rec");
    ASSERT_TRUE(bytes);
    ASSERT_EQ(bytes->size(), 15120u);
    const char* names[] = {"Orlen",   "Vasko",  "Peldra",  "Tamsin",  "Quorvik",
                           "Ilsabet", "Durnam", "Fenwold", "Marrowe", "Caddis"};
    for (size_t i = 0; i < 10; ++i)
    {
        const size_t at = kHighScores + i * 72;
        EXPECT_EQ(NameAt(*bytes, at), names[i]);
        EXPECT_EQ(Int32At(*bytes, at + 64), 30000 - 3000 * static_cast<int>(i));
        EXPECT_EQ(Int32At(*bytes, at + 68), 0);
    }
    for (size_t level = 0; level < 200; ++level)
    {
        EXPECT_EQ(Int32At(*bytes, level * 72), 12000) << level;
        EXPECT_EQ(Int32At(*bytes, level * 72 + 4), 120) << level;
        EXPECT_EQ(NameAt(*bytes, level * 72 + 8), "") << level;
    }
}

TEST(GameRecordsTest, LevelRecordsAndHighScoresSurviveTheFile)
{
    TempDir dir;
    const SaveFolder folder(dir.Path());
    GameRecords records;
    EXPECT_TRUE(records.UpdateLevelRecord(7, 95.7f, "Ann Lee"));
    // Not faster in whole seconds, no such level, no real time.
    const std::pair<int, float> refused[] = {{7, 95.9f}, {7, 95.0f}, {0, 1.0f}, {101, 1.0f}, {8, -1.0f}, {8, std::nanf("")}};
    for (const auto& [level, time] : refused)
        EXPECT_FALSE(records.UpdateLevelRecord(level, time, "Bo")) << level << " " << time;
    EXPECT_TRUE(records.UpdateLevelRecord(7, 94.2f, "Cy"));
    const std::string longName(100, 'h');
    EXPECT_TRUE(records.UpdateLevelRecord(100, 0.5f, longName));
    EXPECT_EQ(records.EnterHighScore("Ann Lee", 28000), 1);
    EXPECT_EQ(records.EnterHighScore("Bo", 10), 1000);
    ASSERT_TRUE(records.Save(folder));

    // Every name keeps its terminator in its 64-byte field.
    const auto bytes = ReadFile(dir / "_save/spindrel.rec");
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->at(100 * 72 + 8 + 63), 0);

    GameRecords loaded;
    loaded.Load(folder);
    EXPECT_EQ(loaded.Level(7).bestTime, 94);
    EXPECT_EQ(loaded.Level(7).holder, "Cy");
    EXPECT_EQ(loaded.Level(100).bestTime, 0);
    EXPECT_EQ(loaded.Level(100).holder, std::string(63, 'h'));
    EXPECT_EQ(loaded.Level(8).bestTime, 12000);
    EXPECT_EQ(loaded.Level(-1).bestTime, 12000);
    EXPECT_EQ(loaded.Level(500).holder, "");
    EXPECT_EQ(loaded.HighScores()[1].name, "Ann Lee");
    EXPECT_EQ(loaded.HighScores()[1].score, 28000);
    EXPECT_EQ(loaded.HighScores()[2].name, "Vasko");
    EXPECT_EQ(loaded.HighScores()[9].name, "Marrowe");
}

TEST(GameRecordsTest, NamesAreStoredAsUtf8)
{
    TempDir dir;
    const SaveFolder folder(dir.Path());
    GameRecords records;
    const std::string juergen = "J\xC3\xBCrgen \xC3\x98""deg\xC3\xA5rd";
    EXPECT_TRUE(records.UpdateLevelRecord(3, 50.0f, juergen));
    EXPECT_EQ(records.EnterHighScore(juergen, 29000), 1);
    // 40 two-byte letters do not fit 63 bytes: the cut keeps whole letters.
    std::string long40;
    for (int i = 0; i < 40; ++i)
        long40 += "\xC5\xBC";
    EXPECT_TRUE(records.UpdateLevelRecord(4, 50.0f, long40));
    ASSERT_TRUE(records.Save(folder));
    const auto bytes = ReadFile(dir / "_save/spindrel.rec");
    ASSERT_TRUE(bytes);
    const std::string stored(reinterpret_cast<const char*>(bytes->data()) + 3 * 72 + 8);
    EXPECT_EQ(stored, "J\xC3\xBCrgen \xC3\x98""deg\xC3\xA5rd");
    GameRecords loaded;
    loaded.Load(folder);
    EXPECT_EQ(loaded.Level(3).holder, juergen);
    EXPECT_EQ(loaded.Level(4).holder, long40.substr(0, 62));
    EXPECT_EQ(loaded.HighScores()[1].name, juergen);

    // A table an older build wrote with Latin-1 bytes reads as it was.
    std::vector<uint8_t> old = records.Encode();
    const std::string latin1 = "J\xFCrgen";
    std::copy(latin1.begin(), latin1.end(), old.begin() + 3 * 72 + 8);
    old[3 * 72 + 8 + latin1.size()] = 0;
    const auto decoded = GameRecords::Decode(old);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->Level(3).holder, "J\xC3\xBCrgen");
}

TEST(GameRecordsTest, DamagedRecordsGiveTheDefaultsAndAreKeptAside)
{
    GameRecords changed;
    changed.UpdateLevelRecord(3, 50.0f, "Ann");
    const auto good = changed.Encode();

    std::vector<std::vector<uint8_t>> hostile;
    hostile.emplace_back(good.begin(), good.end() - 1);
    hostile.push_back(good);
    hostile.back().push_back(0);
    hostile.emplace_back();
    hostile.push_back(good);
    std::fill_n(hostile.back().begin() + 3 * 72 + 8, 64, uint8_t{'x'});
    hostile.push_back(good);
    PutInt32(hostile.back(), 3 * 72, -5);
    hostile.push_back(good);
    PutInt32(hostile.back(), kHighScores + 4 * 72 + 64, -1);
    hostile.push_back(good);
    std::fill_n(hostile.back().begin() + kHighScores + 9 * 72, 64, uint8_t{'y'});

    ExpectEachKeptAside("spindrel.rec", hostile, [](const SaveFolder& folder) {
        GameRecords records;
        records.UpdateLevelRecord(5, 1.0f, "stale");
        records.Load(folder);
        EXPECT_EQ(records.Level(3).bestTime, 12000);
        EXPECT_EQ(records.Level(5).bestTime, 12000);
        EXPECT_EQ(records.HighScores()[0].name, "Orlen");
    });

    TempDir dir;
    WriteBytes(dir / "_save/spindrel.rec", good);
    GameRecords records;
    records.Load(SaveFolder(dir.Path()));
    EXPECT_EQ(records.Level(3).holder, "Ann");
    EXPECT_FALSE(fs::exists(dir / "_save/spindrel.rec.bad"));
}

TEST(PlayerProgressTest, TheHighestStageStartIsKeptIn28Bytes)
{
    TempDir dir;
    const SaveFolder folder(dir.Path());
    EXPECT_EQ(PlayerProgress::Load(folder, "Ann_Lee"), 1);
    EXPECT_FALSE(fs::exists(dir / "_save"));
    ASSERT_TRUE(PlayerProgress::Save(folder, "Ann_Lee", 21));
    const auto bytes = ReadFile(dir / "_save/Ann_Lee.sta");
    ASSERT_TRUE(bytes);
    ASSERT_EQ(bytes->size(), 28u);
    EXPECT_EQ(Int32At(*bytes, 0), 21);
    EXPECT_EQ(std::count(bytes->begin() + 4, bytes->end(), 0), 24);
    EXPECT_EQ(PlayerProgress::Load(folder, "Ann_Lee"), 21);
    EXPECT_EQ(PlayerProgress::Load(folder, "Ann"), 1);

    // Only a stage start above the stored one is written: starting a level
    // inside a stage, or an earlier stage, leaves the file as it is.
    for (int level : {0, 22, 23, 11, 21, 101, -6})
        EXPECT_FALSE(PlayerProgress::Save(folder, "Ann_Lee", level)) << level;
    EXPECT_EQ(ReadFile(dir / "_save/Ann_Lee.sta"), bytes);
    EXPECT_FALSE(PlayerProgress::Save(folder, "../Ann", 6));
    EXPECT_FALSE(fs::exists(dir / "Ann.sta"));
    EXPECT_TRUE(PlayerProgress::Save(folder, "Ann_Lee", 93));
    EXPECT_EQ(PlayerProgress::Load(folder, "Ann_Lee"), 93);
}

TEST(PlayerProgressTest, ALevelInsideAStageReadsAsItsStageStart)
{
    EXPECT_EQ(PlayerProgress::Decode(PlayerProgress::Encode(40)), 36);
    EXPECT_EQ(PlayerProgress::Decode(PlayerProgress::Encode(100)), 93);
    EXPECT_EQ(PlayerProgress::Decode(PlayerProgress::Encode(66)), 61);
    EXPECT_EQ(PlayerProgress::Decode(PlayerProgress::Encode(67)), 67);
}

TEST(PlayerProgressTest, DamagedProgressGivesStageOneAndIsKeptAside)
{
    const auto good = PlayerProgress::Encode(40);
    std::vector<std::vector<uint8_t>> hostile = {{}, {good.begin(), good.end() - 1}, good,
                                                 PlayerProgress::Encode(0), PlayerProgress::Encode(-9),
                                                 PlayerProgress::Encode(101)};
    hostile[2].push_back(0);
    ExpectEachKeptAside("Bo.sta", hostile,
                        [](const SaveFolder& folder) { EXPECT_EQ(PlayerProgress::Load(folder, "Bo"), 1); });
}

TEST(SavedGameFilesTest, SavedGamesAreWrittenCheckedAndDeleted)
{
    TempDir dir;
    const SaveFolder folder(dir.Path());
    EXPECT_FALSE(SavedGameFiles::HasGame(folder, "Ann_Lee"));
    EXPECT_FALSE(SavedGameFiles::LoadGame(folder, "Ann_Lee"));

    Spindrel::SavedGame game;
    game.state.level = 12;
    game.state.score = 4321;
    game.balls.resize(3);
    game.openPositions = {2, -1};
    ASSERT_TRUE(SavedGameFiles::SaveGame(folder, "Ann_Lee", game));
    EXPECT_TRUE(SavedGameFiles::HasGame(folder, "Ann_Lee"));
    const auto bytes = SavedGameFiles::LoadGame(folder, "Ann_Lee");
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, game.Encode());

    ASSERT_TRUE(PlayerProgress::Save(folder, "Ann_Lee", 6));
    ASSERT_TRUE(PlayerProgress::Save(folder, "Ann", 11));
    SavedGameFiles::DeleteGame(folder, "Ann_Lee");
    EXPECT_FALSE(SavedGameFiles::HasGame(folder, "Ann_Lee"));
    EXPECT_EQ(PlayerProgress::Load(folder, "Ann_Lee"), 6);

    ASSERT_TRUE(SavedGameFiles::SaveGame(folder, "Ann_Lee", game));
    SavedGameFiles::DeletePlayerFiles(folder, "Ann_Lee");
    EXPECT_FALSE(fs::exists(dir / "_save/Ann_Lee.sav"));
    EXPECT_FALSE(fs::exists(dir / "_save/Ann_Lee.sta"));
    EXPECT_EQ(PlayerProgress::Load(folder, "Ann"), 11);
}

TEST(SavedGameFilesTest, DamagedSavedGamesAreRefusedAndKeptAside)
{
    Spindrel::SavedGame game;
    game.balls.resize(2);
    const auto good = game.Encode();
    std::vector<std::vector<uint8_t>> hostile = {{}, {good.begin(), good.end() - 1}, good, good};
    hostile[2].push_back(7);
    PutInt32(hostile[3], Spindrel::SavedGame::kStateBytes, 1 << 30);
    ExpectEachKeptAside("Bo.sav", hostile, [](const SaveFolder& folder) {
        EXPECT_FALSE(SavedGameFiles::LoadGame(folder, "Bo"));
        EXPECT_FALSE(SavedGameFiles::HasGame(folder, "Bo"));
    });

    TempDir dir;
    const SaveFolder folder(dir.Path());
    ASSERT_TRUE(SavedGameFiles::SaveGame(folder, "Bo", good));
    SavedGameFiles::KeepGameAside(folder, "Bo");
    EXPECT_EQ(ReadFile(dir / "_save/Bo.sav.bad"), good);
}
