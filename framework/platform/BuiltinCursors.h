#pragma once

namespace Quillo::BuiltinCursors
{

// 32x32 cursor pictures, one string per row: 'X' black, '.' white, ' ' clear.
extern const char* const kHand[32];     // pointing hand, hot spot (11, 4)
extern const char* const kDragging[32]; // closed hand, hot spot (15, 10)

inline constexpr int kHandHotX = 11;
inline constexpr int kHandHotY = 4;
inline constexpr int kDraggingHotX = 15;
inline constexpr int kDraggingHotY = 10;

} // namespace Quillo::BuiltinCursors
