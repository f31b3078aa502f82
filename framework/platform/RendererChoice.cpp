#include "framework/platform/RendererChoice.h"

#include "framework/platform/FileSystem.h"

#include <SDL2/SDL.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace Quillo
{

namespace
{

std::string Env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::string FirstLine(const std::string& path)
{
    const auto text = FileSystem::ReadFile(path, 256, nullptr);
    if (!text)
        return {};
    std::string line(text->begin(), text->end());
    return line.substr(0, line.find('\n'));
}

// The last part of where a link points ("../../bus/pci/drivers/i915": "i915").
std::string LinkName(const std::string& path)
{
    char target[512];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
    if (n <= 0)
        return {};
    const std::string t(target, size_t(n));
    return t.substr(t.find_last_of('/') + 1);
}

std::string FileStamp(const std::string& path)
{
    return std::to_string(FileSystem::ModificationTime(path));
}

} // namespace

RendererChoice::RendererChoice(Setup setup) : m_setup(std::move(setup))
{
}

bool RendererChoice::DeviceAvailable() const
{
    if (m_setup.device)
        return *m_setup.device;
    const std::string forced = Env("QUILLO_GRAPHICS_DEVICE");
    if (forced == "present" || forced == "absent")
        return forced == "present";
    for (const char* node : {"/dev/dri", "/dev/nvidiactl"})
    {
        if (::access(node, F_OK) == 0)
            return true;
    }
    return false;
}

void RendererChoice::Begin()
{
    if (m_answered || m_child || m_setup.probeCommand.empty() || !DeviceAvailable())
        return;
    m_answer = ReadKept();
    if (m_answer)
    {
        m_answered = true;
        return;
    }
    m_child = std::make_unique<RendererProbe>(m_setup.probeCommand);
}

const std::optional<RendererReport>& RendererChoice::Answer()
{
    if (m_answered)
        return m_answer;
    Begin();
    m_answered = true;
    if (!m_child)
        return m_answer;
    std::string failure;
    m_answer = m_child->Finish(m_setup.timeoutMs, failure);
    m_child.reset();
    if (m_answer)
        Keep(*m_answer);
    else
        std::fprintf(stderr,
                     "Display: the renderer probe failed (%s); the renderer is tried in the game\n",
                     failure.c_str());
    return m_answer;
}

void RendererChoice::Remember(const RendererReport& report)
{
    const bool same = m_answer && m_answer->ToLine() == report.ToLine();
    m_answer = report;
    m_answered = true;
    if (!same)
        Keep(report);
}

std::optional<RendererReport> RendererChoice::ReadKept() const
{
    if (m_setup.keptFile.empty())
        return std::nullopt;
    const auto text = FileSystem::ReadTextFile(m_setup.keptFile);
    if (!text)
        return std::nullopt;
    const size_t end = text->find('\n');
    if (end == std::string::npos || text->substr(0, end) != m_setup.machineKey)
        return std::nullopt;
    std::string line = text->substr(end + 1);
    line = line.substr(0, line.find('\n'));
    return RendererReport::FromLine(line);
}

void RendererChoice::Keep(const RendererReport& report) const
{
    if (m_setup.keptFile.empty())
        return;
    const std::string& path = m_setup.keptFile;
    const size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0)
        FileSystem::MakeDirectories(path.substr(0, slash));
    // A file that cannot be written only means the child runs again.
    (void)FileSystem::WriteFileAtomic(path, m_setup.machineKey + "\n" + report.ToLine() + "\n");
}

std::string RendererChoice::MachineKey(const std::string& videoDriver)
{
    std::string key =
        "video=" + videoDriver + ";display=" + Env("DISPLAY") + "," + Env("WAYLAND_DISPLAY");
    // Each device with its kernel driver and that driver's version: a new
    // card, or a driver installed or updated, can change who draws.
    std::vector<std::string> devices = FileSystem::ListDirectory("/dev/dri");
    std::sort(devices.begin(), devices.end());
    for (const std::string& name : devices)
    {
        const std::string driver = LinkName("/sys/class/drm/" + name + "/device/driver");
        key += ";" + name + "=" + driver;
        if (!driver.empty())
            key += "," + FirstLine("/sys/module/" + driver + "/version");
    }
    key += ";nvidia=" + FirstLine("/proc/driver/nvidia/version");
    // The library cache changes whenever libraries are installed or
    // updated, OpenGL's and its drivers' among them.
    key += ";libs=" + FileStamp("/etc/ld.so.cache");
    SDL_version sdl;
    SDL_GetVersion(&sdl);
    key += ";sdl=" + std::to_string(sdl.major) + "." + std::to_string(sdl.minor) + "." +
           std::to_string(sdl.patch);
    const std::string program = FileSystem::ExecutablePath();
    key += ";program=" + program + "," + FileStamp(program);
    for (char& c : key)
    {
        if (c == '\n' || c == '\r')
            c = ' ';
    }
    return key;
}

} // namespace Quillo
