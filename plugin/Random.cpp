#include "plugin/Random.h"

#include "platform/system/Clock.h"

namespace zenvas {
namespace {

std::uint32_t g_seed = 0;

std::uint32_t Advance()
{
    g_seed = g_seed * 134775813u + 1u;
    return g_seed;
}

} // namespace

std::int32_t Random(std::int32_t n)
{
    std::uint32_t seed = Advance();
    if (n <= 0)
        return 0;
    return static_cast<std::int32_t>((std::uint64_t(seed) * std::uint32_t(n)) >> 32);
}

double RandomReal()
{
    return double(Advance()) * (1.0 / 4294967296.0);
}

void Randomize()
{
    g_seed = static_cast<std::uint32_t>(sys::PerformanceCounter());
}

std::uint32_t RandomSeed()
{
    return g_seed;
}

void SetRandomSeed(std::uint32_t seed)
{
    g_seed = seed;
}

} // namespace zenvas
