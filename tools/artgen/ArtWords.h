#pragma once

#include <array>
#include <vector>

namespace Spindrel::Art
{

// The words painted into pictures, in one language (UTF-8).
struct ArtWords
{
    // The set's folder beside the English pictures ("de" paints
    // gfx/MainMenu/de/mb_start.png); English is painted in place.
    const char* code;
    // Main menu buttons.
    const char* play;
    const char* options;
    const char* help;
    const char* highScores;
    const char* quit;
    // Stage selection.
    const char* chooseStage;
    const char* back;
    // The help page.
    const char* howToPlay;
    const char* matchHead;
    const char* matchText;
    const char* combosHead;
    const char* combosText;
    const char* gateHead;
    const char* gateText;
    const char* bonusHead;
    // Eye, rollback, pause, magnet, bomb.
    std::array<const char*, 5> bonusNames;
    std::array<const char*, 5> bonusTexts;
    const char* keys;
};

// English first.
const std::vector<ArtWords>& AllArtWords();

} // namespace Spindrel::Art
