#include "game/sim/LevelRun.h"

#include "game/board/BoardLogic.h"
#include "game/sim/PlayerModel.h"
#include "game/sim/SimHost.h"

#include "framework/platform/FileSystem.h"

#include <algorithm>

namespace Spindrel
{

namespace
{

std::optional<std::string> ReadText(const std::string& path)
{
    const auto bytes = Quillo::FileSystem::ReadFile(path);
    if (!bytes)
        return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

// The rules only need the cel counts of the ball strips; these are the
// game's (a ten-cel flip, four backs).
BoardArt RuleArt()
{
    BoardArt art;
    art.picBack = {nullptr, 240, 60, 4};
    art.picRot = {nullptr, 600, 60, 10};
    art.warningPoint = {nullptr, 160, 40, 4};
    art.chips = {nullptr, 300, 60, 5};
    art.bombBlast = {nullptr, 100, 100, 1};
    for (auto& face : art.faces)
        face = {nullptr, 60, 60, 1};
    return art;
}

} // namespace

std::optional<Campaign> LoadCampaign(const std::string& root)
{
    const auto order = ReadText(root + "levels/levelOrder.txt");
    const auto table = ReadText(root + "levels/levelsTable.txt");
    if (!order || !table)
        return std::nullopt;
    Campaign campaign;
    const auto tracks = ParseLevelOrder(*order);
    if (!tracks || !ParseLevelTable(*table, campaign.levels))
        return std::nullopt;
    campaign.levels.trackOfLevel = *tracks;
    campaign.root = root;
    return campaign;
}

RunResult PlaySimulatedLevel(const Campaign& campaign, int level, const PlayerProfile& profile,
                             uint32_t seed, float maxSeconds, InputDevice input)
{
    SimHost host(seed);
    BoardLogic logic(host);
    logic.SetLevelData(campaign.levels);
    logic.SetArt(RuleArt());
    logic.SetDataRoot(campaign.root);
    logic.SetActive(true);
    // The board's interval generator starts from the same state in every
    // run; advancing it by the seed spreads the bonus arrival times too.
    for (uint32_t i = 0; i < seed % 61; ++i)
        logic.Intervals().Next();

    GameState& s = logic.State();
    s.lives = 3;
    s.score = 0;
    s.extraLifeCounter = 0;
    s.level = level;
    logic.StartLevel();
    PlayerModel player(logic, profile, (static_cast<uint64_t>(seed) << 32) ^ 0x5EEDu, input);

    RunResult result;
    const int startLives = s.lives;
    const long maxSteps = static_cast<long>(maxSeconds * 100.0f);
    for (long step = 0; step < maxSteps; ++step)
    {
        player.Step();
        logic.Tick();
        const auto dialog = host.LastDialog();
        if (dialog == BoardDialog::Stat || dialog == BoardDialog::GameComplete)
        {
            result.won = true;
            result.seconds = s.levelTime;
            break;
        }
        if (s.gameOver)
            break;
    }
    result.livesLost = std::max(0, startLives - s.lives);
    result.timedOut = !result.won && !s.gameOver;
    result.clicks = player.Clicks();
    return result;
}

} // namespace Spindrel
