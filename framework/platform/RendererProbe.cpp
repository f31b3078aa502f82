#include "framework/platform/RendererProbe.h"

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
        Reap(true);
}

int RendererProbe::Reap(bool kill)
{
    if (kill)
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
    std::string text;
    bool late = false;
    for (;;)
    {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        pollfd p{m_output, POLLIN, 0};
        const int ready = left > 0 ? ::poll(&p, 1, int(left)) : 0;
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0)
        {
            late = true;
            break;
        }
        char buffer[512];
        const ssize_t got = ready > 0 ? ::read(m_output, buffer, sizeof buffer) : -1;
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break; // the child closed its output, most likely by ending
        text.append(buffer, size_t(got));
        if (text.size() > kMaxOutput)
            break;
    }
    const bool tooLong = text.size() > kMaxOutput;
    const int status = Reap(late || tooLong);
    if (late)
    {
        failure = "no answer within " + std::to_string(timeoutMs) + " ms";
        return std::nullopt;
    }
    if (WIFSIGNALED(status) && !tooLong)
    {
        failure = "ended by signal " + std::to_string(WTERMSIG(status));
        return std::nullopt;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
    {
        failure = "ended with code " + std::to_string(WEXITSTATUS(status));
        return std::nullopt;
    }
    const std::string line = text.substr(0, text.find('\n'));
    auto report = tooLong ? std::nullopt : RendererReport::FromLine(line);
    if (!report)
        failure = "answered \"" + line.substr(0, 80) + "\"";
    return report;
}

} // namespace Quillo
