#include "game/app/SavedGameFiles.h"

#include "game/app/SaveFolder.h"

namespace Spindrel
{

std::string SavedGameFiles::GameFileName(std::string_view playerFileName)
{
    return std::string(playerFileName) + ".sav";
}

std::string SavedGameFiles::ProgressFileName(std::string_view playerFileName)
{
    return std::string(playerFileName) + ".sta";
}

bool SavedGameFiles::SaveGame(const SaveFolder& folder, std::string_view playerFileName,
                              std::span<const uint8_t> bytes)
{
    return folder.Write(GameFileName(playerFileName), bytes);
}

bool SavedGameFiles::SaveGame(const SaveFolder& folder, std::string_view playerFileName,
                              const SavedGame& game)
{
    return SaveGame(folder, playerFileName, game.Encode());
}

std::optional<std::vector<uint8_t>> SavedGameFiles::LoadGame(const SaveFolder& folder,
                                                             std::string_view playerFileName)
{
    const std::string name = GameFileName(playerFileName);
    auto file = folder.Read(name, kFileLimit);
    if (file.status == SaveFolder::ReadStatus::Missing)
        return std::nullopt;
    if (file.status == SaveFolder::ReadStatus::TooLarge || !SavedGame::Decode(file.bytes))
    {
        folder.KeepAside(name);
        return std::nullopt;
    }
    return std::move(file.bytes);
}

bool SavedGameFiles::HasGame(const SaveFolder& folder, std::string_view playerFileName)
{
    return folder.Exists(GameFileName(playerFileName));
}

void SavedGameFiles::KeepGameAside(const SaveFolder& folder, std::string_view playerFileName)
{
    folder.KeepAside(GameFileName(playerFileName));
}

bool SavedGameFiles::DeleteGame(const SaveFolder& folder, std::string_view playerFileName)
{
    return folder.Remove(GameFileName(playerFileName));
}

std::string SavedGameFiles::DeletePlayerFiles(const SaveFolder& folder, std::string_view playerFileName)
{
    std::string stays;
    for (const std::string& file : {GameFileName(playerFileName), ProgressFileName(playerFileName)})
    {
        std::vector<std::string> names = SaveFolder::AsideNames(file);
        names.insert(names.begin(), file);
        for (const std::string& name : names)
            if (!folder.Remove(name) && stays.empty())
                stays = name;
    }
    return stays;
}

} // namespace Spindrel
