// A real game recorded as a demo and played back: the generated data, the
// title screen, a new player, stage 1 played for a while and left with a
// saved game. Playback must go through the very same states and end on
// the same picture, and must leave every file in "_save" as it was.
#include "Journey.h"

#include "framework/graphics/DisplayImage.h"
#include "framework/graphics/NativeDisplay.h"
#include "framework/platform/FileSystem.h"

#include <algorithm>

namespace fs = std::filesystem;
using namespace Spindrel;

namespace
{

// The game keeping a checksum of its state after every update step.
class DemoGameApp : public JourneyApp
{
public:
    DemoGameApp(Quillo::QuilloAppBase::DemoMode mode, const std::string& file)
    {
        SetDemoMode(mode, file);
    }

    // The real start-up, loading thread and all: the recording keeps the
    // update at which loading was handed over and playback waits for it,
    // whenever the thread ends on this run. A run that goes astray ends
    // (in game time) instead of never.
    void Run()
    {
        Init();
        autoQuitAtMs = player->now + 120000.0;
        Start();
        ExpectNoMessageBoxes();
    }

    void RunOneUpdate() override
    {
        GameApp::RunOneUpdate();
        checksums.push_back(Checksum());
    }

    // What the player sees and what the game holds: the screen in front,
    // the open dialogs, the pointer and the whole board.
    uint64_t Checksum()
    {
        uint64_t h = 1469598103934665603ull;
        auto mix = [&h](const void* data, size_t size) {
            for (size_t i = 0; i < size; ++i)
                h = (h ^ static_cast<const uint8_t*>(data)[i]) * 1099511628211ull;
        };
        const int values[] = {updateCount,
                              GetTitleScreen() != nullptr,
                              GetMainMenu() != nullptr,
                              GetSelectStage() != nullptr,
                              widgetManager->lastMouseX,
                              widgetManager->lastMouseY};
        mix(values, sizeof values);
        for (const auto& [id, dialog] : dialogMap)
            mix(&id, sizeof id);
        if (Board* b = GetBoard(); b != nullptr && b->Logic().IsActive())
        {
            const auto state = b->Logic().SaveState();
            mix(state.data(), state.size());
        }
        return h;
    }

    // The whole picture, redrawn from the state the run ended in.
    std::vector<uint32_t> Picture()
    {
        widgetManager->MarkAllDirty();
        widgetManager->DrawPass();
        const uint32_t* bits = display->GetScreenImage()->GetBits();
        return std::vector<uint32_t>(bits, bits + size_t(width) * size_t(height));
    }

    std::vector<uint64_t> checksums;
};

// Every file's bytes and time of writing.
std::map<std::string, std::pair<std::vector<uint8_t>, fs::file_time_type>> SaveFolderFacts(const fs::path& dir)
{
    std::map<std::string, std::pair<std::vector<uint8_t>, fs::file_time_type>> facts;
    for (const auto& entry : fs::directory_iterator(dir))
        facts[entry.path().filename().string()] = {
            Quillo::FileSystem::ReadFile(entry.path().string()).value_or(std::vector<uint8_t>{}),
            entry.last_write_time()};
    return facts;
}

} // namespace

using GameDemo = JourneyWorld;

TEST_F(GameDemo, ARecordedGamePlaysBackExactlyAndLeavesTheSavesAlone)
{
    const std::string demoFile = (fs::path(m_dir.Path()) / "game.dmo").string();
    std::vector<uint64_t> recorded;
    std::vector<uint32_t> recordedPicture;
    {
        DemoGameApp app(Quillo::QuilloAppBase::DemoMode::Record, demoFile);
        Journey journey(app);
        journey.ArriveAsNewPlayer("Ann Lee");
        journey.Wait(200);
        journey.ClickBall("start", MainMenuWidget::kStartId);
        journey.Then("stages", [](JourneyApp& a) { return a.GetSelectStage() != nullptr; });
        journey.Wait(200);
        journey.Do("stage 1", [](JourneyApp& a) { ClickStageSlot(a, 0); });
        journey.Then("playing", Playing);
        // Some play: a pair every 400 ms for 4 s.
        for (int i = 0; i < 10; ++i)
        {
            journey.Do("a pair", [](JourneyApp& a) { ClickAPair(a); });
            journey.Wait(400);
        }
        // A pad that goes away opens the in-game menu as its Start would:
        // the recording has it as that key.
        journey.Do("a pad comes and goes", [](JourneyApp& a) {
            a.player->Push(Quillo::EventType::PadAdded, 0, 0, 1);
            a.player->Push(Quillo::EventType::PadRemoved, 0, 0, 0);
        });
        journey.Opens("the menu opens", Journey::kOptionsDialog);
        journey.Do("back to the game", [](JourneyApp& a) { a.player->Key(27); });
        journey.Closes("the menu closes", Journey::kOptionsDialog);
        journey.LeaveTheGame(200);
        journey.Then("back in the menu", [](JourneyApp& a) {
            return a.GetMainMenu() != nullptr && a.FindDialog(Journey::kAskDialog) == nullptr;
        });
        journey.Wait(300);
        journey.ClickBall("quit", MainMenuWidget::kQuitId);
        app.Run();
        EXPECT_EQ(journey.Result(), "");
        recorded = app.checksums;
        recordedPicture = app.Picture();
    }
    ASSERT_TRUE(fs::exists(demoFile));
    ASSERT_TRUE(fs::exists(SaveFile("Ann_Lee.sav"))) << "leaving saved the game";
    const auto before = SaveFolderFacts(SaveFile(""));

    {
        DemoGameApp app(Quillo::QuilloAppBase::DemoMode::Play, demoFile);
        app.Run();
        EXPECT_EQ(app.checksums.size(), recorded.size()) << "updates played";
        const auto differ = std::mismatch(app.checksums.begin(), app.checksums.end(), recorded.begin(), recorded.end());
        EXPECT_EQ(differ.first, app.checksums.end())
            << "the state differs from update " << differ.first - app.checksums.begin() + 1;
        EXPECT_TRUE(app.Picture() == recordedPicture) << "the final picture differs";
    }
    EXPECT_TRUE(SaveFolderFacts(SaveFile("")) == before) << "playback changed the player's files";
}
