#pragma once

#include "framework/widgets/Widget.h"

#include <string>

namespace Quillo
{
class Font;
}

namespace Spindrel
{

// The pause overlay: darkens what lies behind it and says that the game
// is paused, centred on its area. It exists while the board's pause depth
// is above 0.
class DarkenWidget : public Quillo::Widget
{
public:
    static constexpr int kPausedText = 55;
    static constexpr int kShadeAlpha = 145;

    // The font is not owned.
    DarkenWidget(std::string text, Quillo::Font* font);

    void Draw(Quillo::Graphics* g) override;

private:
    std::string m_text;
    Quillo::Font* m_font;
};

} // namespace Spindrel
