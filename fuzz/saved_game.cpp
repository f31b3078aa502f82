// Saved games: any bytes are either refused, leaving the running game as
// it was, or loaded into a game that keeps running, and every state it
// runs through saves a game that loads and plays on the same.
#include "game/board/BoardHost.h"
#include "game/board/BoardLogic.h"
#include "game/board/BoardRandom.h"
#include "game/board/SavedGame.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace
{

class QuietHost : public Spindrel::BoardHost
{
public:
    void PlaySound(Spindrel::BoardSound) override {}
    void PlayMusic(int, int, bool) override {}
    void FadeInMusic(int, int, double, bool) override {}
    void FadeOutMusic(int, bool, double) override {}
    void StopMusic(int) override {}
    std::string GetText(int) override { return "%d"; }
    int RandomInt() override { return random.Next(); }
    std::string PlayerFileName() override { return "fuzz"; }
    int LoadHighestStageStart() override { return 1; }
    void SaveHighestStageStart(int) override {}
    int EnterHighScore(int) override { return 1000; }
    void ShowPauseOverlay(bool) override {}
    void ShowDialog(Spindrel::BoardDialog) override {}

    Spindrel::Random15 random{7};
};

// Every track is the same short bend, written once into a folder of our own.
std::string TrackRoot()
{
    const auto root = std::filesystem::temp_directory_path() / "spindrel-fuzz-tracks";
    std::filesystem::create_directories(root / "levels");
    Spindrel::PathFile file;
    file.points = {{100, 100, 0, 0, 0}, {700, 100, 0, 0, 0}, {700, 500, 0, 0, 0}};
    const auto bytes = Spindrel::Path::EncodeFile(file);
    for (int track = 1; track <= 30; ++track)
    {
        char name[32];
        std::snprintf(name, sizeof name, "%02d.path", track);
        std::ofstream out(root / "levels" / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    return root.string() + "/";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string root = TrackRoot();
    QuietHost host;
    Spindrel::BoardLogic logic(host);
    logic.SetDataRoot(root);
    logic.SetActive(true);
    logic.StartLevel();
    const auto before = logic.SaveState();
    if (!logic.LoadState(std::span(data, size)))
    {
        if (logic.SaveState() != before)
            std::abort();
        return 0;
    }
    // A loaded game must survive being played on. The game saved at each
    // step is loaded into a second board, which must play the next step
    // as the first does, given the same random numbers and the effects on
    // the screen (which a saved game does not carry).
    QuietHost copyHost;
    Spindrel::BoardLogic copy(copyHost);
    copy.SetDataRoot(root);
    copy.SetActive(true);
    for (int i = 0; i < 200; ++i)
    {
        if (!copy.LoadState(logic.SaveState()))
            std::abort();
        copyHost.random = host.random;
        copy.Intervals() = logic.Intervals();
        copy.Effects() = logic.Effects();
        logic.Tick();
        copy.Tick();
        if (copy.SaveState() != logic.SaveState())
            std::abort();
    }
    return 0;
}
