#pragma once

#include "framework/graphics/DataElement.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Quillo::FontDescriptorText
{

// Upper bound on the values one define or parameter may expand to, so that
// defines built from defines cannot grow without limit.
inline constexpr size_t kMaxValues = 1 << 16;

std::string Upper(std::string_view text);
bool StartsWithQuote(std::string_view text);
bool StartsLikeNumber(std::string_view text);
// Removes the quote character the text starts with; two in a row leave one.
std::string Unquote(std::string_view text);
// An optional '-', then decimal digits or "0x" and hexadecimal digits.
std::optional<int32_t> ParseInt(std::string_view text);
// A plain decimal number.
std::optional<double> ParseReal(std::string_view text);
// The token of a single, or null for a list.
const std::string* AsSingle(const DataElement& value);
// A define's value in text form: lists as "(a, b)".
std::string DefineText(const DataElement& value);
// (int)(v x 255), saturating.
int32_t SaturatedChannel(double v);
[[noreturn]] void TypeError();

} // namespace Quillo::FontDescriptorText
