#pragma once

#include <array>

namespace Quillo
{
class Font;
class Image;
} // namespace Quillo

namespace Spindrel
{

// An image and the strip layout the rules need to know (cel size, count).
struct Sprite
{
    Quillo::Image* image = nullptr;
    int width = 0;
    int height = 0;
    int cels = 1;

    int CelWidth() const { return cels > 0 ? width / cels : width; }
};

// The pictures and fonts the board's rules refer to: they size the effects
// and number the animation cels. Drawing uses the same images.
struct BoardArt
{
    Sprite picBack;
    Sprite picRot;
    Sprite warningPoint;
    Sprite chips;
    Sprite bombBlast;
    // Face of each picture (ball type 0..12), 60 x 60.
    std::array<Sprite, 13> faces{};
    Quillo::Font* flyTextFont = nullptr;
    Quillo::Font* bigFont = nullptr;
    Quillo::Font* defaultFont = nullptr;
};

} // namespace Spindrel
