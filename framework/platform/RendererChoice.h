#pragma once

#include "framework/platform/RendererProbe.h"
#include "framework/platform/RendererReport.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Quillo
{

// Whether the accelerated renderer is worth making in the game's process,
// learnt without making it there: once made, a renderer keeps its OpenGL
// libraries mapped for the rest of the run (tens of megabytes), and loading
// a software rasteriser's is a good part of the start. The answer is the
// one kept for this machine, else a child process's (RendererProbe), which
// is then kept for the next start.
class RendererChoice
{
public:
    struct Setup
    {
        // The command that makes this program answer (RendererProbe::Answer);
        // empty: no child, and the renderer is tried in the process.
        std::vector<std::string> probeCommand;
        // The file the answer is kept in; empty: none.
        std::string keptFile;
        // What would change the answer (MachineKey); the kept answer counts
        // only while it is the same.
        std::string machineKey;
        int timeoutMs = 4000;
        // The graphics device check's result, forced (tests). The program
        // takes QUILLO_GRAPHICS_DEVICE=present or absent.
        std::optional<bool> device;
    };

    explicit RendererChoice(Setup setup);

    // Whether a graphics device is there that an accelerated renderer could
    // draw with. Without one, it could only end on a software rasteriser.
    bool DeviceAvailable() const;
    // Starts the child when its answer will be needed (a device, nothing
    // kept), so that it works while the window is made.
    void Begin();
    // The kept answer, else the child's (then kept). Nothing when neither
    // is known: without a child, or when it failed (said once on the error
    // stream); the renderer is then tried in the process.
    const std::optional<RendererReport>& Answer();
    // An answer learnt by making the renderer in the process (the child
    // failed, or the machine changed in a way the key missed): kept.
    void Remember(const RendererReport& report);

    // The facts that change the answer: the video driver, the display, the
    // graphics devices with their kernel drivers and versions, the
    // installed libraries, this program and SDL.
    static std::string MachineKey(const std::string& videoDriver);

private:
    std::optional<RendererReport> ReadKept() const;
    void Keep(const RendererReport& report) const;

    Setup m_setup;
    bool m_answered = false;
    std::optional<RendererReport> m_answer;
    std::unique_ptr<RendererProbe> m_child;
};

} // namespace Quillo
