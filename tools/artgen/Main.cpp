// spindrel-artgen: paints the game's pictures and image fonts and writes the
// resource manifest into a data folder.
//
//   spindrel-artgen --out DIR [--tracks DIR] [--stamp FILE --depfile FILE]
//                   [--sheets DIR] [--icons DIR]

#include "tools/artgen/BallArt.h"
#include "tools/artgen/Faces.h"
#include "tools/artgen/IconArt.h"
#include "tools/artgen/ImageFonts.h"
#include "tools/artgen/InterfaceArt.h"
#include "tools/artgen/Manifest.h"
#include "tools/artgen/Output.h"
#include "tools/artgen/Preview.h"
#include "tools/artgen/ScreenArt.h"
#include "tools/artgen/TrackArt.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

namespace
{

struct Options
{
    std::string out;
    std::string tracks;
    std::string stamp;
    std::string depfile;
    std::string sheets;
    std::string icons;
};

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (i + 1 >= argc)
            return false;
        const std::string value = argv[++i];
        if (arg == "--out")
            options.out = value;
        else if (arg == "--tracks")
            options.tracks = value;
        else if (arg == "--stamp")
            options.stamp = value;
        else if (arg == "--depfile")
            options.depfile = value;
        else if (arg == "--sheets")
            options.sheets = value;
        else if (arg == "--icons")
            options.icons = value;
        else
            return false;
    }
    return !options.out.empty() && options.stamp.empty() == options.depfile.empty();
}

// A Make-style depfile: the stamp depends on every file that was read.
void WriteDepfile(const Options& options, const Spindrel::Art::Output& output)
{
    std::ofstream dep(options.depfile, std::ios::trunc);
    dep << options.stamp << ":";
    for (const std::string& input : output.Inputs())
    {
        dep << " \\\n ";
        for (char c : input)
        {
            if (c == ' ' || c == '#' || c == '\\')
                dep << '\\';
            dep << c;
        }
    }
    dep << "\n";
    std::ofstream(options.stamp, std::ios::trunc) << "painted\n";
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options))
    {
        std::fprintf(stderr, "usage: spindrel-artgen --out DIR [--tracks DIR] "
                             "[--stamp FILE --depfile FILE] [--sheets DIR] [--icons DIR]\n");
        return 2;
    }
    if (options.tracks.empty())
        options.tracks = options.out + "/levels";
    try
    {
        Spindrel::Art::Output output(options.out);
        Spindrel::Art::Faces faces(output);
        Spindrel::Art::PaintBallArt(output, faces);
        Spindrel::Art::PaintInterfaceArt(output, faces);
        Spindrel::Art::PaintScreenArt(output, faces);
        Spindrel::Art::PaintTrackArt(output, options.tracks);
        Spindrel::Art::PaintImageFonts(output, faces);
        Spindrel::Art::PaintIcons(output, options.icons, "com.tolvane.Spindrel");
        Spindrel::Art::WriteManifest(output);
        if (!options.sheets.empty())
        {
            Spindrel::Art::PreviewScenes(output, faces, options.tracks);
            output.WriteContactSheets(options.sheets, faces);
        }
        if (!options.stamp.empty())
            WriteDepfile(options, output);
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "spindrel-artgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
