#include "game/app/LanguageChoice.h"

#include <algorithm>

namespace Spindrel
{

const std::vector<LanguageChoice::Language>& LanguageChoice::Languages()
{
    static const std::vector<Language> languages = {
        {"en", "English"},
        {"de", "Deutsch"},
        {"es", "Español"},
        {"fr", "Français"},
        {"it", "Italiano"},
        {"pl", "Polski"},
        {"pt_BR", "Português (Brasil)"},
    };
    return languages;
}

bool LanguageChoice::IsShipped(std::string_view code)
{
    const auto& all = Languages();
    return std::any_of(all.begin(), all.end(), [&](const Language& l) { return l.code == code; });
}

std::string LanguageChoice::FromLocale(std::string_view locale)
{
    // language[_territory][.codeset][@modifier]
    const std::string_view language = locale.substr(0, locale.find_first_of("_.@"));
    if (language == "pt")
        return "pt_BR";
    return IsShipped(language) ? std::string(language) : std::string();
}

std::string LanguageChoice::FromEnvironment(const Getenv& getenv)
{
    if (const char* list = getenv("LANGUAGE"))
    {
        std::string_view rest = list;
        while (!rest.empty())
        {
            const size_t colon = rest.find(':');
            std::string found = FromLocale(rest.substr(0, colon));
            if (!found.empty())
                return found;
            rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        }
    }
    // The same precedence as the C library's: the first that is set wins.
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
    {
        const char* value = getenv(name);
        if (value && *value)
            return FromLocale(value);
    }
    return {};
}

std::string LanguageChoice::Pick(std::string_view stored, const Getenv& getenv)
{
    return IsShipped(stored) ? std::string(stored) : FromEnvironment(getenv);
}

std::string LanguageChoice::FilePath(std::string_view code)
{
    return "bin/lang_" + std::string(code) + ".txt";
}

} // namespace Spindrel
