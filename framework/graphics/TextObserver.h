#pragma once

#include "framework/platform/Rect.h"

#include <string>

namespace Quillo
{

// Told of every string a drawing context draws, for tests that check that
// texts fit: the text, the box of its advance and line height and the clip
// it was drawn under, both in destination pixels.
class TextObserver
{
public:
    virtual ~TextObserver() = default;
    virtual void OnText(const std::string& text, const Rect& box, const Rect& clip) = 0;
};

} // namespace Quillo
