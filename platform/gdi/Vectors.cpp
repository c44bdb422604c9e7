#include "platform/gdi/Vectors.h"

#include <algorithm>

namespace gdi {
namespace {

Vectors cap = Vectors::Avx512;

} // namespace

Vectors MachineVectors()
{
    // On Windows too: the build there turns every aligned vector move into
    // an unaligned one (see the top-level CMakeLists.txt), as the system
    // keeps the stack only 16-byte (64-bit) or 4-byte (32-bit) aligned.
#if defined(__x86_64__) || defined(__i386__)
    static const Vectors level = [] {
        if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
            __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512vbmi"))
            return Vectors::Avx512;
        if (__builtin_cpu_supports("avx2"))
            return Vectors::Avx2;
        return Vectors::Plain;
    }();
    return level;
#else
    return Vectors::Plain;
#endif
}

Vectors ActiveVectors()
{
    return std::min(cap, MachineVectors());
}

Vectors LimitVectors(Vectors level)
{
    std::swap(cap, level);
    return level;
}

const char* VectorsName(Vectors level)
{
    switch (level) {
    case Vectors::Avx2: return "avx2";
    case Vectors::Avx512: return "avx512";
    default: return "plain";
    }
}

} // namespace gdi
