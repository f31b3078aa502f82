#include "game/app/LanguageChoice.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using Spindrel::LanguageChoice;

namespace
{

// Looks the variables up in the map: unset when absent.
LanguageChoice::Getenv From(const std::map<std::string, std::string>& env)
{
    return [env](const char* name) -> const char* {
        const auto it = env.find(name);
        return it == env.end() ? nullptr : it->second.c_str();
    };
}

} // namespace

TEST(LanguageChoiceTest, TheLocaleVariablesDecideInTheirOrder)
{
    const struct
    {
        std::map<std::string, std::string> env;
        const char* language;
    } cases[] = {
        {{}, ""},
        {{{"LANG", "de_DE.UTF-8"}}, "de"},
        {{{"LANG", "fr_CA.UTF-8@euro"}}, "fr"},
        {{{"LANG", "es"}}, "es"},
        {{{"LANG", "it_IT"}}, "it"},
        {{{"LANG", "pt_BR.UTF-8"}}, "pt_BR"},
        {{{"LANG", "pt"}}, "pt_BR"},
        {{{"LANG", "pt_PT.UTF-8"}}, "pt_BR"},
        {{{"LANG", "en_GB.UTF-8"}}, "en"},
        // C and languages the game does not ship leave it to bin/lng.opt.
        {{{"LANG", "C"}}, ""},
        {{{"LANG", "C.UTF-8"}}, ""},
        {{{"LANG", "POSIX"}}, ""},
        {{{"LANG", "ja_JP.UTF-8"}}, ""},
        {{{"LANG", "deu"}}, ""},
        // LC_MESSAGES before LANG, LC_ALL before both; the first set one
        // wins even when it names no shipped language.
        {{{"LANG", "de_DE"}, {"LC_MESSAGES", "it_IT"}}, "it"},
        {{{"LANG", "de_DE"}, {"LC_MESSAGES", "it_IT"}, {"LC_ALL", "es_ES"}}, "es"},
        {{{"LANG", "de_DE"}, {"LC_ALL", "C"}}, ""},
        {{{"LANG", "de_DE"}, {"LC_ALL", ""}}, "de"},
        // LANGUAGE first: its first shipped entry.
        {{{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "fr"}}, "fr"},
        {{{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "ja:sv:pt_BR:de"}}, "pt_BR"},
        {{{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "ja"}}, "de"},
        {{{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", ""}}, "de"},
        {{{"LC_ALL", "it_IT"}, {"LANGUAGE", ":en_US:"}}, "en"},
    };
    for (const auto& c : cases)
    {
        std::string env;
        for (const auto& [name, value] : c.env)
            env += name + "=" + value + " ";
        EXPECT_EQ(LanguageChoice::FromEnvironment(From(c.env)), c.language) << env;
    }
}

TEST(LanguageChoiceTest, AStoredChoiceComesBeforeTheLocaleWhenTheGameShipsIt)
{
    const auto env = From({{"LANG", "de_DE.UTF-8"}});
    EXPECT_EQ(LanguageChoice::Pick("it", env), "it");
    EXPECT_EQ(LanguageChoice::Pick("en", env), "en");
    EXPECT_EQ(LanguageChoice::Pick("", env), "de");
    EXPECT_EQ(LanguageChoice::Pick("xx", env), "de");
    // A stored code is a file name: nothing but a shipped code is used.
    EXPECT_EQ(LanguageChoice::Pick("../../etc/passwd", env), "de");
    EXPECT_EQ(LanguageChoice::FilePath("pt_BR"), "bin/lang_pt_BR.txt");
}
