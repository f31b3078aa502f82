#include "game/app/StartupLog.h"

#include "framework/platform/FileSystem.h"
#include "framework/platform/SystemClock.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace Spindrel
{

namespace
{

std::mutex g_lock;
std::string g_path = "log.txt";
Quillo::FileGateway* g_files = &Quillo::FileGateway::Direct();

Quillo::FileGateway& Files()
{
    std::lock_guard lock(g_lock);
    return *g_files;
}

} // namespace

std::string StartupLog::Path()
{
    std::lock_guard lock(g_lock);
    return g_path;
}

void StartupLog::LogWrite(const std::string& text)
{
    // One write per line: a game killed meanwhile leaves whole lines.
    Files().Append(Quillo::FileSystem::NormalizePath(Path()), text);
}

void StartupLog::LogPrint(const char* format, ...)
{
    char buffer[1024];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n < 0)
        return;
    LogWrite(buffer);
}

void StartupLog::OpenLog(const std::string& path, Quillo::FileGateway& files)
{
    OpenLog(path, Quillo::OsInfo::Query(), Quillo::SystemClock::LocalNow(), files);
}

void StartupLog::OpenLog(const std::string& path, const Quillo::OsVersion& os, const std::tm& now,
                         Quillo::FileGateway& files)
{
    {
        std::lock_guard lock(g_lock);
        g_path = path;
        g_files = &files;
    }
    const std::string file = Quillo::FileSystem::NormalizePath(path);
    const size_t slash = file.rfind('/');
    if (slash != std::string::npos && slash > 0)
        files.MakeDirectories(file.substr(0, slash));
    // The first line replaces the old log whole.
    const std::string first = "Log File: " + path + " \n";
    if (!files.Write(file, reinterpret_cast<const uint8_t*>(first.data()), first.size()))
        return;

    char date[16];
    char time[16];
    std::strftime(date, sizeof date, "%m/%d/%y", &now);
    std::strftime(time, sizeof time, "%H:%M:%S", &now);
    LogPrint(" Date: %s, Time: %s \n", date, time);

    LogWrite("\n--- SYSTEM INFO:\n");
    LogPrint("Version:           %u.%u.%u\n", os.major, os.minor, os.build & 0xFFFFu);
    if (os.additionalInfo.size() < 2)
        LogWrite("Additional info:    -none-\n");
    else
        LogPrint("Additional info:   %s\n", os.additionalInfo.c_str());
    switch (os.platformKind)
    {
    case 0:
        LogWrite("Win32s on Windows 3.1 detected.\n");
        break;
    case 1:
        if (os.major > 4 || (os.major == 4 && os.minor > 0))
            LogWrite("Windows 98 or later detected.\n");
        else if ((os.build & 0xFFFFu) >= 1081)
            LogWrite("Windows 95 OSR2 detected.\n");
        else
            LogWrite("Windows 95 detected.\n");
        break;
    case 2:
        LogWrite("Windows NT/2000/XP detected.\n");
        break;
    default:
        break;
    }
}

} // namespace Spindrel
