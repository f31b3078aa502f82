#pragma once

#include <map>
#include <string>

namespace Quillo
{

// What every manifest entry records.
struct BaseRes
{
    virtual ~BaseRes() = default;
    // Drops the loaded object; the record stays so that it can load again.
    virtual void DeleteResource() {}

    std::string group;
    std::string path;
    std::map<std::string, std::string> xmlAttributes;
    bool fromProgram = false; // made by the program, never loaded here
};

} // namespace Quillo
