#include "framework/platform/OsInfo.h"

#include "framework/platform/FileSystem.h"

#include <sys/utsname.h>

namespace Quillo
{

void OsInfo::ParseRelease(std::string_view release, unsigned& major, unsigned& minor, unsigned& build)
{
    unsigned* parts[3] = {&major, &minor, &build};
    for (unsigned* p : parts)
        *p = 0;
    size_t pos = 0;
    for (int i = 0; i < 3; ++i)
    {
        bool any = false;
        unsigned value = 0;
        while (pos < release.size() && release[pos] >= '0' && release[pos] <= '9')
        {
            if (value < 100000000u)
                value = value * 10 + static_cast<unsigned>(release[pos] - '0');
            ++pos;
            any = true;
        }
        if (!any)
            return;
        *parts[i] = value;
        if (pos >= release.size() || release[pos] != '.')
            return;
        ++pos;
    }
}

std::string OsInfo::PrettyName(std::string_view osRelease)
{
    constexpr std::string_view key = "PRETTY_NAME=";
    size_t pos = 0;
    while (pos < osRelease.size())
    {
        size_t end = osRelease.find('\n', pos);
        if (end == std::string_view::npos)
            end = osRelease.size();
        std::string_view line = osRelease.substr(pos, end - pos);
        pos = end + 1;
        if (line.substr(0, key.size()) != key)
            continue;
        line.remove_prefix(key.size());
        if (line.size() >= 2 && (line.front() == '"' || line.front() == '\'') && line.back() == line.front())
            line = line.substr(1, line.size() - 2);
        return std::string(line);
    }
    return {};
}

OsVersion OsInfo::Query()
{
    OsVersion v;
    struct utsname u;
    if (::uname(&u) == 0)
    {
        v.name = u.sysname;
        ParseRelease(u.release, v.major, v.minor, v.build);
    }
    for (const char* path : {"/etc/os-release", "/usr/lib/os-release"})
    {
        if (auto text = FileSystem::ReadTextFile(path))
        {
            v.additionalInfo = PrettyName(*text);
            break;
        }
    }
    return v;
}

} // namespace Quillo
