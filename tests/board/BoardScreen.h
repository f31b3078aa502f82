#pragma once

#include "framework/graphics/ImageRegistry.h"
#include "framework/graphics/NativeDisplay.h"

// The game draws onto the display's screen image, which honours the colour
// and draw mode of stretched drawing (the bomb's fading blast); this one
// presents nowhere.
class BoardScreen : public Quillo::NativeDisplay
{
public:
    explicit BoardScreen(Quillo::ImageRegistry& registry) : NativeDisplay(registry) {}
    Result Init(bool, bool) override { return Result::Ok; }

protected:
    bool PresentFrame(const uint32_t*, int, const Quillo::Rect&) override { return true; }
};
