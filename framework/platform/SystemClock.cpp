#include "framework/platform/SystemClock.h"

#include <chrono>

namespace Quillo
{

double SystemClock::SteadyMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::tm SystemClock::LocalNow()
{
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return local;
}

} // namespace Quillo
