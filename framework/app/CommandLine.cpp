#include "framework/app/CommandLine.h"

#include "framework/app/NumberedDemoFiles.h"

namespace Quillo
{

namespace
{

// Strict decimal: digits only, at most nine of them; none otherwise.
std::optional<int> ParseCount(const std::string& text)
{
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    int n = 0;
    for (char c : text)
    {
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

} // namespace

std::string CommandLine::Join(int argc, const char* const* argv)
{
    std::string out;
    for (int i = 0; i < argc; ++i)
    {
        std::string arg = argv[i] ? argv[i] : "";
        if (i > 0)
            out += ' ';
        if (i == 0 || arg.find(' ') != std::string::npos)
            out += '"' + arg + '"';
        else
            out += arg;
    }
    return out;
}

std::optional<std::string> CommandLine::ParamText(std::string_view commandLine)
{
    size_t pos = 0;
    if (!commandLine.empty() && commandLine[0] == '"')
    {
        const size_t close = commandLine.find('"', 1);
        pos = close == std::string_view::npos ? commandLine.size() : close + 1;
    }
    const size_t blank = commandLine.find(' ', pos);
    if (blank == std::string_view::npos)
        return std::nullopt;
    return std::string(commandLine.substr(blank + 1));
}

void CommandLine::ParseParams(std::string_view text, const Handler& handle)
{
    std::string name;
    std::string value;
    bool quoted = false;
    bool inValue = false;
    auto finish = [&] {
        handle(name, value);
        name.clear();
        value.clear();
        inValue = false;
    };
    for (size_t i = 0; i < text.size(); ++i)
    {
        const char c = text[i];
        bool ends = false;
        if (c == '"')
        {
            quoted = !quoted;
            ends = !quoted;
        }
        else if (c == ' ' && !quoted)
        {
            ends = true;
        }
        else if (c == '=')
        {
            inValue = true;
        }
        else
        {
            (inValue ? value : name).push_back(c);
        }
        if (ends)
            finish();
        if (i + 1 == text.size())
            finish();
    }
}

bool CommandLine::HandleParam(const std::string& name, const std::string& value, const std::string& demoPrefix,
                              FrameworkParams& params, std::string& error)
{
    // Doubled or trailing blanks make empty calls; they are not a parameter
    // and must not end the program.
    if (name.empty())
        return true;
    if (name == "-play")
    {
        params.play = true;
    }
    else if (name == "-record")
    {
        params.record = true;
    }
    else if (name == "-demofile")
    {
        params.demoFileName = value;
    }
    else if (name == "-recnum")
    {
        const std::optional<int> count = ParseCount(value);
        params.record = true;
        params.demoFileName = NumberedDemoFiles::PrepareRecording(demoPrefix, count && *count > 0 ? *count : 5);
    }
    else if (name == "-playnum")
    {
        const std::optional<int> back = ParseCount(value);
        params.play = true;
        params.demoFileName = NumberedDemoFiles::PlaybackName(demoPrefix, back && *back > 1 ? *back : 1);
    }
    else if (name == "-screensaver")
    {
        params.screenSaver = true;
    }
    else if (name == "-crash")
    {
        params.crash = true;
    }
    else
    {
        error = "Invalid Command Line Param: " + name;
        return false;
    }
    return true;
}

} // namespace Quillo
