// Finding the data: beside the program in a build tree or an unpacked
// folder, in the shared folder of an installed program.
#include "framework/app/QuilloAppBase.h"

#include "framework/app/DataFolder.h"
#include "framework/diagnostics/CrashFilter.h"
#include "framework/platform/FileSystem.h"

namespace Quillo
{

namespace
{
// The manifest is the one file every data folder has; LoadResourceManifest
// reads it from the working directory.
constexpr const char* kDataMarker = "properties/resources.xml";
} // namespace

void QuilloAppBase::EnterDataFolder(const std::string& programDirectory)
{
    const DataFolder data = DataFolder::Find(programDirectory, installedDataPath, kDataMarker);
    dataInstalled = data.IsInstalled();
    if (data.Where() == DataFolder::Place::Missing)
    {
        // A program with no installed layout reports the missing manifest
        // itself, through the resource manager, as it always has.
        if (installedDataPath.empty())
        {
            FileSystem::SetCurrentDirectory(programDirectory);
            return;
        }
        ShowFatalError(data.MissingMessage(productName));
        // Not the quiet 0 of other start-up problems: a launcher or a
        // script must see that the game could not start.
        EndProcess(1);
    }
    if (!FileSystem::SetCurrentDirectory(data.Directory()))
    {
        ShowFatalError(productName + " cannot enter its data folder " + data.Directory() + ".");
        EndProcess(1);
    }
}

void QuilloAppBase::SetOutputFolder(const std::string& folder)
{
    outputFolder = FileSystem::NormalizePath(folder);
    if (!outputFolder.empty() && outputFolder.back() != '/')
        outputFolder += '/';
    // The crash report is opened inside the fault handler, which cannot
    // make folders; without the folder the report still reaches the viewer.
    if (!outputFolder.empty())
        FileSystem::MakeDirectories(outputFolder);
    SetCrashReportFolder(outputFolder);
}

} // namespace Quillo
