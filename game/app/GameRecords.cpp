#include "game/app/GameRecords.h"

#include "game/app/LittleEndian.h"
#include "game/app/SaveFolder.h"

#include "framework/platform/TextEncoding.h"

#include <algorithm>
#include <cmath>

namespace Spindrel
{

namespace
{

constexpr int32_t kDefaultBestTime = 12000;
constexpr size_t kHighScoreOffset = GameRecords::kLevelRecords * GameRecords::kRecordBytes;

// As much of the name as a field holds: its last byte always stays the
// terminator, and a cut never splits a character.
std::string_view FieldName(std::string_view name)
{
    size_t length = std::min(name.size(), GameRecords::kNameBytes - 1);
    while (length > 0 && length < name.size() && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80)
        --length;
    return name.substr(0, length);
}

// Names are kept as UTF-8 in the file, as in memory.
void WriteName(std::span<uint8_t> bytes, size_t offset, std::string_view name)
{
    const std::string_view stored = FieldName(name);
    std::copy(stored.begin(), stored.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

std::optional<std::string> ReadName(std::span<const uint8_t> bytes, size_t offset)
{
    const auto field = bytes.subspan(offset, GameRecords::kNameBytes);
    const auto end = std::find(field.begin(), field.end(), uint8_t{0});
    if (end == field.end())
        return std::nullopt;
    // Tables of older builds hold Latin-1 bytes; theirs read as they were.
    // Such a name grows in UTF-8: it is kept to what its field can hold
    // again, as a name entered in play is.
    const std::string name = Quillo::TextEncoding::StoredToUtf8(std::string(field.begin(), end));
    return std::string(FieldName(name));
}

} // namespace

GameRecords::GameRecords() : m_highScores(DefaultHighScores()) {}

HighScoreTable GameRecords::DefaultHighScores()
{
    static constexpr const char* kNames[10] = {"Orlen",   "Vasko",   "Peldra", "Tamsin",  "Quorvik",
                                               "Ilsabet", "Durnam",  "Fenwold", "Marrowe", "Caddis"};
    HighScoreTable table;
    for (size_t i = 0; i < table.size(); ++i)
        table[i] = {kNames[i], 30000 - 3000 * static_cast<int32_t>(i)};
    return table;
}

std::vector<uint8_t> GameRecords::Encode() const
{
    std::vector<uint8_t> bytes(kFileBytes, 0);
    for (size_t i = 0; i < m_levels.size(); ++i)
    {
        const size_t at = i * kRecordBytes;
        LittleEndian::WriteInt32(bytes, at, m_levels[i].bestTime);
        LittleEndian::WriteInt32(bytes, at + 4, m_levels[i].reserved);
        WriteName(bytes, at + 8, m_levels[i].holder);
    }
    for (size_t i = 0; i < m_highScores.size(); ++i)
    {
        const size_t at = kHighScoreOffset + i * kRecordBytes;
        WriteName(bytes, at, m_highScores[i].name);
        LittleEndian::WriteInt32(bytes, at + kNameBytes, m_highScores[i].score);
    }
    return bytes;
}

std::optional<GameRecords> GameRecords::Decode(std::span<const uint8_t> bytes)
{
    if (bytes.size() != kFileBytes)
        return std::nullopt;
    GameRecords records;
    for (size_t i = 0; i < records.m_levels.size(); ++i)
    {
        const size_t at = i * kRecordBytes;
        LevelTimeRecord& level = records.m_levels[i];
        level.bestTime = LittleEndian::ReadInt32(bytes, at);
        level.reserved = LittleEndian::ReadInt32(bytes, at + 4);
        auto holder = ReadName(bytes, at + 8);
        if (!holder || level.bestTime < 0 || level.bestTime > kDefaultBestTime)
            return std::nullopt;
        level.holder = std::move(*holder);
    }
    for (size_t i = 0; i < records.m_highScores.size(); ++i)
    {
        const size_t at = kHighScoreOffset + i * kRecordBytes;
        auto name = ReadName(bytes, at);
        const int32_t score = LittleEndian::ReadInt32(bytes, at + kNameBytes);
        if (!name || score < 0)
            return std::nullopt;
        records.m_highScores[i] = {std::move(*name), score};
    }
    return records;
}

void GameRecords::Load(const SaveFolder& folder)
{
    *this = GameRecords();
    const auto file = folder.Read(kFileName, kFileBytes);
    if (file.status == SaveFolder::ReadStatus::Missing)
        return;
    auto decoded = file.status == SaveFolder::ReadStatus::Read ? Decode(file.bytes) : std::nullopt;
    if (!decoded)
    {
        folder.KeepAside(kFileName);
        return;
    }
    *this = std::move(*decoded);
}

bool GameRecords::Save(const SaveFolder& folder) const
{
    return folder.Write(kFileName, Encode());
}

const LevelTimeRecord& GameRecords::Level(int level) const
{
    static const LevelTimeRecord none;
    if (level < 0 || level >= kLevelRecords)
        return none;
    return m_levels[static_cast<size_t>(level)];
}

bool GameRecords::UpdateLevelRecord(int level, float seconds, std::string_view player)
{
    if (level < kFirstLevel || level > kLastLevel || !std::isfinite(seconds) || seconds < 0.0f)
        return false;
    LevelTimeRecord& record = m_levels[static_cast<size_t>(level)];
    if (!(static_cast<float>(record.bestTime) > seconds))
        return false;
    record.bestTime = static_cast<int32_t>(seconds);
    record.holder = std::string(FieldName(player));
    return true;
}

int GameRecords::EnterHighScore(std::string_view player, int32_t score)
{
    return Spindrel::EnterHighScore(m_highScores, std::string(FieldName(player)), score);
}

} // namespace Spindrel
