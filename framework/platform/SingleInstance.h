#pragma once

#include <string>

namespace Quillo
{

// Keeps a second copy of the program from running: an exclusive lock on a
// file in the runtime directory (freed by the kernel even after a crash), and
// a local socket through which a second copy asks the first to come forward.
class SingleInstance
{
public:
    explicit SingleInstance(std::string directory);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Takes "<name>Mutex.lock" and listens on "Notify<name>.sock". False when
    // another process holds the lock.
    bool Acquire(const std::string& name);
    // Sends one byte to the running copy's socket.
    void Signal(const std::string& name);
    // True once for every signal received since the last call.
    bool PollSignal();

private:
    std::string m_directory;
    std::string m_socketPath;
    int m_lockFd = -1;
    int m_listenFd = -1;
};

} // namespace Quillo
