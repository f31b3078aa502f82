#pragma once

#include "tools/datagen/XmModule.h"

#include <vector>

namespace Spindrel::Datagen
{

class DataWriter;

// A part of the module that the game starts at its first order and that
// loops back there (or, for the jingles, runs into the silence).
struct MusicSection
{
    const char* name;
    int firstOrder;
    int orderCount;
    int jumpTo;
};

// The sections at the order positions the game asks for.
const std::vector<MusicSection>& MusicSections();

XmModule ComposeMusic();

// Writes music/music.mo3. The game opens that name; the player library
// recognises the module by its content, so the extended layout is kept.
void WriteMusic(const DataWriter& out);

} // namespace Spindrel::Datagen
