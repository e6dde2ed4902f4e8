#pragma once

#include <cstdint>

namespace paint {

// SplitMix64 with a fixed mapping to ranges and Booleans, so that a pattern drawn from a
// given seed is the same on every run and every machine.
__extension__ typedef unsigned __int128 Uint128; // the extension keeps -Wpedantic quiet

struct SeededRNG {
    std::uint64_t s;

    std::uint64_t next()
    {
        s += 0x9E3779B97F4A7C15ULL;
        std::uint64_t z = s;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // An integer r in [0, 2^53], uniformly, by multiply-and-reject.
    std::uint64_t nextUnit53()
    {
        constexpr Uint128 range = (Uint128{1} << 53) + 1;
        constexpr std::uint64_t threshold = 0x1FFFFFFFFFF801ULL; // (2^64 - range) mod range
        for (;;) {
            const Uint128 product = Uint128{next()} * range;
            if (static_cast<std::uint64_t>(product) >= threshold)
                return static_cast<std::uint64_t>(product >> 64);
        }
    }

    // Maps r in [0, 2^53] onto the closed range [a, b]; r == 2^53 gives b exactly.
    static double mapUnit53(std::uint64_t r, double a, double b)
    {
        if (r == (std::uint64_t{1} << 53))
            return b;
        const double span = b - a;
        return (static_cast<double>(r) * 0x1p-53) * span + a;
    }

    double uniform(double a, double b) { return mapUnit53(nextUnit53(), a, b); }

    bool nextBool() { return ((next() >> 17) & 1) == 0; }
};

} // namespace paint
