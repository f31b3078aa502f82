#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace Spindrel
{

// The game's numbered texts, read once at start from the language file
// that "bin//lng.opt" names. Texts are looked up by number only.
class TextTable
{
public:
    // A language file holds texts 0..73; a shorter one is warned about.
    static constexpr int kLanguageCount = 74;
    // The game's own texts follow them; a language file that lacks them
    // gets their built-in English without a warning. The table always
    // holds every text after loading.
    static constexpr int kTextCount = 81;
    // A line keeps at most this many characters; the rest of a longer line
    // is dropped (it never becomes entries of its own).
    static constexpr size_t kLineLimit = 1024;
    // Only this much of a language file is read.
    static constexpr size_t kFileLimit = 1 << 20;
    static constexpr const char* kNotLoaded = "<NOT LOADED>";

    // Shows a warning ("Message" box) and returns; loading goes on.
    using Warning = std::function<void(const std::string& text)>;

    // Reads languageFile when it is given and can be read, else
    // "bin//lng.opt" and the language file it names; both relative to root
    // (empty: the working directory; otherwise ending in "/").
    // Warnings: "Could not found bin//lng.opt file!", "Could not found
    // language file %s (from bin//lng.opt)!" (the table stays empty), "%d
    // strings not found in localization data file %s!" (the missing entries
    // read "<NOT LOADED>").
    void LoadTextTable(const Warning& warn, const std::string& root = {},
                       const std::string& languageFile = {});

    // The line rules on a language file's contents: lines shorter than two
    // characters or starting with "-" are skipped, the others appended
    // verbatim (a trailing "\r" is removed); then filled up to 74 entries
    // with "<NOT LOADED>" and beyond with the built-in texts. A file in
    // UTF-8 is kept as it is; any other (older files) is taken as Latin-1
    // bytes and turned into UTF-8.
    // A warning names fileName when given.
    void LoadLanguage(std::string_view text, const Warning& warn, std::string_view fileName = {});

    // The English text of the game's own number `index` (74 up to the table's
    // size); empty for any other.
    static std::string_view BuiltInText(int index);

    // Text `index`; "<NOT LOADED>" for any index the table does not hold
    // (also before loading and after a failed load). Valid until the next load.
    const std::string& GetText(int index) const;

    int Count() const { return static_cast<int>(m_texts.size()); }
    // The language file the texts came from; empty before a load.
    const std::string& FileName() const { return m_fileName; }

private:
    std::vector<std::string> m_texts;
    std::string m_fileName;
};

} // namespace Spindrel
