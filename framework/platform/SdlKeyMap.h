#pragma once

#include <cstdint>

namespace Quillo
{

// The virtual key code (the framework's key numbering: A-Z 65-90, 0-9 48-57,
// F1 112, Shift 16, Ctrl 17, Alt 18, ...) of an SDL key code and the
// scancode of the key that made it, or 0 for keys the framework does not
// know. Letters follow a Latin layout's symbols (Ctrl+Z on the key marked
// Z); a layout without Latin letters (Cyrillic, Greek) gives the letter of
// the key's place, and the digit row always gives its digits (AZERTY types
// symbols there without Shift), so that shortcuts work on every layout.
int VirtualKeyFromSdl(int32_t sdlKey, int32_t scancode);

} // namespace Quillo
