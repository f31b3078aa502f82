#include "ReportText.h"

#include <cstdlib>
#include <cxxabi.h>
#include <memory>

namespace
{

bool IsNameChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.' ||
           c == '$';
}

} // namespace

std::string ReportText::Demangle(const std::string& report)
{
    std::string out;
    out.reserve(report.size());
    size_t i = 0;
    while (i < report.size())
    {
        const bool startsName = report.compare(i, 2, "_Z") == 0 && (i == 0 || !IsNameChar(report[i - 1]));
        if (!startsName)
        {
            out.push_back(report[i++]);
            continue;
        }
        size_t end = i;
        while (end < report.size() && IsNameChar(report[end]))
            ++end;
        const std::string mangled = report.substr(i, end - i);
        int status = 0;
        std::unique_ptr<char, decltype(&std::free)> readable(
            abi::__cxa_demangle(mangled.c_str(), nullptr, nullptr, &status), &std::free);
        out += status == 0 && readable ? readable.get() : mangled;
        i = end;
    }
    return out;
}

std::vector<std::string> ReportText::Lines(const std::string& report)
{
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < report.size(); ++i)
    {
        const char c = report[i];
        if (c == '\r')
            continue;
        if (c == '\n')
        {
            lines.push_back(line);
            line.clear();
        }
        else if (c == '\t')
        {
            line.append(4 - line.size() % 4, ' ');
        }
        else
        {
            line.push_back(c);
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}
