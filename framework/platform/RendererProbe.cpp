#include "framework/platform/RendererProbe.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace Quillo
{

namespace
{

// A report is one short line; more is not one.
constexpr size_t kMaxOutput = 4096;

} // namespace

bool RendererProbe::IsRequest(int argc, char** argv)
{
    return argc == 2 && argv[1] && std::strcmp(argv[1], kArgument) == 0;
}

RendererProbe::RendererProbe(const std::vector<std::string>& command)
    : m_start(std::chrono::steady_clock::now())
{
    if (command.empty())
    {
        m_startFailure = "no command";
        return;
    }
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
    {
        m_startFailure = std::string("no pipe: ") + std::strerror(errno);
        return;
    }
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    ::posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& word : command)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int error = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (error != 0)
    {
        ::close(fds[0]);
        m_startFailure = "cannot start " + command[0] + ": " + std::strerror(error);
        return;
    }
    m_pid = pid;
    m_output = fds[0];
}

RendererProbe::~RendererProbe()
{
    if (m_pid > 0)
        Kill();
}

int RendererProbe::Kill()
{
    ::kill(m_pid, SIGKILL);
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR)
    {
    }
    ::close(m_output);
    m_pid = -1;
    m_output = -1;
    return status;
}

std::optional<RendererReport> RendererProbe::Finish(int timeoutMs, std::string& failure)
{
    if (m_pid < 0)
    {
        failure = m_startFailure.empty() ? "already finished" : m_startFailure;
        return std::nullopt;
    }
    const auto deadline = m_start + std::chrono::milliseconds(timeoutMs);
    auto msLeft = [&deadline]
    {
        const auto left = deadline - std::chrono::steady_clock::now();
        return std::max<long long>(
            0, std::chrono::duration_cast<std::chrono::milliseconds>(left).count());
    };
    // The line, until it is whole, the output ends or the time is up.
    std::string text;
    bool late = false;
    while (text.find('\n') == std::string::npos && text.size() <= kMaxOutput)
    {
        pollfd p{m_output, POLLIN, 0};
        const int ready = ::poll(&p, 1, int(msLeft()));
        if (ready < 0 && errno == EINTR)
            continue;
        late = ready == 0;
        if (late)
            break;
        char buffer[512];
        const ssize_t got = ::read(m_output, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break; // the output ended, most likely with the child
        text.append(buffer, size_t(got));
    }
    const bool whole = text.find('\n') != std::string::npos;
    const bool tooLong = !whole && text.size() > kMaxOutput;
    // Then the child's end, until the time is up: one that answered but
    // hangs on its way out is killed, its answer kept.
    int status = 0;
    bool ended = false;
    while (!late && !tooLong && !ended && msLeft() > 0)
    {
        const pid_t done = ::waitpid(m_pid, &status, WNOHANG);
        ended = done == m_pid;
        if (done < 0 && errno != EINTR)
            break;
        if (!ended)
            ::poll(nullptr, 0, 5);
    }
    if (ended)
    {
        ::close(m_output);
        m_pid = -1;
        m_output = -1;
    }
    else
    {
        status = Kill();
    }
    const std::string line = text.substr(0, text.find('\n'));
    if (!whole && !tooLong && !ended)
    {
        failure = "no answer within " + std::to_string(timeoutMs) + " ms";
        return std::nullopt;
    }
    if (ended && WIFSIGNALED(status))
    {
        failure = "ended by signal " + std::to_string(WTERMSIG(status));
        return std::nullopt;
    }
    if (ended && WIFEXITED(status) && WEXITSTATUS(status) != 0)
    {
        failure = "ended with code " + std::to_string(WEXITSTATUS(status));
        return std::nullopt;
    }
    auto report = whole ? RendererReport::FromLine(line) : std::nullopt;
    if (!report)
        failure = "answered \"" + line.substr(0, 80) + "\"";
    return report;
}

} // namespace Quillo
