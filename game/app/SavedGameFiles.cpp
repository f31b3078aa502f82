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

void SavedGameFiles::DeleteGame(const SaveFolder& folder, std::string_view playerFileName)
{
    folder.Remove(GameFileName(playerFileName));
}

void SavedGameFiles::DeletePlayerFiles(const SaveFolder& folder, std::string_view playerFileName)
{
    DeleteGame(folder, playerFileName);
    folder.Remove(ProgressFileName(playerFileName));
}

} // namespace Spindrel
