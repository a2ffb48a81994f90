#pragma once
// The choices a fuzz input makes besides its text: a hash of the whole input
// seeds a small generator, so that the text itself stays whole (a seed file
// reads as exactly the text it holds) and every input still makes its own,
// repeatable choices.

#include <cstddef>
#include <cstdint>
#include <string>

class CFuzzChoices {
public:
    CFuzzChoices(const uint8_t* pData, size_t nSize) : m_sText(reinterpret_cast<const char*>(pData), nSize)
    {
        // FNV-1a over the input.
        m_nState = 0xCBF29CE484222325ull;
        for (size_t i = 0; i < nSize; ++i)
            m_nState = (m_nState ^ pData[i]) * 0x100000001B3ull;
    }

    const std::string& Text() const { return m_sText; }

    uint64_t Next()
    {
        // splitmix64: every seed gives a different, well-spread sequence.
        uint64_t z = (m_nState += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A number below nLimit (nLimit > 0).
    uint32_t Below(uint32_t nLimit) { return static_cast<uint32_t>(Next() % nLimit); }
    bool Coin() { return (Next() & 1) != 0; }

private:
    std::string m_sText;
    uint64_t m_nState = 0;
};
