#pragma once

#include "framework/platform/RendererReport.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

struct SDL_Renderer;

namespace Quillo
{

// Learns what the accelerated renderer is without making it in this
// process: a short-lived child of the same program makes it and writes its
// report on its standard output. A renderer made here would keep its
// OpenGL libraries mapped for the rest of the run.
class RendererProbe
{
public:
    // The argument that asks the program for the report instead of a start.
    static constexpr const char* kArgument = "--renderer-probe";
    static bool IsRequest(int argc, char** argv);
    // The child's side: makes a hidden window and an accelerated renderer
    // that waits for the display's refresh, writes the report line and ends
    // the process (code 1 when not even the window could be made).
    [[noreturn]] static void Answer();
    // What a renderer is (an empty report for null).
    static RendererReport Describe(SDL_Renderer* renderer);

    // Starts command (its first word a program's path) as the child, with
    // its output read through a pipe, its input and errors on /dev/null.
    explicit RendererProbe(const std::vector<std::string>& command);
    // A child still running is killed.
    ~RendererProbe();
    RendererProbe(const RendererProbe&) = delete;
    RendererProbe& operator=(const RendererProbe&) = delete;

    // The child's report, waiting at most until timeoutMs after its start;
    // a child that takes longer is killed. Nothing, with why in failure,
    // when it could not start, was killed, ended with an error or by a
    // signal, or said nothing readable.
    std::optional<RendererReport> Finish(int timeoutMs, std::string& failure);

private:
    // Kills the child and waits for its end; its status.
    int Kill();

    int m_pid = -1;
    int m_output = -1;
    std::chrono::steady_clock::time_point m_start;
    std::string m_startFailure;
};

} // namespace Quillo
