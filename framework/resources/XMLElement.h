#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Quillo
{

// One piece of an XML file as the pull parser hands it out.
struct XMLElement
{
    enum class Type : int32_t
    {
        None = 0,
        Start = 1,
        End = 2,
        Text = 3,
        Instruction = 4,
        Comment = 5,
    };

    Type type = Type::None;
    std::string section;     // path of the open parents, joined by "/"
    std::string value;       // tag name, text, or "!--" for comments
    std::string instruction; // body of an instruction or comment
    std::map<std::string, std::string> attributes;
    std::vector<std::string> attributeOrder;
};

} // namespace Quillo
