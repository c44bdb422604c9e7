#pragma once

#include <cstdint>

// The plug-in's one pseudo-random generator, shared by the spray tool and the
// random image effects. Its seed is 0 when the library is loaded; nothing
// seeds it but Randomize().
namespace zenvas {

// Integer draw: 0..n-1 (0 for n of 0 or less). Advances the seed first.
std::int32_t Random(std::int32_t n);

// Real draw in [0, 1). Advances the seed first.
double RandomReal();

// Reseeds from the performance counter's low 32 bits.
void Randomize();

std::uint32_t RandomSeed();
void SetRandomSeed(std::uint32_t seed);

} // namespace zenvas
