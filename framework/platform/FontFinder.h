#pragma once

#include <string>

namespace Quillo
{

// Finds installed font files through the system's font configuration.
class FontFinder
{
public:
    // The file of the installed face that best matches a family name (or
    // a generic one: "sans-serif", "serif", "monospace") and style; empty
    // when the system knows no font at all.
    static std::string Find(const std::string& family, bool bold, bool italic);
};

} // namespace Quillo
