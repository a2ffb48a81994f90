#pragma once
// A small seeded generator (SplitMix64) for tests, fuzz targets and
// benchmarks: the same seed gives the same sequence on every machine and
// library, so random runs repeat and benchmark documents stay the same.

#include <cstdint>
#include <string>

class CRandomSource {
public:
    explicit CRandomSource(uint64_t nSeed) : m_nState(nSeed) {}

    uint64_t Next()
    {
        uint64_t z = (m_nState += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A number in 0..nLimit-1 (nLimit > 0).
    uint32_t Below(uint32_t nLimit) { return static_cast<uint32_t>(Next() % nLimit); }
    // A number in nLow..nHigh, both included.
    int64_t Between(int64_t nLow, int64_t nHigh)
    {
        const uint64_t nSpan = static_cast<uint64_t>(nHigh - nLow) + 1;
        return nLow + static_cast<int64_t>(Next() % nSpan);
    }
    // True nPercent times in a hundred.
    bool Percent(uint32_t nPercent) { return Below(100) < nPercent; }
    // True once in n times.
    bool OneIn(uint64_t n) { return Next() % n == 0; }

    // nLength characters drawn from pAlphabet.
    std::string Text(size_t nLength, const char* pAlphabet)
    {
        const std::string sAlphabet(pAlphabet);
        std::string sText;
        for (size_t i = 0; i < nLength; ++i)
            sText += sAlphabet[Below(static_cast<uint32_t>(sAlphabet.size()))];
        return sText;
    }

private:
    uint64_t m_nState;
};
