#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace Spindrel
{

// Fills a format from the language file with one integer. Only the first
// %d (or %i, %u) takes the value and "%%" gives "%"; any other conversion
// is copied as it stands, so a text cannot make the game read arguments
// it never passed.
std::string FormatInt(std::string_view format, int value);

// The same with several integers, taken by the integer conversions in
// order; conversions beyond the values given are copied as they stand.
std::string FormatInts(std::string_view format, std::initializer_list<int> values);

// The same with one text, taken by the first %s.
std::string FormatString(std::string_view format, std::string_view text);

// Whether FormatString puts its text into the format (it has a %s).
bool TakesString(std::string_view format);

} // namespace Spindrel
