#include "framework/app/DemoFileGateway.h"
#include "framework/app/DemoPlaybackKeys.h"
#include "framework/app/DemoPlayer.h"
#include "framework/app/DemoSession.h"
#include "framework/app/DemoWriter.h"
#include "framework/app/RandomGenerator.h"
#include "framework/app/RandomInt.h"
#include "framework/app/SettingsAccess.h"
#include "framework/platform/FileSettingsStore.h"
#include "framework/platform/FileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace Quillo;

namespace
{

// Writes down what the player delivers, one line per call.
class LogSink : public DemoSink
{
public:
    void OnDemoMouseMove(int x, int y) override { Add("move " + P(x, y)); }
    void OnDemoMouseButton(int x, int y, int code, bool down) override
    {
        Add(std::string(down ? "down " : "up ") + std::to_string(code) + " " + P(x, y));
    }
    void OnDemoActivate(bool a) override { Add(a ? "active" : "inactive"); }
    void OnDemoMinimize(bool m) override { Add(m ? "minimized" : "restored"); }
    void OnDemoKeyDown(int k) override
    {
        Add("keydown " + std::to_string(k));
        if (onKey)
            onKey(k);
    }
    void OnDemoKeyUp(int k) override { Add("keyup " + std::to_string(k)); }
    void OnDemoKeyChar(int c) override { Add("char " + std::to_string(c)); }
    void OnDemoClose() override { Add("close"); }
    void OnDemoMouseEnter() override { Add("enter"); }
    void OnDemoMouseLeave(int x, int y) override { Add("leave " + P(x, y)); }
    void OnDemoLoadingDone() override { Add("loaded"); }
    void OnDemoWheel(int n) override { Add("wheel " + std::to_string(n)); }
    void OnDemoDisplay(bool w, int r) override { Add("display " + std::to_string(w) + " " + std::to_string(r)); }

    std::vector<std::string> log;
    std::function<void(int)> onKey;

private:
    static std::string P(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
    void Add(std::string s) { log.push_back(std::move(s)); }
};

DemoPlayer PlayerFor(const DemoWriter& w, uint32_t total)
{
    DemoReader reader;
    std::string error;
    EXPECT_TRUE(reader.Open(w.FileBytes(1, "1.0", total), "1.0", error)) << error;
    return DemoPlayer(std::move(reader));
}

} // namespace

TEST(DemoPlayer, RecordsArriveAtTheirUpdateWithThePlayedMousePosition)
{
    DemoWriter w;
    w.Display(0, true, 60);
    w.MouseMove(0, 200, 100);
    w.MouseButton(0, true, 1);
    w.MouseMove(3, 210, 90);
    w.MouseButton(3, false, 1);
    w.MouseLeave(20);
    DemoPlayer player = PlayerFor(w, 30);
    bool windowed = false;
    int refresh = 0;
    ASSERT_TRUE(player.TakeDisplay(windowed, refresh));
    EXPECT_TRUE(windowed);
    EXPECT_EQ(refresh, 60);

    LogSink sink;
    player.ApplyDue(0, sink);
    EXPECT_EQ(sink.log, (std::vector<std::string>{"move 200,100", "down 1 200,100"}));
    sink.log.clear();
    player.ApplyDue(2, sink);
    EXPECT_TRUE(sink.log.empty());
    player.ApplyDue(3, sink);
    EXPECT_EQ(sink.log, (std::vector<std::string>{"move 210,90", "up 1 210,90"}));
    sink.log.clear();
    player.ApplyDue(20, sink);
    EXPECT_EQ(sink.log, (std::vector<std::string>{"leave 210,90"}));
    EXPECT_TRUE(player.AtEnd());
}

TEST(DemoPlayer, ResultsWaitForTheirCallAndStaleOnesAreDropped)
{
    DemoWriter w;
    w.KeyDown(5, 1);
    w.FileExists(5, true);
    w.KeyDown(5, 2);
    w.FileExists(6, true);
    w.KeyDown(8, 3);
    DemoPlayer player = PlayerFor(w, 10);
    LogSink sink;
    player.ApplyDue(5, sink);
    EXPECT_EQ(sink.log, (std::vector<std::string>{"keydown 1"})) << "stops at the result due now";
    EXPECT_FALSE(player.TakeResult(DemoCommand::FileRead, 5)) << "another kind of call";
    EXPECT_TRUE(player.TakeResult(DemoCommand::FileExists, 5));
    player.ApplyDue(5, sink);
    EXPECT_EQ(sink.log.back(), "keydown 2");
    EXPECT_FALSE(player.TakeResult(DemoCommand::FileExists, 5)) << "not due yet";
    player.ApplyDue(6, sink);
    EXPECT_EQ(sink.log.back(), "keydown 2") << "waits for the call at 6";
    player.ApplyDue(6, sink, true);
    EXPECT_EQ(sink.log.back(), "keydown 2") << "nothing else is due at 6";
    EXPECT_FALSE(player.TakeResult(DemoCommand::FileExists, 6)) << "dropped before the update";
    // The call at update 6 never comes; the run goes on.
    player.ApplyDue(8, sink);
    EXPECT_EQ(sink.log.back(), "keydown 3");
}

TEST(DemoPlayer, ACallMadeWhileHandlingARecordFindsItsResult)
{
    DemoWriter w;
    w.KeyDown(4, 9);
    w.Sync(4, reinterpret_cast<const uint8_t*>("rec"), 3);
    w.KeyUp(4, 9);
    DemoPlayer player = PlayerFor(w, 10);
    LogSink sink;
    std::string synced;
    sink.onKey = [&](int) {
        auto r = player.TakeResult(DemoCommand::Sync, 4);
        ASSERT_TRUE(r);
        synced.assign(r->bytes.begin(), r->bytes.end());
    };
    player.ApplyDue(4, sink);
    EXPECT_EQ(synced, "rec");
    EXPECT_EQ(sink.log, (std::vector<std::string>{"keydown 9", "keyup 9"}));
}

// Records a session through the application's layers, then plays it.
class DemoSessionTest : public ::testing::Test
{
protected:
    // The settings as the application reads them, through `demo` when given.
    std::unique_ptr<SettingsAccess> SettingsFor(DemoSession* demo = nullptr)
    {
        auto s = std::make_unique<SettingsAccess>();
        s->SetStore(std::make_unique<FileSettingsStore>("T\\P", dir.Path()));
        s->SetDemo(demo);
        return s;
    }

