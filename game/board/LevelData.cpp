#include "game/board/LevelData.h"

#include <charconv>
#include <string>

namespace Spindrel
{

namespace
{

// Whitespace-separated words, as the tables are read word by word.
class WordReader
{
public:
    explicit WordReader(std::string_view text) : m_text(text) {}

    std::optional<std::string_view> Next()
    {
        while (m_pos < m_text.size() && IsSpace(m_text[m_pos]))
            ++m_pos;
        if (m_pos >= m_text.size())
            return std::nullopt;
        const size_t start = m_pos;
        while (m_pos < m_text.size() && !IsSpace(m_text[m_pos]))
            ++m_pos;
        return m_text.substr(start, m_pos - start);
    }

    std::optional<int> NextInt()
    {
        const auto word = Next();
        if (!word)
            return std::nullopt;
        std::string_view w = *word;
        if (!w.empty() && w.front() == '+')
            w.remove_prefix(1);
        int value = 0;
        const auto result = std::from_chars(w.data(), w.data() + w.size(), value);
        if (result.ec != std::errc() || result.ptr == w.data())
            return std::nullopt;
        return value;
    }

    bool Skip(int count)
    {
        for (int i = 0; i < count; ++i)
        {
            if (!Next())
                return false;
        }
        return true;
    }

private:
    static bool IsSpace(char c)
    {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    }

    std::string_view m_text;
    size_t m_pos = 0;
};

} // namespace

bool IsStageStart(int level)
{
    for (int start : kStageStarts)
    {
        if (start == level)
            return true;
    }
    return false;
}

int StageOf(int level)
{
    int stage = 0;
    for (int start : kStageStarts)
    {
        if (start <= level)
            ++stage;
    }
    return stage;
}

int LevelInStage(int level)
{
    const int stage = StageOf(level);
    if (stage < 1)
        return 0;
    return level - kStageStarts[static_cast<size_t>(stage - 1)] + 1;
}

std::optional<std::array<int, kLevelCount + 1>> ParseLevelOrder(std::string_view text)
{
    std::array<int, kLevelCount + 1> order{};
    WordReader reader(text);
    for (int level = 1; level <= kLevelCount; ++level)
    {
        const auto code = reader.NextInt();
        if (!code || *code < 0 || *code >= static_cast<int>(kTrackOfCode.size()))
            return std::nullopt;
        order[static_cast<size_t>(level)] = kTrackOfCode[static_cast<size_t>(*code)];
    }
    return order;
}

bool ParseLevelTable(std::string_view text, LevelData& data)
{
    std::array<LevelRecord, kLevelCount> records = data.records;
    WordReader reader(text);
    if (!reader.Skip(5))
        return false;
    for (int n = 1; n <= kLevelCount; ++n)
    {
        if (IsStageStart(n) && !reader.Skip(2))
            return false;
        const auto level = reader.NextInt();
        if (!level || *level < 1 || *level > kLevelCount)
            return false;
        // Base speed, points, pictures, speed-up interval: a table with a
        // value far beyond any level's is damaged (and the interval, stored
        // in tenths, must not overflow).
        constexpr int kLimits[4] = {1000, 100000000, 1000, 1000000};
        int values[4] = {};
        for (int i = 0; i < 4; ++i)
        {
            const auto read = reader.NextInt();
            if (!read || *read < 0 || *read > kLimits[i])
                return false;
            values[i] = *read;
        }
        LevelRecord& record = records[static_cast<size_t>(*level - 1)];
        record.baseSpeed = values[0];
        record.pointsToReach = values[1];
        record.numPictures = values[2];
        record.speedUpInterval = values[3] * 10;
        record.speedUpDuration = 20;
        record.speedUpSpeed = 200;
    }
    data.records = records;
    data.numLevels = kLevelCount;
    return true;
}

} // namespace Spindrel
