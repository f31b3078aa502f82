#include "game/board/HighScoreTable.h"

namespace Spindrel
{

int EnterHighScore(HighScoreTable& table, const std::string& name, int32_t score)
{
    for (size_t place = 0; place < table.size(); ++place)
    {
        if (table[place].score < score)
        {
            for (size_t i = table.size() - 1; i > place; --i)
                table[i] = table[i - 1];
            table[place] = {name, score};
            return static_cast<int>(place);
        }
    }
    return 1000;
}

} // namespace Spindrel
