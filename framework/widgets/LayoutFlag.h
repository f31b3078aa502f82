#pragma once

namespace Quillo
{

// Flag bits of Widget::Layout, applied in increasing order; rx, ry, rw, rh
// are the reference widget's bounds.
namespace LayoutFlag
{
inline constexpr int SameWidth = 1;            // width = rw + dw
inline constexpr int SameHeight = 2;           // height = rh + dh
inline constexpr int SetLeft = 16;             // x = dx
inline constexpr int SetTop = 32;              // y = dy
inline constexpr int SetWidth = 64;            // width = dw
inline constexpr int SetHeight = 128;          // height = dh
inline constexpr int Above = 256;              // y = ry + dy - height
inline constexpr int Below = 512;              // y = ry + rh + dy
inline constexpr int RightOf = 1024;           // x = rx + rw + dx
inline constexpr int LeftOf = 2048;            // x = rx + dx - width
inline constexpr int SameLeft = 4096;          // x = rx + dx
inline constexpr int SameRight = 8192;         // x = rx + rw + dx - width
inline constexpr int SameTop = 16384;          // y = ry + dy
inline constexpr int SameBottom = 32768;       // y = ry + rh + dy - height
inline constexpr int GrowToRight = 65536;      // width = rx + rw + dw - x
inline constexpr int GrowToLeft = 131072;      // width = rx + dw - x
inline constexpr int GrowToTop = 262144;       // height = ry + dh - y
inline constexpr int GrowToBottom = 524288;    // height = ry + rh + dh - y
inline constexpr int CenterHorizontal = 1048576; // x = rx + dx + (rw - width) / 2
inline constexpr int CenterVertical = 2097152;   // y = ry + dy + (rh - height) / 2
} // namespace LayoutFlag

} // namespace Quillo
