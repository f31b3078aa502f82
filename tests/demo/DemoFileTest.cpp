#include "framework/app/BitReader.h"
#include "framework/app/DemoReader.h"
#include "framework/app/DemoWriter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace Quillo;

namespace
{

std::vector<DemoRecord> ReadAll(const std::vector<uint8_t>& file, const std::string& version = "1.0")
{
    DemoReader reader;
    std::string error;
    EXPECT_TRUE(reader.Open(file, version, error)) << error;
    std::vector<DemoRecord> out;
    DemoRecord r;
    while (reader.Next(r))
        out.push_back(r);
    return out;
}

std::string OpenError(const std::vector<uint8_t>& file, const std::string& version = "1.0")
{
    DemoReader reader;
    std::string error;
    if (reader.Open(file, version, error))
        return "opened";
    return error;
}

void Put32(std::vector<uint8_t>& v, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        v[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// A record's header: the steps since the one before, the short-form bit, the command.
void ExpectHeader(BitReader& r, uint32_t delta, bool shortForm, uint32_t command)
{
    EXPECT_EQ(r.ReadBits(4), delta);
    EXPECT_EQ(r.ReadBits(1), shortForm ? 1u : 0u);
    EXPECT_EQ(r.ReadBits(shortForm ? 1 : 5), command);
}

} // namespace

TEST(DemoWriter, AGapOfFortyStepsIsTwoFillersAndADeltaOfTen)
{
    DemoWriter w;
    w.KeyDown(0, 65);
    w.KeyDown(40, 66);
    const auto& bytes = w.Records().Bytes();
    BitReader r(bytes.data(), bytes.size());
    // Key 65 at once, two fillers (command 31) of 15 steps, key 66 ten steps on.
    ExpectHeader(r, 0, false, 3);
    EXPECT_EQ(r.ReadBits(8), 65u);
    ExpectHeader(r, 15, false, 31);
    ExpectHeader(r, 15, false, 31);
    ExpectHeader(r, 10, false, 3);
    EXPECT_EQ(r.ReadBits(8), 66u);
    EXPECT_EQ(w.Records().BitCount(), 18u * 2 + 10u * 2);
}

TEST(DemoWriter, SmallMovesAreShortAndLargeOnesAbsolute)
{
    DemoWriter w;
    w.MouseMove(0, 100, 100);  // long: from (0, 0)
    w.MouseMove(0, 131, 69);   // (31, -31): short
    w.MouseMove(0, 131, 69);   // unchanged: nothing
    w.MouseMove(0, 163, 69);   // 32 to the right: long
    w.MouseMove(0, 163, 37);   // 32 up: long
    w.MouseButton(0, true, -2);
    const auto& bytes = w.Records().Bytes();
    BitReader r(bytes.data(), bytes.size());
    ExpectHeader(r, 0, false, 0);
    EXPECT_EQ(r.ReadBits(12), 100u);
    EXPECT_EQ(r.ReadBits(12), 100u);
    ExpectHeader(r, 0, true, 0);
    EXPECT_EQ(r.ReadSigned(6), 31);
    EXPECT_EQ(r.ReadSigned(6), -31);
    ExpectHeader(r, 0, false, 0);
    EXPECT_EQ(r.ReadBits(12), 163u);
    EXPECT_EQ(r.ReadBits(12), 69u);
    ExpectHeader(r, 0, false, 0);
    EXPECT_EQ(r.ReadBits(12), 163u);
    EXPECT_EQ(r.ReadBits(12), 37u);
    ExpectHeader(r, 0, true, 1);
    EXPECT_EQ(r.ReadBits(1), 1u);
    EXPECT_EQ(r.ReadSigned(3), -2);
}

TEST(DemoWriter, NegativeDragPositionsAreClampedNotWrapped)
{
    DemoWriter w;
    w.MouseMove(0, 500, 500);
    w.MouseMove(1, -40, 5000);
    const auto records = ReadAll(w.FileBytes(1, "1.0", 2));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].command, DemoCommand::MouseMove);
    EXPECT_EQ(records[1].x, 0);
    EXPECT_EQ(records[1].y, 4095);
}

