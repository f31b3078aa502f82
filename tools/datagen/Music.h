#pragma once

#include "tools/datagen/XmModule.h"

namespace Spindrel::Datagen
{

class DataWriter;

XmModule ComposeMusic();

// Writes music/music.mo3. The game opens that name; the player library
// recognises the module by its content, so the extended layout is kept.
void WriteMusic(const DataWriter& out);

} // namespace Spindrel::Datagen