    TempDir dir;
    uint32_t update = 0;
};

TEST_F(DemoSessionTest, SettingsAndFilesComeFromTheRecordingWhenPlaying)
{
    const std::string demoPath = dir / "run.dmo";
    const std::string dataPath = dir / "data.txt";
    ASSERT_TRUE(FileSystem::WriteFileAtomic(dataPath, "recorded bytes"));
    {
        DemoSession demo;
        demo.StartRecording(demoPath, 77, "1.0", [&] { return update; });
        auto settings = SettingsFor(&demo);
        ASSERT_TRUE(settings->WriteInteger("Volume", 40));
        int v = 0;
        ASSERT_TRUE(settings->ReadInteger("Volume", v));
        update = 3;
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(demo.ReadWholeFile(dataPath, bytes));
        EXPECT_TRUE(demo.FileExists(dataPath));
        std::string text = "live";
        demo.SyncText(text);
        update = 12;
        ASSERT_TRUE(demo.FinishRecording());
    }
    // The world changes after the recording.
    ASSERT_TRUE(SettingsFor()->WriteInteger("Volume", 99));
    ASSERT_TRUE(FileSystem::RemoveFile(dataPath));

    update = 0;
    DemoSession demo;
    std::string error;
    ASSERT_TRUE(demo.StartPlayback(demoPath, "1.0", [&] { return update; }, error)) << error;
    EXPECT_EQ(demo.Seed(), 77u);
    EXPECT_EQ(demo.Player()->Header().totalUpdates, 12u);
    auto settings = SettingsFor(&demo);
    EXPECT_TRUE(settings->WriteInteger("Volume", 1)) << "the recorded outcome";
    int v = 0;
    ASSERT_TRUE(settings->ReadInteger("Volume", v));
    EXPECT_EQ(v, 40) << "from the recording, not the store";
    update = 3;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(demo.ReadWholeFile(dataPath, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "recorded bytes");
    EXPECT_TRUE(demo.FileExists(dataPath));
    std::string text = "other";
    demo.SyncText(text);
    EXPECT_EQ(text, "live");
    EXPECT_FALSE(demo.DeleteFileUnlessPlaying(demoPath));
    EXPECT_TRUE(FileSystem::Exists(demoPath));

    ASSERT_TRUE(SettingsFor()->ReadInteger("Volume", v));
    EXPECT_EQ(v, 99) << "playback wrote nothing";
}

TEST_F(DemoSessionTest, ARecordedReadLongerThanTheCallersLimitFails)
{
    const std::string demoPath = dir / "long.dmo";
    {
        DemoWriter w;
        const uint8_t five[5] = {1, 2, 3, 4, 5};
        w.SettingsRead(0, true, 4, five, 5);
        const auto bytes = w.FileBytes(0, "1.0", 1);
        ASSERT_TRUE(FileSystem::WriteFileAtomic(demoPath, bytes.data(), bytes.size()));
    }
    DemoSession demo;
    std::string error;
    ASSERT_TRUE(demo.StartPlayback(demoPath, "1.0", [&] { return update; }, error));
    auto settings = SettingsFor(&demo);
    int v = 123;
    EXPECT_FALSE(settings->ReadInteger("X", v));
    EXPECT_EQ(v, 123);
}

TEST_F(DemoSessionTest, TheFileGatewayRecordsReadsAndPlaybackTouchesNoFile)
{
    const std::string demoPath = dir / "files.dmo";
    const std::string kept = dir / "kept.sav";
    const std::string other = dir / "other.sav";
    const std::string written = "new";
    ASSERT_TRUE(FileSystem::WriteFileAtomic(kept, "0123456789"));
    // What the game reads, while recording from the files and while playing
    // from the recording.
    auto reads = [&](DemoFileGateway& files) {
        EXPECT_TRUE(files.Exists(kept));
        EXPECT_FALSE(files.Exists(other));
        bool truncated = true;
        auto whole = files.Read(kept, 100, truncated);
        ASSERT_TRUE(whole);
        EXPECT_EQ(std::string(whole->begin(), whole->end()), "0123456789");
        EXPECT_FALSE(truncated);
        auto part = files.Read(kept, 4, truncated);
        ASSERT_TRUE(part);
        EXPECT_EQ(std::string(part->begin(), part->end()), "0123");
        EXPECT_TRUE(truncated);
        EXPECT_FALSE(files.Read(other, 100, truncated));
        EXPECT_TRUE(files.Write(kept, reinterpret_cast<const uint8_t*>(written.data()), written.size()));
    };
    {
        DemoSession demo;
        demo.StartRecording(demoPath, 1, "1.0", [&] { return update; });
        DemoFileGateway files(demo);
        {
            SCOPED_TRACE("recording");
            reads(files);
        }
        EXPECT_EQ(FileSystem::ReadTextFile(kept), written) << "recording writes for real";
        update = 5;
        ASSERT_TRUE(demo.FinishRecording());
    }
    // The player's files change after the recording.
    ASSERT_TRUE(FileSystem::WriteFileAtomic(kept, "changed"));
    const uint64_t keptTime = FileSystem::ModificationTime(kept);

    update = 0;
    DemoSession demo;
    std::string error;
    ASSERT_TRUE(demo.StartPlayback(demoPath, "1.0", [&] { return update; }, error)) << error;
    DemoFileGateway files(demo);
    {
        SCOPED_TRACE("playing");
        reads(files);
    }
    EXPECT_TRUE(files.Append(kept, "more"));
    EXPECT_TRUE(files.Rename(kept, other));
    EXPECT_TRUE(files.Remove(kept));
    EXPECT_TRUE(files.MakeDirectories(dir / "made"));
    EXPECT_EQ(FileSystem::ReadTextFile(kept).value_or(""), "changed") << "playback changed no file";
    EXPECT_EQ(FileSystem::ModificationTime(kept), keptTime);
    EXPECT_FALSE(FileSystem::Exists(other));
    EXPECT_FALSE(FileSystem::Exists(dir / "made"));
}

TEST(RandomSources, SeedingRepeatsBothSequences)
{
    auto draw = [](uint32_t seed) {
        SeedRandomInt(seed);
        RandomGenerator::Framework().Seed(seed);
        std::vector<uint32_t> out;
        for (int i = 0; i < 50; ++i)
        {
            const int r = RandomInt();
            EXPECT_GE(r, 0);
            EXPECT_LT(r, 32768);
            out.push_back(static_cast<uint32_t>(r));
            out.push_back(RandomGenerator::Framework().Next(1000));
        }
        return out;
    };
    EXPECT_EQ(draw(1234), draw(1234));
    EXPECT_NE(draw(1234), draw(1235));
}

TEST(DemoPlaybackKeys, JumpsSpeedsPauseAndStep)
{
    DemoPlaybackState s;
    // A recording of 200 s at 10 ms steps.
    EXPECT_TRUE(DemoPlaybackKeys::HandleKey('0', 20000, 100, 10, s));
    EXPECT_EQ(s.jumpTarget, 20000u);
    EXPECT_TRUE(DemoPlaybackKeys::HandleKey('4', 20000, 100, 10, s));
    EXPECT_EQ(s.jumpTarget, 8000u) << "120 s before the end";
    EXPECT_TRUE(DemoPlaybackKeys::HandleKey('9', 20000, 100, 10, s));
    EXPECT_EQ(s.jumpTarget, 19500u) << "5 s before the end";
    s.jumpTarget.reset();
    EXPECT_TRUE(DemoPlaybackKeys::HandleKey('4', 20000, 9000, 10, s));
    EXPECT_FALSE(s.jumpTarget) << "already past it";
    EXPECT_EQ(DemoPlaybackKeys::TargetBeforeEnd(300, 120, 10), 0u);

    EXPECT_TRUE(DemoPlaybackKeys::HandleKey('3', 20000, 0, 10, s));
    EXPECT_DOUBLE_EQ(s.speedFactor, 4.0);
    EXPECT_TRUE(DemoPlaybackKeys::HandleKey('S', 20000, 0, 10, s));
    EXPECT_FALSE(s.stepRequested) << "steps only while paused";
    EXPECT_TRUE(DemoPlaybackKeys::HandleKey('P', 20000, 0, 10, s));
    EXPECT_TRUE(DemoPlaybackKeys::HandleKey('S', 20000, 0, 10, s));
    EXPECT_TRUE(s.paused && s.stepRequested);
    EXPECT_FALSE(DemoPlaybackKeys::HandleKey('A', 20000, 0, 10, s));
}
