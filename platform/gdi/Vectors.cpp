#include "platform/gdi/Vectors.h"

#include <algorithm>

namespace gdi {
namespace {

Vectors cap = Vectors::Avx512;

} // namespace

Vectors MachineVectors()
{
    // Not on Windows: its stack keeps vectors only 16-byte aligned, where
    // the compiler's spills of wider ones assume more.
#if defined(__x86_64__) && !defined(_WIN32)
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
