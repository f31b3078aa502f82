#include "framework/platform/RendererReport.h"

#include <vector>

namespace Quillo
{

namespace
{

// Names come from drivers: a tab or line break in one would break the line.
std::string Field(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
    {
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    }
    return out;
}

bool ContainsNoCase(const std::string& text, const char* word)
{
    std::string lower = text;
    for (char& c : lower)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return lower.find(word) != std::string::npos;
}

} // namespace

std::string RendererReport::ToLine() const
{
    if (!made)
        return "none";
    return "made\t" + Field(name) + "\t" + Field(drawer) + "\t" + (software ? "1" : "0") + "\t" +
           (vsync ? "1" : "0");
}

std::optional<RendererReport> RendererReport::FromLine(const std::string& line)
{
    if (line == "none")
        return RendererReport{};
    std::vector<std::string> fields(1);
    for (char c : line)
    {
        if (c == '\t')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    auto flag = [](const std::string& f) { return f == "0" || f == "1"; };
    if (fields.size() != 5 || fields[0] != "made" || fields[1].empty() || !flag(fields[3]) ||
        !flag(fields[4]))
        return std::nullopt;
    RendererReport r;
    r.made = true;
    r.name = fields[1];
    r.drawer = fields[2];
    r.software = fields[3] == "1";
    r.vsync = fields[4] == "1";
    return r;
}

bool RendererReport::IsSoftwareRasteriser(const std::string& drawer)
{
    return ContainsNoCase(drawer, "llvmpipe") || ContainsNoCase(drawer, "softpipe") ||
           ContainsNoCase(drawer, "swrast") || ContainsNoCase(drawer, "software rasterizer");
}

} // namespace Quillo
