#pragma once

#include "framework/platform/CrashFacts.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace Quillo
{

// The handler of fatal signals (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT).
//
// It runs on an alternate stack and does only what is safe there: it
// gathers the facts of the fault into fixed storage, has them formatted,
// writes "crash.txt" into the working directory (or the report path set),
// starts the separate viewer
// program "crashview" (which shows the report in a window; the report goes
// to it through a pipe when the file cannot be written) and lets the
// process die by the same signal at once. A fault of another thread while
// the report is being written waits for it. Everything that needs the heap,
// locks or the window system (the loader's module list, the unwinder's
// set-up) was prepared at install time or happens in the viewer.
//
// The viewer is the "crashview" beside the program, else the installed one
// named at install time, or $QUILLO_CRASHVIEW; QUILLO_CRASHVIEW=off (or
// QUILLO_NO_CRASHVIEW=1, for tests) switches it off. Modules loaded after
// Install are found in /proc/self/maps when a report is written.
class PosixCrashHandler
{
public:
    using Formatter = size_t (*)(const CrashFacts& facts, char* buffer, size_t capacity);

    // Installs the handler once for the process and prepares the calling
    // thread. Later calls only replace the formatter. installedViewer is
    // the viewer of an installed program, relative to the program's folder
    // ("../libexec/name/crashview"), or null.
    static void Install(Formatter formatter, const char* installedViewer = nullptr);

    // Gives the calling thread its own alternate signal stack (each thread
    // that may fail needs one to report a stack overflow).
    static void PrepareThread();

    // The same in two halves, for a thread that must not allocate or map
    // memory once it runs (the audio callback's). MakeSignalStack maps the
    // stack on any thread; the thread itself then only installs it with
    // UseSignalStack (one system call). Its stack's lower end, which takes
    // an allocation to find, is read by another thread (StackLowOf, given
    // the thread's pthread_t) and handed to it with SetThreadStackLow. A
    // stack is freed only after its thread has ended.
    static void* MakeSignalStack();
    static void FreeSignalStack(void* stack);
    static void UseSignalStack(void* stack);
    static uintptr_t StackLowOf(uint64_t thread);
    static void SetThreadStackLow(uintptr_t low);

    // Reads the list of loaded modules again (after libraries were loaded
    // at run time).
    static void RefreshModules();

    // What the report shows once the application object exists. The texts
    // are copied; a null display or sound version means the SDL library's
    // own (both the display and the sound device are SDL's).
    static void SetApplicationInfo(const char* product, const char* version, const char* displayVersion,
                                   const char* soundVersion, uint64_t mainThreadId);
    // Replaces the sound line's text (the device was opened, lost or
    // opened again); copied.
    static void SetSoundVersion(const char* soundVersion);
    static void ClearApplicationInfo();
    // Where the report is written (copied; null or empty: "crash.txt" in
    // the working directory). Set it before other threads start.
    static void SetReportPath(const char* path);
    static void SetFullscreen(bool fullscreen);

    // True from the moment a fault is being handled: the sound mixer
    // outputs silence from then on.
    static bool CrashMuted();

    static void SetViewerEnabled(bool enabled);
    static bool ViewerEnabled();

    // The calling thread's id as the report prints it.
    static uint64_t CurrentThreadId();

    // The viewer for a program in programDirectory: the "crashview" beside
    // it when that can run, else installedViewer relative to the folder
    // (when given), else the one beside it.
    static std::string FindViewer(const std::string& programDirectory, const char* installedViewer);
};

} // namespace Quillo
