#include "framework/diagnostics/CrashFilter.h"

#include "framework/diagnostics/CrashReport.h"
#include "framework/platform/PosixCrashHandler.h"

#include <cstdlib>

namespace Quillo
{

void InstallCrashFilter(const char* installedViewer)
{
    PosixCrashHandler::Install(&CrashReport::Format, installedViewer);
}

void SetCrashApplicationInfo(const std::string& product, const std::string& version,
                             const std::string& soundVersion, uint64_t mainThreadId)
{
    PosixCrashHandler::SetApplicationInfo(product.c_str(), version.c_str(), nullptr,
                                          soundVersion.empty() ? nullptr : soundVersion.c_str(), mainThreadId);
}

void SetCrashReportFolder(const std::string& folder)
{
    if (folder.empty())
    {
        PosixCrashHandler::SetReportPath(nullptr);
        return;
    }
    const std::string path = folder + (folder.back() == '/' ? "" : "/") + "crash.txt";
    PosixCrashHandler::SetReportPath(path.c_str());
}

void ClearCrashApplicationInfo()
{
    PosixCrashHandler::ClearApplicationInfo();
}

uint64_t CrashThreadId()
{
    return PosixCrashHandler::CurrentThreadId();
}

void PrepareCrashThread()
{
    PosixCrashHandler::PrepareThread();
}

void SetCrashFullscreen(bool fullscreen)
{
    PosixCrashHandler::SetFullscreen(fullscreen);
}

// The undefined-behaviour checker would stop the process on the store
// itself, before the crash filter it is meant to exercise.
__attribute__((no_sanitize("undefined"))) void CrashOnPurpose()
{
    volatile int* nowhere = nullptr;
    *nowhere = 0;
    std::abort();
}

} // namespace Quillo
