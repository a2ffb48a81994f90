#pragma once
// A small seeded generator for the random editing runs: the same seed gives
// the same document and the same commands on every machine and library.

#include <cstdint>
#include <string>

class CRandomSource {
public:
    explicit CRandomSource(uint64_t nSeed) : m_nState(nSeed) {}

    uint64_t Next()
    {
        // splitmix64
        uint64_t z = (m_nState += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A number in 0..nLimit-1 (nLimit > 0).
    uint32_t Below(uint32_t nLimit) { return static_cast<uint32_t>(Next() % nLimit); }
    // A number in nLow..nHigh.
    int32_t Between(int32_t nLow, int32_t nHigh)
    {
        return nLow + static_cast<int32_t>(Below(static_cast<uint32_t>(nHigh - nLow + 1)));
    }
    // True nPercent times in a hundred.
    bool Percent(uint32_t nPercent) { return Below(100) < nPercent; }

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
