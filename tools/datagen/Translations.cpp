#include "tools/datagen/Translations.h"

#include "framework/platform/TextEncoding.h"
#include "tools/datagen/DataWriter.h"
#include "tools/datagen/LanguageFile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace Spindrel::Datagen
{

namespace
{

// The texts every language file has held since the first release.
constexpr size_t kSpecifiedTexts = 74;

} // namespace

std::vector<std::string> LanguageEntries(std::string_view file)
{
    std::vector<std::string> entries;
    size_t pos = 0;
    while (pos < file.size())
    {
        size_t end = file.find('\n', pos);
        if (end == std::string_view::npos)
            end = file.size();
        const std::string_view line = file.substr(pos, end - pos);
        pos = end + 1;
        if (line.size() >= 2 && line.front() != '-')
            entries.emplace_back(line);
    }
    return entries;
}

std::string TranslationProblem(std::string_view file)
{
    if (file.find('\r') != std::string_view::npos)
        return "carriage return (LF line ends only)";
    if (!Quillo::TextEncoding::IsUtf8(file))
        return "not UTF-8";
    // The fonts carry ASCII, Latin-1 and Latin Extended-A: a letter beyond
    // them would vanish.
    for (size_t pos = 0; pos < file.size();)
    {
        const char32_t c = Quillo::TextEncoding::Next(file, pos);
        if (c != '\n' && (c < 0x20 || (c >= 0x7F && c < 0xA0) || c >= 0x180))
            return "a letter the fonts do not draw";
    }
    const auto& english = EnglishTexts();
    const std::vector<std::string> entries = LanguageEntries(file);
    if (entries.size() < kSpecifiedTexts || entries.size() > english.size())
        return std::to_string(entries.size()) + " texts instead of " + std::to_string(kSpecifiedTexts) +
               " to " + std::to_string(english.size());
    for (size_t i = 0; i < entries.size(); ++i)
    {
        if (Placeholders(entries[i]) != english[i].placeholders)
            return "text " + std::to_string(i) + " takes other conversions than the English text";
        if (entries[i].find('^') != std::string::npos)
            return "text " + std::to_string(i) + " holds '^'";
    }
    return {};
}

void WriteTranslations(const DataWriter& out, const std::string& folder)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().extension() == ".txt")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const auto& path : files)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        if (!in && !in.eof())
            throw std::runtime_error("cannot read " + path.string());
        const std::string problem = TranslationProblem(text.str());
        if (!problem.empty())
            throw std::runtime_error(path.string() + ": " + problem);
        out.Write("bin/lang_" + path.stem().string() + ".txt", text.str());
    }
}

} // namespace Spindrel::Datagen
