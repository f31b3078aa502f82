#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace Quillo
{

// What the framework's own parameters ask for.
struct FrameworkParams
{
    bool play = false;
    bool record = false;
    std::string demoFileName;
    bool screenSaver = false;
    bool crash = false;
};

// The process command line and its parameters.
class CommandLine
{
public:
    using Handler = std::function<void(const std::string& name, const std::string& value)>;

    // Forms the process command line from main's arguments: the program
    // name, then each argument after a blank. Arguments that hold blanks
    // are put in double quotes so that they come back whole.
    static std::string Join(int argc, const char* const* argv);

    // The parameter text after the program name (skipped up to its closing
    // double quote when it is quoted, then up to the first blank); none
    // when no blank follows.
    static std::optional<std::string> ParamText(std::string_view commandLine);

    // Splits the parameter text into (name, value) calls: a double quote
    // toggles quoting and a closing one ends the parameter, a blank outside
    // quotes ends it, "=" switches to the value. The last character of the
    // text also ends the current parameter, so a trailing blank gives one
    // more call with an empty name.
    static void ParseParams(std::string_view text, const Handler& handle);

    // The framework's parameters. Returns false with `error` set for an
    // unknown name. Calls with an empty name (from doubled blanks) are
    // ignored. `demoPrefix` names the numbered demo files (prefix + "%d.dmo").
    static bool HandleParam(const std::string& name, const std::string& value, const std::string& demoPrefix,
                            FrameworkParams& params, std::string& error);
};

} // namespace Quillo
