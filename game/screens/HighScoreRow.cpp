#include "game/screens/HighScoreRow.h"

#include "framework/platform/TextEncoding.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"

#include <algorithm>

namespace Spindrel
{

void HighScoreRow::Draw(Quillo::Graphics& g, int y, int place, const std::string& name, int score) const
{
    Quillo::Font* font = g.GetFont();
    if (font == nullptr)
        return;
    const std::string number = std::to_string(place) + ".";
    const int placeRight = std::min(placeX + font->TextWidth("9."), nameX - kColumnGap);
    g.DrawString(number, placeRight - font->TextWidth(number), y);
    g.DrawString(Fit(*font, name, scoreX - kColumnGap - nameX), nameX, y);
    g.DrawString(std::to_string(score), scoreX, y);
}

std::string HighScoreRow::Fit(Quillo::Font& font, const std::string& text, int width)
{
    if (font.TextWidth(text) <= width)
        return text;
    const std::string ellipsis = "...";
    std::string cut = text;
    while (!cut.empty() && font.TextWidth(cut + ellipsis) > width)
        cut.resize(Quillo::TextEncoding::PreviousStart(cut, cut.size()));
    // Spaces before the ellipsis would read as a gap in the name.
    while (!cut.empty() && cut.back() == ' ')
        cut.pop_back();
    return cut + ellipsis;
}

} // namespace Spindrel
