#pragma once

#include <memory>

namespace Quillo
{
class ButtonListener;
class ButtonWidget;
class Font;
class Image;
class MemoryImage;
} // namespace Quillo

namespace Spindrel
{

class GameApp;

// The screens' picture buttons: no label, white label colours, the hand
// cursor, the lit image while the mouse is over or down, sized to the
// normal image and placed at x, y.
std::unique_ptr<Quillo::ButtonWidget> MakeImageButton(int id, Quillo::ButtonListener* listener,
                                                      const Quillo::Font* font, Quillo::Image* normal,
                                                      Quillo::Image* lit, int x, int y);

// A faded copy of a button's image, for the button while it has nothing
// to do; null without an image.
std::unique_ptr<Quillo::MemoryImage> FadedImage(Quillo::MemoryImage* image);

// Takes a button out of the widget tree and deletes it after the current
// update step: it may be the very button whose click is being handled.
void RetireButton(GameApp& app, std::unique_ptr<Quillo::ButtonWidget>& button);

} // namespace Spindrel
