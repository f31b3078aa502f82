#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace Spindrel
{

// The languages the game ships and which of them a player gets: the choice
// kept in the settings comes first, then the locale; when neither names a
// shipped language, "bin//lng.opt" names the install's default.
class LanguageChoice
{
public:
    struct Language
    {
        std::string_view code; // the file is "bin/lang_<code>.txt"
        std::string_view name; // in the language itself, UTF-8
    };

    // English first; the others in the order the options offer them.
    static const std::vector<Language>& Languages();
    static bool IsShipped(std::string_view code);

    // The shipped language of a locale name such as "de_DE.UTF-8@euro";
    // empty for "C", "POSIX" and languages the game does not ship.
    // Portuguese of any country gets the Brazilian texts.
    static std::string FromLocale(std::string_view locale);

    // Reads the variables through getenv: LANGUAGE (a colon-separated list
    // in order of preference) first, then the first of LC_ALL, LC_MESSAGES
    // and LANG that is set. Empty when none names a shipped language.
    using Getenv = std::function<const char*(const char* name)>;
    static std::string FromEnvironment(const Getenv& getenv);

    // The stored choice when it is shipped, else the environment's.
    static std::string Pick(std::string_view stored, const Getenv& getenv);

    static std::string FilePath(std::string_view code);
};

} // namespace Spindrel