TEST(DemoFile, HeaderLayoutIsLittleEndianFieldByField)
{
    DemoWriter w;
    w.Display(0, true, 60);
    w.AddMarker("go", 7);
    const auto file = w.FileBytes(0x01020304, "1.0", 99);
    const std::vector<uint8_t> head = {0x78, 0xEF, 0xBE, 0x42, 2, 0, 0, 0, 4, 3, 2, 1, 3, 0, '1', '.', '0',
                                       // marker block: length 12, count 1, "go", update 7
                                       12, 0, 0, 0, 1, 0, 0, 0, 2, 0, 'g', 'o', 7, 0, 0, 0,
                                       // total updates
                                       99, 0, 0, 0};
    ASSERT_GT(file.size(), head.size());
    EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + head.size()), head);

    DemoReader reader;
    std::string error;
    ASSERT_TRUE(reader.Open(file, "1.0", error));
    EXPECT_EQ(reader.Header().seed, 0x01020304u);
    EXPECT_EQ(reader.Header().totalUpdates, 99u);
    ASSERT_EQ(reader.Header().markers.size(), 1u);
    EXPECT_EQ(reader.Header().markers[0].text, "go");
    EXPECT_EQ(reader.Header().markers[0].update, 7u);
}

TEST(DemoFile, EveryCommandRoundTrips)
{
    DemoWriter w;
    w.Display(0, false, 75);
    w.SettingsRead(0, true, 4, reinterpret_cast<const uint8_t*>("\x55\0\0\0"), 4);
    w.SettingsRead(0, false, 0, nullptr, 0);
    w.SettingsWrite(1, true);
    w.Activate(2, false);
    w.Minimize(3, true);
    w.KeyUp(4, 200);
    w.KeyChar(4, 'x');
    w.Close(5);
    w.MouseEnter(6);
    w.MouseLeave(7);
    w.LoadingDone(8);
    w.FileExists(9, true);
    w.FileRead(10, true, reinterpret_cast<const uint8_t*>("abc"), 3);
    w.Sync(11, reinterpret_cast<const uint8_t*>("z"), 1);
    w.Wheel(100, -3);
    // A Latin-1 letter keeps the one-byte record; a Polish one needs the wide one.
    w.KeyChar(100, 0xF3);
    w.KeyChar(100, 0x17C);
    const auto r = ReadAll(w.FileBytes(5, "1.0", 101));
    ASSERT_EQ(r.size(), 18u);
    EXPECT_EQ(r[0].command, DemoCommand::Display);
    EXPECT_FALSE(r[0].flag);
    EXPECT_EQ(r[0].value, 75);
    EXPECT_EQ(r[1].command, DemoCommand::SettingsRead);
    EXPECT_TRUE(r[1].flag);
    EXPECT_EQ(r[1].type, 4u);
    EXPECT_EQ(r[1].bytes, (std::vector<uint8_t>{0x55, 0, 0, 0}));
    EXPECT_FALSE(r[2].flag);
    EXPECT_EQ(r[3].command, DemoCommand::SettingsWrite);
    EXPECT_EQ(r[3].update, 1u);
    EXPECT_EQ(r[4].command, DemoCommand::Activate);
    EXPECT_FALSE(r[4].flag);
    EXPECT_TRUE(r[5].flag);
    EXPECT_EQ(r[6].value, 200);
    EXPECT_EQ(r[7].value, 'x');
    EXPECT_EQ(r[8].command, DemoCommand::Close);
    EXPECT_EQ(r[9].command, DemoCommand::MouseEnter);
    EXPECT_EQ(r[10].command, DemoCommand::MouseLeave);
    EXPECT_EQ(r[11].command, DemoCommand::LoadingDone);
    EXPECT_TRUE(r[12].flag);
    EXPECT_EQ(r[13].bytes, (std::vector<uint8_t>{'a', 'b', 'c'}));
    EXPECT_EQ(r[14].bytes, (std::vector<uint8_t>{'z'}));
    EXPECT_EQ(r[15].command, DemoCommand::Wheel);
    EXPECT_EQ(r[15].value, -3);
    EXPECT_EQ(r[15].update, 100u);
    EXPECT_EQ(r[16].command, DemoCommand::KeyChar);
    EXPECT_EQ(r[16].value, 0xF3);
    EXPECT_EQ(r[17].command, DemoCommand::KeyCharWide);
    EXPECT_EQ(r[17].value, 0x17C);
}

