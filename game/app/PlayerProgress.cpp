#include "game/app/PlayerProgress.h"

#include "game/app/LittleEndian.h"
#include "game/app/SaveFolder.h"
#include "game/app/SavedGameFiles.h"
#include "game/board/LevelData.h"

namespace Spindrel
{

std::vector<uint8_t> PlayerProgress::Encode(int32_t highestStageStart)
{
    std::vector<uint8_t> bytes(kFileBytes, 0);
    LittleEndian::WriteInt32(bytes, 0, highestStageStart);
    return bytes;
}

std::optional<int32_t> PlayerProgress::Decode(std::span<const uint8_t> bytes)
{
    if (bytes.size() != kFileBytes)
        return std::nullopt;
    const int32_t value = LittleEndian::ReadInt32(bytes, 0);
    if (value < 1 || value > kMaxLevel)
        return std::nullopt;
    return kStageStarts[static_cast<size_t>(StageOf(value) - 1)];
}

int32_t PlayerProgress::Load(const SaveFolder& folder, std::string_view playerFileName)
{
    const std::string name = SavedGameFiles::ProgressFileName(playerFileName);
    const auto file = folder.Read(name, kFileBytes);
    if (file.status == SaveFolder::ReadStatus::Missing)
        return kDefaultStageStart;
    const auto value = file.status == SaveFolder::ReadStatus::Read ? Decode(file.bytes) : std::nullopt;
    if (!value)
    {
        folder.KeepAside(name);
        return kDefaultStageStart;
    }
    return *value;
}

bool PlayerProgress::Save(const SaveFolder& folder, std::string_view playerFileName,
                          int32_t highestStageStart)
{
    if (highestStageStart < 1 || highestStageStart > kMaxLevel || !IsStageStart(highestStageStart) ||
        highestStageStart <= Load(folder, playerFileName))
        return false;
    return folder.Write(SavedGameFiles::ProgressFileName(playerFileName), Encode(highestStageStart));
}

} // namespace Spindrel
