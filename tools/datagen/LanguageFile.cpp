#include "tools/datagen/LanguageFile.h"

#include "tools/datagen/DataWriter.h"

#include <stdexcept>

namespace Spindrel::Datagen
{

const std::vector<TextEntry>& EnglishTexts()
{
    static const std::vector<TextEntry> texts = {
        {"Stage", ""},                      // 0: HUD, "%s:  %d-%d"
        {"Score", ""},                      // 1: HUD, "%s:  %d"
        {"Lives", ""},                      // 2: HUD, "%s:  %d"
        {"Spindrel", ""},                   // 3: not shown
        {"Click here to start", ""},        // 4: title screen link
        {"Not you? Click here!", ""},       // 5: main menu player link
        {"Music", ""},                      // 6
        {"Sound effects", ""},              // 7
        {"3D acceleration", ""},            // 8
        {"Full screen", ""},                // 9
        {"Custom cursors", ""},             // 10
        {"Game Paused", ""},                // 11: in-game options header
        {"Options", ""},                    // 12: main menu options header
        {"Menu", ""},                       // 13: in-game menu button, also on the board
        {"3D Acceleration", ""},            // 14
        {"Your graphics card may not handle 3D acceleration well. If the game looks wrong or runs slowly, "
         "switch it off again.",
            ""},                            // 15
        {"OK", ""},                         // 16
        {"Full Screen", ""},                // 17
        {"Your desktop cannot show the game in a window, so it stays in full screen.", ""}, // 18
        {"Welcome,", ""},                   // 19: "%s %s" with the player's name
        {"High Scores", ""},                // 20
        {"Play On", ""},                    // 21
        {"Leave Game", ""},                 // 22
        {"Your game will be saved. Pick it up again any time from the main menu.", ""}, // 23
        {"Welcome Back!", ""},              // 24
        {"You have a saved game. Would you like to carry on where you left off?", ""}, // 25
        {"No", ""},                         // 26
        {"Yes", ""},                        // 27
        {"Quit", ""},                       // 28
        {"Thanks for playing Spindrel. See you again soon!", ""}, // 29
        {"Spindrel", ""},                   // 30: not shown
        {"Well done! You took place %d in the high-score table.", "d"}, // 31
        {"No points this time. Keep trying!", ""}, // 32
        {"You scored %d points.", "d"},     // 33
        {"Your next game starts at stage %d, level %d.", "dd"}, // 34
        {"Stage", ""},                      // 35: "%s %d-%d"
        {"Last life!", ""},                 // 36
        {"%d lives left", "d"},             // 37
        {"Combo x%d!", "d"},                // 38
        {"Revealed combo x%d!", "d"},       // 39
        {"Level complete", ""},             // 40: not shown
        {"Level %d Complete!", "d"},        // 41
        {"Level:", ""},                     // 42
        {"Level score:", ""},               // 43
        {"Total score:", ""},               // 44
        {"Combos:", ""},                    // 45
        {"Revealed combos:", ""},           // 46
        {"Longest combo:", ""},             // 47
        {"Longest revealed combo:", ""},    // 48
        {"Time (new record!):", ""},        // 49
        {"Time:", ""},                      // 50
        {"Record time:", ""},               // 51
        {"Record held by %s", "s"},         // 52
        {"Pause!", ""},                     // 53
        {"Rollback!", ""},                  // 54
        {"Paused", ""},                     // 55
        {"Congratulations!", ""},           // 56
        {"You have finished every level of Spindrel with %d points!", "d"}, // 57
        {"You took place %d in the high-score table.", "d"}, // 58
        {"Game Over", ""},                  // 59
        {"Stage %d reached!", "d"},         // 60
        {"Loading, please wait...", ""},    // 61
        {"Extra life!", ""},                // 62
        {"New Player", ""},                 // 63
        {"Please type your name:", ""},     // 64
        {"Choose Player", ""},              // 65
        {"New", ""},                        // 66
        {"Delete", ""},                     // 67
        {"Delete Player", ""},              // 68
        {"Do you really want to delete %s and all of their progress?", "s"}, // 69
        {"Yes", ""},                        // 70
        {"No", ""},                         // 71
        {"Cancel", ""},                     // 72
        {"Stage", ""},                      // 73: "%s %d"
        {"Not Saved", ""},                  // 74
        {"The game could not write %s: the disk may be full or the folder read-only. Your last save is kept "
         "and the game goes on.",
            "s"},                           // 75
        {"Your game could not be saved: the disk may be full or the folder read-only. Leave it anyway?", ""}, // 76
        {"Your game could not be saved.", ""}, // 77: the box shown when closing
        {"Not Deleted", ""},                // 78
        {"The game could not delete %s: the folder may be read-only.", "s"}, // 79
        {"Gamepad: the D-pad or the left stick moves, A chooses, B goes back, Start opens the menu, the shoulder buttons jump along the chain.",
            ""},                            // 80: title screen, while a pad is connected
    };
    return texts;
}

std::string Placeholders(std::string_view text)
{
    std::string found;
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] != '%')
            continue;
        char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (next == '%')
        {
            ++i;
            continue;
        }
        found += (next == 'd' || next == 's') ? next : '?';
        ++i;
    }
    return found;
}

void WriteLanguageFiles(const DataWriter& out)
{
    const auto& texts = EnglishTexts();
    if (texts.size() != 81)
        throw std::logic_error("the language file needs exactly 81 texts");
    std::string file = "-- Spindrel: English texts. Lines starting with '-' are comments; every other\n"
                       "-- line is the next text, in order.\n";
    for (size_t i = 0; i < texts.size(); ++i)
    {
        const TextEntry& e = texts[i];
        if (Placeholders(e.text) != e.placeholders)
            throw std::logic_error("text " + std::to_string(i) + " has the wrong placeholders");
        if (e.text.size() < 2 || e.text.front() == '-' || e.text.find_first_of("^\r\n") != std::string_view::npos)
            throw std::logic_error("text " + std::to_string(i) + " cannot be written as one entry");
        file += "-- " + std::to_string(i) + "\n";
        file += e.text;
        file += "\n";
    }
    out.Write("bin/lng.opt", "bin/lang_en.txt\n");
    out.Write("bin/lang_en.txt", file);
}

} // namespace Spindrel::Datagen
