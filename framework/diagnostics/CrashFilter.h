#pragma once

#include <cstdint>
#include <string>

namespace Quillo
{

// The process-wide crash filter: a fatal fault writes "crash.txt" and
// shows it in the "Fatal Error!" window. Installed first thing in main(),
// before the application object exists. installedViewer: the crash viewer
// of an installed program, relative to the program's folder (the one beside
// the program is used first).
void InstallCrashFilter(const char* installedViewer = nullptr);

// What the report says about the running application; set once the
// application object exists, cleared when it goes. An empty sound version
// reports the SDL library's.
void SetCrashApplicationInfo(const std::string& product, const std::string& version,
                             const std::string& soundVersion, uint64_t mainThreadId);
void ClearCrashApplicationInfo();
// "crash.txt" goes into folder (an existing folder; empty: the working
// directory), for a program whose working directory is not its own.
void SetCrashReportFolder(const std::string& folder);
// The calling thread's id as the report prints it.
uint64_t CrashThreadId();
// Gives the calling thread a signal stack, so that its stack overflowing
// still leaves a report; every thread the framework starts calls it first.
void PrepareCrashThread();
void SetCrashFullscreen(bool fullscreen);

// Ends the process through the crash filter on purpose (a null pointer
// write): the developer's check that reports work.
[[noreturn]] void CrashOnPurpose();

} // namespace Quillo
