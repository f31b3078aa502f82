#include "framework/app/NumberedDemoFiles.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

namespace Quillo
{

namespace
{

// (number, path) of every numbered file, by number; "007" and "7" both
// count as 7, and the first one found is kept.
std::vector<std::pair<int, std::string>> Scan(const std::string& prefix)
{
    namespace fs = std::filesystem;
    const fs::path p(prefix);
    const fs::path dir = p.has_parent_path() ? p.parent_path() : fs::path(".");
    const std::string stem = p.filename().string();
    std::vector<std::pair<int, std::string>> found;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
    {
        const std::string name = it->path().filename().string();
        if (name.size() <= stem.size() + 4 || name.compare(0, stem.size(), stem) != 0 ||
            name.compare(name.size() - 4, 4, ".dmo") != 0)
            continue;
        const std::string digits = name.substr(stem.size(), name.size() - stem.size() - 4);
        if (digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        found.emplace_back(std::stoi(digits), it->path().string());
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
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
        std::error_code ec;
        std::filesystem::remove(found.front().second, ec);
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
