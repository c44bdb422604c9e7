#pragma once

#include <cstdint>

// The clock and the high-resolution performance counter.
namespace sys {

// Milliseconds since an arbitrary start, wrapping at 2^32 like a tick count.
std::uint32_t TickCount();

// A free-running counter of PerformanceFrequency() ticks per second.
std::int64_t PerformanceCounter();
std::int64_t PerformanceFrequency();

} // namespace sys