TEST(DemoFile, RefusedFilesGiveThePlayersMessages)
{
    DemoReader reader;
    std::string error;
    EXPECT_FALSE(reader.OpenFile("/nonexistent/x.dmo", "1.0", error));
    EXPECT_EQ(error, "Demo file not found: /nonexistent/x.dmo");

    DemoWriter w;
    w.Display(0, true, 60);
    w.AddMarker("m", 3);
    const auto good = w.FileBytes(1, "1.0", 10);
    EXPECT_EQ(OpenError(good, "1.1"), "This demo file appears to be for '1.0'");

    auto badMagic = good;
    badMagic[0] ^= 1;
    EXPECT_EQ(OpenError(badMagic), "Invalid demo file.");

    // Marker block length at offset 17; the block itself starts at 21.
    auto longBlock = good;
    Put32(longBlock, 17, static_cast<uint32_t>(good.size() - 21));
    EXPECT_EQ(OpenError(longBlock), "Invalid demo file.");
    auto moreMarkers = good;
    Put32(moreMarkers, 21, 2);
    EXPECT_EQ(OpenError(moreMarkers), "Invalid demo file.");
    auto hugeText = good;
    hugeText[25] = 0xFF;
    hugeText[26] = 0xFF;
    EXPECT_EQ(OpenError(hugeText), "Invalid demo file.");

    auto tooShort = good;
    // Header, length field and an 11-byte marker block, then only the
    // total updates: no byte left for records.
    tooShort.resize(21 + 11 + 4);
    EXPECT_EQ(OpenError(tooShort), "Invalid demo file.");

    // Every cut of a good file is refused or opens; none may crash.
    for (size_t n = 0; n < good.size(); ++n)
    {
        std::vector<uint8_t> cut(good.begin(), good.begin() + n);
        DemoReader r;
        std::string e;
        if (r.Open(cut, "1.0", e))
        {
            DemoRecord rec;
            while (r.Next(rec))
            {
            }
        }
    }
}

TEST(DemoFile, VersionOneHasNoMarkerBlock)
{
    std::vector<uint8_t> file = {0x78, 0xEF, 0xBE, 0x42, 1, 0, 0, 0, 9, 0, 0, 0, 1, 0, 'v', 5, 0, 0, 0};
    DemoWriter w;
    w.KeyDown(2, 13);
    file.insert(file.end(), w.Records().Bytes().begin(), w.Records().Bytes().end());
    const auto r = ReadAll(file, "v");
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].update, 2u);
    EXPECT_EQ(r[0].value, 13);
}

TEST(DemoFile, ALongProductVersionIsSkippedWhole)
{
    const std::string version(300, 'v');
    DemoWriter w;
    w.KeyDown(1, 42);
    const auto file = w.FileBytes(3, version, 5);
    DemoReader reader;
    std::string error;
    ASSERT_TRUE(reader.Open(file, version, error)) << error;
    EXPECT_EQ(reader.Header().productVersion, std::string(255, 'v'));
    EXPECT_EQ(reader.Header().totalUpdates, 5u);
    DemoRecord rec;
    ASSERT_TRUE(reader.Next(rec));
    EXPECT_EQ(rec.value, 42);
}

TEST(DemoFile, HostilePayloadLengthsAndUnknownCommandsEndTheStream)
{
    DemoWriter w;
    w.KeyDown(0, 1);
    w.FileRead(1, true, reinterpret_cast<const uint8_t*>("abcd"), 4);
    w.KeyDown(2, 3);
    // The length field of the file-read record sits after 18 + 10 + 1 bits
    // of the record stream.
    const size_t recordStart = 4 + 4 + 4 + 2 + 3 + 4 + 4 + 4;
    std::vector<uint8_t> patched = w.FileBytes(0, "1.0", 5);
    // Set every bit of the 32-bit length: 0xFFFFFFFF bytes claimed.
    for (size_t bit = 29; bit < 29 + 32; ++bit)
    {
        const size_t p = recordStart * 8 + bit;
        patched[p / 8] = static_cast<uint8_t>(patched[p / 8] | (1u << (p % 8)));
    }
    const auto r = ReadAll(patched);
    ASSERT_EQ(r.size(), 1u) << "only the record before the bad one";
    EXPECT_EQ(r[0].value, 1);

    // A key record, then one with the unknown command 10 made by hand.
    DemoWriter one;
    one.KeyDown(0, 1);
    auto file = one.FileBytes(0, "1.0", 5);
    BitWriter tail;
    tail.WriteBits(0, 4);
    tail.WriteBits(0, 1);
    tail.WriteBits(10, 5);
    tail.WriteBits(0, 6);
    file.insert(file.end(), tail.Bytes().begin(), tail.Bytes().end());
    EXPECT_EQ(ReadAll(file).size(), 1u);
}
