#pragma once

#include <string>
#include <string_view>

namespace Spindrel
{

// Fills a format from the language file with one integer. Only the first
// %d (or %i, %u) takes the value and "%%" gives "%"; any other conversion
// is copied as it stands, so a text cannot make the game read arguments
// it never passed.
std::string FormatInt(std::string_view format, int value);

} // namespace Spindrel
