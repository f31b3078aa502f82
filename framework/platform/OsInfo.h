#pragma once

#include <string>
#include <string_view>

namespace Quillo
{

// The operating system's version as the start-up log and the crash report
// describe it.
struct OsVersion
{
    std::string name;
    unsigned major = 0;
    unsigned minor = 0;
    unsigned build = 0;
    // The distribution's name ("Debian GNU/Linux 12 (bookworm)").
    std::string additionalInfo;
    // A kind with no platform line of its own in the start-up log.
    int platformKind = 3;
};

class OsInfo
{
public:
    // From uname (kernel release "6.1.0-18-amd64" -> 6, 1, 0) and the
    // PRETTY_NAME of /etc/os-release (or /usr/lib/os-release).
    static OsVersion Query();

    // The leading "major.minor.build" numbers of a kernel release; missing
    // parts stay 0.
    static void ParseRelease(std::string_view release, unsigned& major, unsigned& minor, unsigned& build);
    // PRETTY_NAME of os-release text, without its quotes; empty when absent.
    static std::string PrettyName(std::string_view osRelease);
};

} // namespace Quillo
