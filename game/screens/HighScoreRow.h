#pragma once

#include <string>

namespace Quillo
{
class Font;
class Graphics;
} // namespace Quillo

namespace Spindrel
{

// The columns of a high-score table: the place numbers are aligned on
// their right edge where a one-digit "9." would end when drawn at placeX,
// so that "10." keeps its gap to the name; a name too wide for its column
// is shortened with an ellipsis before it reaches the score.
struct HighScoreRow
{
    // Pixels kept free between two columns.
    static constexpr int kColumnGap = 8;

    int placeX = 0;
    int nameX = 0;
    int scoreX = 0;

    // Draws one row with the graphics' font and colour, baseline y.
    void Draw(Quillo::Graphics& g, int y, int place, const std::string& name, int score) const;

    // The text as it fits into width pixels: whole, or cut with "..." after it.
    static std::string Fit(Quillo::Font& font, const std::string& text, int width);
};

} // namespace Spindrel
