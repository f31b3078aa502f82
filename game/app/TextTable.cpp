#include "game/app/TextTable.h"

#include "framework/platform/FileSystem.h"
#include "framework/platform/TextEncoding.h"

#include <cctype>
#include <iterator>

namespace Spindrel
{

namespace
{

constexpr const char* kOptionFile = "bin//lng.opt";
// "bin//lng.opt" holds one path.
constexpr size_t kOptionFileLimit = 4096;

std::string_view FirstWord(std::string_view text)
{
    size_t begin = 0;
    while (begin < text.size() && std::isspace(static_cast<unsigned char>(text[begin])))
        ++begin;
    size_t end = begin;
    while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end])))
        ++end;
    return text.substr(begin, end - begin);
}

// Texts 74 onwards, in order: the notices about files the game could not
// write or delete and the pad's buttons, which language files made for 74
// texts lack.
constexpr std::string_view kBuiltInTexts[] = {
    "Not Saved",
    "The game could not write %s: the disk may be full or the folder read-only. Your last save is kept "
    "and the game goes on.",
    "Your game could not be saved: the disk may be full or the folder read-only. Leave it anyway?",
    "Your game could not be saved.",
    "Not Deleted",
    "The game could not delete %s: the folder may be read-only.",
    "Gamepad: the D-pad or the left stick moves, A chooses, B goes back, "
    "Start opens the menu, the shoulder buttons jump along the chain.",
};
static_assert(std::size(kBuiltInTexts) == TextTable::kTextCount - TextTable::kLanguageCount);

std::string_view AsText(const std::vector<uint8_t>& bytes)
{
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

} // namespace

void TextTable::LoadTextTable(const Warning& warn, const std::string& root, const std::string& languageFile)
{
    m_texts.clear();
    m_fileName.clear();
    if (!languageFile.empty())
    {
        if (const auto text = Quillo::FileSystem::ReadFile(root + languageFile, kFileLimit, nullptr))
        {
            LoadLanguage(AsText(*text), warn, languageFile);
            m_fileName = languageFile;
            return;
        }
    }
    const auto option = Quillo::FileSystem::ReadFile(root + kOptionFile, kOptionFileLimit, nullptr);
    if (!option)
    {
        warn("Could not found bin//lng.opt file!");
        return;
    }
    const std::string language(FirstWord(AsText(*option)));
    const auto text = language.empty() ? std::nullopt
                                       : Quillo::FileSystem::ReadFile(root + language, kFileLimit, nullptr);
    // Both warnings name the file to mend.
    if (!text)
    {
        warn(language.empty() ? std::string("Could not found a language file in bin//lng.opt!")
                              : "Could not found language file " + language + " (from bin//lng.opt)!");
        return;
    }
    LoadLanguage(AsText(*text), warn, language);
    m_fileName = language;
}

void TextTable::LoadLanguage(std::string_view stored, const Warning& warn, std::string_view fileName)
{
    m_texts.clear();
    const std::string utf8 = Quillo::TextEncoding::StoredToUtf8(stored);
    const std::string_view text = utf8;
    size_t pos = 0;
    while (pos < text.size())
    {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.size() > kLineLimit)
        {
            // The cut never splits a character.
            size_t cut = kLineLimit;
            while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
                --cut;
            line = line.substr(0, cut);
        }
        if (Quillo::TextEncoding::CharCount(line) < 2 || line.front() == '-')
            continue;
        m_texts.emplace_back(line);
    }
    if (Count() < kLanguageCount)
    {
        const int missing = kLanguageCount - Count();
        warn(std::to_string(missing) + " strings not found in localization data file" +
             (fileName.empty() ? std::string() : " " + std::string(fileName)) + "!");
        m_texts.resize(kLanguageCount, kNotLoaded);
    }
    while (Count() < kTextCount)
        m_texts.emplace_back(BuiltInText(Count()));
}

std::string_view TextTable::BuiltInText(int index)
{
    if (index < kLanguageCount || index >= kTextCount)
        return {};
    return kBuiltInTexts[index - kLanguageCount];
}

const std::string& TextTable::GetText(int index) const
{
    static const std::string notLoaded = kNotLoaded;
    if (index < 0 || index >= Count())
        return notLoaded;
    return m_texts[static_cast<size_t>(index)];
}

} // namespace Spindrel
