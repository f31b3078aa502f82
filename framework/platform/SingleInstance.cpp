#include "framework/platform/SingleInstance.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace Quillo
{

namespace
{

bool FillAddress(sockaddr_un& addr, const std::string& path)
{
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path)
        return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

} // namespace

SingleInstance::SingleInstance(std::string directory) : m_directory(std::move(directory)) {}

SingleInstance::~SingleInstance()
{
    if (m_listenFd >= 0)
    {
        ::close(m_listenFd);
        ::unlink(m_socketPath.c_str());
    }
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

bool SingleInstance::Acquire(const std::string& name)
{
    const std::string lockPath = m_directory + "/" + name + "Mutex.lock";
    m_lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_lockFd < 0)
        return true; // no lock file possible: do not keep the program from running
    if (::flock(m_lockFd, LOCK_EX | LOCK_NB) != 0)
    {
        ::close(m_lockFd);
        m_lockFd = -1;
        return false;
    }

    // The lock is ours, so any socket file left behind is stale.
    m_socketPath = m_directory + "/Notify" + name + ".sock";
    sockaddr_un addr;
    if (!FillAddress(addr, m_socketPath))
        return true;
    ::unlink(m_socketPath.c_str());
    m_listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_listenFd < 0)
        return true;
    if (::bind(m_listenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(m_listenFd, 4) != 0)
    {
        ::close(m_listenFd);
        m_listenFd = -1;
    }
    return true;
}

void SingleInstance::Signal(const std::string& name)
{
    sockaddr_un addr;
    if (!FillAddress(addr, m_directory + "/Notify" + name + ".sock"))
        return;
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0)
    {
        const char byte = 1;
        (void)!::write(fd, &byte, 1);
    }
    ::close(fd);
}

bool SingleInstance::PollSignal()
{
    if (m_listenFd < 0)
        return false;
    // Asked every frame: a poll costs far less than an accept, which makes
    // and drops a socket even when nobody is waiting.
    pollfd waiting{m_listenFd, POLLIN, 0};
    if (::poll(&waiting, 1, 0) <= 0 || (waiting.revents & POLLIN) == 0)
        return false;
    bool any = false;
    for (;;)
    {
        int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            break;
        any = true;
        ::close(fd);
    }
    return any;
}

} // namespace Quillo
