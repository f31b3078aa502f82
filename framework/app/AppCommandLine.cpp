// The application's command line: the process arguments, split into
// parameters and handled by the framework's parameter set.
#include "framework/app/QuilloAppBase.h"

namespace Quillo
{

void QuilloAppBase::SetCommandLine(int argc, const char* const* argv)
{
    commandLine = CommandLine::Join(argc, argv);
}

void QuilloAppBase::ParseCommandLine()
{
    commandLineParsed = true;
    if (const std::optional<std::string> params = CommandLine::ParamText(commandLine))
        ParseParams(*params);
}

void QuilloAppBase::ParseParams(const std::string& text)
{
    CommandLine::ParseParams(text, [this](const std::string& name, const std::string& value) {
        HandleParam(name, value);
    });
}

bool QuilloAppBase::HandleParam(const std::string& name, const std::string& value)
{
    std::string error;
    if (!CommandLine::HandleParam(name, value, demoFilePrefix, frameworkParams, error))
    {
        ShowFatalError(error);
        EndProcess(0);
    }
    if (!frameworkParams.demoFileName.empty())
        demoFileName = frameworkParams.demoFileName;
    if (frameworkParams.screenSaver)
        screenSaverMode = true;
    return true;
}

void QuilloAppBase::SetDemoMode(DemoMode mode, const std::string& path)
{
    frameworkParams.play = mode == DemoMode::Play;
    frameworkParams.record = mode == DemoMode::Record;
    if (!path.empty())
        demoFileName = path;
}

QuilloAppBase::DemoMode QuilloAppBase::GetDemoMode() const
{
    // Playing wins: recording a playback would overwrite the file it reads.
    if (frameworkParams.play)
        return DemoMode::Play;
    return frameworkParams.record ? DemoMode::Record : DemoMode::None;
}

} // namespace Quillo
