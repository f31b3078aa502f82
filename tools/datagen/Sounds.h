#pragma once

#include "tools/datagen/Synth.h"

#include <string>
#include <vector>

namespace Spindrel::Datagen
{

class DataWriter;

struct SoundEffect
{
    std::string name; // file stem under music/sfx, the id without SOUND_, in lower case
    Signal signal;
};

// The 21 sound effects, finished (faded and normalised).
std::vector<SoundEffect> MakeSoundEffects();

// Writes music/sfx/<name>.wav for every effect.
void WriteSoundEffects(const DataWriter& out);

} // namespace Spindrel::Datagen
