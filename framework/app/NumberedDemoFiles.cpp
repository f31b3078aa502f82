#include "framework/app/NumberedDemoFiles.h"

#include "framework/platform/FileSystem.h"

#include <algorithm>
#include <utility>

namespace Quillo
{

namespace
{

// (number, path) of every numbered file, by number; "007" and "7" both
// count as 7, and the first one found is kept.
std::vector<std::pair<int, std::string>> Scan(const std::string& prefix)
{
    const size_t slash = prefix.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string(".") : prefix.substr(0, slash == 0 ? 1 : slash);
    const std::string stem = slash == std::string::npos ? prefix : prefix.substr(slash + 1);
    const std::string base = slash == std::string::npos ? std::string() : prefix.substr(0, slash + 1);
    std::vector<std::pair<int, std::string>> found;
    for (const std::string& name : FileSystem::ListDirectory(dir))
    {
        if (name.size() <= stem.size() + 4 || name.compare(0, stem.size(), stem) != 0 ||
            name.compare(name.size() - 4, 4, ".dmo") != 0)
            continue;
        const std::string digits = name.substr(stem.size(), name.size() - stem.size() - 4);
        if (digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        found.emplace_back(std::stoi(digits), base + name);
    }
    // Directory order is arbitrary: by number, then by name, so that the
    // one kept of "007" and "7" is always the same.
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first == b.first; }),
                found.end());
    return found;
}

} // namespace

std::vector<int> NumberedDemoFiles::Numbers(const std::string& prefix)
{
    std::vector<int> numbers;
    for (const auto& entry : Scan(prefix))
        numbers.push_back(entry.first);
    return numbers;
}

std::string NumberedDemoFiles::NameFor(const std::string& prefix, int number)
{
    return prefix + std::to_string(number) + ".dmo";
}

std::string NumberedDemoFiles::PrepareRecording(const std::string& prefix, int keep)
{
    const auto found = Scan(prefix);
    if (!found.empty() && static_cast<int>(found.size()) >= keep)
    {
        FileSystem::RemoveFile(found.front().second);
    }
    return NameFor(prefix, found.empty() ? 1 : found.back().first + 1);
}

std::string NumberedDemoFiles::PlaybackName(const std::string& prefix, int back)
{
    const std::vector<int> numbers = Numbers(prefix);
    const int newest = numbers.empty() ? 0 : numbers.back();
    return NameFor(prefix, newest - (back - 1));
}

} // namespace Quillo
