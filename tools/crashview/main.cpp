// crashview: shows a crash report in the "Fatal Error!" window.
//
//   crashview crash.txt    the report file; its mangled names are made
//                          readable in the file first, so that the file and
//                          the window say the same
//   crashview -            the report comes on standard input (it could
//                          not be written to a file)
//   --auto-close=MS        close by itself after MS milliseconds
//   --screenshot=FILE.bmp  save the window's first picture
//
// Without a window it falls back to a message box, then to standard error.
#include "CrashViewer.h"
#include "ReportText.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace
{

constexpr const char* kHeader = "An unexpected error has occured!";

bool ReadAll(std::istream& in, std::string& out)
{
    std::ostringstream s;
    s << in.rdbuf();
    out = s.str();
    return !in.bad();
}

bool WriteBack(const std::string& path, const std::string& text)
{
    const std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out.write(text.data(), static_cast<std::streamsize>(text.size())) || !out.flush())
            return false;
    }
    return std::rename(tmp.c_str(), path.c_str()) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::string source;
    Uint32 autoCloseMs = 0;
    std::string screenshot;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg.rfind("--auto-close=", 0) == 0)
            autoCloseMs = static_cast<Uint32>(std::strtoul(arg.c_str() + 13, nullptr, 10));
        else if (arg.rfind("--screenshot=", 0) == 0)
            screenshot = arg.substr(13);
        else
            source = arg;
    }

    std::string report;
    if (source.empty() || source == "-")
    {
        ReadAll(std::cin, report);
    }
    else
    {
        std::ifstream in(source, std::ios::binary);
        if (!in || !ReadAll(in, report))
            report = "The crash report " + source + " could not be read.\r\n";
        else
        {
            const std::string readable = ReportText::Demangle(report);
            if (readable != report)
                WriteBack(source, readable);
            report = readable;
        }
    }
    if (source.empty() || source == "-")
        report = ReportText::Demangle(report);

    if (SDL_Init(SDL_INIT_VIDEO) == 0)
    {
        CrashViewer viewer(kHeader, ReportText::Lines(report));
        const bool shown = viewer.Run(autoCloseMs, screenshot);
        SDL_Quit();
        if (shown)
            return 0;
    }
    const std::string text = std::string(kHeader) + "\n\n" + report;
    if (autoCloseMs == 0 && SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Fatal Error!", text.c_str(), nullptr) == 0)
        return 0;
    std::cerr << text << std::endl;
    return 0;
}
