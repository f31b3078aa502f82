#include "framework/platform/FileSystem.h"
#include "framework/resources/ResourceManager.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/WidgetManager.h"
#include "game/app/GameApp.h"
#include "game/app/LanguageChoice.h"
#include "game/app/TextTable.h"
#include "game/screens/MainMenuWidget.h"

#include <cstdlib>

namespace Spindrel
{

namespace
{

constexpr const char* kLanguageSetting = "Language";

std::string StoredLanguage(Quillo::SettingsAccess& settings)
{
    std::string code;
    return settings.ReadString(kLanguageSetting, code) ? code : std::string();
}

const char* Environment(const char* name)
{
    return std::getenv(name);
}

// "bin/lang_de.txt" -> "de"; a file of another name counts as English.
std::string LanguageOfFile(const std::string& path)
{
    const std::string prefix = "bin/lang_";
    const std::string suffix = ".txt";
    if (path.size() <= prefix.size() + suffix.size() || path.compare(0, prefix.size(), prefix) != 0 ||
        path.compare(path.size() - suffix.size(), suffix.size(), suffix) != 0)
        return "en";
    const std::string code = path.substr(prefix.size(), path.size() - prefix.size() - suffix.size());
    return LanguageChoice::IsShipped(code) ? code : "en";
}

} // namespace

std::string GameApp::NextLanguage()
{
    return LanguageChoice::Pick(StoredLanguage(Settings()), Environment);
}

void GameApp::ChooseLanguage(const std::string& code)
{
    if (LanguageChoice::IsShipped(code))
        Settings().WriteString(kLanguageSetting, code);
}

void GameApp::LoadLanguage()
{
    const std::string picked = NextLanguage();
    texts->LoadTextTable([this](const std::string& warning) { ShowWarning(warning); }, {},
                         picked.empty() ? std::string() : LanguageChoice::FilePath(picked));
    language = LanguageOfFile(texts->FileName());
    Quillo::Dialog::yesLabel = GetText(70);
    Quillo::Dialog::noLabel = GetText(71);
    Quillo::Dialog::okLabel = GetText(16);
    Quillo::Dialog::cancelLabel = GetText(72);
    for (const auto& [id, image] : resourceManager->Images())
    {
        const auto listed = listedImagePaths.try_emplace(id, image->path).first;
        image->path = LocalizedImagePath(listed->second);
    }
}

void GameApp::SwitchLanguage(const std::string& code)
{
    ChooseLanguage(code);
    LoadLanguage();
    if (mainMenu)
    {
        CloseMainMenu();
        if (AddMainMenu())
            widgetManager->SetFocus(mainMenu.get());
    }
}

std::string GameApp::LocalizedImagePath(const std::string& path) const
{
    const size_t slash = path.rfind('/');
    if (language == "en" || slash == std::string::npos)
        return path;
    // "gfx/MainMenu/mb_start" has its German words in "gfx/MainMenu/de/mb_start".
    const std::string localized = path.substr(0, slash + 1) + language + path.substr(slash);
    for (const char* extension : {".png", ".jpg"})
    {
        if (Quillo::FileSystem::Exists(localized + extension))
            return localized;
    }
    return path;
}

} // namespace Spindrel
