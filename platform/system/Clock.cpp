#include "platform/system/Clock.h"

#include <chrono>

namespace sys {

std::uint32_t TickCount()
{
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

std::int64_t PerformanceCounter()
{
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
}

std::int64_t PerformanceFrequency()
{
    return 1'000'000'000;
}

} // namespace sys
