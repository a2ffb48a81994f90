#pragma once
// The choices a fuzz input makes besides its text: a hash of the whole input
// seeds the random source, so that the text itself stays whole (a seed file
// reads as exactly the text it holds) and every input still makes its own,
// repeatable choices.

#include <cstddef>
#include <cstdint>
#include <string>

#include "RandomSource.h"

class CFuzzChoices : public CRandomSource {
public:
    CFuzzChoices(const uint8_t* pData, size_t nSize)
        : CRandomSource(HashOf(pData, nSize)), m_sText(reinterpret_cast<const char*>(pData), nSize)
    {
    }

    const std::string& Text() const { return m_sText; }
    bool Coin() { return (Next() & 1) != 0; }

private:
    // FNV-1a over the input.
    static uint64_t HashOf(const uint8_t* pData, size_t nSize)
    {
        uint64_t nHash = 0xCBF29CE484222325ull;
        for (size_t i = 0; i < nSize; ++i)
            nHash = (nHash ^ pData[i]) * 0x100000001B3ull;
        return nHash;
    }

    std::string m_sText;
};
