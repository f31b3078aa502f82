#pragma once

#include <string>
#include <vector>

// The crash report's text as the viewer shows and stores it.
class ReportText
{
public:
    // Replaces every mangled C++ name ("_ZN6Quillo3FooEv") with its
    // readable form ("Quillo::Foo()"); other text is left as it is.
    static std::string Demangle(const std::string& report);

    // The report split at "\r\n" (or "\n"), tabs expanded.
    static std::vector<std::string> Lines(const std::string& report);
};
