#pragma once

#include <cstddef>

namespace Quillo
{

// Turns a mangled C++ symbol name ("_ZN6Quillo5CrashEv") into the readable
// form the C++ runtime prints ("Quillo::Crash()"), without allocating or
// locking, so that a fault handler can use it. It knows the common part of
// the mangling (names, templates, the usual types, lambdas, clones); for
// anything else it gives up rather than print a wrong name.
class SymbolDemangler
{
public:
    // Writes the readable name into buffer; false (buffer unspecified) when
    // the name is not mangled, is too long for the buffer or uses what is
    // not understood.
    static bool Demangle(const char* mangled, char* buffer, size_t capacity);
};

} // namespace Quillo
