#pragma once

#include "framework/app/FileGateway.h"
#include "framework/platform/OsInfo.h"

#include <ctime>
#include <string>

namespace Spindrel
{

// The start-up log: rewritten at every start with the date and a
// description of the system, one line at a time, each appended by opening
// the file again so that what was written is on disk even if the game
// stops later. A log that cannot be written is skipped silently.
class StartupLog
{
public:
    // The log's path; "log.txt" until OpenLog sets it.
    static std::string Path();

    // Empties the log at `path` ("_save\\log.txt") and writes it whole;
    // it and later lines go through `files`, which must outlive logging.
    static void OpenLog(const std::string& path, Quillo::FileGateway& files = Quillo::FileGateway::Direct());
    // As OpenLog, with the system description and the time given.
    static void OpenLog(const std::string& path, const Quillo::OsVersion& os, const std::tm& now,
                        Quillo::FileGateway& files = Quillo::FileGateway::Direct());

    // Formats like printf (at most 1023 characters) and appends.
    static void LogPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));
    static void LogWrite(const std::string& text);
};

} // namespace Spindrel
