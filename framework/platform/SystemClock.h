#pragma once

#include <ctime>

namespace Quillo
{

// The clocks the rest of the program reads.
class SystemClock
{
public:
    // Milliseconds of a steady clock (never set back), from an arbitrary start.
    static double SteadyMs();
    // The local date and time now.
    static std::tm LocalNow();
};

} // namespace Quillo
