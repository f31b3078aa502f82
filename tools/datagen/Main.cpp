#include "tools/datagen/DataWriter.h"
#include "tools/datagen/LanguageFile.h"
#include "tools/datagen/LevelTables.h"
#include "tools/datagen/Music.h"
#include "tools/datagen/Sounds.h"
#include "tools/datagen/Tracks.h"
#include "tools/datagen/Translations.h"

#include <cstdio>
#include <exception>
#include <vector>

// Generates the game's tracks, tables, texts, sounds and music into the
// folder given on the command line (the folder that holds the program); the
// translations are read from the second folder.
int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: %s <output folder> <translations folder>\n", argv[0]);
        return 2;
    }
    try
    {
        Spindrel::Datagen::DataWriter out(argv[1]);
        std::vector<double> ease = Spindrel::Datagen::WriteTracks(out);
        Spindrel::Datagen::WriteLevelTables(out, ease);
        Spindrel::Datagen::WriteLanguageFiles(out);
        Spindrel::Datagen::WriteTranslations(out, argv[2]);
        Spindrel::Datagen::WriteSoundEffects(out);
        Spindrel::Datagen::WriteMusic(out);
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "spindrel-datagen: %s\n", e.what());
        return 1;
    }
    return 0;
}
