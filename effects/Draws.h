#pragma once

#include "plugin/Random.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

// The shared generator run locally for the length of one transform: the
// seed is read once, stepped with the same rule, and the last seed drawn is
// written back. Vector paths jump it: the seed k steps on is an affine
// function of this one (Jump), so each lane of a vector can hold its own
// place in the one sequence.
namespace zenvas {

// seed * multiplier + increment: k steps of the generator at once.
struct Jump {
    std::uint32_t multiplier = 1, increment = 0;

    static constexpr std::uint32_t kMultiplier = 134775813u;
    static constexpr std::uint32_t kIncrement = 1u;

    static constexpr Jump Steps(std::uint64_t k)
    {
        // Square-and-multiply over the affine maps.
        Jump result, power{kMultiplier, kIncrement};
        for (; k; k >>= 1) {
            if (k & 1)
                result = {result.multiplier * power.multiplier, result.increment * power.multiplier + power.increment};
            power = {power.multiplier * power.multiplier, power.increment * power.multiplier + power.increment};
        }
        return result;
    }

    constexpr std::uint32_t operator()(std::uint32_t seed) const { return seed * multiplier + increment; }
};

class Draws {
public:
    // Draws filled in at a time by take().
    static constexpr std::size_t kBatch = 1024;

    Draws() : seed_(RandomSeed()) {}
    ~Draws() { SetRandomSeed(seed_); }
    Draws(const Draws&) = delete;
    Draws& operator=(const Draws&) = delete;

    // The seed after the last draw taken; skip() passes over draws a vector
    // path has taken from it.
    std::uint32_t seed() const { return seed_; }
    void skip(std::uint64_t count) { seed_ = Jump::Steps(count)(seed_); }

    std::int32_t random(std::int32_t n)
    {
        seed_ = seed_ * Jump::kMultiplier + Jump::kIncrement;
        return Scale(seed_, n);
    }

    // The coin is drawn first, then the amount; the sign is chosen without
    // a branch, since the coin is as unpredictable as it gets.
    std::int64_t shift(std::int64_t v, std::int32_t r)
    {
        const std::int64_t coin = random(2);
        const std::int64_t amount = random(r);
        return v + (1 - 2 * coin) * amount;
    }

    // The next `count` draws (at most kBatch), draw i being Random(n[i % P]).
    // Seeds are made eight interleaved chains at a time (seed k + 8 follows
    // from seed k by the rule applied eight times), so the steps do not wait
    // on each other; the sequence is the same as one draw after another.
    template <std::size_t P>
    void take(std::int32_t* out, std::size_t count, const std::int32_t (&n)[P])
    {
        constexpr Jump kEight = Jump::Steps(kChains);
        std::uint32_t seeds[kBatch];
        std::uint32_t seed = seed_;
        const std::size_t head = std::min(count, kChains);
        for (std::size_t i = 0; i < head; ++i) {
            seed = seed * Jump::kMultiplier + Jump::kIncrement;
            seeds[i] = seed;
        }
        for (std::size_t i = kChains; i < count; ++i)
            seeds[i] = kEight(seeds[i - kChains]);
        for (std::size_t i = 0; i < count; i += P)
            for (std::size_t k = 0; k < P && i + k < count; ++k)
                out[i + k] = Scale(seeds[i + k], n[k]);
        if (count)
            seed_ = seeds[count - 1];
    }

    // Random(n) of a seed already stepped: the high half of seed * n.
    static std::int32_t Scale(std::uint32_t seed, std::int32_t n)
    {
        return n <= 0 ? 0 : static_cast<std::int32_t>((std::uint64_t(seed) * std::uint32_t(n)) >> 32);
    }

private:
    static constexpr std::size_t kChains = 8;

    std::uint32_t seed_;
};

} // namespace zenvas
