#pragma once
// A small deterministic random source (SplitMix64): the same seed gives the
// same documents on every machine and every run, so figures stay comparable.

#include <cstdint>

class CBenchRandom {
public:
    explicit CBenchRandom(uint64_t nSeed) : m_nState(nSeed) {}

    uint64_t Next()
    {
        uint64_t z = (m_nState += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [nLow, nHigh] (both included).
    int64_t Between(int64_t nLow, int64_t nHigh)
    {
        const uint64_t nSpan = static_cast<uint64_t>(nHigh - nLow) + 1;
        return nLow + static_cast<int64_t>(Next() % nSpan);
    }

    // True with probability 1 / n.
    bool OneIn(uint64_t n) { return Next() % n == 0; }

private:
    uint64_t m_nState;
};
