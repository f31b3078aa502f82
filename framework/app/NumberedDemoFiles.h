#pragma once

#include <string>
#include <vector>

namespace Quillo
{

// Demo files named by a prefix and a number: prefix + "%d.dmo".
class NumberedDemoFiles
{
public:
    // The numbers that exist, ascending. The prefix may hold a directory.
    static std::vector<int> Numbers(const std::string& prefix);

    static std::string NameFor(const std::string& prefix, int number);

    // When `keep` or more exist, deletes the one with the lowest number (one
    // file only); returns the name of the next number (highest + 1, or 1).
    static std::string PrepareRecording(const std::string& prefix, int keep);

    // The file `back` - 1 before the newest (1 - back with none at all).
    static std::string PlaybackName(const std::string& prefix, int back);
};

} // namespace Quillo
