#pragma once

#include "framework/platform/CrashFacts.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace Quillo
{

// The text of "crash.txt": the exception, the faulting module, the stack,
// the registers, the system versions and the run description, each line
// ended by "\r\n". Every operation here is safe inside a fault handler.
class CrashReport
{
public:
    static constexpr const char* kHeaderText = "An unexpected error has occured!";
    static constexpr const char* kWindowTitle = "Fatal Error!";

    // The name of an exception code, or null when the table has none.
    static const char* ExceptionName(uint32_t code);

    // Writes the report into `buffer`; returns its length.
    static size_t Format(const CrashFacts& facts, char* buffer, size_t capacity);

    // "Exception at %04X:%08X" with the faulting section and offset.
    static size_t FormatTitle(const CrashFacts& facts, char* buffer, size_t capacity);

    // The run description (empty without an application object).
    static size_t FormatRunDescription(const CrashFacts& facts, char* buffer, size_t capacity);
    static std::string RunDescription(const char* product, const char* version, uint64_t secondsLoaded,
                                      bool fullscreen, uint64_t mainThreadId);
};

} // namespace Quillo
