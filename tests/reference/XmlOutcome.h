#pragma once

// A document as expat and as our reader see it, in one comparable form:
// start tags with their attributes in order, end tags, text with its
// whitespace collapsed, and instructions; comments and the XML declaration
// are left out.
#include <string>
#include <vector>

namespace XmlOutcome
{

struct Outcome
{
    bool ok = true;
    int line = 0;
    std::string error;
    std::vector<std::string> events;
};

Outcome ParseWithExpat(const std::string& document);
Outcome ParseWithOurs(const std::string& document);

} // namespace XmlOutcome
